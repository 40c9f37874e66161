#include "shell/main_form_win.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <map>

#include "sampling/cpu_speed.h"
#include "shell/form_layout.h"
#include "shell/main_window_win.h"
#include "shell/menu_model.h"
#include "shell/monitors_win.h"
#include "shell/tray_logic.h"
#include "shell/web_addresses.h"
#include "shell/widgets_win.h"
#include "shell/window_messages.h"
#include "util/hotkey.h"
#include "util/message_box_win.h"
#include "util/open_document_win.h"
#include "util/unicode_win.h"

namespace zt {

const wchar_t kMainWindowQueryMessage[] = L"Zettrim.MainWindow.Query";

namespace {

constexpr UINT_PTR kTimerHideSplash = 1;
constexpr UINT_PTR kTimerHideControls = 2;

TForm_Main* g_form = nullptr;
bool g_hotkey_registered = false;  // program-wide: identifier 1 is ours

std::map<uint16_t, std::function<void()>>& CommandHandlers() {
  static std::map<uint16_t, std::function<void()>> handlers;
  return handlers;
}

std::vector<HWND>& ModelessDialogs() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

const wchar_t* const kHintMove = L"移动";
const wchar_t* const kHintMenu = L"菜单";
const wchar_t* const kHintHide = L"隐藏";
const wchar_t* const kHintClose = L"关闭";
const char* const kNotAvailableYet = "此窗口尚不可用。";

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(monitor, &mi)) {
    auto* list = reinterpret_cast<std::vector<MonitorArea>*>(param);
    list->push_back({{mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom},
                     {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom}});
  }
  return TRUE;
}

// Draws a 15 x 15 placement picture at (left, top): the dotted frame and the
// block, pixel by pixel, on whatever the menu has drawn behind it (so it suits
// a highlighted row too).
void DrawMenuPicture(HDC dc, MenuPicture picture, int left, int top, COLORREF color) {
  for (int y = 0; y < kMenuPictureSize; ++y) {
    for (int x = 0; x < kMenuPictureSize; ++x) {
      if (MenuPictureBlock(picture, x, y) || MenuPictureFrameDot(x, y)) SetPixelV(dc, left + x, top + y, color);
    }
  }
}

std::wstring MenuCaption(const MenuEntry& e) {
  std::wstring caption = Widen(e.caption);
  if (e.shortcut) caption += L"\t" + Widen(ShortCutToText(e.shortcut));
  return caption;
}

std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring p(path, n);
  size_t slash = p.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash + 1);
}

}  // namespace

TForm_Main* MainForm() { return g_form; }

TForm_Main::TForm_Main() : look_(std::make_unique<WidgetLook>()) {}

TForm_Main::~TForm_Main() {
  Destroy();
  if (g_form == this) g_form = nullptr;
}

// ---------------------------------------------------------------------------
// Creation and destruction

bool TForm_Main::Create(HINSTANCE instance, bool start_monitors) {
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
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kMainWindowClass;
  RegisterClassExW(&wc);  // already registered by an earlier window of this process: fine

  // 3. No task-bar button (tool window); the mouse filter is FilterMessage.
  // 4. Stay on top only when asked at creation.
  DWORD ex_style = WS_EX_TOOLWINDOW | (AlwaysOnTop ? WS_EX_TOPMOST : 0);
  hwnd_ = CreateWindowExW(ex_style, kMainWindowClass, kMainWindowTitle, WS_POPUP | WS_CLIPCHILDREN,
                          PosX, PosY, PosWidth, PosHeight, nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  g_form = this;
  // Per window, not per class: the icon belongs to this window's lifetime.
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(program_icon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(program_icon_.get()));
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  query_message_ = RegisterWindowMessageW(kMainWindowQueryMessage);

  CreateFonts(Transparency);
  CreateWidgets();
  // 5. The placement short-cuts come with the menu table.
  CreatePopupMenu();

  // 6. Tray icon and its pictures.
  BuildNumericTrayImages(&tray_numeric_);
  BuildGradientTrayImages(&tray_gradient_);
  tray_.Prepare(hwnd_, WM_TRAYNOTIFY, program_icon_.get(), kMainWindowTitle);

  // 7. Splash.
  SetWindowTextW(label_splash_->hwnd(), kMainWindowTitle);
  SetTimer(hwnd_, kTimerHideSplash, kSplashMs, nullptr);

  // 8. Settings onto the widgets.
  ApplySettings();

  // 9. Sampling.
  if (start_monitors) {
    StartMonitors(hwnd_, *this);
    monitors_started_ = true;
  }
  return true;
}

void TForm_Main::Destroy() {
  if (!hwnd_) return;
  if (monitors_started_) {
    StopMonitors();
    monitors_started_ = false;
  }
  tray_.RemoveIcon();
  SaveConfig();  // skipped inside when a close request already saved
  if (g_hotkey_registered && UnregisterHotKey(hwnd_, kAppModeHotkeyId)) g_hotkey_registered = false;
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
  chart_.reset();
  gauge_.reset();
  HWND h = hwnd_;
  hwnd_ = nullptr;
  SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  DestroyWindow(h);  // also the tool tip it owns
  tooltip_ = nullptr;
  popup_menu_.reset();
  if (g_form == this) g_form = nullptr;
}

void TForm_Main::CreateFonts(bool crisp) {
  // "MS Sans Serif" 8 point; the labels and the gauge use its bold face.
  // Over a transparent colour key, smoothed text would leave a fringe of
  // half-mixed pixels, so the text is drawn without smoothing then.
  const DWORD quality = crisp ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY;
  auto make = [&](int weight) {
    return UniqueFont(CreateFontW(-11, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                                  DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif"));
  };
  font_ = make(FW_NORMAL);
  bold_font_ = make(FW_BOLD);
  fonts_crisp_ = crisp;
  look_->font = font_.get();
  look_->bold_font = bold_font_.get();
}

void TForm_Main::CreateWidgets() {
  const FormLayout l = ComputeFormLayout(PosWidth, PosHeight, HideBarGraph);
  image_move_ = std::make_unique<TSpeedButton>(*look_, Glyph::MoveArrows, false);
  image_move_->Create(hwnd_, kIdImageMove, l.image_move, kHintMove, true);
  sb_menu_ = std::make_unique<TSpeedButton>(*look_, Glyph::Diamond, true);
  sb_menu_->Create(hwnd_, kIdSBMenu, l.sb_menu, kHintMenu, true);
  label_cpu_speed_ = std::make_unique<TLabel>(*look_);
  label_cpu_speed_->Create(hwnd_, kIdLabelCPUSpeed, l.label_cpu_speed, L"? MHz", true);
  label_memory_used_ = std::make_unique<TLabel>(*look_);
  label_memory_used_->Create(hwnd_, kIdLabelMemoryUsed, l.label_memory_used, L"? MB", true);
  sb_hide_ = std::make_unique<TSpeedButton>(*look_, Glyph::DownArrow, true);
  sb_hide_->Create(hwnd_, kIdSBHide, l.sb_hide, kHintHide, true);
  sb_close_ = std::make_unique<TSpeedButton>(*look_, Glyph::Cross, true);
  sb_close_->Create(hwnd_, kIdSBClose, l.sb_close, kHintClose, true);
  chart_ = std::make_unique<TChart>(*look_, chart_data_);
  chart_->Create(hwnd_, kIdChart, l.chart, L"", true);
  gauge_ = std::make_unique<TGauge>(*look_);
  gauge_->Create(hwnd_, kIdGauge, l.gauge, L"0%", true);
  label_splash_ = std::make_unique<TSplashLabel>();
  label_splash_->Create(chart_->hwnd(), kIdLabelSplash, {0, 0, l.chart.Width(), l.chart.Height()},
                        L"#SPLASH#", true);
  chart_->SetSplash(label_splash_->hwnd());
  // The labels size themselves to their design texts.
  label_cpu_speed_->Refit();
  label_memory_used_->Refit();

  // Every title control shows its hint as a tool tip.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             instance_, nullptr);
  if (tooltip_) {
    struct Tip { TWidget* w; const wchar_t* text; };
    const Tip tips[] = {{image_move_.get(), kHintMove}, {sb_menu_.get(), kHintMenu},
                        {sb_hide_.get(), kHintHide}, {sb_close_.get(), kHintClose}};
    for (const Tip& t : tips) {
      TTTOOLINFOW ti = {};
      ti.cbSize = sizeof(ti);
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(t.w->hwnd());
      ti.lpszText = const_cast<wchar_t*>(t.text);
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
}

void TForm_Main::CreatePopupMenu() {
  popup_menu_.reset(::CreatePopupMenu());
  std::vector<HMENU> stack = {popup_menu_.get()};
  const MenuEntry* entries = PopupMenuEntries();
  for (std::size_t i = 0; i < PopupMenuEntryCount(); ++i) {
    const MenuEntry& e = entries[i];
    HMENU current = stack.back();
    switch (e.kind) {
      case MenuEntryKind::Separator:
        AppendMenuW(current, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuEntryKind::SubmenuBegin: {
        // Owned by its parent menu from here on.
        HMENU sub = ::CreatePopupMenu();
        AppendMenuW(current, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), Widen(e.caption).c_str());
        stack.push_back(sub);
        break;
      }
      case MenuEntryKind::SubmenuEnd:
        if (stack.size() > 1) stack.pop_back();
        break;
      case MenuEntryKind::Item: {
        AppendMenuW(current, MF_STRING, e.id, MenuCaption(e).c_str());
        if (e.picture != MenuPicture::None) {
          // Drawn on request (WM_DRAWITEM), so no bitmap has to guess the
          // menu's colours.
          MENUITEMINFOW mii = {};
          mii.cbSize = sizeof(mii);
          mii.fMask = MIIM_BITMAP;
          mii.hbmpItem = HBMMENU_CALLBACK;
          SetMenuItemInfoW(current, e.id, FALSE, &mii);
        }
        if (e.id == MI_LockForm) lock_menu_owner_ = current;
        break;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Settings

void TForm_Main::ApplySettings() {
  // Window, gauge, bar and line colours and the pen width.
  ApplyColors();
  // Colour key and translucency.
  ApplyTranslucency();
  SetTextColor(TextColor);
  SetDisplayMemory(DisplayMemory);
  SetHideBarGraph(HideBarGraph);
  RegisterAppModeHotkey();
  SetTrayMode(AppTrayMode, true);
  SetAutoHideControls(AutoHideControls);
}

void TForm_Main::ApplyColors() {
  look_->back = BackgroundColor;
  if (gauge_) gauge_->bar_color = BarColor;
  if (chart_) {
    ChartLook& cl = chart_->chart_look();
    cl.line_color[0] = GraphMemoryColor;
    cl.line_color[1] = GraphCPUColor1;
    cl.line_color[2] = GraphCPUColor2;
    cl.line_color[3] = GraphCPUColor3;
    cl.line_color[4] = GraphCPUColor4;
    cl.line_width = ThickerGraph ? 2 : 1;
  }
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  for (TWidget* w : std::initializer_list<TWidget*>{image_move_.get(), sb_menu_.get(), label_cpu_speed_.get(),
                                                     label_memory_used_.get(), sb_hide_.get(), sb_close_.get(),
                                                     chart_.get(), gauge_.get()}) {
    if (w) w->Invalidate();
  }
}

void TForm_Main::ApplyTranslucency() {
  if (!hwnd_) return;
  // The colour key is the window colour.
  ApplyColors();
  if (fonts_crisp_ != static_cast<bool>(Transparency)) {
    CreateFonts(Transparency);
    if (label_cpu_speed_) label_cpu_speed_->Refit();
    if (label_memory_used_) label_memory_used_->Refit();
  }
  LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  if (AlphaBlend || Transparency) {
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    DWORD flags = (Transparency ? LWA_COLORKEY : 0) | (AlphaBlend ? LWA_ALPHA : 0);
    SetLayeredWindowAttributes(hwnd_, BackgroundColor, AlphaBlend ? AlphaBlendValue.load() : 255, flags);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TForm_Main::SetTextColor(Color color) {
  look_->text = color;
  for (TWidget* w : std::initializer_list<TWidget*>{label_cpu_speed_.get(), label_memory_used_.get(),
                                                     chart_.get(), gauge_.get()}) {
    if (w) w->Invalidate();
  }
}

void TForm_Main::SetDisplayMemory(bool on) {
  DisplayMemory = on;
  if (label_memory_used_) ShowWindow(label_memory_used_->hwnd(), on ? SW_SHOWNA : SW_HIDE);
  if (!on) {
    chart_data_.Clear(kGraphLineMemory);
    if (chart_) chart_->Invalidate();
  }
}

void TForm_Main::SetHideBarGraph(bool hide) {
  bar_graph_hidden_ = hide;
  if (gauge_) ShowWindow(gauge_->hwnd(), hide ? SW_HIDE : SW_SHOWNA);
  LayoutWidgets();
}

void TForm_Main::LayoutWidgets() {
  if (!hwnd_ || !chart_) return;
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const FormLayout l = ComputeFormLayout(rc.right, rc.bottom, bar_graph_hidden_);
  image_move_->SetBounds(l.image_move);
  sb_menu_->SetBounds(l.sb_menu);
  sb_hide_->SetBounds(l.sb_hide);
  sb_close_->SetBounds(l.sb_close);
  // The labels keep the width their text gave them.
  for (auto [label, r] : {std::make_pair(label_cpu_speed_.get(), l.label_cpu_speed),
                          std::make_pair(label_memory_used_.get(), l.label_memory_used)}) {
    SetWindowPos(label->hwnd(), nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  chart_->SetBounds(l.chart);
  gauge_->SetBounds(l.gauge);
  label_splash_->SetBounds({0, 0, l.chart.Width(), l.chart.Height()});
  chart_->Invalidate();
}

void TForm_Main::RegisterAppModeHotkey() {
  if (!hwnd_) return;
  if (g_hotkey_registered && UnregisterHotKey(hwnd_, kAppModeHotkeyId)) g_hotkey_registered = false;
  if (AppModeHotkey == 0) return;
  if (RegisterHotKey(hwnd_, kAppModeHotkeyId, static_cast<UINT>(AppModeHotkeyModifiers),
                     static_cast<UINT>(AppModeHotkey))) {
    g_hotkey_registered = true;
  } else {
    // Taken by another program: the program goes without a hot key, and the
    // cleared values are what the settings file receives.
    AppModeHotkey = 0;
    AppModeHotkeyModifiers = 0;
  }
}

void TForm_Main::SetTrayMode(bool on, bool startup) {
  AppTrayMode = on;
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
  AutoHideControls = on;
  ShowTitleControls(true);
}

void TForm_Main::ShowTitleControls(bool show) {
  if (!hwnd_) return;
  KillTimer(hwnd_, kTimerHideControls);
  if (show && AutoHideControls) SetTimer(hwnd_, kTimerHideControls, kHideControlsMs, nullptr);
  if (show == title_controls_visible_) return;
  title_controls_visible_ = show;
  for (TWidget* w : std::initializer_list<TWidget*>{image_move_.get(), sb_menu_.get(), sb_hide_.get(),
                                                     sb_close_.get()}) {
    if (w) ShowWindow(w->hwnd(), show ? SW_SHOWNA : SW_HIDE);
  }
}

// ---------------------------------------------------------------------------
// Placement and dragging

ScreenLayout TForm_Main::CurrentScreen() const {
  ScreenLayout s;
  s.primary_width = GetSystemMetrics(SM_CXSCREEN);
  s.primary_height = GetSystemMetrics(SM_CYSCREEN);
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  s.desktop = {vx, vy, vx + GetSystemMetrics(SM_CXVIRTUALSCREEN), vy + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT wa = {0, 0, s.primary_width, s.primary_height};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  s.work_area = {wa.left, wa.top, wa.right, wa.bottom};
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&s.monitors));
  return s;
}

void TForm_Main::RestorePlacement() {
  const ScreenPoint p = zt::RestorePlacement(FirstLaunch, PosX, PosY, PosWidth, PosHeight, CurrentScreen());
  PosX = p.x;
  PosY = p.y;
  SetWindowPos(hwnd_, nullptr, p.x, p.y, PosWidth, PosHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm_Main::PlaceAtPreset(PlacementPreset preset) {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const ScreenPoint p = zt::PlaceAtPreset(preset, r.right - r.left, r.bottom - r.top, CurrentScreen().work_area);
  PosX = p.x;
  PosY = p.y;
  SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm_Main::MousePress(int x, int y) {
  drag_x_ = static_cast<uint16_t>(x);
  drag_y_ = static_cast<uint16_t>(y);
  dragging_ = true;
  SetCapture(hwnd_);
}

void TForm_Main::MouseMove(int x, int y) {
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

void TForm_Main::MouseRelease() {
  dragging_ = false;
  if (GetCapture() == hwnd_) ReleaseCapture();
}

// ---------------------------------------------------------------------------
// Menu and commands

void TForm_Main::PopupMenuAt(int x, int y) {
  if (!popup_menu_) return;
  // The lock item mirrors the setting each time the menu opens.
  if (lock_menu_owner_) CheckMenuItem(lock_menu_owner_, MI_LockForm, MF_BYCOMMAND | (LockForm ? MF_CHECKED : MF_UNCHECKED));
  // Without the foreground the menu would not close when clicked away
  // (it may be opened from the tray icon).
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(popup_menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void TForm_Main::OpenShippedFile(const char* name) {
  // The files ship beside the executable; the current folder is often
  // elsewhere (started at log-on, from a short-cut).  When the file is not
  // there either, the bare name goes to the shell and its error is shown.
  const std::wstring folder = ExecutableFolder();
  const std::wstring beside = folder + Widen(name);
  if (!folder.empty() && GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES) {
    OpenDocument(Narrow(beside));
  } else {
    OpenDocument(name);
  }
}

void TForm_Main::Command(uint16_t id) {
  auto handler = CommandHandlers().find(id);
  if (handler != CommandHandlers().end() && handler->second) {
    handler->second();
    return;
  }
  switch (id) {
    case kIdSBMenu: {  // SB_MenuClick: below and right of the menu button
      RECT r;
      GetWindowRect(hwnd_, &r);
      PopupMenuAt(r.left + 16, r.top + 20);
      break;
    }
    case kIdSBHide:
      SetTrayMode(true, false);
      break;
    case kIdSBClose:
      PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      break;
    case MI_About:
    case MI_Settings:
    case MI_Statistics:
    case MI_CPUInformation:
      ShowMessageBox(hwnd_, BoxKind::Information, kNotAvailableYet, BoxButtons::Ok);
      break;
    case MI_Help:
      OpenDocument(kHelpAddress);
      break;
    case MI_Forum:
      OpenDocument(kForumAddress);
      break;
    case MI_Donate:
      OpenDocument(kDonateAddress);
      break;
    case MI_VersionHistory:
      OpenShippedFile(kHistoryFile);
      break;
    case MI_Copyrights:
      OpenShippedFile(kCopyrightsFile);
      break;
    case MI_TopLeft:
      PlaceAtPreset(PlacementPreset::TopLeft);
      break;
    case MI_TopRight:
      PlaceAtPreset(PlacementPreset::TopRight);
      break;
    case MI_BotomLeft:
      PlaceAtPreset(PlacementPreset::BottomLeft);
      break;
    case MI_BotomRight:
      PlaceAtPreset(PlacementPreset::BottomRight);
      break;
    case MI_Center:
      PlaceAtPreset(PlacementPreset::Center);
      break;
    case MI_LockForm: {
      const bool checked = lock_menu_owner_ && (GetMenuState(lock_menu_owner_, MI_LockForm, MF_BYCOMMAND) & MF_CHECKED);
      LockForm = !checked;
      // Keep the mark in step so a second use without reopening unlocks.
      if (lock_menu_owner_) CheckMenuItem(lock_menu_owner_, MI_LockForm, MF_BYCOMMAND | (LockForm ? MF_CHECKED : MF_UNCHECKED));
      break;
    }
    case MI_ShowHide:
      SetTrayMode(!AppTrayMode, false);
      break;
    case MI_Exit:
      // Ends the loop without a close request; the settings are saved while
      // the window is destroyed.
      PostQuitMessage(0);
      break;
  }
}

void TForm_Main::SetCommandHandler(uint16_t command, std::function<void()> handler) {
  CommandHandlers()[command] = std::move(handler);
}

void TForm_Main::RegisterModelessDialog(HWND dialog) {
  auto& list = ModelessDialogs();
  if (std::find(list.begin(), list.end(), dialog) == list.end()) list.push_back(dialog);
}

void TForm_Main::UnregisterModelessDialog(HWND dialog) {
  auto& list = ModelessDialogs();
  list.erase(std::remove(list.begin(), list.end(), dialog), list.end());
}

void TForm_Main::ClearGraph() {
  chart_data_.ClearAll();
  if (chart_) chart_->Invalidate();
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
        Command(id);
      } catch (...) {
      }
      return true;
    }
  }
  for (HWND dialog : ModelessDialogs()) {
    if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Display step

void TForm_Main::SetGaugeProgress(int percent) {
  if (gauge_) gauge_->SetProgress(percent);
}

int TForm_Main::GraphPointCount(int line) const { return chart_data_.PointCount(line); }

void TForm_Main::DeleteOldestGraphPoint(int line) { chart_data_.DeleteOldest(line); }

void TForm_Main::AddGraphPoint(int line, double x, double y) {
  chart_data_.Add(line, x, y);
  if (chart_) chart_->Invalidate();
}

void TForm_Main::SetMemoryLabelText(const std::string& utf8) {
  if (label_memory_used_) label_memory_used_->SetText(Widen(utf8));
}

void TForm_Main::UpdateTrayIcon(int load, int memory) {
  const TrayImageList& list = NumericTrayIcons ? tray_numeric_ : tray_gradient_;
  tray_.SetTip(TrayTipText(load, memory));
  tray_index_ = TrayImageIndex(load, list.Count());
  tray_.SetIconFromList(list, tray_index_);
  tray_.RefreshIcon();
  ++tray_updates_;
}

// ---------------------------------------------------------------------------
// Window procedure

void TForm_Main::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!back_brush_ || back_brush_color_ != look_->back) {
    back_brush_.reset(CreateSolidBrush(look_->back));
    back_brush_color_ = look_->back;
  }
  FillRect(dc, &ps.rcPaint, back_brush_.get());
  EndPaint(hwnd_, &ps);
}

LRESULT TForm_Main::Query(WPARAM item) {
  const auto q = static_cast<MainQuery>(item);
  if (item >= static_cast<WPARAM>(MainQuery::LinePoints0) && item < static_cast<WPARAM>(MainQuery::LinePoints0) + kChartLines) {
    return chart_data_.PointCount(static_cast<int>(item - static_cast<WPARAM>(MainQuery::LinePoints0)));
  }
  switch (q) {
    case MainQuery::TrayShown: return tray_.shown() ? 1 : 0;
    case MainQuery::HotkeyRegistered: return g_hotkey_registered ? 1 : 0;
    case MainQuery::TitleControlsVisible: return title_controls_visible_ ? 1 : 0;
    case MainQuery::Dragging: return dragging_ ? 1 : 0;
    case MainQuery::TrayImageIndex: return tray_index_;
    case MainQuery::LiveGdiObjects: return HandleCounters::gdi.load();
    case MainQuery::LiveUserObjects: return HandleCounters::user.load();
    case MainQuery::SplashVisible: return label_splash_ && IsWindowVisible(label_splash_->hwnd()) ? 1 : 0;
    case MainQuery::TrayUpdates: return tray_updates_;
    default: return -1;
  }
}

LRESULT TForm_Main::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SIZE:
      LayoutWidgets();
      return 0;
    case WM_SHOWWINDOW:
      if (wparam && lparam == 0) {
        // Every showing re-applies the stored placement.
        RestorePlacement();
        PostMessageW(hwnd_, WM_AFTERSHOW, 0, 0);
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      MousePress(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
      MouseRelease();
      return 0;
    case WM_RBUTTONUP:
      MouseRelease();
      break;  // the default turns it into WM_CONTEXTMENU
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_CONTEXTMENU: {
      int x = GET_X_LPARAM(lparam), y = GET_Y_LPARAM(lparam);
      if (x == -1 && y == -1) {  // from the keyboard
        RECT r;
        GetWindowRect(hwnd_, &r);
        x = r.left + 16;
        y = r.top + 20;
      }
      PopupMenuAt(x, y);
      return 0;
    }
    case WM_COMMAND:
      Command(LOWORD(wparam));
      return 0;
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (mi->CtlType == ODT_MENU && FindMenuEntry(static_cast<uint16_t>(mi->itemID))) {
        mi->itemWidth = kMenuPictureSize + 4;  // a little air before the caption
        mi->itemHeight = kMenuPictureSize;
        return TRUE;
      }
      break;
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
      const MenuEntry* e = di->CtlType == ODT_MENU ? FindMenuEntry(static_cast<uint16_t>(di->itemID)) : nullptr;
      if (e && e->picture != MenuPicture::None) {
        const RECT& r = di->rcItem;
        const int left = r.left + ((r.right - r.left) - kMenuPictureSize) / 2;
        const int top = r.top + ((r.bottom - r.top) - kMenuPictureSize) / 2;
        const COLORREF color = (di->itemState & ODS_SELECTED) ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0);
        DrawMenuPicture(di->hDC, e->picture, left, top, color);
        return TRUE;
      }
      break;
    }
    case WM_TIMER:
      if (wparam == kTimerHideSplash) {
        KillTimer(hwnd_, kTimerHideSplash);
        if (label_splash_) ShowWindow(label_splash_->hwnd(), SW_HIDE);
      } else if (wparam == kTimerHideControls) {
        ShowTitleControls(false);
      }
      return 0;
    case WM_HOTKEY:
      if (wparam == kAppModeHotkeyId) SetTrayMode(!AppTrayMode, false);
      return 0;
    case WM_CLOSE: {
      // A showing finishes before the close is honoured: a close request
      // queued right behind the first showing must still save the window
      // as shown (FirstLaunch cleared).
      MSG pending;
      while (PeekMessageW(&pending, hwnd_, WM_AFTERSHOW, WM_AFTERSHOW, PM_REMOVE)) {
        if (FirstLaunch) FirstLaunch = false;
      }
      // The close request: save, then end the loop; the window itself is
      // destroyed after the loop.
      SaveConfig();
      PostQuitMessage(0);
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) SaveConfig();
      return 0;
    default:
      break;
  }
  if (msg == WM_AFTERSHOW) {
    if (FirstLaunch) FirstLaunch = false;
    return 0;
  }
  if (msg == WM_CPUSPEED) {
    if (label_cpu_speed_) label_cpu_speed_->SetText(Widen(SpeedLabelText(static_cast<unsigned>(wparam))));
    return 0;
  }
  if (msg == WM_TRAYNOTIFY) {
    switch (LOWORD(lparam)) {
      case WM_LBUTTONDBLCLK:
        SetTrayMode(!AppTrayMode, false);
        break;
      case WM_RBUTTONUP: {
        SetForegroundWindow(hwnd_);
        POINT pt = {0, 0};
        if (!GetCursorPos(&pt)) pt = {0, 0};
        PopupMenuAt(pt.x, pt.y);
        break;
      }
    }
    return 0;
  }
  if (taskbar_created_ && msg == taskbar_created_) {
    tray_.Readd();
    return 0;
  }
  if (query_message_ && msg == query_message_) return Query(wparam);
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

LRESULT CALLBACK TForm_Main::Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  TForm_Main* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<TForm_Main*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TForm_Main*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self || !self->hwnd_) return DefWindowProcW(hwnd, msg, wparam, lparam);
  try {
    return self->Handle(msg, wparam, lparam);
  } catch (...) {
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

// ---------------------------------------------------------------------------
// The program entry's view of the main window

namespace {
std::unique_ptr<TForm_Main> g_owned_form;
}  // namespace

HWND CreateMainWindow(HINSTANCE instance, int show_command) {
  g_owned_form = std::make_unique<TForm_Main>();
  if (!g_owned_form->Create(instance)) {
    g_owned_form.reset();
    return nullptr;
  }
  HWND hwnd = g_owned_form->hwnd();
  if (g_owned_form->ShowAtStartup()) {
    int cmd = show_command;
    if (cmd == SW_HIDE || cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE ||
        cmd == SW_MAXIMIZE || cmd == SW_FORCEMINIMIZE) {
      cmd = SW_SHOWNORMAL;
    }
    ShowWindow(hwnd, cmd);
    UpdateWindow(hwnd);
  }
  return hwnd;
}

bool TranslateMainWindowMessage(MSG& msg) { return g_owned_form && g_owned_form->FilterMessage(msg); }

void DestroyMainWindow() {
  if (g_owned_form) g_owned_form->Destroy();
  g_owned_form.reset();
}

}  // namespace zt
