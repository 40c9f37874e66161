#include "util/open_document_win.h"

#include <windows.h>
#include <shellapi.h>

#include "util/message_box_win.h"
#include "util/open_document.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

int SystemShellOpen(const std::wstring& target) {
  HINSTANCE r = ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return static_cast<int>(reinterpret_cast<INT_PTR>(r));
}

ShellOpenFunction g_open = SystemShellOpen;

std::string SystemMessageText(int code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                           nullptr);
  std::string text;
  if (n && buffer) text = Narrow(std::wstring(buffer, n));
  if (buffer) LocalFree(buffer);
  return text;
}

}  // namespace

ShellOpenFunction SetShellOpenForTesting(ShellOpenFunction fn) {
  ShellOpenFunction old = g_open;
  g_open = fn ? fn : SystemShellOpen;
  return old;
}

bool OpenDocument(const std::string& target) {
  const int r = g_open(Widen(target));
  if (r > 32) return true;
  ShowMessageBox(nullptr, BoxKind::Warning, OpenDocumentErrorText(target, SystemMessageText(r), r),
                 BoxButtons::Ok);
  return false;
}

}  // namespace zt
