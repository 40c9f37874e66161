#include "util/user_calls_win.h"

#include "util/dynamic_calls_win.h"

namespace zt {

template <>
IUserCalls& Seam<IUserCalls>::Real() {
  class SystemUserCalls final : public IUserCalls {
   public:
    bool AllowMessageFromLowerIntegrity(HWND window, UINT message) override {
      // Vista and earlier have no per-window filter.
      const auto filter = User32().ChangeWindowMessageFilterEx;
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
