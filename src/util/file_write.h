// Writing a whole file so that its name never stands for a part of it: a
// save that fails (a full disk, a file in use, a folder that refuses new
// files) leaves whatever was there before, and no half-written file under
// the chosen name.  Paths are UTF-8.  Portable interface; each system
// provides its own implementation.
#pragma once

#include <string>

namespace zt {

// The bytes go to a temporary file beside `path` (TemporaryFileBeside), are
// flushed to the disk, and only then take the path's place; an existing
// file's attributes and security stay with the name.  False on failure, with
// the temporary file removed, an existing file unchanged and the system's
// words for the reason in *reason (when given).
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* reason = nullptr);

// The temporary name used for `path` by this process: in the same folder (a
// rename never crosses disks), named after the file and the process, so two
// running copies never share one.
std::string TemporaryFileBeside(const std::string& path);

// Adds the bytes at the end of the file at `path`, made when missing.  A
// write that fails part-way (a full disk) is cut back off, so the file
// never ends in half a line.  False on failure, with the system's words in
// *reason (when given).
bool AppendToFile(const std::string& path, const std::string& bytes, std::string* reason = nullptr);

}  // namespace zt
