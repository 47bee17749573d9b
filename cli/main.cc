// tmxcnh: the component's command line.
//   tmxcnh demo    shows how typed screen values become SQL values
#include <cstdio>
#include <string>
#include <vector>

#include "common/sql_values.h"
#include "platform/conversions.h"
#include "platform/regional_settings.h"

namespace tmxcnh {
namespace {

void ShowValue(const char* label, const Variant& value) {
  std::printf("  %-34s %s\n", label, Describe(value).c_str());
}

void ShowScreen(Locale locale, const char* title) {
  ScopedLocale scoped(locale);
  std::printf("\n%s (decimal separator '%c')\n", title, MachineDecimalSeparator());
  const std::vector<Variant> typed = {"12,5", "12.5", "1.234.567", "", Variant::Null(), "0"};
  for (const Variant& value : typed) {
    const std::string label = "gTrata_Numero(" + Describe(value) + ")";
    ShowValue(label.c_str(), gTrata_Numero(value));
  }
  ShowValue("gFormata_Valor(1234.5)", gFormata_Valor(Variant::Double(1234.5), ""));
  ShowValue("gFormata_Valor(12.345)", gFormata_Valor(Variant::Double(12.345), ""));
  ShowValue("gData_Sql(\"05/03/2004\")", gData_Sql("05/03/2004"));
  ShowValue("gId_Sql(\"abc\")", gId_Sql("abc"));
  ShowValue("gTexto_Sql(\"São Paulo\")", gTexto_Sql("São Paulo"));
  ShowValue("gRetira_Caracteres(\"a'b(c)\")", Variant(gRetira_Caracteres("a'b(c)")));
  ShowValue("gCondicao_Numero_Sql(0, \"=\")", gCondicao_Numero_Sql(Variant::Integer(0), "="));
  ShowValue("gCondicao_Texto_Sql(\"X\", \"=\")", gCondicao_Texto_Sql("X", "="));
}

int Demo() {
  std::printf("How a branch screen's typed values become SQL values.\n");
  ShowScreen(Locale::kBrazil, "Brazilian regional settings");
  ShowScreen(Locale::kUnitedStates, "US regional settings");
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: tmxcnh demo\n");
  return 2;
}

}  // namespace
}  // namespace tmxcnh

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "demo") return tmxcnh::Demo();
  return tmxcnh::Usage();
}
