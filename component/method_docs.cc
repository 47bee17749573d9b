#include "component/method_docs.h"

#include <array>
#include <utility>

#include "platform/text.h"

namespace tmxcnh {
namespace {

struct Summary {
  std::string_view method;
  std::string_view summary;
};

constexpr std::array<Summary, 14> kSummaries = {{
    {"gConsulta_Cliente_Docto_Transp",
     "Whether a live document with the number belongs to the client (0: yes, 10: no)."},
    {"gSoma_Nota_Fiscal",
     "Checks the declared values of a screen's invoices and totals them, two decimals."},
    {"gBusca_Data_Dia", "The database server's date, dd/mm/yyyy."},
    {"gBusca_Empresa_Filial", "The company of a branch."},
    {"gBusca_Lista_Docto_Transporte",
     "A company's documents by number, or issued in a period (both days whole)."},
    {"gConsulta_Docto_Transporte",
     "One document in full: its parties, cities, client and live invoices."},
    {"mBusca_Cliente", "A client's name, CNPJ or CPF and person kind."},
    {"mConsiste_Campos",
     "Cleans and checks a document screen's fields in order, then the number's uniqueness."},
    {"gInclui_Docto_Transporte",
     "Checks and writes a new document, then its invoices; gives its identifier."},
    {"gAltera_Docto_Transporte",
     "Checks and rewrites a live document, then replaces its invoices."},
    {"gExclui_Docto_Transporte", "Marks a document deleted (its invoices stay as they are)."},
    {"mConsulta_Nota_Fiscal", "The live invoices of a document, as parallel lists."},
    {"mGrava_Nota_fiscal",
     "Replaces a document's invoices: the old ones marked deleted, each new one checked and "
     "written."},
    {"mVerifica_Dupli_Num_Docto",
     "Whether the number is free at the branch (no other live document has it)."},
}};

struct Stem {
  std::string_view stem;  // the name without in/out, arr and vnt
  std::string_view meaning;
  std::string_view form;
};

constexpr std::string_view kWhole = "Integer or Long (or their text)";
constexpr std::string_view kText = "String";
constexpr std::string_view kDecimal = "String with a decimal comma (12,5), or a number";
constexpr std::string_view kDate = "String dd/mm/yyyy (the regional settings' order), or a Date";

constexpr std::array<Stem, 58> kStems = {{
    {"Banco_Dados", "database kind: \"ORACLE\" runs inline SQL, any other value the procedures",
     kText},
    {"Conecta_db", "the connection: a connection text, or an object whose default property is one",
     kText},
    {"Usuario_internet_id", "the internet user (1 also sees a failure's technical detail)", kWhole},
    {"Empresa_id", "the company", kWhole},
    {"Grupo_Empresa_id", "the company group (not used)", kWhole},
    {"Pessoa_id", "the client's party", kWhole},
    {"Num_Docto_Transporte", "the document number", kWhole},
    {"Msg_Ret", "the Portuguese message, written when the method stops early or fails", kText},
    {"Qtde_Notas", "the number of invoices", kWhole},
    {"Val_Declarado", "the declared value", kDecimal},
    {"Valor_Declarado", "the declared value", kDecimal},
    {"Valor_Total_NF", "the total: the starting total in, the sum with two decimals out", kDecimal},
    {"Data_Dia", "the server's date", kDate},
    {"Ponto_Operacao_id", "the issuing branch", kWhole},
    {"Data_ini", "the first day of the period", kDate},
    {"Data_Fim", "the last day of the period", kDate},
    {"Docto_Transporte_id", "the document's identifier", kWhole},
    {"Remetente", "the sender's name", kText},
    {"Destinatario", "the recipient's name", kText},
    {"Origem", "the origin city", kText},
    {"Destino", "the destination city", kText},
    {"Tab_Tipo_Docto_Transp", "the document type", kWhole},
    {"Tab_Tipo_Docto_Transp_id", "the document type", kWhole},
    {"Qtde_Docto", "the number of documents listed", kWhole},
    {"Cliente_id", "the client (the party who pays the freight)", kWhole},
    {"Cliente", "the client's name", kText},
    {"Cgc_Cpf_Cliente", "the client's CNPJ, or CPF", kText},
    {"Indic_pf_pj_Cliente", "the client's person kind: F or J", kText},
    {"Tab_Tipo_Cobranca_id", "the charging type (3 requires a client)", kWhole},
    {"End_Remetente", "the sender's address", kText},
    {"End_Destinatario", "the recipient's address", kText},
    {"End_Remetente_id", "the sender's address record", kWhole},
    {"End_Destinatario_id", "the recipient's address record", kWhole},
    {"End_Cliente_id", "the client's address record (not used)", kWhole},
    {"Municipio_Remetente", "the sender's city", kText},
    {"Municipio_Destinatario", "the recipient's city", kText},
    {"Telefone_Remetente", "the sender's phone", kText},
    {"Telefone_Destinatario", "the recipient's phone", kText},
    {"CGC_CPF_Remetente", "the sender's CNPJ, or CPF", kText},
    {"CGC_CPF_Destinatario", "the recipient's CNPJ, or CPF", kText},
    {"Indic_pf_pj_Remetente", "the sender's person kind: F or J", kText},
    {"Indic_pf_pj_Destinatario", "the recipient's person kind: F or J", kText},
    {"Remetente_id", "the sender's party", kWhole},
    {"Destinatario_id", "the recipient's party", kWhole},
    {"Origem_id", "the origin city", kWhole},
    {"Destino_id", "the destination city", kWhole},
    {"Peso_Real", "the total weight", kDecimal},
    {"Peso_Total", "the total weight", kDecimal},
    {"Ponto_Operacao_Destino_id", "the destination branch", kWhole},
    {"Ponto_Operacao_destino_id", "the destination branch", kWhole},
    {"Tab_Tipo_Despacho_id", "the dispatch type", kWhole},
    {"tab_tipo_despacho_id", "the dispatch type", kWhole},
    {"Tab_sit_entrega_id", "the delivery status", kWhole},
    {"tab_sit_entrega_id", "the delivery status (not used)", kWhole},
    {"Num_Volume", "the number of volumes", kWhole},
    {"Data_Emissao", "the issue date", kDate},
    {"Nota_fiscal", "the invoice number", kText},
    {"Conteudo", "the invoice's contents", kText},
}};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The values that the checks clean in place and hand back rewritten.
bool CleanedInPlace(std::string_view method, std::string_view parameter) {
  const bool document_screen = method == "mConsiste_Campos" ||
                               method == "gInclui_Docto_Transporte" ||
                               method == "gAltera_Docto_Transporte";
  if (document_screen &&
      (parameter == "invntNum_Docto_Transporte" || parameter == "invntPeso_Real" ||
       parameter == "invntPeso_Total" || parameter == "invntVal_Declarado" ||
       parameter == "invntValor_Declarado" || parameter == "invntData_Emissao")) {
    return true;
  }
  const bool invoices = method == "mGrava_Nota_fiscal" || method == "gInclui_Docto_Transporte" ||
                        method == "gAltera_Docto_Transporte";
  if (invoices && (parameter == "inarrvntNota_fiscal" || parameter == "inarrvntVal_Declarado" ||
                   parameter == "inarrvntNum_Volume")) {
    return true;
  }
  return method == "gSoma_Nota_Fiscal" && parameter == "inarrvntVal_Declarado";
}

struct Facts {
  std::string_view method;
  std::string_view tables;
  std::vector<std::string_view> messages;
};

const std::vector<Facts>& AllFacts() {
  static const std::vector<Facts> facts = {
      {"gConsulta_Cliente_Docto_Transp",
       "reads DOCTO_TRANSPORTE",
       {"Problema na identificação do cliente. Reinicie a sessão novamente. ",
        "Informe o número do conhecimento para pesquisa. ",
        " Conhecimento solicitado não pertence a este cliente. Verifique o nº do conhecimento. ",
        " Acesso a consulta de conhecimento com problemas. Contacte o Administrador de "}},
      {"gSoma_Nota_Fiscal",
       "none",
       {"Preencha ", " não permite a digitação de números com uso de separador de milhar(.)",
        " deve ser igual ou maior que ",
        "Acesso a função não disponível; gSoma_Nota_Fiscal. Favor tentar mais tarde."}},
      {"gBusca_Data_Dia",
       "reads the server's clock",
       {"Acesso a função não disponível: gBusca_Data_Dia. Favor tentar mais tarde."}},
      {"gBusca_Empresa_Filial",
       "reads PONTO_OPERACAO",
       {"Informe uma Filial.", "Filial não cadastrada.",
        "Acesso a função não disponível: gBusca_Empresa_Filial. Favor tentar mais tarde."}},
      {"gBusca_Lista_Docto_Transporte",
       "reads DOCTO_TRANSPORTE, VENDERECO_PESSOA, MUNICIPIO",
       {"Informe algo para consulta.", "Data inicial inválida.", "Data final inválida.",
        "Data inicial não pode ser maior que a data final.", "Conhecimento não cadastrado.",
        "Acesso a função não disponível: gBusca_Lista_Docto_Transporte. Favor tentar mais "
        "tarde."}},
      {"gConsulta_Docto_Transporte",
       "reads DOCTO_TRANSPORTE, VENDERECO_PESSOA, MUNICIPIO, VCLIENTE, NOTA_FISCAL",
       {"Informe o número do conhecimento.", "Conhecimento não cadastrado.",
        "Acesso a função não disponível: gConsulta_Docto_Transporte . Favor tentar mais tarde."}},
      {"mBusca_Cliente",
       "reads VCLIENTE",
       {"Cliente não cadastrado.",
        "Problema na consulta. Favor contactar o Administrador de Sistema."}},
      {"mConsiste_Campos",
       "reads DOCTO_TRANSPORTE (the duplicate check)",
       {"Informe o Número do documento.",
        "Número do documento deve ser numérico.",
        "Informe a Filial Responsável.",
        "Informe o Tamador do Frete.",
        "Informe um ponto operação de destino.",
        "Informe um tipo de Despacho. ",
        "Data de emissão inválida.",
        "A Data de emissão não pode ser maior que a data de hoje.",
        "Informe um Cliente.",
        "Informe um remetente.",
        "Informe um destinatario.",
        "Informe uma cidade de origem.",
        "Informe uma cidade de destino.",
        "Informe o peso total.",
        "O peso total deve ser numérico.",
        "Informe o número de volume.",
        "O número de volume deve ser numérico.",
        "Informe o valor da mercadoria.",
        "O Valor declarado deve ser numérico.",
        "Notas Fiscais não informadas.",
        "Problema ao consistir os campos. Favor tentar mais tarde."}},
      {"gInclui_Docto_Transporte",
       "writes DOCTO_TRANSPORTE, NOTA_FISCAL, INFRA_IDS, LOG_SISTEMA",
       {"Nenhume registro afetado.", "Não há registro no banco de dados na tabela Infra_ids. ",
        "Acesso a função não disponível: gInclui_Docto_Transporte. Favor contactar o "}},
      {"gAltera_Docto_Transporte",
       "writes DOCTO_TRANSPORTE, NOTA_FISCAL, INFRA_IDS, LOG_SISTEMA",
       {"Informe um conhecimento.", "Conhecimento não cadastrado.", "Nenhum registro afetado.",
        "Acesso a função não disponível: gAltera_Docto_Transporte. Favor tentar mais tarde."}},
      {"gExclui_Docto_Transporte",
       "writes DOCTO_TRANSPORTE",
       {"Informe um conhecimento.", "Nenhume registro afetado.",
        "Acesso a função não disponível: gExclui_Docto_Transporte. Favor tentar mais tarde."}},
      {"mConsulta_Nota_Fiscal",
       "reads NOTA_FISCAL",
       {"Informe o conhecimento.", "Problema na Consulta à Nota Fiscal. Favor tentar mais tarde."}},
      {"mGrava_Nota_fiscal",
       "writes NOTA_FISCAL, INFRA_IDS, LOG_SISTEMA",
       {"Preencha ", " não permite a digitação de números com casas decimais(,)",
        " deve ser igual ou maior que ", "Nenhume registro afetado.",
        "Não foi possível efetuar a inclusão das notas.",
        "Não há registro no banco de dados na tabela Infra_ids. ",
        "Problema ao gravar à Nota Fiscal. Favor tentar mais tarde."}},
      {"mVerifica_Dupli_Num_Docto",
       "reads DOCTO_TRANSPORTE",
       {"Já existe um conhecimento com esse número.",
        "Problema ao verificar Duplicidade do Numero do Documento. Favor tentar mais tarde."}},
  };
  return facts;
}

const Facts* FactsOf(const PublicMethod& method) {
  for (const Facts& facts : AllFacts()) {
    if (facts.method == method.name) return &facts;
  }
  return nullptr;
}

}  // namespace

std::string_view MethodTables(const PublicMethod& method) {
  const Facts* facts = FactsOf(method);
  return facts ? facts->tables : "";
}

std::vector<std::string_view> MethodMessages(const PublicMethod& method) {
  const Facts* facts = FactsOf(method);
  return facts ? facts->messages : std::vector<std::string_view>{};
}

std::string_view MethodSummary(const PublicMethod& method) {
  for (const Summary& summary : kSummaries) {
    if (summary.method == method.name) return summary.summary;
  }
  return "";
}

std::string MethodResults(const PublicMethod& method) {
  if (method.returns_boolean) return "True when done; False with the reason in outvntMsg_Ret";
  std::string results = "0 done; 10 stopped, with the reason in outvntMsg_Ret";
  if (method.name == "gInclui_Docto_Transporte" || method.name == "gAltera_Docto_Transporte") {
    results += "; 30 the document was written but not its invoices";
  }
  return results;
}

ParameterDoc DescribeParameter(const PublicMethod& method, std::string_view name) {
  ParameterDoc doc;
  std::string_view rest = name;
  if (StartsWith(rest, "out")) {
    doc.direction = name == "outvntValor_Total_NF" ? "in/out" : "out";
    rest.remove_prefix(3);
  } else {
    doc.direction = CleanedInPlace(method.name, name) ? "in/out" : "in";
    if (StartsWith(rest, "in")) rest.remove_prefix(2);
  }
  const bool list = StartsWith(rest, "arr");
  if (list) rest.remove_prefix(3);
  if (StartsWith(rest, "vnt")) rest.remove_prefix(3);
  for (const Stem& stem : kStems) {
    if (stem.stem == rest) {
      doc.meaning = std::string(stem.meaning);
      doc.form = std::string(stem.form);
      break;
    }
  }
  if (list) {
    doc.meaning = "a list, one element per row or invoice: " + doc.meaning;
    doc.form = "Array of " + doc.form;
  }
  if (doc.direction == "in/out" && name != "outvntValor_Total_NF") {
    doc.meaning += " (handed back cleaned, as text)";
  }
  return doc;
}

}  // namespace tmxcnh
