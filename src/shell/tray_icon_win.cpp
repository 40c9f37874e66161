#include "shell/tray_icon_win.h"

#include <algorithm>

#include "shell/tray_images_win.h"
#include "shell/tray_logic.h"
#include "util/shell_win.h"

namespace zt {
namespace {

bool Notify(DWORD message, NOTIFYICONDATAW* data) { return Seam<IShell>::Get().NotifyIcon(message, data); }

void CopyTip(wchar_t* dest, const std::u16string& text) {
  const std::u16string limited = LimitTrayTip(text);
  std::copy(limited.begin(), limited.end(), dest);
  dest[limited.size()] = L'\0';
}

}  // namespace

TTrayIcon::~TTrayIcon() { RemoveIcon(); }

void TTrayIcon::Prepare(HWND window, UINT callback_message, HICON program_icon, const std::wstring& title) {
  if (prepared_) return;
  data_ = {};
  data_.cbSize = sizeof(data_);
  data_.hWnd = window;
  data_.uID = kTrayIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = callback_message;
  data_.hIcon = program_icon;
  CopyTip(data_.szTip, std::u16string(title.begin(), title.end()));
  prepared_ = true;
}

void TTrayIcon::AddIcon() {
  if (shown_) return;
  Notify(NIM_ADD, &data_);
  shown_ = true;  // a failed add is retried by the next refresh
}

void TTrayIcon::RemoveIcon() {
  if (!shown_) return;
  Notify(NIM_DELETE, &data_);
  shown_ = false;
}

void TTrayIcon::RefreshIcon() {
  if (!Notify(NIM_MODIFY, &data_)) {
    Notify(NIM_DELETE, &data_);
    Notify(NIM_ADD, &data_);
  }
}

void TTrayIcon::Readd() {
  if (!shown_) return;
  Notify(NIM_DELETE, &data_);  // harmless when the new task bar has none
  Notify(NIM_ADD, &data_);
}

void TTrayIcon::SetTip(const std::u16string& text) { CopyTip(data_.szTip, text); }

void TTrayIcon::SetIconFromList(const TrayImageList& list, int index) {
  HICON icon = list.Icon(index);
  if (icon) data_.hIcon = icon;
}

}  // namespace zt
