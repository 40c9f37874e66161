// The system's dialog that asks where to save a file.  Code reaches it
// through Seam<ISaveFileDialog>::Get(), so tests answer in its place.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "util/seam.h"

namespace zt {

class ISaveFileDialog {
 public:
  virtual ~ISaveFileDialog() = default;
  // Asks for the name of a text file, proposing `proposed`; the full path
  // chosen, or nothing when the user cancels.  Modal to `owner`.
  virtual std::optional<std::wstring> AskTextFile(HWND owner, const std::wstring& proposed) = 0;
};
template <>
ISaveFileDialog& Seam<ISaveFileDialog>::Real();

}  // namespace zt
