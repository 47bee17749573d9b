// What DllRegisterServer writes into HKEY_CLASSES_ROOT for the DLL at a path,
// and what DllUnregisterServer removes: the ProgID TmxCNH39.CNH, the class
// (in-process server, apartment threading), the type library (version 1.0,
// locale 0, 64-bit) and the interface _CNH, marshalled from the type library.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tmxcnh::com {

// One value under HKEY_CLASSES_ROOT; an empty name is the key's default value.
struct RegistryValue {
  std::wstring key;
  std::wstring name;
  std::wstring data;
};

// Every value of the registration of the DLL at dll_path.
std::vector<RegistryValue> Registration(const std::wstring& dll_path);

// The keys that unregistering removes with everything under them.
std::vector<std::wstring> RegistrationRoots();

// Writes the registration; the first failing write's status.
HRESULT Register(const std::wstring& dll_path);

// Removes the registration; a key that is already gone is no failure.
HRESULT Unregister();

}  // namespace tmxcnh::com
