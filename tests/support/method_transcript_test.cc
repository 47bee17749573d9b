// Method transcripts: each case calls one public method against the scripted
// database (or the real ones) and holds what it sent and answered to what the
// file says. One directive a line; leading blanks and lines starting with `#`
// are ignored, and a line starting with `| ` continues the line before it.
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
//                             (on a real database too: the others run there)
//   sends |TEXT|              the statements sent, one line each, exactly, in
//                             order; `sends none`: nothing reached the database
//   sent N                    how many statements were sent
//   statement N is|ends|has |TEXT|
//   starting |PREFIX| N       how many statements begin with PREFIX
//   result LITERAL
//   out NAME LITERAL          a parameter after the call
//
// A file whose first directive is `databases every|once|sqlite [fresh|file]`
// runs on the real demo databases instead, on every engine and kind, on each
// once, or on SQLite with SQLSERVER (where the statements' count is SQLite's);
// a call without a kind takes the setting's. Its cases share one database per
// engine unless `fresh` gives each its own, or `file` one that its cases change
// in turn, and read:
//
//   before |SQL|              run on the case's own database first
//   same as reference         every parameter after the connection as on SQLite
//                             with SQLSERVER
//   count N |TABLE [WHERE ...]|   the rows there after the call
//   lists ID ...              the documents listed (their rows as on the
//                             reference, in any order) and their count
//
// Literals are the oracle transcript's (E, N, I2:5, I4:7, R8:12.5, D:..., S:text,
// BOOL:-1), and arrays: [LITERAL | LITERAL], []. A text runs to the end of the
// line; a final `|` only shows where its trailing blanks end. Statements keep
// every blank between their two `|`.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "tests/platform/oracle_literals.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/table_file.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::ParseLiteral;
using testing::ScriptedDatabase;
using testing::Setting;
using testing::Split;
using testing::TestDatabase;
using testing::TestEngine;
using testing::WholeNumber;

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

// The count after `starting |PREFIX|`, past the blank that parts them.
std::optional<int> StartingCount(const std::string& rest) {
  const size_t count = rest.find_first_not_of(' ', rest.rfind('|') + 1);
  return count == std::string::npos ? std::nullopt
                                    : WholeNumber(std::string_view(rest).substr(count));
}

using Answers = std::vector<std::pair<std::string, db::ResultSet>>;
using Rows = std::vector<std::vector<Variant>>;

// The listed documents' rows, by id: the inline statement asks for no order.
Rows ListedRows(const testing::MethodCall& call) {
  Rows rows;
  const char* const columns[] = {"outarrvntDocto_Transporte_id",
                                 "outarrvntNum_Docto_Transporte",
                                 "outarrvntRemetente",
                                 "outvntDestinatario",
                                 "outarrvntOrigem",
                                 "outarrvntDestino",
                                 "outarrvntTab_Tipo_Docto_Transp"};
  if (!call[columns[0]].IsArray()) return rows;
  for (int32_t i = 0; i <= call[columns[0]].UBound(); ++i) {
    rows.emplace_back();
    for (const char* column : columns) rows.back().push_back(call[column].At(i));
  }
  std::sort(rows.begin(), rows.end(),
            [](const auto& a, const auto& b) { return a[0].long_value() < b[0].long_value(); });
  return rows;
}

// The settings a file asks for with its first directive; none: the scripted database.
std::vector<Setting> SettingsOf(const std::string& path, std::string* own = nullptr) {
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line) && (line.empty() || line[0] == '#')) {
  }
  if (own) *own = line.ends_with(" fresh") ? "fresh" : line.ends_with(" file") ? "file" : "";
  if (line.starts_with("databases every")) return testing::kEveryEngineAndKind;
  if (line.starts_with("databases once")) return testing::kEachEngineAndKindOnce;
  if (line.starts_with("databases sqlite")) return {{TestEngine::kSqlite, "SQLSERVER"}};
  return {};
}

// One demo database per engine for the files that only read.
std::unique_ptr<TestDatabase> shared_databases[2];

TestDatabase* Shared(TestEngine engine) {
  auto& database = shared_databases[static_cast<int>(engine)];
  if (!database) database = TestDatabase::Create(engine);
  return database.get();
}

class Transcript {
 public:
  Transcript(std::string path, std::optional<Setting> setting)
      : path_(std::move(path)), setting_(setting) {
    SettingsOf(path_, &own_);
  }

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
      if (directive == "databases" && cases.empty() && into == nullptr) {
        continue;
      } else if (directive == "define") {
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
    if (kinds_text.empty())
      return Run(lines, method, setting_ ? std::optional(Variant(setting_->kind)) : std::nullopt);
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
    std::vector<std::string> before;
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
      } else if (setting_ &&
                 (directive == "answer" || directive == "row" || directive == "sends" ||
                  directive == "sent" || directive == "statement" || directive == "starting")) {
        return Fail(line, "not on a real database");
      } else if (directive == "before" && !own_.empty() && Marked(rest)) {
        before.push_back(*Marked(rest));
      } else if (directive == "answer" || directive == "row") {
        if (!AddAnswer(answers, directive, rest)) return Fail(line, "not an answer");
      } else if (directive == "fail" && WholeNumber(rest)) {
        failures.push_back(*WholeNumber(rest));
      } else if (directive == "sends" || directive == "sent" || directive == "statement" ||
                 directive == "starting" || directive == "result" || directive == "out" ||
                 (setting_ &&
                  (directive == "same" || directive == "count" || directive == "lists"))) {
        checks.push_back(line);
      } else {
        return Fail(line, "cannot read");
      }
    }
    if (checks.empty()) return Fail(lines[0], "a case that checks nothing");
    TestDatabase* real = nullptr;
    if (setting_) {
      if (own_ == "fresh" || (own_ == "file" && !own_database_))
        own_database_ = TestDatabase::Create(setting_->engine);
      real = own_.empty() ? Shared(setting_->engine) : own_database_.get();
    }
    const auto reference = [&] {
      return testing::CallOn(method, Variant("SQLSERVER"),
                             Shared(TestEngine::kSqlite)->connection_text(), arguments);
    };
    testing::MethodCall call;
    std::vector<std::string> sent;
    {
      // On a real database only a failure is scripted; what does not fail runs there.
      const bool direct = real && failures.empty();
      ScriptedDatabase scripted(real && !direct ? real->connection_text() : "");
      for (const auto& [fragment, rows] : answers) scripted.Answer(fragment, rows);
      for (int n : failures) scripted.FailAt(n);
      try {
        for (const std::string& sql : before) real->Execute(sql);
        const std::string connection =
            direct ? real->connection_text() : scripted.connection_text();
        call = kind ? testing::CallOn(method, *kind, connection, arguments)
                    : testing::CallMethod(method, arguments);
      } catch (const std::exception& error) {
        return Fail(lines[0], error.what());
      }
      sent = scripted.statements();
    }
    Check(lines[0], checks, call, sent, kind, real, reference);
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
             const std::optional<Variant>& kind, TestDatabase* real,
             const std::function<testing::MethodCall()>& reference) {
    std::optional<std::vector<std::string>> expected_sent;
    const Line* sends_line = nullptr;
    for (const Line& line : checks) {
      const ::testing::ScopedTrace trace(
          path_.c_str(), line.number,
          call_line.text + (kind ? " / " + Describe(*kind) : "") +
              (real ? std::string(" / ") + testing::EngineName(real->engine()) : "") +
              (call.parameters.contains("outvntMsg_Ret")
                   ? " / " + Describe(call.parameters.at("outvntMsg_Ret"))
                   : ""));
      const auto [directive, rest] = Head(line.text);
      const auto [name, literal] = Head(rest);
      const std::optional<Variant> value = Value(UpToMark(literal));
      const std::optional<std::string> text = Marked(rest);
      if (directive == "sends") {
        if (!expected_sent) expected_sent.emplace(), sends_line = &line;
        if (rest == "none") continue;
        if (!text) return Fail(line, "not a statement");
        expected_sent->push_back(*text);
      } else if (directive == "sent" && WholeNumber(rest)) {
        EXPECT_EQ(sent.size(), static_cast<size_t>(*WholeNumber(rest)));
      } else if (directive == "statement" && text && WholeNumber(name)) {
        const size_t n = static_cast<size_t>(*WholeNumber(name));
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
      } else if (directive == "starting" && text && StartingCount(rest)) {
        size_t count = 0;
        for (const std::string& statement : sent) count += statement.starts_with(*text);
        EXPECT_EQ(count, static_cast<size_t>(*StartingCount(rest)));
      } else if (directive == "result" && Value(UpToMark(rest))) {
        EXPECT_EQ(call.result, *Value(UpToMark(rest)));
      } else if (directive == "out" && value && call.parameters.contains(name)) {
        EXPECT_EQ(call[name], *value) << name;
      } else if (directive == "same" && rest == "as reference") {
        // The database kind and the connection differ by setting.
        const testing::MethodCall on_reference = reference();
        EXPECT_EQ(std::vector(call.in_order.begin() + 2, call.in_order.end()),
                  std::vector(on_reference.in_order.begin() + 2, on_reference.in_order.end()));
      } else if (directive == "count" && text && WholeNumber(name)) {
        EXPECT_EQ(real->Count(*text), *WholeNumber(name));
      } else if (directive == "lists") {
        std::vector<Variant> ids;
        for (const std::string& id : Split(rest, " ")) {
          if (!WholeNumber(id)) return Fail(line, "not a document");
          ids.push_back(Variant::Long(*WholeNumber(id)));
        }
        const Rows rows = ListedRows(call);
        std::vector<Variant> listed;
        for (const auto& row : rows) listed.push_back(row[0]);
        EXPECT_EQ(listed, ids);
        EXPECT_EQ(rows, ListedRows(reference()));
        EXPECT_EQ(call["outvntQtde_Docto"], Variant::Long(static_cast<int32_t>(ids.size())));
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
  std::optional<Setting> setting_;
  std::string own_;  // the database's: shared, fresh for each case, or the file's
  std::unique_ptr<TestDatabase> own_database_;
};

// A file, and the setting it runs on when it asks for real databases.
struct Run {
  std::string file;
  std::optional<Setting> setting;
};

void PrintTo(const Run& run, std::ostream* out) {
  *out << run.file;
  if (run.setting) *out << " on ", testing::PrintTo(*run.setting, out);
}

std::vector<Run> Runs(std::initializer_list<const char*> files) {
  std::vector<Run> runs;
  for (const char* file : files) {
    const std::vector<Setting> settings = SettingsOf(testing::TestFilePath(file));
    if (settings.empty()) runs.push_back({file, std::nullopt});
    for (const Setting& setting : settings) runs.push_back({file, setting});
  }
  return runs;
}

std::string RunName(const ::testing::TestParamInfo<Run>& info) {
  const std::string& file = info.param.file;
  const std::string name = file.substr(file.find('/') + 1, file.find('.') - file.find('/') - 1);
  if (!info.param.setting) return name;
  return name + "_" + testing::SettingName({*info.param.setting, info.index});
}

class MethodTranscript : public ::testing::TestWithParam<Run> {
 protected:
  static void TearDownTestSuite() {
    for (auto& database : shared_databases) database.reset();
  }
};

TEST_P(MethodTranscript, EachCaseSendsAndAnswersWhatItsFileSays) {
  const std::optional<Setting>& setting = GetParam().setting;
  if (setting && setting->engine == TestEngine::kPostgreSql && !std::getenv("TMXCNH_TEST_PG"))
    GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG; scripts/with-postgres does)";
  Transcript transcript(testing::TestFilePath(GetParam().file), setting);
  const std::vector<std::vector<Line>> cases = transcript.Cases();
  EXPECT_FALSE(cases.empty());
  for (const std::vector<Line>& lines : cases) transcript.Run(lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MethodTranscript,
    ::testing::ValuesIn(Runs({"documents/read_methods.txt", "documents/document_writes.txt",
                              "invoices/invoice_methods.txt", "integration/reading.txt",
                              "integration/changed_reads.txt", "integration/refused_writes.txt",
                              "integration/document_life.txt", "integration/failing_writes.txt",
                              "integration/refused_invoices.txt"})),
    RunName);

}  // namespace
}  // namespace tmxcnh
