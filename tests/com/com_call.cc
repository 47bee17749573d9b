// tmxcnh_com_call: `tmxcnh call` through COM. Creates TmxCNH39.CNH by ProgID,
// calls a public method by name with IDispatch::Invoke and by-reference
// VARIANTs, and prints the result and every parameter after the call exactly
// as the Linux build's `tmxcnh call` prints them, so that the two can be
// compared text for text (tests/com/cross-check).
//   tmxcnh_com_call METHOD [--json '{"parameter": value, ...}']
#include <windows.h>
// The other Windows headers take their basic types from windows.h.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "com/variant_bridge.h"
#include "component/method_table.h"
#include "service/json_variant.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

constexpr int kUsageError = 2;

int Usage() {
  std::fprintf(stderr, "usage: tmxcnh_com_call METHOD [--json '{\"parameter\": value, ...}']\n");
  return kUsageError;
}

int CallByName(const PublicMethod& method, const nlohmann::json& input) {
  testing::Call call(std::string(method.name).c_str());
  for (const auto& [name, value] : input.items()) {
    if (FindParameter(method, name) < 0) {
      std::fprintf(stderr, "tmxcnh_com_call: %s has no parameter %s\n",
                   std::string(method.name).c_str(), name.c_str());
      return kUsageError;
    }
    call.Set(name, JsonToVariant(value));
  }
  CLSID clsid{};
  IDispatch* object = nullptr;
  HRESULT hr = CLSIDFromProgID(L"TmxCNH39.CNH", &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&object));
  }
  if (SUCCEEDED(hr)) {
    hr = call.InvokeByName(object);
    object->Release();
  }
  if (FAILED(hr)) {
    std::fprintf(stderr, "tmxcnh_com_call: the call failed: 0x%08lx\n",
                 static_cast<unsigned long>(hr));
    return 1;
  }
  nlohmann::ordered_json output;  // in the interface's order, as tmxcnh call prints it
  output["result"] = VariantToJson(call.ResultValue());
  output["params"] = nlohmann::ordered_json::object();
  for (size_t i = 0; i < method.parameters.size(); ++i) {
    Variant value;
    if (FAILED(ReadVariant(*call.at(i), value))) return 1;
    output["params"][std::string(method.parameters[i])] =
        ParameterToJson(method.parameters[i], value);
  }
  std::cout << output.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  return 0;
}

int Main(const std::vector<std::string>& argv) {
  const size_t argc = argv.size();
  if (argc != 2 && !(argc == 4 && argv[2] == "--json")) return Usage();
  const PublicMethod* method = FindPublicMethod(argv[1]);
  if (method == nullptr) {
    std::fprintf(stderr, "tmxcnh_com_call: unknown method %s\n", argv[1].c_str());
    return kUsageError;
  }
  nlohmann::json input;
  try {
    input = nlohmann::json::parse(argc == 4 ? argv[3] : "{}");
    if (!input.is_object()) throw std::invalid_argument("--json takes an object");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tmxcnh_com_call: bad --json: %s\n", error.what());
    return kUsageError;
  }
  // The bytes as the Linux build writes them: UTF-8, lines ending in LF.
  _setmode(_fileno(stdout), _O_BINARY);
  CoInitialize(nullptr);
  const int status = CallByName(*method, input);
  CoUninitialize();
  return status;
}

}  // namespace
}  // namespace tmxcnh::com

// The arguments as UTF-8: the narrow argv of a Windows program is in the ANSI
// code page, which cannot hold every character of a JSON text.
int main() {
  int argc = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> argv;
  for (int i = 0; i < argc; ++i) argv.push_back(tmxcnh::com::Utf8FromWide(wide[i]));
  LocalFree(wide);
  return tmxcnh::com::Main(argv);
}
