// The DLL as a whole: its path (DllMain keeps its handle), and the counts of
// live objects and server locks that tell COM whether it may unload the DLL.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace tmxcnh::com {

// The full path the DLL was loaded from; empty when it cannot be had.
std::wstring ModulePath();

// The objects of the class alive, counted from construction to destruction,
// and the locks that IClassFactory::LockServer holds: COM may unload the DLL
// when both are 0. Objects live in many apartments at once; these are the
// DLL's only shared data.
inline std::atomic<long> live_objects{0};
inline std::atomic<long> server_locks{0};

}  // namespace tmxcnh::com
