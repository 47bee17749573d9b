// The class factory of CNH: every CreateInstance makes a new, independent
// object. There is one factory for the DLL; it lives as long as the DLL, so
// it is not counted, and only LockServer keeps the DLL loaded for it.
#pragma once

#include <windows.h>
// The COM and OLE headers take their basic types from windows.h.
#include <unknwn.h>

namespace tmxcnh::com {

class ClassFactory final : public IClassFactory {
 public:
  static ClassFactory& Instance();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // CLASS_E_NOAGGREGATION with an outer object: CNH is not aggregatable.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ClassFactory() = default;
};

}  // namespace tmxcnh::com
