#include "util/accessible_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include <memory>
#include <utility>

#include "util/caught.h"

// The interface's identifier is taken from its declaration (__uuidof), not
// from the import library: linked statically for 64 bits, IID_IAccessible
// names the import thunk's bytes instead of the identifier.

namespace zt {
namespace {

constexpr UINT_PTR kSubclassId = 0x5A41;  // one subclass per control
// The override a control answers with, held as a property of the control.
constexpr wchar_t kOverrideProperty[] = L"Zettrim.AccessibleOverride";

// The override of a live control, or null once the control is gone.
AccessibleOverride* OverrideOf(HWND hwnd) {
  return IsWindow(hwnd) ? static_cast<AccessibleOverride*>(GetPropW(hwnd, kOverrideProperty)) : nullptr;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The system's object for the control, with the override's answers in place
// of its own.  It holds the window, not the override: a screen reader may
// keep the object after the window has gone, and then gets the system's
// answers (which report the window gone).  COM interfaces have no virtual
// destructor by design: the object deletes itself on its last Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class OverriddenAccessible final : public IAccessible, public IOleWindow {
 public:
  OverriddenAccessible(HWND hwnd, IAccessible* system) : hwnd_(hwnd), system_(system) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (iid == IID_IOleWindow) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IOleWindow: the window a client finds the object by.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = hwnd_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return system_->GetTypeInfoCount(n); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return system_->GetTypeInfo(i, l, t);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
    return system_->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                   UINT* a) override {
    return system_->Invoke(d, r, l, f, p, v, e, a);
  }

  // IAccessible: the overridden answers.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    const AccessibleOverride* o = OverrideOf(hwnd_);
    if (!name || !IsSelf(child) || !o || !o->name) return system_->get_accName(child, name);
    try {
      const std::wstring text = o->name();
      *name = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      return *name ? S_OK : E_OUTOFMEMORY;
    } catch (...) {
      RecordCaught("accessible name");
      *name = nullptr;
      return E_FAIL;
    }
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    const AccessibleOverride* o = OverrideOf(hwnd_);
    if (!role || !IsSelf(child) || !o || o->role == 0) return system_->get_accRole(child, role);
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = o->role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    const AccessibleOverride* o = OverrideOf(hwnd_);
    if (!action || !IsSelf(child) || !o || !o->default_action) return system_->get_accDefaultAction(child, action);
    *action = SysAllocStringLen(o->default_action_name.data(), static_cast<UINT>(o->default_action_name.size()));
    return *action ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const AccessibleOverride* o = OverrideOf(hwnd_);
    if (!IsSelf(child) || !o || !o->default_action) return system_->accDoDefaultAction(child);
    // Carried out on the control's own thread, as a click would be.
    PostMessageW(hwnd_, DoDefaultActionMessage(), 0, 0);
    return S_OK;
  }

  // IAccessible: the system's answers.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return system_->get_accParent(p); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override { return system_->get_accChildCount(n); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override { return system_->get_accChild(c, p); }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override { return system_->get_accValue(c, v); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override {
    return system_->get_accDescription(c, d);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override { return system_->get_accState(c, s); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override { return system_->get_accHelp(c, h); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, long* t) override {
    return system_->get_accHelpTopic(f, c, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
    return system_->get_accKeyboardShortcut(c, k);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override { return system_->get_accFocus(f); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override { return system_->get_accSelection(s); }
  HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override { return system_->accSelect(f, c); }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
    return system_->accLocation(x, y, w, h, c);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* e) override {
    return system_->accNavigate(d, s, e);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* c) override { return system_->accHitTest(x, y, c); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override { return system_->put_accName(c, n); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override { return system_->put_accValue(c, v); }

  static UINT DoDefaultActionMessage() {
    static const UINT message = RegisterWindowMessageW(L"Zettrim.AccessibleDefaultAction");
    return message;
  }

 private:
  ~OverriddenAccessible() { system_->Release(); }

  LONG refs_ = 1;
  HWND hwnd_;
  IAccessible* system_;
};
#pragma GCC diagnostic pop

LRESULT AnswerGetObject(HWND hwnd, WPARAM wparam, LPARAM lparam) {
  IAccessible* system = nullptr;
  if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&system))) ||
      !system)
    return DefSubclassProc(hwnd, WM_GETOBJECT, wparam, lparam);
  auto* object = new OverriddenAccessible(hwnd, system);
  const LRESULT result = LresultFromObject(__uuidof(IAccessible), wparam, static_cast<IAccessible*>(object));
  object->Release();
  return result;
}

LRESULT CALLBACK OverrideProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) noexcept {
  AccessibleOverride* o = OverrideOf(hwnd);
  try {
    if (msg == WM_GETOBJECT && static_cast<LONG>(lparam) == OBJID_CLIENT) return AnswerGetObject(hwnd, wparam, lparam);
    if (msg == OverriddenAccessible::DoDefaultActionMessage() && o && o->default_action) {
      o->default_action();
      return 0;
    }
  } catch (...) {
    RecordCaught("accessibility request");
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, OverrideProc, kSubclassId);
    RemovePropW(hwnd, kOverrideProperty);
    delete o;
  }
  return DefSubclassProc(hwnd, msg, wparam, lparam);
}

// A control named through the annotation service: the name is cleared as
// the control goes, which the service asks of whoever set it.
constexpr UINT_PTR kAnnotatedSubclassId = 0x5A42;

LRESULT CALLBACK AnnotatedProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) noexcept {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, AnnotatedProc, kAnnotatedSubclassId);
    Seam<IAccessibleAnnotation>::Get().ClearName(hwnd);
  }
  return DefSubclassProc(hwnd, msg, wparam, lparam);
}

}  // namespace

bool SetAccessibleOverride(HWND control, AccessibleOverride override) {
  if (!control) return false;
  auto owned = std::make_unique<AccessibleOverride>(std::move(override));
  // Setting the same subclass again only replaces its data.
  if (!SetWindowSubclass(control, OverrideProc, kSubclassId, 0)) return false;
  AccessibleOverride* old = OverrideOf(control);
  if (!SetPropW(control, kOverrideProperty, owned.get())) return false;
  owned.release();
  delete old;
  return true;
}

bool SetAccessibleName(HWND control, const std::wstring& name) {
  if (control && SetWindowSubclass(control, AnnotatedProc, kAnnotatedSubclassId, 0)) {
    if (Seam<IAccessibleAnnotation>::Get().SetName(control, name)) return true;
    RemoveWindowSubclass(control, AnnotatedProc, kAnnotatedSubclassId);
  }
  AccessibleOverride o;
  o.name = [name] { return name; };
  return SetAccessibleOverride(control, std::move(o));
}

}  // namespace zt
