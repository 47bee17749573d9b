// Hostile input: every payload of tests/data/hostile_payloads.txt, and texts
// of 100,000 characters, in every parameter of every public method, on a
// screen otherwise valid, on each engine and for each kind. No call may
// escape its frame or answer outside its codes, and nothing but the methods'
// own rows may change: every table stands, the reference data is whole.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "component/method_table.h"
#include "tests/support/document_screen.h"
#include "tests/support/table_file.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::TestDatabase;
using testing::TestEngine;

std::vector<std::string> Payloads() {
  std::vector<std::string> payloads;
  std::ifstream file(testing::TestFilePath("data/hostile_payloads.txt"));
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line[0] == '#') continue;
    payloads.push_back(testing::Unescape(line));
  }
  payloads.push_back(std::string(100000, '9'));
  std::string days;
  while (days.size() < 100000) days += "domingo ";
  payloads.push_back(days);
  return payloads;
}

// Valid values for every parameter name of the interface.
std::map<std::string, Variant> Baseline(const std::string& kind, const std::string& connection) {
  std::map<std::string, Variant> values;
  for (const auto& [name, value] : testing::DocumentScreen(kind, connection, "8801", 2, "12,5")) {
    values[name] = value;
  }
  values["invntPessoa_id"] = Variant::Integer(101);
  values["invntData_ini"] = Variant("01/03/2024");
  values["invntData_Fim"] = Variant("31/03/2024");
  values["invntDocto_Transporte_id"] = Variant::Long(1001);
  values["invntPeso_Total"] = Variant("12,5");
  values["invntValor_Declarado"] = Variant("1000");
  values["invnttab_sit_entrega_id"] = Variant::Integer(1);
  return values;
}

class HostileTest : public testing::DatabaseTest {};

TEST_P(HostileTest, EveryPayloadInEveryParameterIsAnsweredWithinTheFrame) {
  TestDatabase* database = database_.get();
  const bool sqlite = GetParam().engine == TestEngine::kSqlite;
  const std::string tables = sqlite ? "sqlite_master WHERE type = 'table'"
                                    : "information_schema.tables WHERE table_schema = 'public'";
  const int32_t table_count = database->Count(tables);
  const int32_t branches = database->Count("PONTO_OPERACAO");
  const std::map<std::string, Variant> baseline =
      Baseline(GetParam().kind, database->connection_text());
  const std::vector<std::string> payloads = Payloads();
  for (const PublicMethod& method : PublicMethods()) {
    for (size_t p = 0; p < method.parameters.size(); ++p) {
      if (std::string_view(method.parameters[p]) == "vntConecta_db") continue;
      for (size_t k = 0; k < payloads.size(); ++k) {
        std::vector<Variant> values(method.parameters.size());
        for (size_t i = 0; i < values.size(); ++i) {
          const auto it = baseline.find(std::string(method.parameters[i]));
          if (it != baseline.end()) values[i] = it->second;
        }
        values[p] = Variant(payloads[k]);
        CNH object;
        const Variant result = method.invoke(object, values);
        const bool in_frame = method.returns_boolean ? result.type() == VariantType::kBoolean
                                                     : result == Variant::Integer(0) ||
                                                           result == Variant::Integer(10) ||
                                                           result == Variant::Integer(30);
        EXPECT_TRUE(in_frame) << method.name << " " << method.parameters[p] << " payload " << k;
      }
    }
  }
  EXPECT_EQ(database->Count(tables), table_count);
  EXPECT_EQ(database->Count("PONTO_OPERACAO"), branches);
  EXPECT_EQ(database->Count("DUAL"), 1);
  EXPECT_EQ(database->Count("INFRA_IDS"), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, HostileTest, testing::EachEngineAndKindOnce(),
                         testing::SettingName);

}  // namespace
}  // namespace tmxcnh
