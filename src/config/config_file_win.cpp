#include <windows.h>

#include <algorithm>
#include <string>

#include "config/config_file.h"
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
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
    text.pop_back();
  if (text.empty()) text = L"Error " + std::to_wstring(code);
  return Narrow(text);
}

// Records the reason (when asked for) and answers false.
bool Fail(std::string* reason, DWORD code) {
  if (reason) *reason = SystemErrorText(code);
  return false;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written != chunk) return false;
    done += written;
  }
  return true;
}

bool SeekTo(HANDLE file, size_t offset) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
}

// The new content in a temporary file beside the target, which then takes
// the target's place.  False (with the temporary file gone) when either step
// cannot be done; `*target_lost` is set in the one case where the system
// has already removed the target and the new content waits under the
// temporary name, which then stays.
bool ReplaceThroughTemporaryFile(const std::wstring& target, DWORD target_attrs, const std::string& path,
                                 const std::string& bytes, DWORD* error, bool* target_lost) {
  const std::wstring temp = Widen(TemporaryPathFor(path));
  // A leftover of a crashed run may carry the hidden attribute, which would
  // make CREATE_ALWAYS fail; clear it out of the way first.
  SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(temp.c_str());
  UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  if (!file) {
    *error = GetLastError();
    return false;
  }
  bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  // Closed here, not at scope end: a delayed write error surfaces only now.
  ok = CloseHandle(file.release()) && ok;
  if (!ok) {
    *error = GetLastError();
    DeleteFileW(temp.c_str());
    return false;
  }
  if (target_attrs == INVALID_FILE_ATTRIBUTES) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    *error = GetLastError();
    DeleteFileW(temp.c_str());
    return false;
  }
  // A settings file the user has hidden stays hidden; ReplaceFileW carries
  // over the old file's security and creation time as well.
  const DWORD kept = target_attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (kept != 0) SetFileAttributesW(temp.c_str(), kept);
  if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
    return true;
  *error = GetLastError();
  if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // Without a backup name a failed replacement may have removed the target
    // already: the new content must take its place now.
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    *error = GetLastError();
    *target_lost = true;
    return false;
  }
  DeleteFileW(temp.c_str());
  return false;
}

// Rewrites an existing file where it is.  The file first takes its new size
// (a full disk refuses that before any byte has changed), then the bytes are
// written and the size is settled.
bool RewriteInPlace(const std::wstring& target, const std::string& bytes, DWORD* error) {
  UniqueFile file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    *error = GetLastError();
    return false;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) {
    *error = GetLastError();
    return false;
  }
  if (static_cast<unsigned long long>(size.QuadPart) < bytes.size()) {
    if (!SeekTo(file.get(), bytes.size()) || !SetEndOfFile(file.get())) {
      *error = GetLastError();
      // Back to the old size, should the system have grown it part-way.
      if (SeekTo(file.get(), static_cast<size_t>(size.QuadPart))) SetEndOfFile(file.get());
      return false;
    }
  }
  bool ok = SeekTo(file.get(), 0) && WriteAll(file.get(), bytes) && SetEndOfFile(file.get()) &&
            FlushFileBuffers(file.get());
  if (!ok) *error = GetLastError();
  ok = CloseHandle(file.release()) && ok;
  if (!ok && *error == ERROR_SUCCESS) *error = GetLastError();
  return ok;
}

}  // namespace

std::string TemporaryPathFor(const std::string& path) {
  return path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
}

FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes, std::string* reason) {
  bytes->clear();
  if (path.empty()) return FileReadStatus::kNotFound;
  std::wstring wpath = Widen(path);
  UniqueFile file(CreateFileW(wpath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return FileReadStatus::kNotFound;
    Fail(reason, err);
    return FileReadStatus::kError;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) {
    Fail(reason, GetLastError());
    return FileReadStatus::kError;
  }
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > kMaxConfigFileBytes) {
    Fail(reason, ERROR_FILE_TOO_LARGE);
    return FileReadStatus::kError;
  }
  std::string data;
  char buf[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buf, sizeof buf, &got, nullptr)) {
      Fail(reason, GetLastError());
      return FileReadStatus::kError;
    }
    if (got == 0) break;
    if (data.size() + got > kMaxConfigFileBytes) {
      Fail(reason, ERROR_FILE_TOO_LARGE);
      return FileReadStatus::kError;
    }
    data.append(buf, got);
  }
  *bytes = std::move(data);
  return FileReadStatus::kOk;
}

bool WriteSettingsFile(const std::string& path, const std::string& bytes, std::string* reason) {
  if (path.empty()) return Fail(reason, ERROR_INVALID_NAME);
  const std::wstring target = Widen(path);
  const DWORD attrs = GetFileAttributesW(target.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return Fail(reason, ERROR_DIRECTORY);
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY) != 0)
    return Fail(reason, ERROR_ACCESS_DENIED);

  DWORD error = ERROR_SUCCESS;
  bool target_lost = false;
  if (ReplaceThroughTemporaryFile(target, attrs, path, bytes, &error, &target_lost)) return true;
  if (target_lost || attrs == INVALID_FILE_ATTRIBUTES) return Fail(reason, error);
  // A folder that refuses new files (a prepared installation folder) may
  // still let its existing file be written.
  DWORD in_place_error = ERROR_SUCCESS;
  if (RewriteInPlace(target, bytes, &in_place_error)) return true;
  return Fail(reason, in_place_error != ERROR_SUCCESS ? in_place_error : error);
}

}  // namespace zt
