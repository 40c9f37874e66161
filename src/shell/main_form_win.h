// TForm_Main: the program's main window.  A small borderless panel with the
// load graph, the bar gauge, the clock-speed and memory labels and four title
// controls; it owns the tray icon and the sampling threads, applies the
// settings to its widgets, and carries the pop-up menu, placement, dragging,
// translucency and tray mode.  The settings, statistics, information and
// about windows call the operations below; the program entry reaches it
// through main_window_win.h.
#pragma once

#include <windows.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sampling/monitor_display.h"
#include "shell/chart_model.h"
#include "config/config.h"
#include "shell/placement.h"
#include "shell/tray_icon_win.h"
#include "shell/tray_images_win.h"
#include "util/handles_win.h"

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
};

constexpr wchar_t kMainWindowClass[] = L"TForm_Main";
constexpr wchar_t kMainWindowTitle[] = L"Zettrim";
constexpr int kAppModeHotkeyId = 1;
constexpr UINT kSplashMs = 5000;
constexpr UINT kHideControlsMs = 3000;

// Test query (SendMessage with the registered message, lParam 0): answers one
// figure chosen by wParam.
extern const wchar_t kMainWindowQueryMessage[];  // L"Zettrim.MainWindow.Query"
enum class MainQuery : WPARAM {
  TrayShown = 0,
  HotkeyRegistered = 1,
  TitleControlsVisible = 2,
  Dragging = 3,
  LinePoints0 = 4,  // 4..8: points of graph lines 0..4
  TrayImageIndex = 9,  // last image index given to the tray icon, -1 before
  LiveGdiObjects = 10,
  LiveUserObjects = 11,
  SplashVisible = 12,
  TrayUpdates = 13,
};

class TForm_Main : public IMonitorDisplay {
 public:
  TForm_Main();
  ~TForm_Main() override;
  TForm_Main(const TForm_Main&) = delete;
  TForm_Main& operator=(const TForm_Main&) = delete;

  // The creation sequence: drag state, settings, message filter, stay-on-top,
  // tray icon, splash, ApplySettings and (unless told not to, as tests do)
  // the sampling threads.  The window stays hidden; ShowAtStartup() says
  // whether the message loop should show it.
  bool Create(HINSTANCE instance, bool start_monitors = true);
  bool ShowAtStartup() const { return show_at_startup_; }
  // The destruction sequence: sampling stopped, tray icon removed, settings
  // saved unless a close request already saved them, window destroyed.
  void Destroy();
  HWND hwnd() const { return hwnd_; }

  // Settings, applied at once (also by the settings dialog).
  void ApplySettings();
  void ApplyColors();        // window, gauge, bar and line colours, line width
  void ApplyTranslucency();  // AlphaBlend, AlphaBlendValue, Transparency
  void SetTextColor(Color color);
  void SetDisplayMemory(bool on);
  void SetHideBarGraph(bool hide);
  void RegisterAppModeHotkey();
  void SetTrayMode(bool on, bool startup);
  void SetAutoHideControls(bool on);
  void ShowTitleControls(bool show);

  // Placement.
  void RestorePlacement();
  void PlaceAtPreset(PlacementPreset preset);

  // The pop-up menu at a screen point.
  void PopupMenuAt(int x, int y);
  // Empties every graph line (statistics reset).
  void ClearGraph();

  // Message-loop hook: the application-wide mouse-movement filter, menu
  // short-cuts while the window has the keyboard focus, and the keyboard
  // navigation of registered modeless dialogs.  True when consumed.
  bool FilterMessage(MSG& msg);

  // The windows opened from the menu plug themselves in here; until then the
  // commands show a short notice.
  static void SetCommandHandler(uint16_t command, std::function<void()> handler);
  static void RegisterModelessDialog(HWND dialog);
  static void UnregisterModelessDialog(HWND dialog);

  // IMonitorDisplay: the display step of each sample.
  void SetGaugeProgress(int percent) override;
  int GraphPointCount(int line) const override;
  void DeleteOldestGraphPoint(int line) override;
  void AddGraphPoint(int line, double x, double y) override;
  void SetMemoryLabelText(const std::string& utf8) override;
  void UpdateTrayIcon(int load, int memory) override;

  const TTrayIcon& tray_icon() const { return tray_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);
  void CreateWidgets();
  void CreateFonts(bool crisp);
  void CreatePopupMenu();
  void LayoutWidgets();
  void Command(uint16_t id);
  void MousePress(int x, int y);
  void MouseMove(int x, int y);
  void MouseRelease();
  void Paint();
  LRESULT Query(WPARAM item);
  ScreenLayout CurrentScreen() const;
  void OpenShippedFile(const char* name);

  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
  bool monitors_started_ = false;
  bool show_at_startup_ = true;

  // Drag state.
  uint16_t drag_x_ = 0;
  uint16_t drag_y_ = 0;
  bool dragging_ = false;

  bool title_controls_visible_ = true;
  POINT last_mouse_ = {LONG_MIN, LONG_MIN};
  bool bar_graph_hidden_ = false;
  bool fonts_crisp_ = false;

  std::unique_ptr<WidgetLook> look_;
  UniqueFont font_;
  UniqueFont bold_font_;
  UniqueBrush back_brush_;
  COLORREF back_brush_color_ = CLR_INVALID;
  UniqueIcon program_icon_;
  UniqueMenu popup_menu_;
  HMENU lock_menu_owner_ = nullptr;
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

  ChartData chart_data_;
  TrayImageList tray_numeric_;
  TrayImageList tray_gradient_;
  TTrayIcon tray_;
  int tray_index_ = -1;
  long tray_updates_ = 0;

  UINT taskbar_created_ = 0;
  UINT query_message_ = 0;
};

// The one main window of the process (null before creation and after
// destruction).
TForm_Main* MainForm();

}  // namespace zt
