#include "component/method_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "component/method_docs.h"

namespace tmxcnh {
namespace {

// The names, order, parameters and result kinds are held by docs/methods.md,
// which the command's test keeps equal to the table; the command finds names
// without regard to case, and the type library keeps the DISPIDs.
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

// docs/methods.md holds what the help says; every message it lists must
// stand in the sources.
TEST(MethodTable, EveryMessageTheHelpListsIsTheCodes) {
  std::string sources;
  for (const char* folder : {"documents", "invoices", "common"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(TMXCNH_SOURCE_DIR) + "/" + folder)) {
      std::ifstream file(entry.path());
      sources.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
  }
  for (const PublicMethod& method : PublicMethods()) {
    for (std::string_view message : MethodMessages(method)) {
      EXPECT_NE(sources.find(message), std::string::npos) << method.name << ": " << message;
    }
  }
}

}  // namespace
}  // namespace tmxcnh
