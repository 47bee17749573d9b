// mConsiste_Campos: the check the insert and the update run before they
// write: four typed values cleaned in place, twenty tests in a fixed order
// (the first that fails gives its message), then the duplicate-number check.
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/operators.h"

namespace tmxcnh {
namespace {

// An identifier or a count that was not given: numerically 0 (Null and "" too).
bool NotGiven(const Variant& value) { return Equals(gTrata_Numero(value), 0); }

// A typed text that is empty: Null or "".
bool IsEmpty(const Variant& value) { return Equals(gTrata_Nulo(value), ""); }

void Clean(Variant& value) { value = Variant(gRetira_Caracteres(ToText(value))); }

}  // namespace

bool CNH::mConsiste_Campos(
    Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
    Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
    Variant& invntPonto_Operacao_id, Variant& invntTab_Tipo_Cobranca_id,
    Variant& invntEnd_Remetente_id, Variant& invntEnd_Destinatario_id, Variant& invntCliente_id,
    Variant& invntOrigem_id, Variant& invntDestino_id, Variant& invntPeso_Total,
    Variant& invntNum_Volume, Variant& invntValor_Declarado, Variant& invntQtde_Notas,
    Variant& invntData_Emissao, Variant& invntDocto_Transporte_id,
    Variant& invntPonto_Operacao_Destino_id, Variant& invnttab_tipo_despacho_id,
    Variant& invntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret) {
  bool result = false;
  MethodTrap trap("mConsiste_Campos", "Problema ao consistir os campos. Favor tentar mais tarde.",
                  MethodTrap::Detail::kWithoutSql);
  // The message of the first failing test, or nullptr when every test passes.
  const auto first_failure = [&]() -> const char* {
    trap.Step(10010);
    Clean(invntNum_Docto_Transporte);
    Clean(invntPeso_Total);
    Clean(invntValor_Declarado);
    Clean(invntData_Emissao);
    trap.Step(10020);
    if (IsEmpty(invntNum_Docto_Transporte)) return "Informe o Número do documento.";
    trap.Step(10030);
    if (!IsNumeric(invntNum_Docto_Transporte)) return "Número do documento deve ser numérico.";
    trap.Step(10040);
    if (NotGiven(invntPonto_Operacao_id)) return "Informe a Filial Responsável.";
    trap.Step(10050);
    if (NotGiven(invntTab_Tipo_Cobranca_id)) return "Informe o Tamador do Frete.";
    trap.Step(10060);
    if (NotGiven(invntPonto_Operacao_Destino_id)) return "Informe um ponto operação de destino.";
    trap.Step(10070);
    if (NotGiven(invnttab_tipo_despacho_id)) return "Informe um tipo de Despacho. ";
    trap.Step(10080);
    if (!IsEmpty(invntData_Emissao)) {
      // A text the platform cannot read as a date stays as it is, and fails.
      const std::string issued = Format(invntData_Emissao, "yyyy/mm/dd");
      if (!IsDate(Variant(issued))) return "Data de emissão inválida.";
      trap.Step(10090);
      const std::string today = Format(Variant::Date(*SerialFromCivil(Now())), "yyyy/mm/dd");
      if (issued > today) return "A Data de emissão não pode ser maior que a data de hoje.";
    }
    trap.Step(10100);
    if (Equals(gTrata_Numero(invntTab_Tipo_Cobranca_id), 3) && NotGiven(invntCliente_id)) {
      return "Informe um Cliente.";
    }
    trap.Step(10110);
    if (NotGiven(invntEnd_Remetente_id)) return "Informe um remetente.";
    trap.Step(10120);
    if (NotGiven(invntEnd_Destinatario_id)) return "Informe um destinatario.";
    trap.Step(10130);
    if (NotGiven(invntOrigem_id)) return "Informe uma cidade de origem.";
    trap.Step(10140);
    if (NotGiven(invntDestino_id)) return "Informe uma cidade de destino.";
    trap.Step(10150);
    if (IsEmpty(invntPeso_Total)) return "Informe o peso total.";
    trap.Step(10160);
    if (!IsNumeric(invntPeso_Total)) return "O peso total deve ser numérico.";
    trap.Step(10170);
    if (IsEmpty(invntNum_Volume)) return "Informe o número de volume.";
    trap.Step(10180);
    if (!IsNumeric(invntNum_Volume)) return "O número de volume deve ser numérico.";
    trap.Step(10190);
    if (IsEmpty(invntValor_Declarado)) return "Informe o valor da mercadoria.";
    trap.Step(10200);
    if (!IsNumeric(invntValor_Declarado)) return "O Valor declarado deve ser numérico.";
    trap.Step(10210);
    if (NotGiven(invntQtde_Notas)) return "Notas Fiscais não informadas.";
    return nullptr;
  };
  try {
    if (const char* failure = first_failure()) {
      outvntMsg_Ret = failure;
      return result;
    }
    trap.Step(10220);
    result = mVerifica_Dupli_Num_Docto(
        invntBanco_Dados, vntConecta_db, invntUsuario_internet_id, invntEmpresa_id,
        invntGrupo_Empresa_id, invntNum_Docto_Transporte, invntPonto_Operacao_id,
        invntDocto_Transporte_id, invntTab_Tipo_Docto_Transp_id, outvntMsg_Ret);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

}  // namespace tmxcnh
