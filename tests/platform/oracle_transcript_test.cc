// Replays every request of the oleaut oracle's transcripts against the
// component's Variant and compares the answers.
//
// oracle_transcript.tsv holds the oracle's own answers, which the component
// must give. oracle_departures.tsv holds the few requests where the oracle's
// answer is a known fault of the implementation behind it; each line carries
// the oracle's answer, the component's answer and the reason. Both files can
// be re-checked against the oracle with scripts/recheck-oracle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/operators.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/platform/oracle_literals.h"
#include "tests/support/table_file.h"

namespace tmxcnh::testing {
namespace {

std::string ErrorAnswer(const RunTimeError& error) {
  switch (error.number()) {
    case kErrTypeMismatch:
      return "ERR\t0x80020005\tDISP_E_TYPEMISMATCH";
    case kErrOverflow:
      return "ERR\t0x8002000A\tDISP_E_OVERFLOW";
    default:
      return "ERR\t" + std::to_string(error.number()) + "\t" + error.description();
  }
}

Variant Argument(const std::vector<std::string>& request, size_t index) {
  std::optional<Variant> value = ParseLiteral(request.at(index));
  if (!value) throw std::invalid_argument("bad literal " + request.at(index));
  return *value;
}

std::string Evaluate(const std::string& line) {
  const std::vector<std::string> request = Split(line, "\t");
  const std::string& op = request.at(0);
  ScopedLocale locale(request.at(1) == "0409" ? Locale::kUnitedStates : Locale::kBrazil);
  try {
    if (op == "CHANGE") {
      std::optional<VariantType> type = ParseTypeName(request.at(2));
      if (!type) throw std::invalid_argument("bad type " + request.at(2));
      return "OK\t" + WriteLiteral(ChangeType(Argument(request, 3), *type));
    }
    if (op == "CMP") {
      static const char* const kNames[] = {"LT", "EQ", "GT", "NULL"};
      return std::string("OK\t") +
             kNames[static_cast<int>(CompareVariants(Argument(request, 2), Argument(request, 3)))];
    }
    if (op == "ADD") return "OK\t" + WriteLiteral(Add(Argument(request, 2), Argument(request, 3)));
    if (op == "CAT") {
      return "OK\t" + WriteLiteral(Concatenate(Argument(request, 2), Argument(request, 3)));
    }
    if (op == "FORMAT") {
      const Variant mask = Argument(request, 3);
      return "OK\t" +
             WriteLiteral(Variant::String(Format(Argument(request, 2), mask.string_value())));
    }
    if (op == "ISNUMERIC") {
      return IsNumeric(Argument(request, 2)) ? "OK\tBOOL:-1" : "OK\tBOOL:0";
    }
    if (op == "ISDATE") return IsDate(Argument(request, 2)) ? "OK\tBOOL:-1" : "OK\tBOOL:0";
  } catch (const RunTimeError& error) {
    return ErrorAnswer(error);
  }
  throw std::invalid_argument("unknown op " + op);
}

// "request => answer" lines; in a departures file, "request => oracle's answer
// => component's answer => reason": the component's answer is expected.
void Replay(const std::string& name, size_t minimum_cases) {
  const std::vector<TableRow> cases = ReadTableFile("platform/" + name, 2, 4, "\t=>\t");
  EXPECT_GE(cases.size(), minimum_cases) << name;
  for (const TableRow& c : cases) {
    EXPECT_EQ(Evaluate(c[0]), c.fields.size() == 2 ? c[1] : c[2]) << c.where << ": " << c[0];
  }
}

TEST(OracleTranscript, ComponentGivesTheOraclesAnswers) { Replay("oracle_transcript.tsv", 150); }

TEST(OracleTranscript, DeparturesGiveTheComponentsOwnAnswers) {
  Replay("oracle_departures.tsv", 1);
}

}  // namespace
}  // namespace tmxcnh::testing
