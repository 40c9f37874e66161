// The system's dialog that asks where to save a file.  Code reaches it
// through Seam<ISaveFileDialog>::Get(), so tests answer in its place.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "util/seam.h"

namespace zt {

// What is saved: the list of types the dialog offers first, and the
// extension a name typed without one gets.
enum class SavedFileKind { Text, Csv };

class ISaveFileDialog {
 public:
  virtual ~ISaveFileDialog() = default;
  // Asks for the name of a file of `kind`, proposing `proposed`; the full
  // path chosen, or nothing when the user cancels.  Modal to `owner`.
  virtual std::optional<std::wstring> AskFile(HWND owner, const std::wstring& proposed, SavedFileKind kind) = 0;
};
template <>
ISaveFileDialog& Seam<ISaveFileDialog>::Real();

}  // namespace zt
