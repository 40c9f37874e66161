// src/shell: the main window and what it carries (the graph, gauge and
// labels, the tray icon, the pop-up menu, placement and display modes) and
// the start and stop of the sampling threads it owns.  The program's top
// floor (src/app) creates it, hands its operations to the windows opened from
// its menu and feeds its message filter; nothing here includes the dialogs.
//
// TForm_Main: the program's main window.  A small borderless panel with the
// load graph, the bar gauge, the clock-speed and memory labels and four title
// controls; it owns the tray icon and the sampling threads, applies the
// settings to its widgets, and carries the pop-up menu, placement, dragging,
// translucency and tray mode.
//
// One class, one file per job: main_form_win.cpp creates and destroys the
// window and routes its messages to the handlers; the other main_form_*
// files hold the settings, the display modes, the display step and the
// commands.
#pragma once

#include <windows.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/config.h"
#include "sampling/monitor_display.h"
#include "shell/chart_model.h"
#include "shell/live_figures.h"
#include "shell/monitors_win.h"
#include "shell/placement.h"
#include "shell/popup_menu_win.h"
#include "shell/tray_icon_win.h"
#include "shell/tray_images_win.h"
#include "util/handles_win.h"
#include "util/texts.h"

namespace zt {

class TLabel;
class TSpeedButton;
class TChart;
class TGauge;
class TSplashLabel;
struct WidgetLook;

// Control ids of the child widgets (GetDlgItem works on them).
enum MainWindowControl : int {
  kIdImageMove = 101,
  kIdSBMenu = 102,
  kIdLabelCPUSpeed = 103,
  kIdLabelMemoryUsed = 104,
  kIdSBHide = 105,
  kIdSBClose = 106,
  kIdChart = 107,
  kIdGauge = 108,
  kIdLabelSplash = 109,
  kIdLabelMoreResources = 110,
};

constexpr wchar_t kMainWindowClass[] = L"TForm_Main";
constexpr wchar_t kMainWindowTitle[] = L"Zettrim";
constexpr int kAppModeHotkeyId = 1;
constexpr UINT kSplashMs = 5000;
constexpr UINT kHideControlsMs = 3000;

class TForm_Main : public IMonitorDisplay {
 public:
  TForm_Main();
  ~TForm_Main() override;
  TForm_Main(const TForm_Main&) = delete;
  TForm_Main& operator=(const TForm_Main&) = delete;

  // The creation sequence: drag state, settings, message filter, stay-on-top,
  // tray icon, splash, ApplySettings and the sampling threads.  The window
  // stays hidden; ShowAtStartup() says whether the message loop should show
  // it.
  bool Create(HINSTANCE instance);
  bool ShowAtStartup() const { return show_at_startup_; }
  // The destruction sequence: sampling stopped, tray icon removed, settings
  // saved unless a close request already saved them, window destroyed.
  void Destroy();
  HWND hwnd() const { return hwnd_; }
  // The sampling threads and their history: from a successful Create until
  // Destroy.
  TMonitors& monitors() { return *monitors_; }

  // Settings, applied at once (also by the settings dialog).  Each applies
  // what it is given or what the settings hold; none stores a setting: who
  // changes one stores it first (config/config.h).
  // main_form_settings_win.cpp
  void ApplySettings();
  void ApplyColors();        // window, gauge, bar and line colours, line width
  // AlphaBlend, AlphaBlendValue, Transparency; the colour key is the window
  // colour, so a new BackgroundColor needs ApplyColors first.
  void ApplyTranslucency();
  void SetTextColor(Color color);
  void SetDisplayMemory(bool on);
  void SetHideBarGraph(bool hide);
  // The line of the disks, the network and the graphics under the graph,
  // and their lines in the tray tip: on, the window grows by the line; off,
  // it is as it has always been.
  void SetShowMoreResources(bool on);
  // The language changed: the title controls' names and tips, the menu and
  // the tray tip read their texts again; nothing else changes.
  void Retext();

  // Display modes and placement.  main_form_modes_win.cpp
  void RegisterAppModeHotkey();
  void SetTrayMode(bool on, bool startup);
  void SetAutoHideControls(bool on);
  void ShowTitleControls(bool show);
  void RestorePlacement();
  void PlaceAtPreset(PlacementPreset preset);

  // The window's size in design units (PosWidth, PosHeight keep this
  // meaning), as the settings dialog sets and reads it; each setter returns
  // the size the window took.
  int DesignWidth() const;
  int DesignHeight() const;
  int SetDesignWidth(int width);
  int SetDesignHeight(int height);

  // The pop-up menu at a screen point (PopupMenuPopup, then tracking).
  void PopupMenuAt(int x, int y);
  // Empties every graph line (statistics reset), or lines first..last.
  void ClearGraph();
  void ClearGraphLines(int first, int last);

  // Message-loop hook: the application-wide mouse-movement filter and the
  // menu short-cuts while the window has the keyboard focus.  True when
  // consumed.  main_form_commands_win.cpp
  bool FilterMessage(MSG& msg);

  // The windows opened from the menu take over their commands here (null
  // gives a command back); until then the commands show a short notice.
  void SetCommandHandler(uint16_t command, std::function<void()> handler);

  // IMonitorDisplay: the display step of each sample.  main_form_display_win.cpp
  void SetGaugeProgress(int percent) override;
  int GraphPointCount(int line) const override;
  void DeleteOldestGraphPoint(int line) override;
  void AddGraphPoint(int line, double x, double y) override;
  void SetMemoryLabelText(const std::string& utf8) override;
  void UpdateTrayIcon(int load, int memory) override;
  void SetResourceFigures(const ResourceFigures& figures) override;

 private:
  static constexpr UINT_PTR kTimerHideSplash = 1;
  static constexpr UINT_PTR kTimerHideControls = 2;

  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);

  // Creation.  main_form_win.cpp
  void CreateWidgets();
  void CreateFonts(bool crisp);
  void LayoutWidgets();
  void InvalidateWidgets();
  // The window's pixels for the stored size at the window's dpi.
  SIZE ScaledSize() const;
  // The window was put at `screen`: PosX, PosY follow (main_form_modes_win.cpp).
  void StorePosition(ScreenPoint screen);

  // Message handlers, named after the widget or the event.
  void FormPaint();
  void FormResize();
  void FormShow(bool shown, LPARAM reason);
  void FormClose();
  void FormEndSession(bool ending);
  void FormMouseDown(int x, int y);
  void FormMouseMove(int x, int y);
  void FormMouseUp();
  void FormCaptureLost();
  void FormContextMenu(int x, int y);
  void FormSysColorChange();  // main_form_settings_win.cpp
  void FormDisplayChange();   // main_form_modes_win.cpp
  // A move to a monitor of another scaling: the suggested rectangle, the
  // fonts and every widget at the new dpi.  main_form_modes_win.cpp
  void FormDpiChanged(int dpi, const RECT& suggested);
  void FormSettingChange();
  void FormCommand(uint16_t id);
  void Timer(UINT_PTR id);
  void Timer_HideSplashTimer();
  void Timer_HideControlsTimer();
  // SaveConfig, then the one message of a save that lost this run's changes.
  void SaveSettings();
  void WMAfterShow();
  void WMHotKey(WPARAM id);
  void WMCPUSpeed(unsigned mhz);
  void TrayIcon_Notify(UINT mouse_message);
  void TaskbarCreated();
  // The tray pictures drawn again when the notification area's icon size
  // changed (its scaling, a new task bar); the icon shows the new one.
  // main_form_display_win.cpp
  void FollowTrayIconSize();
  // A hidden window touches no widget for a sample: the figures wait in
  // figures_ until a showing (FormShow, or any other way the window becomes
  // visible) brings them.  main_form_display_win.cpp
  void FollowShown();
  void ShowHeldFigures(const HeldFigures& held);
  // The tray tip for the figures, with the lines of the disks, the network
  // and the graphics while their line is on.
  std::u16string TipText(int load, int memory) const;
  std::wstring MoreLineText() const;
  // What the line adds to the window's height, in design units.
  int MoreLineDesignHeight() const;

  // Commands (menu items and title buttons).  main_form_commands_win.cpp
  // The window's own switches of tray mode (the hide button, the menu, the
  // tray icon, the hot key) decide the change: they store it, then apply it.
  void SwitchTrayMode(bool on);
  void SB_MenuClick();
  void SB_HideClick();
  void SB_CloseClick();
  void MI_NotAvailableClick();
  void MI_HelpClick();
  void MI_ForumClick();
  void MI_DonateClick();
  void MI_TopLeftClick();
  void MI_TopRightClick();
  void MI_BotomLeftClick();
  void MI_BotomRightClick();
  void MI_CenterClick();
  void MI_VersionHistoryClick();
  void MI_CopyrightsClick();
  void MI_LockFormClick();
  void MI_ShowHideClick();
  void MI_ExitClick();
  void OpenShippedFile(const char* name);
  void ReleaseAppModeHotkey();  // main_form_modes_win.cpp

  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
  bool show_at_startup_ = true;

  // Drag state.
  uint16_t drag_x_ = 0;
  uint16_t drag_y_ = 0;
  bool dragging_ = false;

  bool title_controls_visible_ = true;
  POINT last_mouse_ = {LONG_MIN, LONG_MIN};
  // The applied state of HideBarGraph and AutoHideControls.
  bool bar_graph_hidden_ = false;
  bool more_line_shown_ = false;  // the applied state of ShowMoreResources
  bool auto_hide_controls_ = false;
  bool fonts_crisp_ = false;
  Language fonts_language_ = Language::Chinese;  // whose face the fonts have
  int dpi_ = kDesignDpi;
  StoredPosition position_;

  std::unique_ptr<WidgetLook> look_;
  UniqueFont font_;
  UniqueFont bold_font_;
  UniqueBrush back_brush_;
  COLORREF back_brush_color_ = CLR_INVALID;
  UniqueIcon program_icon_;
  TPopupMenu popup_menu_;
  HWND tooltip_ = nullptr;

  std::unique_ptr<TSpeedButton> image_move_;
  std::unique_ptr<TSpeedButton> sb_menu_;
  std::unique_ptr<TLabel> label_cpu_speed_;
  std::unique_ptr<TLabel> label_memory_used_;
  std::unique_ptr<TSpeedButton> sb_hide_;
  std::unique_ptr<TSpeedButton> sb_close_;
  std::unique_ptr<TChart> chart_;
  std::unique_ptr<TGauge> gauge_;
  std::unique_ptr<TSplashLabel> label_splash_;
  std::unique_ptr<TLabel> label_more_;

  ChartData chart_data_;
  LiveFigures figures_;
  ResourceFigures more_figures_;  // the latest of the disks, the network and the graphics
  TrayImageList tray_numeric_;
  TrayImageList tray_gradient_;
  UniqueIcon tray_program_icon_;  // the tray's picture before the first sample
  int tray_icon_size_ = 0;
  TTrayIcon tray_;
  int tray_index_ = -1;
  // The figures of the tip shown last (a tip is made again in a new
  // language); load < 0 while no sample has been shown.
  int tip_load_ = -1;
  int tip_memory_ = -1;

  UINT taskbar_created_ = 0;
  std::map<uint16_t, std::function<void()>> command_handlers_;
  // Last: made when everything it may show into is there, and gone first.
  std::unique_ptr<TMonitors> monitors_;
};

// The program-wide flag of the tray-mode hot key: identifier 1 is registered
// on the main window.
bool AppModeHotkeyRegistered();

}  // namespace zt
