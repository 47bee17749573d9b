#include "component/method_table.h"

#include <cctype>

namespace tmxcnh {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

const std::vector<PublicMethod>& PublicMethods() {
  static const std::vector<PublicMethod> methods = {
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
  };
  return methods;
}

const PublicMethod* FindPublicMethod(std::string_view name) {
  for (const PublicMethod& method : PublicMethods()) {
    if (SameName(method.name, name)) return &method;
  }
  return nullptr;
}

int FindParameter(const PublicMethod& method, std::string_view name) {
  for (size_t i = 0; i < method.parameters.size(); ++i) {
    if (SameName(method.parameters[i], name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tmxcnh
