// An object of the class CNH as COM sees it: reference counted, IDispatch
// served from the type library that the DLL carries, and every method a
// bridge between the caller's VARIANTs and the component's Variants. A method
// returns a failing status only when the bridge itself cannot do its part (a
// parameter of a type that has no Variant form, no memory); the component's
// own failures are in its result and message, as for any caller.
#pragma once

#include <atomic>

#include "com/cnh_interface.h"
#include "com/routed_cnh.h"

namespace tmxcnh::com {

class CnhObject final : public CnhInterface {
 public:
  // Counted as a live object until destroyed; holds one reference.
  CnhObject();
  CnhObject(const CnhObject&) = delete;
  CnhObject& operator=(const CnhObject&) = delete;

  // IUnknown: _CNH, IDispatch and IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch, from the type library's description of _CNH.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument_error) override;

  // _CNH: the public methods, then the emulations of the stored procedures.
#define TMX_METHOD(name, dispid, result_kind, routed)                     \
  HRESULT STDMETHODCALLTYPE name(TMX_PARAMETERS_##name(TMX_COM_PARAMETER) \
                                     TMX_COM_RESULT_##result_kind* result) override;
#define TMX_EMULATION(name) \
  HRESULT STDMETHODCALLTYPE name(TMX_COM_EMULATION_PARAMETERS(name)) override;
#include "component/interface.def"
#undef TMX_METHOD
#undef TMX_EMULATION

 private:
  ~CnhObject();

  // Loads the two views of _CNH from the DLL's own type library, once.
  HRESULT LoadTypeInfo();

  std::atomic<ULONG> references_{1};
  RoutedCnh engine_{this};
  ITypeInfo* dispatch_info_ = nullptr;   // TKIND_DISPATCH: what GetTypeInfo hands out
  ITypeInfo* interface_info_ = nullptr;  // TKIND_INTERFACE: names and calls by slot
};

}  // namespace tmxcnh::com
