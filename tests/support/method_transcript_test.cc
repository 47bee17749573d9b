// Method transcripts: each case calls one public method against the scripted
// database and holds what it sent and answered to what the file says. One
// directive a line; leading blanks and lines starting with `#` are ignored, and
// a line starting with `| ` continues the line before it.
//
//   define NAME ... end       lines kept under a name; `use NAME` puts them here
//   call METHOD [KIND...]     a case, run once for each kind (a literal); with no
//                             kind the method is called without a database
//   locale us                 the machine's settings (Brazil otherwise)
//   today D:2004-03-05T10:00:00
//   in NAME LITERAL           an argument
//   answer FRAGMENT | COLUMN LITERAL | ...   statements holding FRAGMENT answer
//                             this row (the first matching answer wins); columns
//                             without values answer no row
//   row LITERAL | ...         one more row for the answer before
//   fail N                    the N-th statement fails with "falha simulada"
//   sends |TEXT|              the statements sent, one line each, exactly, in
//                             order; `sends none`: nothing reached the database
//   sent N                    how many statements were sent
//   statement N is|ends|has |TEXT|
//   starting |PREFIX| N       how many statements begin with PREFIX
//   result LITERAL
//   out NAME LITERAL          a parameter after the call
//
// Literals are the oracle transcript's (E, N, I2:5, I4:7, R8:12.5, D:..., S:text,
// BOOL:-1), and arrays: [LITERAL | LITERAL], []. A text runs to the end of the
// line; a final `|` only shows where its trailing blanks end. Statements keep
// every blank between their two `|`.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "tests/platform/oracle_literals.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::ParseLiteral;
using testing::ScriptedDatabase;
using testing::Split;

struct Line {
  int number;
  std::string text;
};

// The line's words: the directive, and what follows its first blank.
std::pair<std::string, std::string> Head(const std::string& text) {
  const size_t blank = text.find(' ');
  if (blank == std::string::npos) return {text, ""};
  return {text.substr(0, blank), text.substr(blank + 1)};
}

std::string UpToMark(std::string text) {
  if (text.ends_with('|')) text.pop_back();
  return text;
}

std::optional<Variant> Value(std::string_view text) {
  if (text.starts_with('[') && text.ends_with(']')) {
    std::vector<Variant> elements;
    if (text.size() > 2) {
      for (const std::string& element : Split(text.substr(1, text.size() - 2), " | ")) {
        std::optional<Variant> value = Value(element);
        if (!value) return std::nullopt;
        elements.push_back(*value);
      }
    }
    return Variant::Array(std::move(elements));
  }
  try {
    return ParseLiteral(text);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The text between a line's first and last `|`.
std::optional<std::string> Marked(const std::string& text) {
  const size_t first = text.find('|'), last = text.rfind('|');
  if (first == std::string::npos || last == first) return std::nullopt;
  return text.substr(first + 1, last - first - 1);
}

std::optional<int> Number(const std::string& text) {
  try {
    size_t used = 0;
    const int n = std::stoi(text, &used);
    if (used == text.size()) return n;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

using Answers = std::vector<std::pair<std::string, db::ResultSet>>;

class Transcript {
 public:
  explicit Transcript(std::string path) : path_(std::move(path)) {}

  // The cases, each from its `call` line with its blocks put in; a line that
  // belongs nowhere fails.
  std::vector<std::vector<Line>> Cases() {
    std::ifstream file(path_);
    if (!file) ADD_FAILURE() << "cannot read " << path_;
    std::vector<Line> lines;
    std::string raw;
    for (int number = 1; std::getline(file, raw); ++number) {
      const size_t start = raw.find_first_not_of(' ');
      if (start == std::string::npos || raw[start] == '#') continue;
      if (raw.compare(start, 2, "| ") == 0 && !lines.empty()) {
        lines.back().text += " " + raw.substr(start);
      } else {
        lines.push_back({number, raw.substr(start)});
      }
    }
    std::map<std::string, std::vector<Line>> blocks;
    std::vector<std::vector<Line>> cases;
    std::vector<Line>* into = nullptr;
    for (const Line& line : lines) {
      const auto [directive, rest] = Head(line.text);
      if (directive == "define") {
        into = &blocks[rest];
      } else if (directive == "end") {
        into = nullptr;
      } else if (directive == "call") {
        into = &cases.emplace_back(std::vector<Line>{line});
      } else if (into == nullptr) {
        Fail(line, "outside a case");
      } else if (directive == "use" && !blocks.contains(rest)) {
        Fail(line, "no block " + rest);
      } else if (directive == "use") {
        into->insert(into->end(), blocks[rest].begin(), blocks[rest].end());
      } else {
        into->push_back(line);
      }
    }
    return cases;
  }

  void Run(const std::vector<Line>& lines) {
    const auto [directive, rest] = Head(lines[0].text);
    const auto [method, kinds_text] = Head(rest);
    if (kinds_text.empty()) return Run(lines, method, std::nullopt);
    for (const std::string& kind_text : Split(kinds_text, " ")) {
      const std::optional<Variant> kind = Value(kind_text);
      if (!kind) return Fail(lines[0], "not a kind: " + kind_text);
      Run(lines, method, kind);
    }
  }

 private:
  void Fail(const Line& line, const std::string& why) {
    ADD_FAILURE_AT(path_.c_str(), line.number) << why << ": " << line.text;
  }

  void Run(const std::vector<Line>& lines, const std::string& method,
           const std::optional<Variant>& kind) {
    std::optional<ScopedLocale> locale;
    std::optional<ScopedClock> clock;
    testing::Arguments arguments;
    Answers answers;
    std::vector<int> failures;
    std::vector<Line> checks;
    for (size_t i = 1; i < lines.size(); ++i) {
      const Line& line = lines[i];
      const auto [directive, rest] = Head(line.text);
      const auto [name, literal] = Head(rest);
      const std::optional<Variant> value = Value(UpToMark(literal));
      if (directive == "locale" && (rest == "us" || rest == "br")) {
        locale.emplace(rest == "us" ? Locale::kUnitedStates : Locale::kBrazil);
      } else if (directive == "today" && Value(rest) && Value(rest)->type() == VariantType::kDate) {
        const CivilTime today = CivilFromSerial(Value(rest)->date_value());
        clock.emplace([today] { return today; });
      } else if (directive == "in" && value) {
        testing::Set(arguments, name, *value);
      } else if (directive == "answer" || directive == "row") {
        if (!AddAnswer(answers, directive, rest)) return Fail(line, "not an answer");
      } else if (directive == "fail" && Number(rest)) {
        failures.push_back(*Number(rest));
      } else if (directive == "sends" || directive == "sent" || directive == "statement" ||
                 directive == "starting" || directive == "result" || directive == "out") {
        checks.push_back(line);
      } else {
        return Fail(line, "cannot read");
      }
    }
    if (checks.empty()) return Fail(lines[0], "a case that checks nothing");
    ScriptedDatabase database;
    for (const auto& [fragment, rows] : answers) database.Answer(fragment, rows);
    for (int n : failures) database.FailAt(n);
    testing::MethodCall call;
    try {
      call = kind ? testing::CallOn(method, *kind, database.connection_text(), arguments)
                  : testing::CallMethod(method, arguments);
    } catch (const std::exception& error) {
      return Fail(lines[0], error.what());
    }
    Check(lines[0], checks, call, database.statements(), kind);
  }

  static bool AddAnswer(Answers& answers, const std::string& directive, const std::string& rest) {
    const std::vector<std::string> fields = Split(rest, " | ");
    if (directive == "row") {
      if (answers.empty()) return false;
      db::ResultSet& rows = answers.back().second;
      if (fields.size() != rows.columns.size()) return false;
      for (const std::string& field : fields) {
        const std::optional<Variant> value = Value(UpToMark(field));
        if (!value) return false;
        rows.values.push_back(*value);
      }
    } else {
      db::ResultSet rows;
      for (size_t i = 1; i < fields.size(); ++i) {
        const auto [column, literal] = Head(fields[i]);
        rows.columns.push_back(column);
        if (literal.empty()) continue;
        const std::optional<Variant> value = Value(UpToMark(literal));
        if (!value) return false;
        rows.values.push_back(*value);
      }
      if (rows.columns.empty() || (!rows.values.empty() && rows.values.size() != fields.size() - 1))
        return false;
      answers.emplace_back(fields[0], rows);
    }
    return true;
  }

  void Check(const Line& call_line, const std::vector<Line>& checks,
             const testing::MethodCall& call, const std::vector<std::string>& sent,
             const std::optional<Variant>& kind) {
    std::optional<std::vector<std::string>> expected_sent;
    const Line* sends_line = nullptr;
    for (const Line& line : checks) {
      const ::testing::ScopedTrace trace(path_.c_str(), line.number,
                                         call_line.text + (kind ? " / " + Describe(*kind) : ""));
      const auto [directive, rest] = Head(line.text);
      const auto [name, literal] = Head(rest);
      const std::optional<Variant> value = Value(UpToMark(literal));
      const std::optional<std::string> text = Marked(rest);
      if (directive == "sends") {
        if (!expected_sent) expected_sent.emplace(), sends_line = &line;
        if (rest == "none") continue;
        if (!text) return Fail(line, "not a statement");
        expected_sent->push_back(*text);
      } else if (directive == "sent" && Number(rest)) {
        EXPECT_EQ(sent.size(), static_cast<size_t>(*Number(rest)));
      } else if (directive == "statement" && text && Number(name)) {
        const size_t n = static_cast<size_t>(*Number(name));
        const std::string how = Head(literal).first;
        if (n < 1 || n > sent.size()) {
          ADD_FAILURE() << "only " << sent.size() << " statements";
        } else if (how == "is") {
          EXPECT_EQ(sent[n - 1], *text);
        } else if (how == "ends") {
          EXPECT_TRUE(sent[n - 1].ends_with(*text)) << sent[n - 1];
        } else if (how == "has") {
          EXPECT_NE(sent[n - 1].find(*text), std::string::npos) << sent[n - 1];
        } else {
          return Fail(line, "is, ends or has");
        }
      } else if (directive == "starting" && text && Number(rest.substr(rest.rfind('|') + 1))) {
        size_t count = 0;
        for (const std::string& statement : sent) count += statement.starts_with(*text);
        EXPECT_EQ(count, static_cast<size_t>(*Number(rest.substr(rest.rfind('|') + 1))));
      } else if (directive == "result" && Value(UpToMark(rest))) {
        EXPECT_EQ(call.result, *Value(UpToMark(rest)));
      } else if (directive == "out" && value && call.parameters.contains(name)) {
        EXPECT_EQ(call[name], *value) << name;
      } else {
        return Fail(line, "cannot read");
      }
    }
    if (expected_sent) {
      const ::testing::ScopedTrace trace(path_.c_str(), sends_line->number, call_line.text);
      EXPECT_EQ(sent, *expected_sent);
    }
  }

  std::string path_;
};

class MethodTranscript : public ::testing::TestWithParam<const char*> {};

TEST_P(MethodTranscript, EachCaseSendsAndAnswersWhatItsFileSays) {
  Transcript transcript(std::string(TMXCNH_SOURCE_DIR) + "/tests/" + GetParam());
  const std::vector<std::vector<Line>> cases = transcript.Cases();
  EXPECT_FALSE(cases.empty());
  for (const std::vector<Line>& lines : cases) transcript.Run(lines);
}

INSTANTIATE_TEST_SUITE_P(Files, MethodTranscript,
                         ::testing::Values("documents/read_methods.txt",
                                           "documents/document_writes.txt",
                                           "invoices/invoice_methods.txt"));

}  // namespace
}  // namespace tmxcnh
