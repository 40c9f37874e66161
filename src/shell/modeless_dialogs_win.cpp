#include "shell/modeless_dialogs_win.h"

#include <algorithm>
#include <vector>

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
    // Only the dialog the message is for: IsDialogMessage would otherwise
    // take keys meant for another window.
    if (IsWindow(dialog) && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)) && IsDialogMessageW(dialog, &msg))
      return true;
  }
  return false;
}

}  // namespace zt
