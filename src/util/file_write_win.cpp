#include <windows.h>

#include <algorithm>

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
  bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  DWORD error = ok ? ERROR_SUCCESS : GetLastError();
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

bool AppendToFile(const std::string& path, const std::string& bytes, std::string* reason) {
  if (path.empty()) return Fail(reason, ERROR_INVALID_NAME);
  UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(reason, GetLastError());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || !SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN))
    return Fail(reason, GetLastError());
  if (WriteAll(file.get(), bytes)) {
    if (CloseHandle(file.release())) return true;
    return Fail(reason, GetLastError());
  }
  const DWORD error = GetLastError();
  if (SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN)) SetEndOfFile(file.get());
  return Fail(reason, error);
}

}  // namespace zt
