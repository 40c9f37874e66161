// The settings <-> text conversion that LoadConfig and SaveConfig are built
// from, and the size beyond which a settings file is left alone.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zt {

// Settings files beyond this size are not read (and so never overwritten).
constexpr size_t kMaxConfigFileBytes = 16u * 1024 * 1024;

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
