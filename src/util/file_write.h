// Files written so that their name never stands for a part of them: a save
// that fails (a full disk, a file in use, a folder that refuses new files)
// leaves whatever was there before, and no half-written file under the
// chosen name.  Beside it, a whole small file read, and what a file that
// only grows needs: reading it piece by piece whatever its size, adding
// lines at its end, and a lock that makes one running program its only
// writer.  Paths are UTF-8.  Portable interface: the rules are written once
// (file_write_rules.h) over each system's calls (file_write_win.cpp,
// file_write_linux.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zt {

enum class FileReadStatus {
  kOk,        // the whole file was read
  kNotFound,  // nothing at that path (or the folder does not exist)
  kError,     // it exists but could not be read (denied, a folder, too big...)
};

// Where a replacing write finds that no temporary file can be made beside
// the target, or that it cannot take the target's place.
enum class WhenNoTemporaryFile {
  kFail,  // the name keeps what it held
  // An existing file is rewritten where it is (a folder that refuses new
  // files, as a prepared installation folder does, may still let its files
  // be written).  It first takes its new size, so a full disk refuses
  // before any byte has changed.
  kRewriteInPlace,
};

// The bytes go to a temporary file beside `path` (TemporaryFileBeside), are
// flushed to the disk, and only then take the path's place: the path holds
// either the old content or the complete new one.  A replaced file keeps its
// attributes, security and permissions; where the path is a link, the file
// it points to is replaced.  A target that is read-only, a folder or no
// plain file is left alone.  False on failure, with the system's words for
// the reason in *reason (when given), an existing file unchanged and the
// temporary file removed (unless the system lost the old file part-way:
// then the new content waits under the temporary name).
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* reason = nullptr,
                         WhenNoTemporaryFile fallback = WhenNoTemporaryFile::kFail);

// The temporary name used for `path` by this process: in the same folder (a
// rename never crosses disks), named after the file and the process, so two
// running copies never share one.
std::string TemporaryFileBeside(const std::string& path);

// Reads the whole file into *bytes (cleared on anything but kOk); a file of
// more than `max_bytes` is not read (kError).  Others may go on reading and
// writing it meanwhile.  On kError the system's words go to *reason.
FileReadStatus ReadWholeFile(const std::string& path, size_t max_bytes, std::string* bytes,
                             std::string* reason = nullptr);

// Hands the file's bytes to `piece`, in order, a piece at a time: a file of
// any size is read without being held whole.  Others may go on reading and
// writing it meanwhile.  On kError the system's words go to *reason.
FileReadStatus ReadFileInPieces(const std::string& path, const std::function<void(std::string_view)>& piece,
                                std::string* reason = nullptr);

// Adds `lines` (each ending in a line break) at the end of the file at
// `path`, made when missing.  A file that is empty gets `heading` first; one
// whose last line has no line break (a line cut short by a power cut, or an
// edit) gets "\r\n" first, so that nothing is joined to it.  A write that
// fails part-way (a full disk) is cut back off: the file never ends in half
// a line.  False on failure, with the system's words in *reason.
bool AppendLines(const std::string& path, std::string_view heading, std::string_view lines,
                 std::string* reason = nullptr);

// One writer for a file among running programs: an exclusive hold on
// "<path>.lock" beside it, let go when the lock goes (or the program ends,
// however it ends; on Windows the lock file then goes too).
class FileLock {
 public:
  enum class State {
    kHeld,           // this program is the writer
    kHeldElsewhere,  // another running program holds it
    kUnavailable,    // no lock can be made there (a folder that refuses new files)
  };
  static FileLock Take(const std::string& path);

  // A lock standing for `state` that holds nothing (for a stand-in disk).
  explicit FileLock(State state = State::kUnavailable) : state_(state) {}
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  State state() const { return state_; }

 private:
  State state_;
  intptr_t handle_ = -1;  // a HANDLE or a descriptor: -1 is none on both
};

}  // namespace zt
