// The main window's display modes: the tray-mode hot key, tray mode, the
// self-hiding title controls, placement and dragging.
#include "shell/main_form_win.h"

#include "shell/screens_win.h"
#include "shell/widgets_win.h"
#include "util/dpi_win.h"
#include "util/hotkey.h"
#include "util/user_calls_win.h"

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
    return Seam<IUserCalls>::Get().RegisterHotKey(hwnd_, kAppModeHotkeyId, modifiers, key);
  };
  if (RegisterWithoutRepeat(static_cast<uint32_t>(AppModeHotkeyModifiers),
                            static_cast<uint32_t>(AppModeHotkey), register_key)) {
    g_hotkey_registered = true;
  } else {
    // Taken by another program: the run goes without a hot key (the settings
    // dialog shows none, so another may be picked); the file keeps the
    // combination unless one is picked.
    KeepRefusedHotkey(AppModeHotkey, AppModeHotkeyModifiers);
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
  // The limits and the rescue work in the screen's real pixels, on the
  // window's real size.
  const SIZE size = ScaledSize();
  const ScreenPoint at = position_.ToScreen(PosX, PosY, SystemDpi());
  const ScreenPoint p = zt::RestorePlacement(FirstLaunch, at.x, at.y, size.cx, size.cy, MeasureScreens(),
                                             ScaleToDpi(kVisibleCorner, dpi_));
  StorePosition(p);
  SetWindowPos(hwnd_, nullptr, p.x, p.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm_Main::StorePosition(ScreenPoint screen) {
  const PixelPoint stored = position_.Moved(PosX, PosY, screen, SystemDpi());
  PosX = stored.x;
  PosY = stored.y;
}

int TForm_Main::DesignWidth() const {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  return ScaleFromDpi(r.right - r.left, dpi_);
}

int TForm_Main::DesignHeight() const {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  return ScaleFromDpi(r.bottom - r.top, dpi_) - MoreLineDesignHeight();
}

int TForm_Main::SetDesignWidth(int width) {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  SetWindowPos(hwnd_, nullptr, 0, 0, ScaleToDpi(width, dpi_), r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return DesignWidth();
}

int TForm_Main::SetDesignHeight(int height) {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, ScaleToDpi(height + MoreLineDesignHeight(), dpi_),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return DesignHeight();
}

void TForm_Main::FormDpiChanged(int dpi, const RECT& suggested) {
  if (!hwnd_ || dpi < 24 || dpi > 24 * kDesignDpi) return;
  // The fonts and the widgets' own figures first, so that the one layout
  // the move brings is already at the new scale; the children move without
  // drawing and the window is drawn once at the end: no flicker of a half
  // laid-out window.  The stored size is not touched: it is in design units.
  const bool rescaled = dpi != dpi_;
  if (dragging_ && rescaled) {
    // Dragged onto a monitor of another scaling: the window grows or shrinks
    // around the pointer, and the point held keeps its place in it only at
    // the new scale.  Kept in the old pixels, the window would jump (or
    // bounce back across the boundary) at the next move.
    drag_x_ = static_cast<uint16_t>(MulDiv(static_cast<int16_t>(drag_x_), dpi, dpi_));
    drag_y_ = static_cast<uint16_t>(MulDiv(static_cast<int16_t>(drag_y_), dpi, dpi_));
  }
  dpi_ = dpi;
  look_->dpi = dpi;
  if (rescaled) {
    CreateFonts(fonts_crisp_);
    popup_menu_.Build();  // its item pictures are measured again at the new size
  }
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  LayoutWidgets();
  if (label_cpu_speed_) label_cpu_speed_->Refit();
  if (label_memory_used_) label_memory_used_->Refit();
  StorePosition({suggested.left, suggested.top});
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
  FollowTrayIconSize();
}

void TForm_Main::FormSettingChange() {
  // The scaling of the task bar's monitor may have changed.
  FollowTrayIconSize();
}

void TForm_Main::FormDisplayChange() {
  // A monitor was unplugged or the screens rearranged: a visible window
  // that was left off every screen comes back the way a showing brings it
  // (a hidden one is placed when it is shown).
  if (hwnd_ && IsWindowVisible(hwnd_)) RestorePlacement();
  FollowTrayIconSize();
}

void TForm_Main::PlaceAtPreset(PlacementPreset preset) {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const ScreenPoint p = zt::PlaceAtPreset(preset, r.right - r.left, r.bottom - r.top, MeasureScreens().work_area);
  StorePosition(p);
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
  StorePosition({left, top});
}

void TForm_Main::FormMouseUp() {
  dragging_ = false;
  if (GetCapture() == hwnd_) ReleaseCapture();
}

void TForm_Main::FormCaptureLost() { dragging_ = false; }

}  // namespace zt
