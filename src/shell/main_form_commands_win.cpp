// The main window's commands: the pop-up menu's items, the title buttons and
// the menu short-cuts, and the hook through which the other windows take
// over their commands.
#include "shell/main_form_win.h"

#include "config/program.h"
#include "shell/form_layout.h"
#include "shell/menu_model.h"
#include "util/message_box_win.h"
#include "util/texts.h"
#include "util/open_document_win.h"
#include "util/platform.h"
#include "util/unicode_win.h"
#include "util/caught.h"

namespace zt {
void TForm_Main::SetCommandHandler(uint16_t command, std::function<void()> handler) {
  if (handler) {
    command_handlers_[command] = std::move(handler);
  } else {
    command_handlers_.erase(command);
  }
}

void TForm_Main::FormCommand(uint16_t id) {
  auto handler = command_handlers_.find(id);
  if (handler != command_handlers_.end()) {
    handler->second();
    return;
  }
  switch (id) {
    case kIdSBMenu: SB_MenuClick(); break;
    case kIdSBHide: SB_HideClick(); break;
    case kIdSBClose: SB_CloseClick(); break;
    case MI_About: MI_NotAvailableClick(); break;
    case MI_Settings: MI_NotAvailableClick(); break;
    case MI_Statistics: MI_NotAvailableClick(); break;
    case MI_History: MI_NotAvailableClick(); break;
    case MI_CPUInformation: MI_NotAvailableClick(); break;
    case MI_Help: MI_HelpClick(); break;
    case MI_Forum: MI_ForumClick(); break;
    case MI_Donate: MI_DonateClick(); break;
    case MI_VersionHistory: MI_VersionHistoryClick(); break;
    case MI_Copyrights: MI_CopyrightsClick(); break;
    case MI_TopLeft: MI_TopLeftClick(); break;
    case MI_TopRight: MI_TopRightClick(); break;
    case MI_BotomLeft: MI_BotomLeftClick(); break;
    case MI_BotomRight: MI_BotomRightClick(); break;
    case MI_Center: MI_CenterClick(); break;
    case MI_LockForm: MI_LockFormClick(); break;
    case MI_ShowHide: MI_ShowHideClick(); break;
    case MI_Exit: MI_ExitClick(); break;
    default: break;
  }
}

void TForm_Main::SB_MenuClick() {
  // Below and right of the menu button.
  RECT r;
  GetWindowRect(hwnd_, &r);
  const PixelPoint offset = MenuButtonMenuOffset(dpi_);
  PopupMenuAt(r.left + offset.x, r.top + offset.y);
}

void TForm_Main::SwitchTrayMode(bool on) {
  AppTrayMode = on;
  SetTrayMode(on, false);
}

void TForm_Main::SB_HideClick() { SwitchTrayMode(true); }

void TForm_Main::SB_CloseClick() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void TForm_Main::MI_NotAvailableClick() {
  ShowMessageBox(hwnd_, BoxKind::Information, Text(TextId::WindowNotAvailable), BoxButtons::Ok);
}

void TForm_Main::MI_HelpClick() { OpenDocument(hwnd_, kHelpAddress); }
void TForm_Main::MI_ForumClick() { OpenDocument(hwnd_, kForumAddress); }
void TForm_Main::MI_DonateClick() { OpenDocument(hwnd_, kDonateAddress); }

void TForm_Main::MI_TopLeftClick() { PlaceAtPreset(PlacementPreset::TopLeft); }
void TForm_Main::MI_TopRightClick() { PlaceAtPreset(PlacementPreset::TopRight); }
void TForm_Main::MI_BotomLeftClick() { PlaceAtPreset(PlacementPreset::BottomLeft); }
void TForm_Main::MI_BotomRightClick() { PlaceAtPreset(PlacementPreset::BottomRight); }
void TForm_Main::MI_CenterClick() { PlaceAtPreset(PlacementPreset::Center); }

void TForm_Main::MI_VersionHistoryClick() { OpenShippedFile(kHistoryFile); }

void TForm_Main::MI_CopyrightsClick() { OpenShippedFile(kCopyrightsFile); }

void TForm_Main::OpenShippedFile(const char* name) {
  // The files ship beside the executable; the current folder is often
  // elsewhere (started at log-on, from a short-cut).  When the file is not
  // there either, the bare name goes to the shell and its error is shown.
  const std::string exe = ExecutablePath();
  const size_t slash = exe.find_last_of("\\/");
  const std::string beside = slash == std::string::npos ? std::string() : exe.substr(0, slash + 1) + name;
  if (!beside.empty() && GetFileAttributesW(Widen(beside).c_str()) != INVALID_FILE_ATTRIBUTES) {
    OpenDocument(hwnd_, beside);
  } else {
    OpenDocument(hwnd_, name);
  }
}

void TForm_Main::MI_LockFormClick() {
  LockForm = !popup_menu_.LockChecked();
  // Keep the mark in step so a second use without reopening unlocks.
  popup_menu_.SetLockChecked(LockForm);
}

void TForm_Main::MI_ShowHideClick() { SwitchTrayMode(!AppTrayMode); }

void TForm_Main::MI_ExitClick() {
  // Ends the loop without a close request; the settings are saved while the
  // window is destroyed.
  PostQuitMessage(0);
}

void TForm_Main::PopupMenuAt(int x, int y) {
  // PopupMenuPopup: the lock item mirrors the setting each time the menu opens.
  popup_menu_.SetLockChecked(LockForm);
  popup_menu_.TrackAt(hwnd_, x, y);
}

void TForm_Main::FormContextMenu(int x, int y) {
  if (x == -1 && y == -1) {  // from the keyboard: where the menu button opens it
    RECT r;
    GetWindowRect(hwnd_, &r);
    const PixelPoint offset = MenuButtonMenuOffset(dpi_);
    x = r.left + offset.x;
    y = r.top + offset.y;
  }
  PopupMenuAt(x, y);
}

bool TForm_Main::FilterMessage(MSG& msg) {
  if (!hwnd_) return false;
  if (msg.message == WM_MOUSEMOVE) {
    // Only real movement: the system repeats the last position when windows
    // appear or vanish under a still mouse, which would bring the hidden
    // controls straight back.
    if (msg.pt.x != last_mouse_.x || msg.pt.y != last_mouse_.y) {
      last_mouse_ = msg.pt;
      ShowTitleControls(true);
    }
    return false;
  }
  if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
      (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd))) {
    const bool alt = (msg.lParam & (1 << 29)) != 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const uint16_t id = MenuCommandForKey(static_cast<uint16_t>(msg.wParam), shift, ctrl, alt);
    if (id) {
      // Reached from the message loop, not a window procedure: a failing
      // command must not end the program where the same command chosen from
      // the menu is only dropped.
      try {
        FormCommand(id);
      } catch (...) {
        RecordCaught("menu short-cut");
      }
      return true;
    }
  }
  return false;
}

}  // namespace zt
