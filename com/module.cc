#include "com/module.h"

namespace tmxcnh::com {
namespace {

HMODULE the_module = nullptr;  // set once, when the process loads the DLL

}  // namespace

std::wstring ModulePath() {
  // Paths may exceed MAX_PATH; GetModuleFileNameW truncates silently, so grow
  // until the answer fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(the_module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace tmxcnh::com

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    tmxcnh::com::the_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
