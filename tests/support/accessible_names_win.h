// What a screen reader reads for each control of a window: the name and
// role the system's accessibility interface answers for it
// (AccessibleObjectFromWindow with OBJID_CLIENT, then get_accName and
// get_accRole), and the faults a user of one would meet.  The calling thread
// must have COM started.
//
// Under Wine 8 the system's object reads a control's window text with its
// first "&" taken out, takes an edit field's name from its label, and
// answers ROLE_SYSTEM_CLIENT for every other kind of control; on Windows each
// kind has its own role, and controls without text are named after their
// labels.  So "two controls read alike" is judged among controls of one kind
// (window class and role): a label and the field it names read alike on
// Windows by design.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zt::test {

struct ControlReading {
  HWND hwnd = nullptr;
  std::wstring cls;
  std::wstring name;
  long role = 0;
};

inline ControlReading ReadControl(HWND control) {
  ControlReading r;
  r.hwnd = control;
  wchar_t cls[64] = {};
  GetClassNameW(control, cls, 64);
  r.cls = cls;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))) ||
      !object)
    return r;
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (SUCCEEDED(object->get_accName(self, &name)) && name) r.name.assign(name, SysStringLen(name));
  SysFreeString(name);
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) r.role = role.lVal;
  VariantClear(&role);
  object->Release();
  return r;
}

// A line or frame drawn by a static control: no text, read as nothing.
inline bool IsDecoration(HWND control, const std::wstring& cls) {
  if (lstrcmpiW(cls.c_str(), L"Static") != 0 || GetWindowTextLengthW(control) > 0) return false;
  const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK;
  return type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT || type == SS_ETCHEDFRAME || type == SS_BLACKFRAME ||
         type == SS_GRAYFRAME || type == SS_WHITEFRAME;
}

// Every control below `window` (hidden pages included), but not the parts a
// control is made of (a list view's column header).
inline std::vector<ControlReading> ReadControls(HWND window) {
  std::vector<ControlReading> out;
  struct Walk {
    static void Into(HWND parent, std::vector<ControlReading>& out) {
      for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ControlReading r = ReadControl(child);
        if (!IsDecoration(child, r.cls)) out.push_back(r);
        if (lstrcmpiW(r.cls.c_str(), WC_LISTVIEWW) != 0) Into(child, out);
      }
    }
  };
  Walk::Into(window, out);
  return out;
}

// The faults: a control read as nothing, two controls of one kind read alike.
inline std::vector<std::wstring> NameFaults(const std::vector<ControlReading>& controls) {
  std::vector<std::wstring> faults;
  std::map<std::pair<std::wstring, long>, std::map<std::wstring, int>> seen;
  for (const ControlReading& c : controls) {
    if (c.name.empty()) {
      faults.push_back(L"nameless " + c.cls + L" (id " + std::to_wstring(GetDlgCtrlID(c.hwnd)) + L")");
      continue;
    }
    if (++seen[{c.cls, c.role}][c.name] == 2) faults.push_back(L"two " + c.cls + L" read \"" + c.name + L"\"");
  }
  return faults;
}

}  // namespace zt::test
