#include "util/modeless_dialogs_win.h"

#include <algorithm>
#include <vector>

#include "util/window_messages.h"

namespace zt {
namespace {

std::vector<HWND>& Dialogs() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

}  // namespace

void RegisterModelessDialog(HWND dialog) {
  auto& list = Dialogs();
  if (std::find(list.begin(), list.end(), dialog) == list.end()) list.push_back(dialog);
}

void UnregisterModelessDialog(HWND dialog) {
  auto& list = Dialogs();
  list.erase(std::remove(list.begin(), list.end(), dialog), list.end());
}

bool IsModelessDialogMessage(MSG& msg) {
  for (HWND dialog : Dialogs()) {
    if (!IsWindow(dialog) || (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd))) continue;
    // The window sees its keys before its controls do (Esc closes it
    // wherever the focus is).
    const bool key = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_CHAR ||
                     msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    if (key && SendMessageW(dialog, WM_KEYPREVIEW, 0, reinterpret_cast<LPARAM>(&msg))) return true;
    return IsDialogMessageW(dialog, &msg) != FALSE;
  }
  return false;
}

}  // namespace zt
