#include "util/user_calls_win.h"

namespace zt {

template <>
IUserCalls& Seam<IUserCalls>::Real() {
  class SystemUserCalls final : public IUserCalls {
   public:
    bool AllowMessageFromLowerIntegrity(HWND window, UINT message) override {
      // Looked up at run time: Vista and earlier have no per-window filter.
      using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
      static const auto filter = reinterpret_cast<FilterFn>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
      constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
      return filter && filter(window, message, kAllow, nullptr) != FALSE;
    }
    bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) override {
      return ::RegisterHotKey(window, id, modifiers, key) != FALSE;
    }
  };
  static SystemUserCalls calls;
  return calls;
}

}  // namespace zt
