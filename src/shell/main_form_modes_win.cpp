// The main window's display modes: the tray-mode hot key, tray mode, the
// self-hiding title controls, placement and dragging.
#include "shell/main_form_win.h"

#include "shell/screens_win.h"
#include "shell/widgets_win.h"
#include "util/hotkey.h"

namespace zt {
namespace {

bool g_hotkey_registered = false;  // program-wide: identifier 1 is ours

}  // namespace

bool AppModeHotkeyRegistered() { return g_hotkey_registered; }

void TForm_Main::RegisterAppModeHotkey() {
  if (!hwnd_) return;
  if (g_hotkey_registered && UnregisterHotKey(hwnd_, kAppModeHotkeyId)) g_hotkey_registered = false;
  if (AppModeHotkey == 0) return;
  // A typing key without Ctrl, Alt or Win (only a hand-edited file holds
  // one) would be taken from every program: the program goes without a hot
  // key, and the file keeps what its user wrote.
  if (!IsAllowedGlobalHotkey(static_cast<uint32_t>(AppModeHotkey), static_cast<uint32_t>(AppModeHotkeyModifiers)))
    return;
  const auto register_key = [this](uint32_t modifiers, uint32_t key) {
    return RegisterHotKey(hwnd_, kAppModeHotkeyId, modifiers, key) != FALSE;
  };
  if (RegisterWithoutRepeat(static_cast<uint32_t>(AppModeHotkeyModifiers),
                            static_cast<uint32_t>(AppModeHotkey), register_key)) {
    g_hotkey_registered = true;
  } else {
    // Taken by another program: the program goes without a hot key, and the
    // cleared values are what the settings file receives.
    AppModeHotkey = 0;
    AppModeHotkeyModifiers = 0;
  }
}

void TForm_Main::ReleaseAppModeHotkey() {
  if (g_hotkey_registered && hwnd_ && UnregisterHotKey(hwnd_, kAppModeHotkeyId)) g_hotkey_registered = false;
}

void TForm_Main::WMHotKey(WPARAM id) {
  if (id == kAppModeHotkeyId) SwitchTrayMode(!AppTrayMode);
}

void TForm_Main::SetTrayMode(bool on, bool startup) {
  if (startup) show_at_startup_ = !on;
  if (on) {
    tray_.AddIcon();
    ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  if (!startup) {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
  }
  if (HideTrayWhenVisible) {
    tray_.RemoveIcon();
  } else {
    tray_.AddIcon();
  }
}

void TForm_Main::SetAutoHideControls(bool on) {
  auto_hide_controls_ = on;
  ShowTitleControls(true);
}

void TForm_Main::ShowTitleControls(bool show) {
  if (!hwnd_) return;
  KillTimer(hwnd_, kTimerHideControls);
  if (show && auto_hide_controls_) SetTimer(hwnd_, kTimerHideControls, kHideControlsMs, nullptr);
  if (show == title_controls_visible_) return;
  title_controls_visible_ = show;
  for (TWidget* w : std::initializer_list<TWidget*>{image_move_.get(), sb_menu_.get(), sb_hide_.get(),
                                                     sb_close_.get()}) {
    if (w) ShowWindow(w->hwnd(), show ? SW_SHOWNA : SW_HIDE);
  }
}

void TForm_Main::Timer_HideControlsTimer() { ShowTitleControls(false); }

void TForm_Main::RestorePlacement() {
  const ScreenPoint p = zt::RestorePlacement(FirstLaunch, PosX, PosY, PosWidth, PosHeight, MeasureScreens());
  PosX = p.x;
  PosY = p.y;
  SetWindowPos(hwnd_, nullptr, p.x, p.y, PosWidth, PosHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm_Main::FormDisplayChange() {
  // A monitor was unplugged or the screens rearranged: a visible window
  // that was left off every screen comes back the way a showing brings it
  // (a hidden one is placed when it is shown).
  if (hwnd_ && IsWindowVisible(hwnd_)) RestorePlacement();
}

void TForm_Main::PlaceAtPreset(PlacementPreset preset) {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const ScreenPoint p = zt::PlaceAtPreset(preset, r.right - r.left, r.bottom - r.top, MeasureScreens().work_area);
  PosX = p.x;
  PosY = p.y;
  SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm_Main::FormMouseDown(int x, int y) {
  drag_x_ = static_cast<uint16_t>(x);
  drag_y_ = static_cast<uint16_t>(y);
  dragging_ = true;
  SetCapture(hwnd_);
}

void TForm_Main::FormMouseMove(int x, int y) {
  if (!dragging_ || LockForm) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  const int left = r.left + x - static_cast<int16_t>(drag_x_);
  const int top = r.top + y - static_cast<int16_t>(drag_y_);
  if (left == r.left && top == r.top) return;
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PosX = left;
  PosY = top;
}

void TForm_Main::FormMouseUp() {
  dragging_ = false;
  if (GetCapture() == hwnd_) ReleaseCapture();
}

void TForm_Main::FormCaptureLost() { dragging_ = false; }

}  // namespace zt
