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
#include "tests/support/table_file.h"

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
  for (const testing::TableRow& row : testing::ReadTableFile("cli/commands.txt", 3, 4)) {
    const std::string arguments =
        testing::Filled(row[0], {{"db", connection_}, {"dir", folder_.string()}});
    const CommandRun run = Command(arguments, row.fields.size() == 4 ? row[3] : "");
    EXPECT_EQ(std::to_string(run.status), row[1]) << row.where << "\n" << run.output;
    EXPECT_NE(run.output.find(row.Text(2)), std::string::npos) << row.where << "\n" << run.output;
  }
  // Nesting deeper than the reader takes.
  const CommandRun deep = Command("call gSoma_Nota_Fiscal --json " +
                                  Quote("{\"inarrvntVal_Declarado\": " + std::string(30000, '[') +
                                        std::string(30000, ']') + "}"));
  EXPECT_EQ(deep.status, 2) << deep.output;
  EXPECT_NE(deep.output.find("nested deeper than 32"), std::string::npos) << deep.output;
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
