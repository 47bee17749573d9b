#include "cli/help.h"

#include <algorithm>
#include <vector>

#include "component/method_docs.h"
#include "platform/text.h"
#include "tmxcnh/version.h"

namespace tmxcnh {
namespace {

// Edits (insert, delete, replace) from a to b, ignoring case.
size_t Distance(std::string_view a, std::string_view b) {
  const std::string x = text::UpperAscii(a);
  const std::string y = text::UpperAscii(b);
  std::vector<size_t> row(y.size() + 1);
  for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= y.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[y.size()];
}

}  // namespace

void PrintUsage(std::FILE* out) {
  std::fprintf(
      out,
      "tmxcnh %s: the transport-document component on the command line\n"
      "\n"
      "usage: tmxcnh <command> [<args>]\n"
      "\n"
      "  demo                                 a branch screen's calls on a fresh SQLite database\n"
      "  initdb [--no-demo] CONNECTION-TEXT   creates the schema and procedures, and the demo\n"
      "                                       data unless --no-demo (a PostgreSQL database must\n"
      "                                       exist already)\n"
      "  call METHOD [--json JSON|@FILE|-] [--exit-status]\n"
      "                                       calls a method with named arguments and prints\n"
      "                                       {\"result\", \"params\"}; --exit-status exits 1 "
      "when\n"
      "                                       the result is not 0 or True\n"
      "  serve --config FILE [--check]        the methods as an HTTP/JSON service (see the\n"
      "                                       README); --check validates FILE and exits\n"
      "  methods                              the fourteen methods\n"
      "  help [METHOD]                        this help, or a method's parameters\n"
      "  reference                            every method and parameter, as Markdown\n"
      "  --version                            the version\n"
      "\n"
      "Connection texts: Driver=SQLite3;Database=PATH for the embedded SQLite; any other\n"
      "text goes to ODBC (DSN=..., Driver={...};..., or ADO's Provider=... forms).\n"
      "Regional settings: TMXCNH_LOCALE=pt-BR (the default) or en-US.\n"
      "A value in --json is a JSON value, or {\"vt\": \"Integer\", \"value\": 7} to give its "
      "subtype\n"
      "(Empty, Null, Integer, Long, Double, Date, String, Boolean, Array).\n",
      kTmxcnhVersion);
}

void PrintMethods(std::FILE* out) {
  for (const PublicMethod& method : PublicMethods()) {
    std::fprintf(out, "%-32s %s\n", std::string(method.name).c_str(),
                 std::string(MethodSummary(method)).c_str());
    std::fprintf(out, "%-32s answers %s\n", "", MethodResults(method).c_str());
  }
  std::fprintf(out, "\n'tmxcnh help METHOD' gives a method's parameters.\n");
}

void PrintMethodHelp(std::FILE* out, const PublicMethod& method) {
  std::fprintf(out, "%s: %s\nAnswers %s.\n\nParameters, in the interface's order:\n",
               std::string(method.name).c_str(), std::string(MethodSummary(method)).c_str(),
               MethodResults(method).c_str());
  for (size_t i = 0; i < method.parameters.size(); ++i) {
    const ParameterDoc doc = DescribeParameter(method, method.parameters[i]);
    std::fprintf(out, "%3zu %-32s %-6s %s\n%43s %s\n", i + 1,
                 std::string(method.parameters[i]).c_str(), doc.direction.c_str(),
                 doc.meaning.c_str(), "", doc.form.c_str());
  }
}

void PrintReference(std::FILE* out) {
  std::fprintf(out,
               "# The methods of CNH\n\n"
               "Made by `tmxcnh reference` from the component's method table; a test keeps this "
               "file equal to it.\nEvery parameter is a Variant passed by reference. A method "
               "whose name begins with g answers a result code, one with m True or False.\n");
  for (const PublicMethod& method : PublicMethods()) {
    std::fprintf(out,
                 "\n## %s\n\n%s\n\nAnswers %s.\n\nTables: %s; a failure is logged in LOG_MSG.\n\n",
                 std::string(method.name).c_str(), std::string(MethodSummary(method)).c_str(),
                 MethodResults(method).c_str(), std::string(MethodTables(method)).c_str());
    std::fprintf(out, "Messages it writes itself (those of the methods it calls are theirs):\n\n");
    for (std::string_view message : MethodMessages(method)) {
      std::fprintf(out, "- \"%s\"\n", std::string(message).c_str());
    }
    std::fprintf(out, "\n");
    std::fprintf(out,
                 "| # | parameter | direction | holds | typed form |\n|---|---|---|---|---|\n");
    for (size_t i = 0; i < method.parameters.size(); ++i) {
      const ParameterDoc doc = DescribeParameter(method, method.parameters[i]);
      std::fprintf(out, "| %zu | `%s` | %s | %s | %s |\n", i + 1,
                   std::string(method.parameters[i]).c_str(), doc.direction.c_str(),
                   doc.meaning.c_str(), doc.form.c_str());
    }
  }
}

const PublicMethod* NearestMethod(std::string_view name) {
  const PublicMethod* nearest = nullptr;
  size_t best = name.size() / 3 + 1;  // more edits than that is another name
  for (const PublicMethod& method : PublicMethods()) {
    const size_t distance = Distance(name, method.name);
    if (distance <= best) {
      best = distance;
      nearest = &method;
    }
  }
  return nearest;
}

}  // namespace tmxcnh
