// TTrayIcon: the one notification-area icon of the program.  A thin owner of
// the shell's notification data (Unicode, so the Chinese tip reads right on
// every system locale) with the operations the main window needs.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "shell/tray_logic.h"

namespace zt {

class TrayImageList;

constexpr UINT kTrayIconId = 0;

class TTrayIcon {
 public:
  TTrayIcon() = default;
  ~TTrayIcon();  // removes the icon
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // Once only: the window that receives callback_message, the program's own
  // icon and the first tip (the program title).
  void Prepare(HWND window, UINT callback_message, HICON program_icon, const std::wstring& title);
  void AddIcon();
  void RemoveIcon();
  // Modify; when the shell refuses (the task bar was restarted, an earlier
  // add failed), delete and add again.  Nothing while the icon is removed.
  void RefreshIcon();
  // RefreshIcon, unless the shell already holds this picture and tip (true
  // when the shell was called).
  bool UpdateIcon();
  // The task bar was re-created: put the icon back now if it should be shown.
  void Readd();
  void SetTip(const std::u16string& text);
  void SetIconFromList(const TrayImageList& list, int index);
  void SetIcon(HICON icon);

  bool shown() const { return shown_; }
  bool prepared() const { return prepared_; }
  const NOTIFYICONDATAW& data() const { return data_; }

 private:
  // Keeps what the shell holds in step with the outcome of a call that
  // handed it the data.
  void Handed(bool accepted);

  bool shown_ = false;
  bool prepared_ = false;
  NOTIFYICONDATAW data_ = {};
  std::u16string tip_;  // the tip in data_
  TrayShellCopy shell_copy_;
};

}  // namespace zt
