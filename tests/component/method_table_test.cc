#include "component/method_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "component/method_docs.h"

namespace tmxcnh {
namespace {

TEST(MethodTable, TheFourteenPublicMethodsInTheirOrder) {
  struct Expected {
    const char* name;
    int32_t dispid;
    size_t parameters;
    bool returns_boolean;
  };
  const Expected expected[] = {
      {"gConsulta_Cliente_Docto_Transp", 0x60030000, 8, false},
      {"gSoma_Nota_Fiscal", 0x60030001, 5, false},
      {"gBusca_Data_Dia", 0x60030002, 7, false},
      {"gBusca_Empresa_Filial", 0x60030003, 6, false},
      {"gBusca_Lista_Docto_Transporte", 0x60030004, 17, false},
      {"gConsulta_Docto_Transporte", 0x60030005, 48, false},
      {"gExclui_Docto_Transporte", 0x60030006, 7, false},
      {"gInclui_Docto_Transporte", 0x60030007, 29, false},
      {"gAltera_Docto_Transporte", 0x60030008, 28, false},
      {"mBusca_Cliente", 0x60030009, 8, true},
      {"mConsiste_Campos", 0x6003000A, 23, true},
      {"mConsulta_Nota_Fiscal", 0x6003000B, 12, true},
      {"mGrava_Nota_fiscal", 0x6003000C, 11, true},
      {"mVerifica_Dupli_Num_Docto", 0x6003000D, 10, true},
  };
  const std::vector<PublicMethod>& methods = PublicMethods();
  ASSERT_EQ(methods.size(), std::size(expected));
  for (size_t i = 0; i < methods.size(); ++i) {
    EXPECT_EQ(methods[i].name, expected[i].name);
    EXPECT_EQ(methods[i].dispid, expected[i].dispid) << expected[i].name;
    EXPECT_EQ(methods[i].parameters.size(), expected[i].parameters) << expected[i].name;
    EXPECT_EQ(methods[i].returns_boolean, expected[i].returns_boolean) << expected[i].name;
    EXPECT_EQ(methods[i].parameters.back(), "outvntMsg_Ret") << expected[i].name;
  }
}

TEST(MethodTable, NamesAreFoundWithoutRegardToCase) {
  const PublicMethod* method = FindPublicMethod("GBUSCA_empresa_FILIAL");
  ASSERT_NE(method, nullptr);
  EXPECT_EQ(method->name, "gBusca_Empresa_Filial");
  EXPECT_EQ(FindParameter(*method, "INVNTPONTO_OPERACAO_ID"), 3);
  EXPECT_EQ(FindParameter(*method, "outvntEmpresa"), -1);
  EXPECT_EQ(FindPublicMethod("mTrataSP_TMX_CON_EMPRESA_OP"), nullptr);  // private
}

TEST(MethodTable, EveryMethodRunsWithAllParametersEmptyAndAnswersInItsFrame) {
  for (const PublicMethod& method : PublicMethods()) {
    // With nothing to add, the invoice total is done: it needs no database.
    if (method.name == "gSoma_Nota_Fiscal") continue;
    CNH object;
    std::vector<Variant> arguments(method.parameters.size());
    const Variant result = method.invoke(object, arguments);
    if (method.returns_boolean) {
      EXPECT_EQ(result, Variant::Boolean(false)) << method.name;
    } else {
      EXPECT_EQ(result, Variant::Integer(10)) << method.name;
    }
    EXPECT_TRUE(arguments.back().IsString()) << method.name;  // the message says why
  }
}

// The help cannot drift from the table: every method and parameter is
// described, and every message the reference lists stands in the sources.
TEST(MethodTable, EveryMethodAndParameterIsDescribed) {
  std::string sources;
  for (const char* folder : {"documents", "invoices", "common"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(TMXCNH_SOURCE_DIR) + "/" + folder)) {
      std::ifstream file(entry.path());
      sources.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
  }
  for (const PublicMethod& method : PublicMethods()) {
    EXPECT_FALSE(MethodSummary(method).empty()) << method.name;
    EXPECT_FALSE(MethodTables(method).empty()) << method.name;
    for (std::string_view message : MethodMessages(method)) {
      EXPECT_NE(sources.find(message), std::string::npos) << method.name << ": " << message;
    }
    for (std::string_view parameter : method.parameters) {
      const ParameterDoc doc = DescribeParameter(method, parameter);
      EXPECT_FALSE(doc.meaning.empty() || doc.form.empty()) << method.name << " " << parameter;
      EXPECT_EQ(doc.direction == "out",
                parameter.substr(0, 3) == "out" && parameter != "outvntValor_Total_NF")
          << parameter;
    }
  }
}

}  // namespace
}  // namespace tmxcnh
