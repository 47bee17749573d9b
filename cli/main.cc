// tmxcnh: the component's command line.
//   tmxcnh demo                               a branch screen's calls on a fresh SQLite database
//   tmxcnh initdb CONNECTION-TEXT             schema, procedures and demo data
//   tmxcnh call METHOD [--json '{...}']       calls a public method by name
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/json_variant.h"
#include "component/cnh.h"
#include "component/method_table.h"
#include "db/drivers.h"
#include "db/initdb.h"
#include "platform/conversions.h"
#include "platform/run_time_error.h"

namespace tmxcnh {
namespace {

constexpr int kUsageError = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: tmxcnh demo\n"
               "       tmxcnh initdb CONNECTION-TEXT\n"
               "       tmxcnh call METHOD [--json '{\"parameter\": value, ...}']\n");
  return kUsageError;
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
  if (argc < 3 || argc == 4 || argc > 5 || (argc == 5 && std::string(argv[3]) != "--json")) {
    return Usage();
  }
  const PublicMethod* method = FindPublicMethod(argv[2]);
  if (method == nullptr) {
    std::fprintf(stderr, "tmxcnh: unknown method %s\n", argv[2]);
    return kUsageError;
  }
  std::vector<std::pair<int, Variant>> named;
  try {
    const nlohmann::json input = nlohmann::json::parse(argc == 5 ? argv[4] : "{}");
    if (!input.is_object()) throw std::invalid_argument("--json takes an object");
    for (const auto& [name, value] : input.items()) {
      const int index = FindParameter(*method, name);
      if (index < 0) {
        std::fprintf(stderr, "tmxcnh: %s has no parameter %s\n", std::string(method->name).c_str(),
                     name.c_str());
        return kUsageError;
      }
      named.emplace_back(index, JsonToVariant(value));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tmxcnh: bad --json: %s\n", error.what());
    return kUsageError;
  }
  const Call call = Invoke(*method, named);
  nlohmann::json output;
  output["result"] = VariantToJson(call.result);
  output["params"] = nlohmann::json::object();
  for (size_t i = 0; i < method->parameters.size(); ++i) {
    output["params"][std::string(method->parameters[i])] =
        ParameterToJson(method->parameters[i], call.arguments[i]);
  }
  std::cout << output.dump(2) << "\n";
  return 0;
}

int InitDb(int argc, char** argv) {
  if (argc != 3) return Usage();
  try {
    db::InitializeDatabase(argv[2]);
  } catch (const RunTimeError& error) {
    std::fprintf(stderr, "tmxcnh: initdb: %s\n", error.description().c_str());
    return 1;
  }
  std::printf("initdb: schema, procedures and demo data created\n");
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
  for (const std::vector<Variant>& row : rows->rows) {
    std::printf("  %-6s %-6s %-6s %-8s %-9s %s\n", text(row[0]).c_str(), text(row[1]).c_str(),
                text(row[2]).c_str(), text(row[3]).c_str(), text(row[4]).c_str(),
                text(row[5]).c_str());
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

}  // namespace
}  // namespace tmxcnh

int main(int argc, char** argv) {
  if (argc < 2) return tmxcnh::Usage();
  const std::string command = argv[1];
  if (command == "demo" && argc == 2) return tmxcnh::Demo();
  if (command == "initdb") return tmxcnh::InitDb(argc, argv);
  if (command == "call") return tmxcnh::CallCommand(argc, argv);
  return tmxcnh::Usage();
}
