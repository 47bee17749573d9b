// The tmxcnh command, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

namespace tmxcnh {
namespace {

struct CommandRun {
  int status;
  std::string output;  // standard output and error
};

CommandRun Command(const std::string& arguments) {
  const std::string command = std::string(TMXCNH_CLI_PATH) + " " + arguments + " 2>&1";
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

TEST_F(CommandTest, InitdbCreatesOnceAndRefusesToOverwrite) {
  EXPECT_EQ(Command("initdb " + Quote(connection_)).status, 0);
  const CommandRun again = Command("initdb " + Quote(connection_));
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.output.find("já contém tabelas"), std::string::npos) << again.output;
}

TEST_F(CommandTest, CallPrintsTheResultAndEveryParameter) {
  ASSERT_EQ(Command("initdb " + Quote(connection_)).status, 0);
  for (const char* kind : {"ORACLE", "SQLSERVER"}) {
    const nlohmann::json input = {{"invntbanco_dados", kind},  // names ignore case
                                  {"vntConecta_db", connection_},
                                  {"invntUsuario_internet_id", 5},
                                  {"invntPonto_Operacao_id", 7}};
    const CommandRun run = Command("call gbusca_empresa_filial --json " + Quote(input.dump()));
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json output = nlohmann::json::parse(run.output);
    EXPECT_EQ(output["result"], nlohmann::json({{"vt", "Integer"}, {"value", 0}}));
    EXPECT_EQ(output["params"]["outvntEmpresa_id"], nlohmann::json({{"vt", "Long"}, {"value", 1}}));
    EXPECT_EQ(output["params"]["outvntMsg_Ret"],
              nlohmann::json({{"vt", "Empty"}, {"value", nullptr}}));
    EXPECT_EQ(output["params"].size(), 6u);
  }
  const nlohmann::json zero = {{"vntConecta_db", connection_}, {"invntPonto_Operacao_id", 0}};
  const nlohmann::json output = nlohmann::json::parse(
      Command("call gBusca_Empresa_Filial --json " + Quote(zero.dump())).output);
  EXPECT_EQ(output["result"]["value"], 10);
  EXPECT_EQ(output["params"]["outvntMsg_Ret"]["value"], "Informe uma Filial.");
}

TEST_F(CommandTest, UnknownMethodsAndParametersAreUsageErrors) {
  const CommandRun method = Command("call gNaoExiste --json '{}'");
  EXPECT_EQ(method.status, 2);
  EXPECT_NE(method.output.find("unknown method gNaoExiste"), std::string::npos);
  const CommandRun parameter = Command("call gBusca_Data_Dia --json '{\"outvntDia\": 1}'");
  EXPECT_EQ(parameter.status, 2);
  EXPECT_NE(parameter.output.find("has no parameter outvntDia"), std::string::npos);
  EXPECT_EQ(Command("call gBusca_Data_Dia --json '[1'").status, 2);
  EXPECT_EQ(Command("nothing").status, 2);
}

TEST_F(CommandTest, TheDemoRuns) {
  const CommandRun run = Command("demo");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Informe uma Filial."), std::string::npos);
  EXPECT_NE(run.output.find("Filial não cadastrada."), std::string::npos);
}

}  // namespace
}  // namespace tmxcnh
