#include "tests/support/document_screen.h"

#include <vector>

namespace tmxcnh::testing {

Arguments DocumentScreen(const std::string& kind, const std::string& connection,
                         const std::string& number, int invoices, const char* weight) {
  std::vector<Variant> numbers;
  std::vector<Variant> contents;
  std::vector<Variant> values;
  std::vector<Variant> volumes;
  for (int i = 1; i <= invoices; ++i) {
    numbers.push_back(Variant(number + "0" + std::to_string(i)));
    contents.push_back(Variant("Mercadoria nº " + std::to_string(i) + " d'água"));
    values.push_back(Variant(std::to_string(100 * i) + ",50"));
    volumes.push_back(Variant(std::to_string(i)));
  }
  return {{"invntBanco_Dados", kind},
          {"vntConecta_db", connection},
          {"invntUsuario_internet_id", "12"},
          {"invntEmpresa_id", Variant::Integer(1)},
          {"invntNum_Docto_Transporte", Variant(number)},
          {"invntPonto_Operacao_id", Variant::Integer(7)},
          {"invntTab_Tipo_Cobranca_id", Variant::Integer(3)},
          {"invntCliente_id", Variant::Integer(101)},
          {"invntEnd_Destinatario_id", Variant::Integer(203)},
          {"invntEnd_Remetente_id", Variant::Integer(202)},
          {"invntOrigem_id", Variant::Integer(1)},
          {"invntDestino_id", Variant::Integer(8)},
          {"invntPeso_Real", Variant(weight)},
          {"invntVal_Declarado", "1000"},
          {"invntData_Emissao", "20/11/2003"},
          {"inarrvntNota_fiscal", Variant::Array(numbers)},
          {"invntQtde_Notas", Variant::Long(invoices)},
          {"invntPonto_Operacao_Destino_id", Variant::Integer(9)},
          {"invnttab_tipo_despacho_id", Variant::Integer(1)},
          {"inarrvntConteudo", Variant::Array(contents)},
          {"inarrvntVal_Declarado", Variant::Array(values)},
          {"inarrvntNum_Volume", Variant::Array(volumes)},
          {"invntNum_Volume", "3"},
          {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}};
}

Arguments InvoiceScreen(const std::string& kind, const std::string& connection,
                        const Variant& document, const std::vector<int>& numbers) {
  std::vector<Variant> invoices;
  for (int number : numbers) invoices.push_back(Variant(std::to_string(number)));
  const auto same = [&](const char* value) {
    return Variant::Array(std::vector<Variant>(numbers.size(), Variant(value)));
  };
  return {{"invntBanco_Dados", kind},
          {"vntConecta_db", connection},
          {"invntUsuario_internet_id", "12"},
          {"invntEmpresa_id", Variant::Integer(1)},
          {"invntDocto_Transporte_id", document},
          {"invntQtde_Notas", Variant::Long(static_cast<int32_t>(numbers.size()))},
          {"inarrvntNota_fiscal", Variant::Array(invoices)},
          {"inarrvntConteudo", same("Caixas")},
          {"inarrvntVal_Declarado", same("10,5")},
          {"inarrvntNum_Volume", same("1")}};
}

}  // namespace tmxcnh::testing
