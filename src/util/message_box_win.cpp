// The system message box, with its button captions replaced by the
// program's own while it is being shown (a thread-local CBT hook catches the
// box as it is activated).
#include "util/message_box_win.h"

#include "util/control_text_win.h"
#include "util/texts.h"
#include "util/unicode_win.h"

namespace zt {

namespace {

thread_local HHOOK t_hook = nullptr;

LRESULT CALLBACK CaptionHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wparam);
    if (IsOfClass(box, L"#32770")) {
      SetDlgItemTextW(box, IDYES, Widen(Text(TextId::BoxYes)).c_str());
      SetDlgItemTextW(box, IDNO, Widen(Text(TextId::BoxNo)).c_str());
      SetDlgItemTextW(box, IDOK, Widen(Text(TextId::BoxOk)).c_str());
      SetDlgItemTextW(box, IDCANCEL, Widen(Text(TextId::BoxCancel)).c_str());
      // Only the first activation is ours; later ones (e.g. after another
      // window was in front) must not touch other dialogs.
      HHOOK hook = t_hook;
      t_hook = nullptr;
      UnhookWindowsHookEx(hook);
      return CallNextHookEx(nullptr, code, wparam, lparam);
    }
  }
  return CallNextHookEx(t_hook, code, wparam, lparam);
}

}  // namespace

BoxAnswer ShowMessageBox(HWND owner, BoxKind kind, const std::string& text, BoxButtons buttons) {
  TextId title = TextId::BoxInformation;
  UINT flags = MB_ICONINFORMATION;
  switch (kind) {
    case BoxKind::Warning: title = TextId::BoxWarning; flags = MB_ICONWARNING; break;
    case BoxKind::Error: title = TextId::BoxError; flags = MB_ICONERROR; break;
    case BoxKind::Information: title = TextId::BoxInformation; flags = MB_ICONINFORMATION; break;
    case BoxKind::Confirm: title = TextId::BoxConfirm; flags = MB_ICONQUESTION; break;
  }
  flags |= buttons == BoxButtons::YesNoCancel ? MB_YESNOCANCEL : MB_OK;
  if (!owner) flags |= MB_TASKMODAL | MB_SETFOREGROUND;

  if (!t_hook) t_hook = SetWindowsHookExW(WH_CBT, CaptionHook, nullptr, GetCurrentThreadId());
  int result = MessageBoxW(owner, Widen(text).c_str(), Widen(Text(title)).c_str(), flags);
  if (t_hook) {
    UnhookWindowsHookEx(t_hook);
    t_hook = nullptr;
  }
  switch (result) {
    case IDYES: return BoxAnswer::Yes;
    case IDNO: return BoxAnswer::No;
    case IDOK: return BoxAnswer::Ok;
    default: return BoxAnswer::Cancel;
  }
}

}  // namespace zt
