// tmxcnh_com_call: `tmxcnh call` through COM. Creates TmxCNH39.CNH by ProgID,
// calls a public method by name with IDispatch::Invoke and by-reference
// VARIANTs, and prints the result and every parameter after the call exactly
// as the Linux build's `tmxcnh call` prints them, so that the two can be
// compared text for text (tests/com/cross-check).
//   tmxcnh_com_call METHOD --json '{"parameter": value, ...}'
#include <windows.h>
// The other Windows headers take their basic types from windows.h.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "service/json_variant.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

int Call(const PublicMethod& method, const nlohmann::json& input) {
  testing::Call call(method.name);
  for (const auto& [name, value] : input.items()) call.Set({{name, JsonToVariant(value)}});
  const testing::ComPtr<_CNH> object = testing::CreateByProgId();
  const HRESULT hr = object ? call.ByName(object.Get()) : REGDB_E_CLASSNOTREG;
  if (FAILED(hr)) {
    std::fprintf(stderr, "tmxcnh_com_call: the call failed: 0x%08lx\n",
                 static_cast<unsigned long>(hr));
    return 1;
  }
  std::vector<Variant> arguments;
  for (size_t i = 0; i < method.parameters.size(); ++i) arguments.push_back(call.Get(i));
  std::cout << AnswerToJson(method, call.Result(), arguments)
                   .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
            << "\n";
  return 0;
}

}  // namespace
}  // namespace tmxcnh::com

// The arguments as UTF-8: the narrow argv of a Windows program is in the ANSI
// code page, which cannot hold every character of a JSON text.
int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const tmxcnh::PublicMethod* method =
      argc == 4 ? tmxcnh::FindPublicMethod(tmxcnh::com::Utf8FromWide(argv[1])) : nullptr;
  if (method == nullptr || std::wstring(argv[2]) != L"--json") {
    std::fprintf(stderr, "usage: tmxcnh_com_call METHOD --json '{\"parameter\": value, ...}'\n");
    return 2;
  }
  // The bytes as the Linux build writes them: UTF-8, lines ending in LF.
  _setmode(_fileno(stdout), _O_BINARY);
  CoInitialize(nullptr);
  int status = 2;
  try {
    status = tmxcnh::com::Call(*method, nlohmann::json::parse(tmxcnh::com::Utf8FromWide(argv[3])));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tmxcnh_com_call: %s\n", error.what());
  }
  CoUninitialize();
  return status;
}
