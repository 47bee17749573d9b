// What DllRegisterServer writes into HKEY_CLASSES_ROOT for the DLL at a path,
// and what DllUnregisterServer removes: the ProgID TmxCNH39.CNH, the class
// (in-process server, apartment threading), the type library (version 1.0,
// locale 0, under the DLL's bitness) and the interface _CNH, marshalled from
// the type library.
#pragma once

#include <windows.h>

#include <string>

namespace tmxcnh::com {

// Writes the registration; the first failing write's status.
HRESULT Register(const std::wstring& dll_path);

// Removes the registration; a key that is already gone is no failure.
HRESULT Unregister();

}  // namespace tmxcnh::com
