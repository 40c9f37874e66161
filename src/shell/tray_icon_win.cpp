#include "shell/tray_icon_win.h"

#include <algorithm>

#include "shell/tray_images_win.h"
#include "shell/tray_logic.h"
#include "util/shell_win.h"

namespace zt {
namespace {

bool Notify(DWORD message, NOTIFYICONDATAW* data) { return Seam<IShell>::Get().NotifyIcon(message, data); }

std::uintptr_t PictureOf(const NOTIFYICONDATAW& data) { return reinterpret_cast<std::uintptr_t>(data.hIcon); }

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
  SetTip(std::u16string(title.begin(), title.end()));
  prepared_ = true;
}

void TTrayIcon::AddIcon() {
  if (shown_) return;
  Handed(Notify(NIM_ADD, &data_));
  shown_ = true;  // a failed add is retried by the next refresh
}

void TTrayIcon::RemoveIcon() {
  if (!shown_) return;
  Notify(NIM_DELETE, &data_);
  shell_copy_.Forget();
  shown_ = false;
}

void TTrayIcon::RefreshIcon() {
  // A removed icon stays removed: a display step that runs while the program
  // winds down must not bring it back.
  if (!shown_) return;
  if (Notify(NIM_MODIFY, &data_)) {
    Handed(true);
    return;
  }
  Notify(NIM_DELETE, &data_);
  Handed(Notify(NIM_ADD, &data_));
}

bool TTrayIcon::UpdateIcon() {
  if (!shown_ || !shell_copy_.Differs(PictureOf(data_), tip_)) return false;
  RefreshIcon();
  return true;
}

void TTrayIcon::Readd() {
  if (!shown_) return;
  Notify(NIM_DELETE, &data_);  // harmless when the new task bar has none
  Handed(Notify(NIM_ADD, &data_));
}

void TTrayIcon::Handed(bool accepted) {
  if (accepted) {
    shell_copy_.Took(PictureOf(data_), tip_);
  } else {
    shell_copy_.Forget();
  }
}

void TTrayIcon::SetTip(const std::u16string& text) {
  tip_ = LimitTrayTip(text);
  std::copy(tip_.begin(), tip_.end(), data_.szTip);
  data_.szTip[tip_.size()] = L'\0';
}

void TTrayIcon::SetIconFromList(const TrayImageList& list, int index) { SetIcon(list.Icon(index)); }

void TTrayIcon::SetIcon(HICON icon) {
  if (icon) data_.hIcon = icon;
}

}  // namespace zt
