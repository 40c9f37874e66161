#include "util/open_document_win.h"

#include <windows.h>

#include "util/message_box_win.h"
#include "util/open_document.h"
#include "util/shell_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

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

bool OpenDocument(HWND owner, const std::string& target) {
  const int r = Seam<IShell>::Get().Open(Widen(target));
  if (r > 32) return true;
  ShowMessageBox(owner, BoxKind::Warning, OpenDocumentErrorText(target, SystemMessageText(r), r),
                 BoxButtons::Ok);
  return false;
}

}  // namespace zt
