// Message boxes in the program's four kinds, with the program's own titles
// and button captions (util/texts.h) whatever the system language.
#pragma once

#include <windows.h>

#include <string>

namespace zt {

enum class BoxKind { Warning, Error, Information, Confirm };  // titles of the same names
enum class BoxButtons { Ok, YesNoCancel };
enum class BoxAnswer { Ok, Yes, No, Cancel };

// Shows a modal box owned by `owner` (may be null).  Text is UTF-8.
BoxAnswer ShowMessageBox(HWND owner, BoxKind kind, const std::string& text, BoxButtons buttons);

}  // namespace zt
