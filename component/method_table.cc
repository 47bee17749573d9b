#include "component/method_table.h"

#include <cctype>

#include "platform/text.h"

namespace tmxcnh {
const std::vector<PublicMethod>& PublicMethods() {
  static const std::vector<PublicMethod> methods = {
      {"gConsulta_Cliente_Docto_Transp",
       0x60030000,
       false,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntEmpresa_id",
        "invntGrupo_Empresa_id", "invntPessoa_id", "invntNum_Docto_Transporte", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gConsulta_Cliente_Docto_Transp(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
       }},
      {"gSoma_Nota_Fiscal",
       0x60030001,
       false,
       {"invntUsuario_internet_id", "invntQtde_Notas", "inarrvntVal_Declarado",
        "outvntValor_Total_NF", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gSoma_Nota_Fiscal(a[0], a[1], a[2], a[3], a[4]);
       }},
      {"gBusca_Data_Dia",
       0x60030002,
       false,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntEmpresa_id",
        "invntGrupo_Empresa_id", "outvntData_Dia", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gBusca_Data_Dia(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
       }},
      {"gBusca_Empresa_Filial",
       0x60030003,
       false,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntPonto_Operacao_id",
        "outvntEmpresa_id", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gBusca_Empresa_Filial(a[0], a[1], a[2], a[3], a[4], a[5]);
       }},
      {"gBusca_Lista_Docto_Transporte",
       0x60030004,
       false,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntEmpresa_id",
        "invntGrupo_Empresa_id", "invntNum_Docto_Transporte", "invntData_ini", "invntData_Fim",
        "outarrvntDocto_Transporte_id", "outarrvntNum_Docto_Transporte", "outarrvntRemetente",
        "outvntDestinatario", "outarrvntOrigem", "outarrvntDestino", "outvntQtde_Docto",
        "outarrvntTab_Tipo_Docto_Transp", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gBusca_Lista_Docto_Transporte(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7],
                                                a[8], a[9], a[10], a[11], a[12], a[13], a[14],
                                                a[15], a[16]);
       }},
      {"gConsulta_Docto_Transporte",
       0x60030005,
       false,
       {"invntBanco_Dados",
        "vntConecta_db",
        "invntUsuario_internet_id",
        "invntEmpresa_id",
        "invntGrupo_Empresa_id",
        "outvntNum_Docto_Transporte",
        "outvntEmpresa_id",
        "invntDocto_Transporte_id",
        "outvntPonto_Operacao_id",
        "outvntTab_Tipo_Cobranca_id",
        "outvntCliente_id",
        "outvntCliente",
        "outvntCgc_Cpf_Cliente",
        "outvntIndic_pf_pj_Cliente",
        "outvntRemetente",
        "outvntEnd_Remetente",
        "outvntMunicipio_Remetente",
        "outvntTelefone_Remetente",
        "outvntCGC_CPF_Remetente",
        "outvntIndic_pf_pj_Remetente",
        "outvntEnd_Destinatario_id",
        "outvntDestinatario",
        "outvntEnd_Destinatario",
        "outvntMunicipio_Destinatario",
        "outvntTelefone_Destinatario",
        "outvntCGC_CPF_Destinatario",
        "outvntIndic_pf_pj_Destinatario",
        "outvntEnd_Remetente_id",
        "outvntOrigem_id",
        "outvntOrigem",
        "outvntDestino",
        "outvntDestino_id",
        "outvntPeso_Real",
        "outvntVal_Declarado",
        "outvntData_Emissao",
        "outvntQtde_Notas",
        "outarrvntNota_Fiscal",
        "outvntRemetente_id",
        "outvntDestinatario_id",
        "outvntPonto_Operacao_destino_id",
        "outvntTab_sit_entrega_id",
        "outvntTab_Tipo_Despacho_id",
        "outarrvntConteudo",
        "outarrvntNum_Volume",
        "outarrvntVal_Declarado",
        "outvntNum_Volume",
        "outvntTab_Tipo_Docto_Transp_id",
        "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gConsulta_Docto_Transporte(
             a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12], a[13],
             a[14], a[15], a[16], a[17], a[18], a[19], a[20], a[21], a[22], a[23], a[24], a[25],
             a[26], a[27], a[28], a[29], a[30], a[31], a[32], a[33], a[34], a[35], a[36], a[37],
             a[38], a[39], a[40], a[41], a[42], a[43], a[44], a[45], a[46], a[47]);
       }},
      {"gExclui_Docto_Transporte",
       0x60030006,
       false,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntEmpresa_id",
        "invntGrupo_Empresa_id", "invntDocto_Transporte_id", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gExclui_Docto_Transporte(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
       }},
      {"gInclui_Docto_Transporte",
       0x60030007,
       false,
       {"invntBanco_Dados",
        "vntConecta_db",
        "invntUsuario_internet_id",
        "invntEmpresa_id",
        "invntGrupo_Empresa_id",
        "invntNum_Docto_Transporte",
        "invntPonto_Operacao_id",
        "invntTab_Tipo_Cobranca_id",
        "invntCliente_id",
        "invntEnd_Cliente_id",
        "invntEnd_Destinatario_id",
        "invntEnd_Remetente_id",
        "invntOrigem_id",
        "invntDestino_id",
        "invntPeso_Real",
        "invntVal_Declarado",
        "invntData_Emissao",
        "inarrvntNota_fiscal",
        "invntQtde_Notas",
        "outvntDocto_Transporte_id",
        "invntPonto_Operacao_Destino_id",
        "invnttab_tipo_despacho_id",
        "invnttab_sit_entrega_id",
        "inarrvntConteudo",
        "inarrvntVal_Declarado",
        "inarrvntNum_Volume",
        "invntNum_Volume",
        "invntTab_Tipo_Docto_Transp_id",
        "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gInclui_Docto_Transporte(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8],
                                           a[9], a[10], a[11], a[12], a[13], a[14], a[15], a[16],
                                           a[17], a[18], a[19], a[20], a[21], a[22], a[23], a[24],
                                           a[25], a[26], a[27], a[28]);
       }},
      {"gAltera_Docto_Transporte",
       0x60030008,
       false,
       {"invntBanco_Dados",
        "vntConecta_db",
        "invntUsuario_internet_id",
        "invntEmpresa_id",
        "invntGrupo_Empresa_id",
        "invntNum_Docto_Transporte",
        "invntPonto_Operacao_id",
        "invntTab_Tipo_Cobranca_id",
        "invntCliente_id",
        "invntEnd_Cliente_id",
        "invntEnd_Destinatario_id",
        "invntEnd_Remetente_id",
        "invntOrigem_id",
        "invntDestino_id",
        "invntPeso_Real",
        "invntVal_Declarado",
        "invntData_Emissao",
        "inarrvntNota_fiscal",
        "invntQtde_Notas",
        "invntDocto_Transporte_id",
        "invntPonto_Operacao_Destino_id",
        "invnttab_tipo_despacho_id",
        "inarrvntConteudo",
        "inarrvntVal_Declarado",
        "inarrvntNum_Volume",
        "invntNum_Volume",
        "invntTab_Tipo_Docto_Transp_id",
        "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return o.gAltera_Docto_Transporte(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8],
                                           a[9], a[10], a[11], a[12], a[13], a[14], a[15], a[16],
                                           a[17], a[18], a[19], a[20], a[21], a[22], a[23], a[24],
                                           a[25], a[26], a[27]);
       }},
      {"mBusca_Cliente",
       0x60030009,
       true,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntCliente_id",
        "outvntCliente", "outvntCgc_Cpf_Cliente", "outvntIndic_pf_pj_Cliente", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return Variant::Boolean(o.mBusca_Cliente(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]));
       }},
      {"mConsiste_Campos",
       0x6003000A,
       true,
       {"invntBanco_Dados",
        "vntConecta_db",
        "invntUsuario_internet_id",
        "invntEmpresa_id",
        "invntGrupo_Empresa_id",
        "invntNum_Docto_Transporte",
        "invntPonto_Operacao_id",
        "invntTab_Tipo_Cobranca_id",
        "invntEnd_Remetente_id",
        "invntEnd_Destinatario_id",
        "invntCliente_id",
        "invntOrigem_id",
        "invntDestino_id",
        "invntPeso_Total",
        "invntNum_Volume",
        "invntValor_Declarado",
        "invntQtde_Notas",
        "invntData_Emissao",
        "invntDocto_Transporte_id",
        "invntPonto_Operacao_Destino_id",
        "invnttab_tipo_despacho_id",
        "invntTab_Tipo_Docto_Transp_id",
        "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return Variant::Boolean(o.mConsiste_Campos(
             a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12], a[13],
             a[14], a[15], a[16], a[17], a[18], a[19], a[20], a[21], a[22]));
       }},
      {"mConsulta_Nota_Fiscal",
       0x6003000B,
       true,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntEmpresa_id",
        "invntGrupo_Empresa_id", "invntDocto_Transporte_id", "outvntQtde_Notas",
        "outarrvntNota_Fiscal", "outarrvntConteudo", "outarrvntNum_Volume",
        "outarrvntVal_Declarado", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return Variant::Boolean(o.mConsulta_Nota_Fiscal(a[0], a[1], a[2], a[3], a[4], a[5], a[6],
                                                         a[7], a[8], a[9], a[10], a[11]));
       }},
      {"mGrava_Nota_fiscal",
       0x6003000C,
       true,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntEmpresa_id",
        "invntDocto_Transporte_id", "invntQtde_Notas", "inarrvntNota_fiscal", "inarrvntConteudo",
        "inarrvntVal_Declarado", "inarrvntNum_Volume", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return Variant::Boolean(o.mGrava_Nota_fiscal(a[0], a[1], a[2], a[3], a[4], a[5], a[6],
                                                      a[7], a[8], a[9], a[10]));
       }},
      {"mVerifica_Dupli_Num_Docto",
       0x6003000D,
       true,
       {"invntBanco_Dados", "vntConecta_db", "invntUsuario_internet_id", "invntEmpresa_id",
        "invntGrupo_Empresa_id", "invntNum_Docto_Transporte", "invntPonto_Operacao_id",
        "invntDocto_Transporte_id", "invntTab_Tipo_Docto_Transp_id", "outvntMsg_Ret"},
       [](CNH& o, std::vector<Variant>& a) {
         return Variant::Boolean(o.mVerifica_Dupli_Num_Docto(a[0], a[1], a[2], a[3], a[4], a[5],
                                                             a[6], a[7], a[8], a[9]));
       }},
  };
  return methods;
}

const PublicMethod* FindPublicMethod(std::string_view name) {
  for (const PublicMethod& method : PublicMethods()) {
    if (text::SameNameIgnoringCase(method.name, name)) return &method;
  }
  return nullptr;
}

int FindParameter(const PublicMethod& method, std::string_view name) {
  for (size_t i = 0; i < method.parameters.size(); ++i) {
    if (text::SameNameIgnoringCase(method.parameters[i], name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tmxcnh
