#include "shell/main_form_win.h"

#include <windowsx.h>
#include <commctrl.h>

#include "shell/form_layout.h"
#include "shell/more_resources.h"
#include "shell/widgets_win.h"
#include "util/control_text_win.h"
#include "util/dpi_win.h"
#include "util/texts.h"
#include "util/unicode_win.h"
#include "util/message_box_win.h"
#include "util/program_picture.h"
#include "util/user_calls_win.h"
#include "util/window_messages.h"
#include "util/window_proc_win.h"

namespace zt {

TForm_Main::TForm_Main() : look_(std::make_unique<WidgetLook>()) {}

TForm_Main::~TForm_Main() { Destroy(); }

// ---------------------------------------------------------------------------
// Creation and destruction

bool TForm_Main::Create(HINSTANCE instance) {
  instance_ = instance;
  // 1. Drag state.
  drag_x_ = drag_y_ = 0;
  dragging_ = false;
  // 2. Settings.
  LoadConfig();

  program_icon_ = IconFromPixels(DrawProgramImage());
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ObjectWindowProc<TForm_Main, &TForm_Main::hwnd_, &TForm_Main::Handle>;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kMainWindowClass;
  RegisterClassExW(&wc);  // already registered by an earlier window of this process: fine

  // 3. No task-bar button (tool window); the mouse filter is FilterMessage.
  // 4. Stay on top only when asked at creation.
  // Made at the scaling of the monitor at the stored place; each showing
  // places it again (RestorePlacement).
  DWORD ex_style = WS_EX_TOOLWINDOW | (AlwaysOnTop ? WS_EX_TOPMOST : 0);
  more_line_shown_ = ShowMoreResources;  // the window is made with its line
  const ScreenPoint at = position_.ToScreen(PosX, PosY, SystemDpi());
  dpi_ = MonitorDpi(MonitorFromPoint(POINT{at.x, at.y}, MONITOR_DEFAULTTONEAREST));
  SIZE size = ScaledSize();
  hwnd_ = CreateWindowExW(ex_style, kMainWindowClass, kMainWindowTitle, WS_POPUP | WS_CLIPCHILDREN,
                          at.x, at.y, size.cx, size.cy, nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  if (WindowDpi(hwnd_) != dpi_) {
    dpi_ = WindowDpi(hwnd_);
    size = ScaledSize();
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  look_->dpi = dpi_;
  // Per window, not per class: the icon belongs to this window's lifetime.
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(program_icon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(program_icon_.get()));
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  // Run as administrator, the window sits above Explorer, whose restart
  // announcement would be dropped: the tray icon would never come back.
  if (taskbar_created_) Seam<IUserCalls>::Get().AllowMessageFromLowerIntegrity(hwnd_, taskbar_created_);

  CreateFonts(Transparency);
  CreateWidgets();
  // 5. The placement short-cuts come with the menu table.
  popup_menu_.Build();

  // 6. Tray icon and its pictures, at the notification area's size.
  tray_.Prepare(hwnd_, WM_TRAYNOTIFY, program_icon_.get(), kMainWindowTitle);
  FollowTrayIconSize();

  // 7. Splash.
  SetWindowTextW(label_splash_->hwnd(), kMainWindowTitle);
  SetTimer(hwnd_, kTimerHideSplash, kSplashMs, nullptr);

  // 8. Settings onto the widgets.
  ApplySettings();

  // 9. Sampling.
  monitors_ = std::make_unique<TMonitors>(hwnd_, *this);
  return true;
}

void TForm_Main::Destroy() {
  if (!hwnd_) return;
  // Off the screen before the threads are waited for: a display step already
  // queued or a clock measurement being put down still takes a moment, and a
  // window and tray icon left standing, no longer repainted, would look
  // frozen meanwhile.  The threads are asked to stop first, so they wind down
  // while the window and the icon go.
  if (monitors_) monitors_->RequestStop();
  ShowWindow(hwnd_, SW_HIDE);
  tray_.RemoveIcon();
  monitors_.reset();
  SaveSettings();  // skipped inside when a close request already saved
  ReleaseAppModeHotkey();
  KillTimer(hwnd_, kTimerHideSplash);
  KillTimer(hwnd_, kTimerHideControls);
  // Children first, while their objects still exist.
  image_move_.reset();
  sb_menu_.reset();
  label_cpu_speed_.reset();
  label_memory_used_.reset();
  sb_hide_.reset();
  sb_close_.reset();
  label_splash_.reset();
  label_more_.reset();
  chart_.reset();
  gauge_.reset();
  HWND h = hwnd_;
  hwnd_ = nullptr;
  UnbindWindow(h);
  DestroyWindow(h);  // also the tool tip it owns
  tooltip_ = nullptr;
  popup_menu_.Reset();
}

void TForm_Main::CreateFonts(bool crisp) {
  // The windows' face for the language, 8 point; the labels and the gauge
  // use its bold face.  Over a transparent colour key, smoothed text would
  // leave a fringe of half-mixed pixels, so the text is drawn without
  // smoothing then.
  const DWORD quality = crisp ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY;
  const int height = FontHeightForPoints(8, dpi_);
  fonts_language_ = CurrentLanguage();
  const std::wstring face = Widen(WindowFontFace(fonts_language_));
  auto make = [&](int weight) {
    return UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                                  DEFAULT_PITCH | FF_SWISS, face.c_str()));
  };
  font_ = make(FW_NORMAL);
  bold_font_ = make(FW_BOLD);
  fonts_crisp_ = crisp;
  look_->font = font_.get();
  look_->bold_font = bold_font_.get();
}

SIZE TForm_Main::ScaledSize() const {
  return {ScaleToDpi(PosWidth, dpi_), ScaleToDpi(PosHeight + MoreLineDesignHeight(), dpi_)};
}

int TForm_Main::MoreLineDesignHeight() const { return more_line_shown_ ? kMoreLineDesignHeight : 0; }

void TForm_Main::CreateWidgets() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const FormLayout l = ComputeFormLayout(rc.right, rc.bottom, HideBarGraph, dpi_, more_line_shown_);
  image_move_ = std::make_unique<TSpeedButton>(*look_, Glyph::MoveArrows, false);
  image_move_->Create(hwnd_, kIdImageMove, l.image_move, Widen(Text(TextId::MainMove)), true);
  sb_menu_ = std::make_unique<TSpeedButton>(*look_, Glyph::Diamond, true);
  sb_menu_->Create(hwnd_, kIdSBMenu, l.sb_menu, Widen(Text(TextId::MainMenu)), true);
  label_cpu_speed_ = std::make_unique<TLabel>(*look_);
  label_cpu_speed_->Create(hwnd_, kIdLabelCPUSpeed, l.label_cpu_speed, L"? MHz", true);
  label_memory_used_ = std::make_unique<TLabel>(*look_);
  label_memory_used_->Create(hwnd_, kIdLabelMemoryUsed, l.label_memory_used, L"? MB", true);
  sb_hide_ = std::make_unique<TSpeedButton>(*look_, Glyph::DownArrow, true);
  sb_hide_->Create(hwnd_, kIdSBHide, l.sb_hide, Widen(Text(TextId::MainHide)), true);
  sb_close_ = std::make_unique<TSpeedButton>(*look_, Glyph::Cross, true);
  sb_close_->Create(hwnd_, kIdSBClose, l.sb_close, Widen(Text(TextId::MainClose)), true);
  chart_ = std::make_unique<TChart>(*look_, chart_data_);
  chart_->Create(hwnd_, kIdChart, l.chart, L"", true);
  gauge_ = std::make_unique<TGauge>(*look_);
  gauge_->Create(hwnd_, kIdGauge, l.gauge, L"0%", true);
  label_splash_ = std::make_unique<TSplashLabel>();
  label_splash_->Create(chart_->hwnd(), kIdLabelSplash, {0, 0, l.chart.Width(), l.chart.Height()},
                        L"#SPLASH#", true);
  chart_->SetSplash(label_splash_->hwnd());
  label_more_ = std::make_unique<TLabel>(*look_, true);
  label_more_->Create(hwnd_, kIdLabelMoreResources, l.more_line, MoreLineText(), more_line_shown_);
  // The labels size themselves to their design texts.
  label_cpu_speed_->Refit();
  label_memory_used_->Refit();

  // Every title control shows its hint as a tool tip.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             instance_, nullptr);
  if (tooltip_) {
    // Each tip is its control's name.
    for (TWidget* w : {image_move_.get(), sb_menu_.get(), sb_hide_.get(), sb_close_.get()}) {
      std::wstring name = ControlText(w->hwnd());
      TTTOOLINFOW ti = {};
      ti.cbSize = sizeof(ti);
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(w->hwnd());
      ti.lpszText = name.data();
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
}

void TForm_Main::Retext() {
  struct Named { TWidget* w; TextId name; };
  const Named named[] = {{image_move_.get(), TextId::MainMove}, {sb_menu_.get(), TextId::MainMenu},
                         {sb_hide_.get(), TextId::MainHide}, {sb_close_.get(), TextId::MainClose}};
  for (const Named& n : named) {
    if (!n.w) continue;
    std::wstring name = Widen(Text(n.name));
    SetControlText(n.w->hwnd(), name);
    if (!tooltip_) continue;
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(n.w->hwnd());
    ti.lpszText = name.data();
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  if (fonts_language_ != CurrentLanguage()) {
    CreateFonts(fonts_crisp_);
    if (label_cpu_speed_) label_cpu_speed_->Refit();
    if (label_memory_used_) label_memory_used_->Refit();
    InvalidateWidgets();
  }
  if (popup_menu_) {
    const bool locked = popup_menu_.LockChecked();
    popup_menu_.Build();
    popup_menu_.SetLockChecked(locked);
  }
  if (label_more_) label_more_->SetText(MoreLineText());
  if (tip_load_ >= 0) {
    tray_.SetTip(TipText(tip_load_, tip_memory_));
    tray_.UpdateIcon();
  }
}

void TForm_Main::LayoutWidgets() {
  if (!hwnd_ || !chart_) return;
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const FormLayout l = ComputeFormLayout(rc.right, rc.bottom, bar_graph_hidden_, dpi_, more_line_shown_);
  image_move_->SetBounds(l.image_move);
  sb_menu_->SetBounds(l.sb_menu);
  sb_hide_->SetBounds(l.sb_hide);
  sb_close_->SetBounds(l.sb_close);
  // The labels keep the width their text gave them.
  for (auto [label, r] : {std::make_pair(label_cpu_speed_.get(), l.label_cpu_speed),
                          std::make_pair(label_memory_used_.get(), l.label_memory_used)}) {
    RECT now;
    GetClientRect(label->hwnd(), &now);
    SetWindowPos(label->hwnd(), nullptr, r.left, r.top, now.right, r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  chart_->SetBounds(l.chart);
  gauge_->SetBounds(l.gauge);
  label_splash_->SetBounds({0, 0, l.chart.Width(), l.chart.Height()});
  if (more_line_shown_) label_more_->SetBounds(l.more_line);
  chart_->Invalidate();
}

// ---------------------------------------------------------------------------
// Window procedure: every message goes to its named handler.

LRESULT TForm_Main::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: FormPaint(); return 0;
    case WM_SIZE: FormResize(); return 0;
    case WM_SHOWWINDOW: FormShow(wparam != 0, lparam); break;
    case WM_LBUTTONDOWN: FormMouseDown(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return 0;
    case WM_RBUTTONDOWN: FormMouseDown(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return 0;
    case WM_MBUTTONDOWN: FormMouseDown(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return 0;
    // The class asks for double clicks: a quick second press is a press too.
    case WM_LBUTTONDBLCLK: FormMouseDown(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return 0;
    case WM_RBUTTONDBLCLK: FormMouseDown(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return 0;
    case WM_MBUTTONDBLCLK: FormMouseDown(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return 0;
    case WM_MOUSEMOVE: FormMouseMove(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return 0;
    case WM_LBUTTONUP: case WM_MBUTTONUP: FormMouseUp(); return 0;
    case WM_RBUTTONUP: FormMouseUp(); break;  // the default turns it into WM_CONTEXTMENU
    case WM_CAPTURECHANGED: FormCaptureLost(); return 0;
    case WM_CONTEXTMENU: FormContextMenu(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return 0;
    case WM_COMMAND: FormCommand(LOWORD(wparam)); return 0;
    case WM_MEASUREITEM: if (TPopupMenu::MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam), dpi_)) return TRUE; break;
    case WM_DRAWITEM: if (TPopupMenu::DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam), dpi_)) return TRUE; break;
    case WM_TIMER: Timer(wparam); return 0;
    case WM_SYSCOLORCHANGE: FormSysColorChange(); return 0;
    case WM_DISPLAYCHANGE: FormDisplayChange(); return 0;
    case WM_DPICHANGED: FormDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam)); return 0;
    case WM_SETTINGCHANGE: FormSettingChange(); break;
    case WM_HOTKEY: WMHotKey(wparam); return 0;
    case WM_CLOSE: FormClose(); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: FormEndSession(wparam != 0); return 0;
    case WM_AFTERSHOW: WMAfterShow(); return 0;
    case WM_CPUSPEED: WMCPUSpeed(static_cast<unsigned>(wparam)); return 0;
    case WM_TRAYNOTIFY: TrayIcon_Notify(LOWORD(lparam)); return 0;
    default: break;
  }
  if (taskbar_created_ && msg == taskbar_created_) {
    TaskbarCreated();
    return 0;
  }
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

void TForm_Main::FormPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!back_brush_ || back_brush_color_ != look_->back) {
    back_brush_.reset(CreateSolidBrush(look_->back));
    back_brush_color_ = look_->back;
  }
  FillRect(dc, &ps.rcPaint, back_brush_.get());
  EndPaint(hwnd_, &ps);
}

void TForm_Main::FormResize() { LayoutWidgets(); }

void TForm_Main::FormShow(bool shown, LPARAM reason) {
  // What came while the window was hidden reaches the widgets before the
  // window's first paint.
  if (shown) ShowHeldFigures(figures_.SetShown(true));
  // Only a showing by ShowWindow (reason 0), not a parent's restore.
  if (!shown || reason != 0) return;
  // Every showing re-applies the stored placement.
  RestorePlacement();
  PostMessageW(hwnd_, WM_AFTERSHOW, 0, 0);
}

void TForm_Main::WMAfterShow() {
  if (FirstLaunch) ClearFirstLaunch();
}

void TForm_Main::FormClose() {
  // A showing finishes before the close is honoured: a close request queued
  // right behind the first showing must still save the window as shown
  // (FirstLaunch cleared).
  MSG pending;
  while (PeekMessageW(&pending, hwnd_, WM_AFTERSHOW, WM_AFTERSHOW, PM_REMOVE)) WMAfterShow();
  // The close request: save, then end the loop; the window itself is
  // destroyed after the loop.
  SaveSettings();
  PostQuitMessage(0);
}

void TForm_Main::FormEndSession(bool ending) {
  // Windows is shutting down or logging off: the loop may never end, so the
  // settings are saved now.  Nobody is there to answer a box, and one would
  // hold up the whole session: a failed save goes unsaid.
  if (!ending) return;
  SaveConfig();
  TakeConfigSaveFailureMessage();
  if (monitors_) monitors_->KeepUnfinishedMinute();
}

void TForm_Main::SaveSettings() {
  SaveConfig();
  // Said once: SaveConfig writes once per run and the message is given once.
  const std::string message = TakeConfigSaveFailureMessage();
  if (message.empty()) return;
  HWND owner = (hwnd_ && IsWindowVisible(hwnd_)) ? hwnd_ : nullptr;
  ShowMessageBox(owner, BoxKind::Error, message, BoxButtons::Ok);
}

void TForm_Main::Timer(UINT_PTR id) {
  if (id == kTimerHideSplash) Timer_HideSplashTimer();
  if (id == kTimerHideControls) Timer_HideControlsTimer();
}

void TForm_Main::Timer_HideSplashTimer() {
  KillTimer(hwnd_, kTimerHideSplash);
  if (label_splash_) ShowWindow(label_splash_->hwnd(), SW_HIDE);
}

}  // namespace zt
