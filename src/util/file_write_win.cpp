// Files on Windows: the system's calls under the portable rules of
// file_write_rules.h, and the lock.
#include <windows.h>

#include <algorithm>
#include <string>

#include "util/file_write.h"
#include "util/file_write_system.h"
#include "util/unicode_win.h"

namespace zt {

namespace {

bool Failed(int* error) {
  *error = static_cast<int>(GetLastError());
  return false;
}

bool SeekTo(HANDLE file, uint64_t offset) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
}

// The attributes a user sets on a file that a replacement keeps
// (ReplaceFileW carries over its security and creation time itself).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A single call moves at most this much.
constexpr size_t kChunk = 1u << 20;

}  // namespace

namespace file_rules {

static HANDLE Handle(const SystemFile& file) { return reinterpret_cast<HANDLE>(file.handle); }

SystemFile::~SystemFile() {
  if (handle != -1) CloseHandle(Handle(*this));
}

bool SystemFile::ReadAt(uint64_t offset, char* buffer, size_t size, size_t* got, int* error) {
  DWORD n = 0;
  if (!SeekTo(Handle(*this), offset) ||
      !ReadFile(Handle(*this), buffer, static_cast<DWORD>(std::min(size, kChunk)), &n, nullptr))
    return Failed(error);
  *got = n;
  return true;
}

bool SystemFile::Size(uint64_t* size, int* error) {
  LARGE_INTEGER value;
  if (!GetFileSizeEx(Handle(*this), &value) || value.QuadPart < 0) return Failed(error);
  *size = static_cast<uint64_t>(value.QuadPart);
  return true;
}

bool SystemFile::WriteAt(uint64_t offset, std::string_view bytes, int* error) {
  if (!SeekTo(Handle(*this), offset)) return Failed(error);
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
    DWORD written = 0;
    if (!WriteFile(Handle(*this), bytes.data() + done, chunk, &written, nullptr)) return Failed(error);
    // The call itself may have succeeded, leaving no error of its own.
    if (written == 0) {
      *error = ERROR_DISK_FULL;
      return false;
    }
    done += written;
  }
  return true;
}

// Setting the end beyond the data takes the space at once.
bool SystemFile::Reserve(uint64_t size, int* error) { return Truncate(size, error); }

bool SystemFile::Truncate(uint64_t size, int* error) {
  if (!SeekTo(Handle(*this), size) || !SetEndOfFile(Handle(*this))) return Failed(error);
  return true;
}

bool SystemFile::Flush(int* error) { return FlushFileBuffers(Handle(*this)) ? true : Failed(error); }

bool SystemFile::Close(int* error) {
  const HANDLE file = Handle(*this);
  handle = -1;
  return CloseHandle(file) ? true : Failed(error);
}

// The calls the rules are written over.
struct SystemFiles {
  static int CodeFor(Refusal refusal) {
    switch (refusal) {
      case Refusal::kNoName: return ERROR_INVALID_NAME;
      case Refusal::kFolder: return ERROR_DIRECTORY;
      case Refusal::kTooLarge: return ERROR_FILE_TOO_LARGE;
      case Refusal::kNotAFile:
      case Refusal::kReadOnly: break;
    }
    return ERROR_ACCESS_DENIED;
  }

  // The system's words for an error code, without the trailing line break.
  static std::string ErrorText(int code) {
    std::string text = SystemMessageText(static_cast<uint32_t>(code));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    if (text.empty()) {
      text = "Error ";
      AppendDecimal(text, static_cast<uint32_t>(code));
    }
    return text;
  }

  static bool IsNotFound(int code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

  static uint32_t ProcessId() { return GetCurrentProcessId(); }

  static bool Inspect(const std::string& requested, Target* target, int*) {
    target->path = requested;
    const DWORD attrs = GetFileAttributesW(Widen(requested).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return true;
    target->exists = true;
    target->folder = (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
    target->regular = !target->folder;
    target->read_only = (attrs & FILE_ATTRIBUTE_READONLY) != 0;
    target->kept = attrs & kKeptAttributes;
    return true;
  }

  static bool Open(const std::string& path, Access access, SystemFile* file, int* error) {
    const DWORD rights = access == Access::kRead     ? GENERIC_READ
                         : access == Access::kAppend ? GENERIC_READ | GENERIC_WRITE
                                                     : GENERIC_WRITE;
    const DWORD sharing =
        access == Access::kRead ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : FILE_SHARE_READ;
    const HANDLE h = CreateFileW(Widen(path).c_str(), rights, sharing, nullptr,
                                 access == Access::kAppend ? OPEN_ALWAYS : OPEN_EXISTING,
                                 access == Access::kRead ? FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN
                                                         : FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE) return Failed(error);
    file->handle = reinterpret_cast<intptr_t>(h);
    return true;
  }

  static bool CreateReplacement(const std::string& temp, const Target& target, SystemFile* file, int* error) {
    // A leftover of a crashed run may carry the hidden attribute, which would
    // make CREATE_ALWAYS fail; it goes first.
    Remove(temp);
    const HANDLE h = CreateFileW(Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 target.kept != 0 ? target.kept : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Failed(error);
    file->handle = reinterpret_cast<intptr_t>(h);
    return true;
  }

  static bool MoveIntoPlace(const std::string& temp, const Target& target, bool* target_lost, int* error) {
    const std::wstring from = Widen(temp), to = Widen(target.path);
    if (!target.exists) {
      if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
      return Failed(error);
    }
    if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
      return true;
    Failed(error);
    if (GetFileAttributesW(to.c_str()) == INVALID_FILE_ATTRIBUTES) {
      // Without a backup name a failed replacement may have removed the
      // target already: the new content must take its place now.
      if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
      *target_lost = true;
      return Failed(error);
    }
    return false;
  }

  static void Remove(const std::string& path) {
    const std::wstring name = Widen(path);
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(name.c_str());
  }
};

}  // namespace file_rules

FileLock FileLock::Take(const std::string& path) {
  const std::wstring name = Widen(path + ".lock");
  // Nobody shares it, and it goes with the last handle: a program that ends
  // however it ends lets go of it.
  HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    FileLock lock(State::kHeld);
    lock.handle_ = reinterpret_cast<intptr_t>(handle);
    return lock;
  }
  const DWORD error = GetLastError();
  // Refused while it is there: held, or on its way out with its holder.  A
  // folder that refuses new files has none to refuse.
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
      (error == ERROR_ACCESS_DENIED && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES))
    return FileLock(State::kHeldElsewhere);
  return FileLock(State::kUnavailable);
}

FileLock::~FileLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

FileLock::FileLock(FileLock&& other) noexcept : state_(other.state_), handle_(other.handle_) { other.handle_ = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    state_ = other.state_;
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

}  // namespace zt

// The rules over these calls: the functions of file_write.h.
#include "util/file_write_rules.h"
