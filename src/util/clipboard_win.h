// CopyTextToClipboard: replaces the clipboard's content by a Unicode text.
#pragma once

#include <windows.h>

#include <string>

namespace zt {

// Opens the clipboard for `owner` (may be null), empties it, puts `text` on
// it as CF_UNICODETEXT and closes it again on every path, also when putting
// the text fails.  False when the clipboard could not be opened (another
// window holds it: that window keeps it open) or the text not set.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);

}  // namespace zt
