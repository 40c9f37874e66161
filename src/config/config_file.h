// File access for the settings file, and the settings <-> text conversion
// that LoadConfig and SaveConfig are built from.  Paths are UTF-8; the
// Windows side opens files with the wide-character functions.
#pragma once

#include <optional>
#include <string>

#include "util/file_write.h"

namespace zt {

// Settings files beyond this size are not read (and so never overwritten).
constexpr size_t kMaxConfigFileBytes = 16u * 1024 * 1024;

// Reads the whole file into *bytes (cleared on anything but kOk).  On kError
// the system's words for what went wrong go to *reason when it is given.
FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes,
                             std::string* reason = nullptr);

// Writes `bytes` as the whole content of the settings file at `path`.
//  - Where a new file can be made beside it, the bytes go to a temporary file
//    in the same folder, are flushed to the disk, and only then take the
//    target's place (keeping the old file's attributes, security and
//    permissions): the path holds either the old content or the complete new
//    one.
//  - Where no temporary file can be made (a folder that refuses new files,
//    as a prepared installation folder does) or it cannot take the target's
//    place, an existing target is rewritten in place.  It first takes its new
//    size, so a full disk refuses before any byte has changed.
//  - A target marked read-only, or one that is no regular file, is left
//    alone.
// Returns false on failure, with the system's reason in *reason when given;
// the existing file then keeps its content.
bool WriteSettingsFile(const std::string& path, const std::string& bytes,
                       std::string* reason = nullptr);

// The temporary file WriteSettingsFile uses for `path` in this process:
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
