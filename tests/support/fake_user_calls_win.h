// Window-manager calls recorded (ScopedOverride<IUserCalls>): the messages
// let through the filter, and each hot key asked for, which is refused as
// held by another program when `hotkeys_held_elsewhere`, else registered.
#pragma once

#include <utility>
#include <vector>

#include "util/user_calls_win.h"

namespace zt::test {

class FakeUserCalls : public IUserCalls {
 public:
  bool AllowMessageFromLowerIntegrity(HWND window, UINT message) override {
    allowed.emplace_back(window, message);
    return true;
  }
  bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) override {
    hotkeys.emplace_back(modifiers, key);
    return !hotkeys_held_elsewhere && ::RegisterHotKey(window, id, modifiers, key);
  }
  bool hotkeys_held_elsewhere = false;
  std::vector<std::pair<HWND, UINT>> allowed;
  std::vector<std::pair<UINT, UINT>> hotkeys;  // modifiers, key
};

}  // namespace zt::test
