// The tmxcnh command, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "db/drivers.h"

namespace tmxcnh {
namespace {

struct CommandRun {
  int status;
  std::string output;  // standard output and error
};

// Runs tmxcnh with the arguments, after VARIABLE=value settings when given.
CommandRun Command(const std::string& arguments, const std::string& environment = "") {
  const std::string command =
      environment + " " + std::string(TMXCNH_CLI_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  std::array<char, 4096> buffer;
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("tmx_cli_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    connection_ = "Driver=SQLite3;Database=" + (folder_ / "cli.db").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::filesystem::path folder_;
  std::string connection_;
};

// What the command answers for itself and for what it is given: exit status
// and a piece of what it prints.
TEST_F(CommandTest, ExplainsItselfAndRefusesWhatItCannotTake) {
  ASSERT_EQ(Command("initdb " + Quote(connection_)).status, 0);
  const std::string screen = "{\"vntConecta_db\": " + nlohmann::json(connection_).dump() +
                             ", \"invntPonto_Operacao_id\": ";
  std::ofstream(folder_ / "screen.json") << screen << "7}";
  struct Case {
    std::string arguments;
    int status;
    const char* says;
    std::string environment = "";
  };
  const Case cases[] = {
      {"initdb " + Quote(connection_), 1, "já contém tabelas"},  // it never overwrites
      {"--help", 0, "usage: tmxcnh <command>"},
      {"help gconsulta_docto_transporte", 0, "invntDocto_Transporte_id         in"},
      {"help gBusca_Data_dai", 2, "did you mean gBusca_Data_Dia?"},
      {"frobnicate", 2, "not a tmxcnh command. See 'tmxcnh --help'"},
      {"call gNaoExiste --json '{}'", 2, "unknown method gNaoExiste"},
      {"call gBusca_Data_Dia --json '{\"outvntDia\": 1}'", 2, "has no parameter outvntDia"},
      {"call gBusca_Data_Dia --json '[1'", 2, ""},
      {"demo", 0, "Informe uma Filial."},
      {"call gBusca_Empresa_Filial --json " +
           Quote(screen + "{\"vt\": \"Integer\", \"value\": 70000}}"),
       2, "does not fit in an Integer"},
      {"call gBusca_Empresa_Filial --json " +
           Quote(screen + "{\"vt\": \"Long\", \"value\": 3000000000}}"),
       2, "does not fit in an Long"},
      // Names ignore case; every parameter is printed with its subtype.
      {"call gbusca_empresa_filial --json " +
           Quote("{\"invntbanco_dados\": \"ORACLE\", \"vntconecta_db\": " +
                 nlohmann::json(connection_).dump() + ", \"invntponto_operacao_id\": 7}"),
       0, "\"outvntEmpresa_id\": {\n      \"value\": 1,\n      \"vt\": \"Long\""},
      {"call gBusca_Empresa_Filial --exit-status --json - < " + (folder_ / "screen.json").string(),
       0, "\"value\": 1"},
      {"call gBusca_Empresa_Filial --exit-status --json " + Quote(screen + "999}"), 1,
       "Filial não cadastrada."},
      {"call gBusca_Data_Dia --json " + Quote("{\"vntConecta_db\": \"Driver=SQLite3;Database=" +
                                              (folder_ / "no.db").string() + "\"}"),
       1, "run `tmxcnh initdb"},
      {"initdb 'Driver=SQLite3'", 1, "Database="},
      {"methods", 2, "pt-BR or en-US", "TMXCNH_LOCALE=fr-FR"},
      {"call gSoma_Nota_Fiscal --json " +
           Quote("{\"inarrvntVal_Declarado\": " + std::string(30000, '[') +
                 std::string(30000, ']') + "}"),
       2, "nested deeper than 32"},
  };
  for (const Case& c : cases) {
    const CommandRun run = Command(c.arguments, c.environment);
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << "\n" << run.output;
  }
  // The parameters in the interface's order, from a file.
  const CommandRun ordered =
      Command("call gBusca_Empresa_Filial --json @" + (folder_ / "screen.json").string());
  EXPECT_LT(ordered.output.find("invntBanco_Dados"), ordered.output.find("outvntMsg_Ret"));
  EXPECT_EQ(ordered.status, 0) << ordered.output;
  // Text that is not UTF-8 is shown, not a crash.
  db::Statement bad;
  bad.text = "UPDATE PESSOA SET NOME = CAST(X'C328' AS TEXT) WHERE PESSOA_ID = 101";
  bad.verbatim = true;
  db::OpenConnection(connection_)->Execute(bad);
  const nlohmann::json client = {
      {"vntConecta_db", connection_}, {"invntCliente_id", 101}, {"invntBanco_Dados", "ORACLE"}};
  EXPECT_EQ(Command("call mBusca_Cliente --json " + Quote(client.dump())).status, 0);
  // A production schema without the demo's rows.
  const std::string empty = "Driver=SQLite3;Database=" + (folder_ / "empty.db").string();
  ASSERT_EQ(Command("initdb --no-demo " + Quote(empty)).status, 0);
  db::Statement count;
  count.text = "SELECT COUNT(*) FROM PONTO_OPERACAO";
  count.verbatim = true;
  EXPECT_EQ(db::OpenConnection(empty)->Execute(count)->at(0, 0), Variant::Long(0));
}

TEST_F(CommandTest, TheMethodReferenceIsTheTablesOwn) {
  std::ifstream file(std::string(TMXCNH_SOURCE_DIR) + "/docs/methods.md");
  const std::string written((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
  EXPECT_EQ(Command("reference").output, written)
      << "docs/methods.md is out of date: build/tmxcnh reference > docs/methods.md";
}

}  // namespace
}  // namespace tmxcnh
