// The text on the clipboard, as the tests of the programs that copy read it.
// Another process may hold the clipboard a moment; a few tries are made.
#pragma once

#include <windows.h>

#include <string>

namespace zt::test {

inline std::wstring ClipboardText() {
  bool open = false;
  for (int attempt = 0; attempt < 50 && !open; ++attempt) {
    open = OpenClipboard(nullptr) != FALSE;
    if (!open) Sleep(20);
  }
  if (!open) return L"<not opened>";
  std::wstring text;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace zt::test
