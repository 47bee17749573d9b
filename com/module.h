// The DLL as a whole: its path (DllMain keeps its handle), and the counts of
// live objects and server locks that tell COM whether it may unload the DLL.
#pragma once

#include <windows.h>

#include <string>

namespace tmxcnh::com {

// The full path the DLL was loaded from; empty when it cannot be had.
std::wstring ModulePath();

// Objects of the class, counted from construction to destruction.
void ObjectCreated();
void ObjectDestroyed();

// IClassFactory::LockServer.
void LockServer(bool lock);

// No object alive and no lock held.
bool CanUnload();

}  // namespace tmxcnh::com
