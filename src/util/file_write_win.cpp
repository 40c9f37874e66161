#include <windows.h>

#include <algorithm>
#include <string_view>

#include "util/file_write.h"
#include "util/handles_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

// The system's words for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = (n && buffer) ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) text = L"Error " + std::to_wstring(code);
  return Narrow(text);
}

bool Fail(std::string* reason, DWORD code) {
  if (reason) *reason = SystemErrorText(code);
  return false;
}

// A write the system takes only in part is carried on from where it
// stopped; one that takes nothing says the disk is full (the call itself may
// have succeeded, leaving no error of its own to tell).
bool WriteAll(HANDLE file, std::string_view bytes, DWORD* error) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) {
      *error = GetLastError();
      return false;
    }
    if (written == 0) {
      *error = ERROR_DISK_FULL;
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace

std::string TemporaryFileBeside(const std::string& path) {
  return path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* reason) {
  if (path.empty()) return Fail(reason, ERROR_INVALID_NAME);
  const std::wstring target = Widen(path);
  const DWORD attrs = GetFileAttributesW(target.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) return Fail(reason, ERROR_DIRECTORY);
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) return Fail(reason, ERROR_ACCESS_DENIED);

  const std::wstring temp = Widen(TemporaryFileBeside(path));
  UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(reason, GetLastError());
  DWORD error = ERROR_SUCCESS;
  bool ok = WriteAll(file.get(), bytes, &error);
  if (ok && !FlushFileBuffers(file.get())) {
    ok = false;
    error = GetLastError();
  }
  // Closed here: a delayed write error surfaces only now.
  if (!CloseHandle(file.release()) && ok) {
    ok = false;
    error = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    return Fail(reason, error);
  }
  if (attrs == INVALID_FILE_ATTRIBUTES) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  } else {
    if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
      return true;
    error = GetLastError();
    // A replacement that failed part-way may have removed the old file
    // already: the new one takes the name at once.
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
        MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
      return true;
    DeleteFileW(temp.c_str());
    return Fail(reason, error);
  }
  error = GetLastError();
  DeleteFileW(temp.c_str());
  return Fail(reason, error);
}

FileReadStatus ReadFileInPieces(const std::string& path, const std::function<void(std::string_view)>& piece,
                                std::string* reason) {
  if (path.empty()) return FileReadStatus::kNotFound;
  UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FileReadStatus::kNotFound;
    Fail(reason, error);
    return FileReadStatus::kError;
  }
  std::string buffer(64 * 1024, '\0');
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      Fail(reason, GetLastError());
      return FileReadStatus::kError;
    }
    if (got == 0) return FileReadStatus::kOk;
    piece(std::string_view(buffer.data(), got));
  }
}

bool AppendLines(const std::string& path, std::string_view heading, std::string_view lines, std::string* reason) {
  if (path.empty()) return Fail(reason, ERROR_INVALID_NAME);
  UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(reason, GetLastError());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return Fail(reason, GetLastError());
  std::string bytes;
  if (size.QuadPart == 0) {
    bytes = heading;
  } else {
    LARGE_INTEGER last{};
    last.QuadPart = size.QuadPart - 1;
    char c = 0;
    DWORD got = 0;
    if (!SetFilePointerEx(file.get(), last, nullptr, FILE_BEGIN) || !ReadFile(file.get(), &c, 1, &got, nullptr))
      return Fail(reason, GetLastError());
    if (got == 1 && c != '\n') bytes = "\r\n";
  }
  bytes.append(lines);
  if (!SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN)) return Fail(reason, GetLastError());
  DWORD error = ERROR_SUCCESS;
  if (WriteAll(file.get(), bytes, &error)) {
    if (CloseHandle(file.release())) return true;
    return Fail(reason, GetLastError());
  }
  if (SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN)) SetEndOfFile(file.get());
  return Fail(reason, error);
}

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
