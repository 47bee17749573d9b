// An object of the class CNH as COM sees it: reference counted, IDispatch
// served from the type library that the DLL carries, and every method a
// bridge between the caller's VARIANTs and the component's Variants. A method
// returns a failing status only when the bridge itself cannot do its part (a
// parameter of a type that has no Variant form, no memory); the component's
// own failures are in its result and message, as for any caller.
#pragma once

#include <atomic>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "com/cnh_interface.h"
#include "com/routed_cnh.h"
#include "component/method_table.h"

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
  using Arguments = std::vector<Variant>;

  ~CnhObject();

  // Loads the two views of _CNH from the DLL's own type library, once.
  HRESULT LoadTypeInfo();

  // A public method: body runs the class's own method (not the routed one,
  // which would come back here) and gives its result code or its answer.
  HRESULT CallPublicMethod(std::string_view name, std::initializer_list<VARIANT*> parameters,
                           const std::function<Variant(Arguments&)>& body, VARIANT* result);
  HRESULT CallPublicMethod(std::string_view name, std::initializer_list<VARIANT*> parameters,
                           const std::function<bool(Arguments&)>& body, VARIANT_BOOL* result);
  // Reads the parameters, runs body, writes back the parameters it changed.
  // A parameter the bridge cannot read (the method does not run), or a value
  // that cannot go back into the caller's typed variable, is no COM error:
  // *refused is set and the message (the last parameter) says which.
  HRESULT CallMethod(const PublicMethod& method, std::initializer_list<VARIANT*> parameters,
                     const std::function<void(Arguments&)>& body, bool* refused);
  // An emulation: the SQL text and the message go back, the SQL text always,
  // the message when the emulation wrote it.
  HRESULT CallEmulation(BSTR* sql, VARIANT* message, VARIANT* user, VARIANT_BOOL* result,
                        const std::function<bool(std::string&, Variant&, const Variant&)>& body);

  std::atomic<ULONG> references_{1};
  RoutedCnh engine_{this};
  ITypeInfo* dispatch_info_ = nullptr;   // TKIND_DISPATCH: what GetTypeInfo hands out
  ITypeInfo* interface_info_ = nullptr;  // TKIND_INTERFACE: names and calls by slot
};

}  // namespace tmxcnh::com
