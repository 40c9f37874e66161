#include "util/open_document_win.h"

#include <windows.h>

#include "util/message_box_win.h"
#include "util/open_document.h"
#include "util/shell_win.h"
#include "util/unicode_win.h"

namespace zt {
bool OpenDocument(HWND owner, const std::string& target) {
  const int r = Seam<IShell>::Get().Open(owner, Widen(target));
  if (r > 32) return true;
  ShowMessageBox(owner, BoxKind::Warning, OpenDocumentErrorText(target, SystemMessageText(static_cast<uint32_t>(r)), r),
                 BoxButtons::Ok);
  return false;
}

}  // namespace zt
