// File access for the settings file, and the settings <-> text conversion
// that LoadConfig and SaveConfig are built from.  Paths are UTF-8; the
// Windows side opens files with the wide-character functions.
#pragma once

#include <optional>
#include <string>

namespace zt {

enum class FileReadStatus {
  kOk,        // *bytes holds the whole file
  kNotFound,  // nothing at that path (or the folder does not exist)
  kError,     // it exists but could not be read (denied, a folder, too big...)
};

// Settings files beyond this size are not read (and so never overwritten).
constexpr size_t kMaxConfigFileBytes = 16u * 1024 * 1024;

// Reads the whole file into *bytes (cleared on anything but kOk).
FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes);

// Replaces the file at `path` with `bytes` so that, whatever happens, the
// path holds either the old content or the complete new one: the bytes go to
// a temporary file in the same folder, are flushed to the disk, and only
// then take the place of the target.  A target marked read-only is left
// alone (returns false).  On failure the temporary file is removed.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// The temporary file WriteFileAtomically uses for `path` in this process:
// beside it, named after it and the process id, so that two running copies
// never share one.
std::string TemporaryPathFor(const std::string& path);

// The configuration values read from the bytes of a settings file, in the
// read order, each keeping its current value when absent or unreadable.  A
// file with a byte-order mark is read as the text it holds (text_encoding.h);
// one whose text cannot be told (UTF-16 of an odd length) gives nothing.
void ApplyConfigText(const std::string& bytes);

// The bytes SaveConfig writes: `existing` (the file's current bytes, empty
// when there is none) with every configuration value written into it, in
// the encoding `existing` came in.  nullopt when the text of `existing`
// cannot be told: such a file is left as it is.
std::optional<std::string> ComposeConfigText(const std::string& existing);

}  // namespace zt
