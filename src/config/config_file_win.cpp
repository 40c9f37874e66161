#include <windows.h>

#include <algorithm>
#include <string>

#include "config/config_file.h"
#include "util/handles_win.h"
#include "util/unicode_win.h"

namespace zt {

std::string TemporaryPathFor(const std::string& path) {
  return path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
}

FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes) {
  bytes->clear();
  if (path.empty()) return FileReadStatus::kNotFound;
  std::wstring wpath = Widen(path);
  UniqueFile file(CreateFileW(wpath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD err = GetLastError();
    return (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
               ? FileReadStatus::kNotFound
               : FileReadStatus::kError;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxConfigFileBytes) {
    return FileReadStatus::kError;
  }
  std::string data;
  char buf[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buf, sizeof buf, &got, nullptr)) return FileReadStatus::kError;
    if (got == 0) break;
    if (data.size() + got > kMaxConfigFileBytes) return FileReadStatus::kError;
    data.append(buf, got);
  }
  *bytes = std::move(data);
  return FileReadStatus::kOk;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  if (path.empty()) return false;
  const std::wstring target = Widen(path);
  DWORD attrs = GetFileAttributesW(target.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES &&
      (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }

  const std::wstring temp = Widen(TemporaryPathFor(path));
  // A leftover of a crashed run may carry the hidden attribute, which would
  // make CREATE_ALWAYS fail; clear it out of the way first.
  SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(temp.c_str());
  UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    ok = WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) && written == chunk;
    done += written;
  }
  ok = ok && FlushFileBuffers(file.get());
  // Closed here, not at scope end: a delayed write error surfaces only now.
  ok = CloseHandle(file.release()) && ok;
  if (ok && attrs != INVALID_FILE_ATTRIBUTES) {
    // A settings file the user has hidden stays hidden.
    const DWORD kept = attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept != 0) SetFileAttributesW(temp.c_str(), kept);
  }
  ok = ok && MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

}  // namespace zt
