// The system message box, with its button captions replaced by the
// program's own while it is being shown (a thread-local CBT hook catches the
// box as it is activated).
#include "util/message_box_win.h"

#include "util/unicode_win.h"

namespace zt {

namespace {

thread_local HHOOK t_hook = nullptr;

LRESULT CALLBACK CaptionHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wparam);
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0) {
      SetDlgItemTextW(box, IDYES, L"&Yes");
      SetDlgItemTextW(box, IDNO, L"&No");
      SetDlgItemTextW(box, IDOK, L"OK");
      SetDlgItemTextW(box, IDCANCEL, L"取消");
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
  const wchar_t* title = L"Information";
  UINT flags = MB_ICONINFORMATION;
  switch (kind) {
    case BoxKind::Warning: title = L"Warning"; flags = MB_ICONWARNING; break;
    case BoxKind::Error: title = L"Error"; flags = MB_ICONERROR; break;
    case BoxKind::Information: title = L"Information"; flags = MB_ICONINFORMATION; break;
    case BoxKind::Confirm: title = L"Confirm"; flags = MB_ICONQUESTION; break;
  }
  flags |= buttons == BoxButtons::YesNoCancel ? MB_YESNOCANCEL : MB_OK;
  if (!owner) flags |= MB_TASKMODAL | MB_SETFOREGROUND;

  if (!t_hook) t_hook = SetWindowsHookExW(WH_CBT, CaptionHook, nullptr, GetCurrentThreadId());
  int result = MessageBoxW(owner, Widen(text).c_str(), title, flags);
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
