// The step numbers that the traps report must point at one step for good:
// unique in the class, rising in tens within each method, written as
// literals in the sources (so a build cannot change them).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace tmxcnh {
namespace {

TEST(StepNumbers, AreUniqueAndRiseInTensWithinEachMethod) {
  // A trap (or an emulation's frame) names its method; the steps that follow belong to it.
  const std::regex marks(
      R"re((?:MethodTrap trap\(|ComposeStatement\(|MethodTrap::Routine\()\s*"(\w+)"|trap\.Step\((\d+)\))re");
  std::map<int, std::string> owner;
  int methods = 0;
  for (const char* folder : {"component", "documents", "invoices", "common"}) {
    const std::filesystem::path path = std::filesystem::path(TMXCNH_SOURCE_DIR) / folder;
    if (!std::filesystem::exists(path)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
      if (entry.path().extension() != ".cc") continue;
      std::ifstream file(entry.path());
      std::stringstream content;
      content << file.rdbuf();
      const std::string text = content.str();
      std::string method;
      int previous = 0;
      for (std::sregex_iterator it(text.begin(), text.end(), marks), end; it != end; ++it) {
        if ((*it)[1].matched) {
          method = (*it)[1];
          previous = 0;
          ++methods;
          continue;
        }
        const int number = std::stoi((*it)[2]);
        const std::string where = entry.path().filename().string() + " " + method;
        EXPECT_FALSE(method.empty()) << where << ": step " << number << " outside a method";
        EXPECT_TRUE(owner.emplace(number, where).second)
            << "step " << number << " of " << where << " is also in " << owner[number];
        if (previous != 0) {
          EXPECT_EQ(number, previous + 10) << where;
        }
        previous = number;
      }
    }
  }
  EXPECT_GE(methods, 4);
}

}  // namespace
}  // namespace tmxcnh
