#include "component/method_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "component/method_docs.h"

namespace tmxcnh {
namespace {

// The order and dispatch identifiers are the late-bound callers' contract.
TEST(MethodTable, TheFourteenPublicMethodsInTheirOrder) {
  const std::pair<const char*, size_t> expected[] = {{"gConsulta_Cliente_Docto_Transp", 8},
                                                     {"gSoma_Nota_Fiscal", 5},
                                                     {"gBusca_Data_Dia", 7},
                                                     {"gBusca_Empresa_Filial", 6},
                                                     {"gBusca_Lista_Docto_Transporte", 17},
                                                     {"gConsulta_Docto_Transporte", 48},
                                                     {"gExclui_Docto_Transporte", 7},
                                                     {"gInclui_Docto_Transporte", 29},
                                                     {"gAltera_Docto_Transporte", 28},
                                                     {"mBusca_Cliente", 8},
                                                     {"mConsiste_Campos", 23},
                                                     {"mConsulta_Nota_Fiscal", 12},
                                                     {"mGrava_Nota_fiscal", 11},
                                                     {"mVerifica_Dupli_Num_Docto", 10}};
  const std::vector<PublicMethod>& methods = PublicMethods();
  ASSERT_EQ(methods.size(), std::size(expected));
  for (size_t i = 0; i < methods.size(); ++i) {
    const auto& [name, parameters] = expected[i];
    EXPECT_EQ(methods[i].name, name);
    EXPECT_EQ(methods[i].dispid, 0x60030000 + static_cast<int32_t>(i)) << name;
    EXPECT_EQ(methods[i].parameters.size(), parameters) << name;
    EXPECT_EQ(methods[i].returns_boolean, name[0] == 'm') << name;
    EXPECT_EQ(methods[i].parameters.back(), "outvntMsg_Ret") << name;
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
