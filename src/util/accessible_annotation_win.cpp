// The system's annotation service.  Its identifiers are defined here (the
// import libraries' copies are not reliable on every target).
#include <windows.h>
#include <initguid.h>
#include <oleacc.h>

#include "util/accessible_win.h"

namespace zt {
namespace {

class SystemAnnotation final : public IAccessibleAnnotation {
 public:
  bool SetName(HWND control, const std::wstring& name) override {
    IAccPropServices* service = Service();
    if (!service) return false;
    const HRESULT hr = service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                               PROPID_ACC_NAME, name.c_str());
    service->Release();
    return SUCCEEDED(hr);
  }
  void ClearName(HWND control) override {
    IAccPropServices* service = Service();
    if (!service) return;
    service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &PROPID_ACC_NAME, 1);
    service->Release();
  }

 private:
  // Made for each call: the service belongs to the calling thread's COM
  // apartment, and a thread without one gets none.
  static IAccPropServices* Service() {
    IAccPropServices* service = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&service))))
      return nullptr;
    return service;
  }
};

}  // namespace

ZT_SEAM_REAL(IAccessibleAnnotation, SystemAnnotation)

}  // namespace zt
