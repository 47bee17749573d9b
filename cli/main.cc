// tmxcnh: the component's command line (`tmxcnh --help` tells its commands).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/help.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "component/method_table.h"
#include "db/drivers.h"
#include "db/initdb.h"
#include "platform/conversions.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "platform/text.h"
#include "service/config.h"
#include "service/json_variant.h"
#include "service/server.h"
#include "tmxcnh/version.h"

namespace tmxcnh {
namespace {

constexpr int kUsageError = 2;

int Usage() {
  PrintUsage(stderr);
  return kUsageError;
}

// A method named on the command line, or a message with a near name.
const PublicMethod* MethodNamed(const std::string& name) {
  if (const PublicMethod* method = FindPublicMethod(name)) return method;
  std::fprintf(stderr, "tmxcnh: unknown method %s", name.c_str());
  if (const PublicMethod* near = NearestMethod(name)) {
    std::fprintf(stderr, "; did you mean %s?", std::string(near->name).c_str());
  }
  std::fprintf(stderr, "\nSee 'tmxcnh methods'.\n");
  return nullptr;
}

// The text of --json: the argument itself, a file's (@FILE) or standard input's (-).
std::optional<std::string> JsonText(const std::string& argument) {
  if (argument != "-" && (argument.empty() || argument[0] != '@')) return argument;
  std::ifstream file;
  std::istream* in = &std::cin;
  if (argument != "-") {
    file.open(argument.substr(1));
    if (!file) {
      std::fprintf(stderr, "tmxcnh: cannot read %s\n", argument.substr(1).c_str());
      return std::nullopt;
    }
    in = &file;
  }
  std::ostringstream text;
  text << in->rdbuf();
  return text.str();
}

// Before a call on the embedded SQLite: a database the call can use, or a hint.
bool SqliteDatabaseReady(const std::string& connection) {
  const db::ConnectionText text(connection);
  if (!text::SameNameIgnoringCase(text.Get("Driver"), "SQLite3")) return true;
  const std::string path = text.Get("Database");
  bool ready = !path.empty() && std::filesystem::exists(path);
  if (ready) {
    try {
      db::Statement probe;
      probe.text = "SELECT COUNT(*) FROM TMX_PROCEDURE";
      probe.verbatim = true;
      db::OpenConnection(connection)->Execute(probe);
    } catch (const RunTimeError&) {
      ready = false;
    }
  }
  if (!ready) {
    std::fprintf(stderr,
                 "tmxcnh: no component database at '%s'; run `tmxcnh initdb "
                 "'Driver=SQLite3;Database=PATH'` first\n",
                 path.c_str());
  }
  return ready;
}

// Calls a method with named arguments; missing ones are Empty.
struct Call {
  const PublicMethod* method;
  std::vector<Variant> arguments;
  Variant result;
};

Call Invoke(const PublicMethod& method, const std::vector<std::pair<int, Variant>>& named) {
  Call call{&method, std::vector<Variant>(method.parameters.size()), Variant()};
  for (const auto& [index, value] : named) call.arguments[static_cast<size_t>(index)] = value;
  CNH object;
  call.result = method.invoke(object, call.arguments);
  return call;
}

int CallCommand(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string json = "{}";
  bool exit_status = false;
  for (int i = 3; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--json" && i + 1 < argc) {
      const std::optional<std::string> text = JsonText(argv[++i]);
      if (!text) return kUsageError;
      json = *text;
    } else if (option == "--exit-status") {
      exit_status = true;
    } else {
      std::fprintf(stderr, "tmxcnh: call: unknown option %s\n", option.c_str());
      return Usage();
    }
  }
  const PublicMethod* method = MethodNamed(argv[2]);
  if (method == nullptr) return kUsageError;
  std::vector<std::pair<int, Variant>> named;
  try {
    const nlohmann::json input = nlohmann::json::parse(json);
    if (!input.is_object()) throw std::invalid_argument("--json takes an object");
    for (const auto& [name, value] : input.items()) {
      const int index = FindParameter(*method, name);
      if (index < 0) {
        std::fprintf(stderr, "tmxcnh: %s has no parameter %s; see 'tmxcnh help %s'\n",
                     std::string(method->name).c_str(), name.c_str(),
                     std::string(method->name).c_str());
        return kUsageError;
      }
      named.emplace_back(index, JsonToVariant(value));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tmxcnh: bad --json: %s\n", error.what());
    return kUsageError;
  }
  const int connection = FindParameter(*method, "vntConecta_db");
  for (const auto& [index, value] : named) {
    if (index == connection && value.IsString() && !SqliteDatabaseReady(ToText(value))) return 1;
  }
  const Call call = Invoke(*method, named);
  const nlohmann::ordered_json output = AnswerToJson(*method, call.result, call.arguments);
  // Text from a database need not be valid UTF-8: shown with replacement characters.
  std::cout << output.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  if (!exit_status) return 0;
  const bool done = call.result.type() == VariantType::kBoolean
                        ? call.result.boolean_value()
                        : call.result.type() == VariantType::kInteger &&
                              call.result.integer_value() == kResultDone;
  return done ? 0 : 1;
}

int InitDb(int argc, char** argv) {
  const bool no_demo = argc == 4 && std::string(argv[2]) == "--no-demo";
  if (argc != 3 && !no_demo) return Usage();
  try {
    db::InitializeDatabase(argv[argc - 1], !no_demo);
  } catch (const RunTimeError& error) {
    std::fprintf(stderr, "tmxcnh: initdb: %s\n", error.description().c_str());
    return 1;
  }
  std::printf("initdb: schema and procedures created%s\n", no_demo ? "" : ", with the demo data");
  return 0;
}

// Shows a call and every out-parameter it wrote.
Call ShowCall(const char* title, const char* method_name,
              const std::vector<std::pair<std::string, Variant>>& values) {
  const PublicMethod& method = *FindPublicMethod(method_name);
  std::vector<std::pair<int, Variant>> named;
  for (const auto& [name, value] : values) {
    // The screen's common values go only to the methods that take them.
    if (const int index = FindParameter(method, name); index >= 0) named.emplace_back(index, value);
  }
  const Call call = Invoke(method, named);
  std::printf("\n%s\n  %s -> %s\n", title, method_name, Describe(call.result).c_str());
  for (size_t i = 0; i < method.parameters.size(); ++i) {
    const std::string_view name = method.parameters[i];
    if (name.substr(0, 3) != "out" || call.arguments[i].IsEmpty()) continue;
    std::printf("  %-32s %s\n", std::string(name).c_str(), Describe(call.arguments[i]).c_str());
  }
  return call;
}

using Screen = std::function<std::vector<std::pair<std::string, Variant>>(
    const char*, std::vector<std::pair<std::string, Variant>>)>;

// A document's whole life: inserted with two invoices, listed, read, its
// invoices totalled, updated with one invoice, deleted.
void ShowLife(const char* kind, const Screen& screen) {
  const std::string number = std::string(kind) == "ORACLE" ? "7702" : "7701";
  const auto document_screen = [&](Variant invoices, Variant contents, Variant values,
                                   Variant volumes, const char* weight) {
    const int32_t count = invoices.UBound() + 1;
    return screen(kind, {{"invntNum_Docto_Transporte", Variant(number)},
                         {"invntPonto_Operacao_id", Variant::Integer(7)},
                         {"invntTab_Tipo_Cobranca_id", Variant::Integer(3)},
                         {"invntCliente_id", Variant::Integer(101)},
                         {"invntEnd_Destinatario_id", Variant::Integer(203)},
                         {"invntEnd_Remetente_id", Variant::Integer(202)},
                         {"invntOrigem_id", Variant::Integer(1)},
                         {"invntDestino_id", Variant::Integer(8)},
                         {"invntPeso_Real", Variant(weight)},
                         {"invntVal_Declarado", Variant("1350,50")},
                         {"invntData_Emissao", Variant("20/11/2003")},
                         {"inarrvntNota_fiscal", invoices},
                         {"invntQtde_Notas", Variant::Long(count)},
                         {"invntPonto_Operacao_Destino_id", Variant::Integer(9)},
                         {"invnttab_tipo_despacho_id", Variant::Integer(1)},
                         {"inarrvntConteudo", contents},
                         {"inarrvntVal_Declarado", values},
                         {"inarrvntNum_Volume", volumes},
                         {"invntNum_Volume", Variant("3")},
                         {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}});
  };
  const Call inserted = ShowCall(
      "A new document with two invoices", "gInclui_Docto_Transporte",
      document_screen(Variant::Array({"4711", "4712"}), Variant::Array({"Sapatos", "Bolsas"}),
                      Variant::Array({"1000,25", "350,25"}), Variant::Array({"2", "1"}), "12,5"));
  const Variant document = inserted.arguments[static_cast<size_t>(
      FindParameter(*inserted.method, "outvntDocto_Transporte_id"))];
  ShowCall("The same number again", "gInclui_Docto_Transporte",
           document_screen(Variant::Array({"1"}), Variant::Array({"x"}), Variant::Array({"1"}),
                           Variant::Array({"1"}), "1"));
  ShowCall("Listed by its number", "gBusca_Lista_Docto_Transporte",
           screen(kind, {{"invntNum_Docto_Transporte", Variant(number)}}));
  ShowCall("Read in full", "gConsulta_Docto_Transporte",
           screen(kind, {{"invntDocto_Transporte_id", document}}));
  ShowCall("Its invoices totalled", "gSoma_Nota_Fiscal",
           screen(kind, {{"invntQtde_Notas", Variant::Integer(2)},
                         {"inarrvntVal_Declarado", Variant::Array({"1000,25", "350,25"})}}));
  std::vector<std::pair<std::string, Variant>> update =
      document_screen(Variant::Array({"4711"}), Variant::Array({"Sapatos"}),
                      Variant::Array({"1350,50"}), Variant::Array({"3"}), "13,75");
  update.emplace_back("invntDocto_Transporte_id", document);
  ShowCall("Updated with one invoice", "gAltera_Docto_Transporte", update);
  ShowCall("Read again", "gConsulta_Docto_Transporte",
           screen(kind, {{"invntDocto_Transporte_id", document}}));
  ShowCall("Deleted", "gExclui_Docto_Transporte",
           screen(kind, {{"invntDocto_Transporte_id", document}}));
  ShowCall("Read after the delete", "gConsulta_Docto_Transporte",
           screen(kind, {{"invntDocto_Transporte_id", document}}));
}

// The audit rows that both paths wrote (the procedures are not told the user).
void ShowAudit(const std::string& connection) {
  db::Statement query;
  query.text =
      "SELECT LOG_SISTEMA_ID, TABELA_SISTEMA_ID, TAB_TIPO_ACAO_ID, USUARIO_ID, REGISTRO_ID, "
      "DATA_LOG FROM LOG_SISTEMA ORDER BY LOG_SISTEMA_ID";
  query.verbatim = true;
  const std::optional<db::ResultSet> rows = db::OpenConnection(connection)->Execute(query);
  const auto text = [](const Variant& value) {
    return value.IsNull() ? std::string("null") : ToText(value);
  };
  std::printf("\n== the audit trail (LOG_SISTEMA)\n");
  std::printf("  %-6s %-6s %-6s %-8s %-9s %s\n", "id", "table", "action", "user", "record", "when");
  for (size_t r = 0; r < rows->row_count(); ++r) {
    const auto field = [&](size_t c) { return text(rows->at(r, c)); };
    std::printf("  %-6s %-6s %-6s %-8s %-9s %s\n", field(0).c_str(), field(1).c_str(),
                field(2).c_str(), field(3).c_str(), field(4).c_str(), field(5).c_str());
  }
}

int Demo() {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tmxcnh-demo-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string connection = "Driver=SQLite3;Database=" + (folder / "demo.db").string();
  try {
    db::InitializeDatabase(connection);
  } catch (const RunTimeError& error) {
    std::fprintf(stderr, "tmxcnh: demo: %s\n", error.description().c_str());
    return 1;
  }
  std::printf("A branch screen on the embedded database %s\n", connection.c_str());
  const Screen screen = [&](const char* kind, std::vector<std::pair<std::string, Variant>> values) {
    std::vector<std::pair<std::string, Variant>> all = {
        {"invntBanco_Dados", Variant(kind)},
        {"vntConecta_db", Variant(connection)},
        {"invntUsuario_internet_id", Variant::Integer(5)},
        {"invntEmpresa_id", Variant::Integer(1)}};
    all.insert(all.end(), values.begin(), values.end());
    return all;
  };
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    std::printf("\n== database kind %s\n", kind);
    ShowCall("The server's date", "gBusca_Data_Dia", screen(kind, {}));
    ShowCall("The company of branch 7", "gBusca_Empresa_Filial",
             screen(kind, {{"invntPonto_Operacao_id", Variant::Integer(7)}}));
    ShowCall("No branch typed", "gBusca_Empresa_Filial",
             screen(kind, {{"invntPonto_Operacao_id", Variant("")}}));
    ShowCall("A branch that does not exist", "gBusca_Empresa_Filial",
             screen(kind, {{"invntPonto_Operacao_id", Variant::Integer(999)}}));
    ShowCall("Company 1's documents issued from 04/03/2024 to 06/03/2024",
             "gBusca_Lista_Docto_Transporte",
             screen(kind, {{"invntData_ini", Variant("04/03/2024")},
                           {"invntData_Fim", Variant("06/03/2024")}}));
    ShowCall("Document 1001 in full", "gConsulta_Docto_Transporte",
             screen(kind, {{"invntDocto_Transporte_id", Variant::Long(1001)}}));
    ShowCall("Does number 4501 belong to client 101?", "gConsulta_Cliente_Docto_Transp",
             screen(kind, {{"invntPessoa_id", Variant::Integer(101)},
                           {"invntNum_Docto_Transporte", Variant::Integer(4501)}}));
    ShowCall("Does number 4503 belong to client 101?", "gConsulta_Cliente_Docto_Transp",
             screen(kind, {{"invntPessoa_id", Variant::Integer(101)},
                           {"invntNum_Docto_Transporte", Variant::Integer(4503)}}));
    ShowLife(kind, screen);
  }
  ShowAudit(connection);
  std::filesystem::remove_all(folder);
  return 0;
}

// `tmxcnh serve --config FILE [--check]`.
int ServeCommand(int argc, char** argv) {
  std::string path;
  bool check = false;
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--config" && i + 1 < argc) {
      path = argv[++i];
    } else if (option == "--check") {
      check = true;
    } else {
      std::fprintf(stderr, "tmxcnh: serve: unknown option %s\n", option.c_str());
      return Usage();
    }
  }
  if (path.empty()) {
    std::fprintf(stderr, "tmxcnh: serve needs --config FILE\n");
    return kUsageError;
  }
  const std::optional<std::string> text = JsonText("@" + path);
  if (!text) return 1;
  service::Config config;
  std::string error;
  if (!service::ParseConfig(*text, &config, &error)) {
    std::fprintf(stderr, "tmxcnh: serve: %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  if (check) {
    std::printf("%s: %zu database(s), %zu token(s), listening on %s:%d\n", path.c_str(),
                config.databases.size(), config.tokens.size(), config.host.c_str(), config.port);
    return 0;
  }
  return service::Serve(config);
}

}  // namespace
}  // namespace tmxcnh

int main(int argc, char** argv) {
  using namespace tmxcnh;
  if (const char* locale = std::getenv("TMXCNH_LOCALE"); locale && *locale) {
    Locale parsed;
    if (!ParseLocaleName(locale, &parsed)) {
      std::fprintf(stderr, "tmxcnh: TMXCNH_LOCALE=%s: the settings are pt-BR or en-US\n", locale);
      return kUsageError;
    }
  }
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || (command == "help" && argc == 2)) {
    PrintUsage(stdout);
    return 0;
  }
  if (command == "--version" || command == "version") {
    std::printf("tmxcnh %s\n", kTmxcnhVersion);
    return 0;
  }
  if (command == "help" && argc == 3) {
    const PublicMethod* method = MethodNamed(argv[2]);
    if (method == nullptr) return kUsageError;
    PrintMethodHelp(stdout, *method);
    return 0;
  }
  if (command == "methods" && argc == 2) {
    PrintMethods(stdout);
    return 0;
  }
  if (command == "reference" && argc == 2) {
    PrintReference(stdout);
    return 0;
  }
  if (command == "demo" && argc == 2) return Demo();
  if (command == "initdb") return InitDb(argc, argv);
  if (command == "call") return CallCommand(argc, argv);
  if (command == "serve") return ServeCommand(argc, argv);
  std::fprintf(stderr, "tmxcnh: '%s' is not a tmxcnh command. See 'tmxcnh --help'.\n",
               command.c_str());
  return kUsageError;
}
