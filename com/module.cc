#include "com/module.h"

#include <atomic>

namespace tmxcnh::com {
namespace {

HMODULE the_module = nullptr;
// Objects live in many apartments at once; these are the DLL's only shared data.
std::atomic<long> live_objects{0};
std::atomic<long> server_locks{0};

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

void ObjectCreated() { ++live_objects; }

void ObjectDestroyed() { --live_objects; }

void LockServer(bool lock) { server_locks += lock ? 1 : -1; }

bool CanUnload() { return live_objects == 0 && server_locks == 0; }

}  // namespace tmxcnh::com

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    tmxcnh::com::the_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
