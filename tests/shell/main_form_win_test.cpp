// The main window created in this process, its sampling threads held still
// (support/still_sampling.h), driven through its operations and messages and
// read through its controls and the calls it makes.
#include "shell/main_form_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/config.h"
#include "sampling/monitor_fakes.h"
#include "sampling/res_monitor.h"
#include "shell/form_layout.h"
#include "shell/menu_model.h"
#include "support/fake_shell_win.h"
#include "support/fake_user_calls_win.h"
#include "support/gui_objects_win.h"
#include "support/message_box_watch_win.h"
#include "support/still_sampling.h"
#include "util/control_text_win.h"
#include "util/dpi_win.h"
#include "util/unicode_win.h"
#include "util/window_messages.h"

namespace zt {
namespace {

std::wstring Text(HWND h) { return ControlText(h); }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

RECT ChildRect(HWND parent, int id) {
  RECT r = {};
  HWND child = GetDlgItem(parent, id);
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    ini_ = Narrow(dir) + "zt_main_form_test_" + std::to_string(GetCurrentProcessId()) + ".ini";
    SetConfigFilePath(ini_);
    ResetConfigToDefaults();
    AppModeHotkey = 0;  // leave the system's hot keys alone
  }
  void TearDown() override {
    form_.reset();
    std::remove(ini_.c_str());
    ResetConfigToDefaults();
  }
  HWND Start() {
    form_ = std::make_unique<TForm_Main>();
    EXPECT_TRUE(form_->Create(GetModuleHandleW(nullptr)));
    HWND h = form_->hwnd();
    ShowWindow(h, SW_SHOWNOACTIVATE);
    Pump();
    return h;
  }
  std::string ini_;
  test::FakeShell shell_;
  ScopedOverride<IShell> use_shell_{shell_};
  test::StillSampling still_;
  std::unique_ptr<TForm_Main> form_;
};

TEST_F(MainFormTest, WidgetsShowTheirDesignTextsAndHints) {
  HWND h = Start();
  EXPECT_EQ(Text(h), L"Zettrim");
  EXPECT_EQ(Text(GetDlgItem(h, kIdLabelCPUSpeed)), L"? MHz");
  EXPECT_EQ(Text(GetDlgItem(h, kIdLabelMemoryUsed)), L"? MB");
  EXPECT_EQ(Text(GetDlgItem(h, kIdImageMove)), L"移动");
  EXPECT_EQ(Text(GetDlgItem(h, kIdSBMenu)), L"菜单");
  EXPECT_EQ(Text(GetDlgItem(h, kIdSBHide)), L"隐藏");
  EXPECT_EQ(Text(GetDlgItem(h, kIdSBClose)), L"关闭");
  EXPECT_EQ(Text(GetDlgItem(h, kIdGauge)), L"0%");
  EXPECT_EQ(Text(GetDlgItem(GetDlgItem(h, kIdChart), kIdLabelSplash)), L"Zettrim");
  EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_NE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0) << "no task-bar button";
  EXPECT_NE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  // Default size: everything right of the graph moved 7 pixels left of design.
  EXPECT_EQ(ChildRect(h, kIdSBClose).left, 230);
  EXPECT_EQ(ChildRect(h, kIdGauge).left, 210);
  EXPECT_EQ(ChildRect(h, kIdChart).right, 210);
}

TEST_F(MainFormTest, SpeedLabelAndGaugeFigures) {
  HWND h = Start();
  SendMessageW(h, WM_CPUSPEED, 0, 0);
  EXPECT_EQ(Text(GetDlgItem(h, kIdLabelCPUSpeed)), L"0 MHz");
  SendMessageW(h, WM_CPUSPEED, 12345, 0);
  EXPECT_EQ(Text(GetDlgItem(h, kIdLabelCPUSpeed)), L"12,345 MHz");
  RECT r = ChildRect(h, kIdLabelCPUSpeed);
  EXPECT_GT(r.right - r.left, 37) << "the label grows with its text";
  form_->SetGaugeProgress(37);
  EXPECT_EQ(Text(GetDlgItem(h, kIdGauge)), L"37%");
  form_->SetMemoryLabelText("1,536 MB");
  EXPECT_EQ(Text(GetDlgItem(h, kIdLabelMemoryUsed)), L"1,536 MB");
}

TEST_F(MainFormTest, HiddenBarGraphGivesTheGraphTheWholeWidth) {
  HWND h = Start();
  form_->SetHideBarGraph(true);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, kIdGauge)));
  EXPECT_EQ(ChildRect(h, kIdChart).right, 250);
  form_->SetHideBarGraph(false);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(h, kIdGauge)));
  EXPECT_EQ(ChildRect(h, kIdChart).right, ChildRect(h, kIdGauge).left);
}

TEST_F(MainFormTest, TurningMemoryOffEmptiesItsLineAndHidesTheLabel) {
  HWND h = Start();
  form_->AddGraphPoint(0, 1, 40);
  form_->AddGraphPoint(1, 1, 10);
  EXPECT_EQ(form_->GraphPointCount(0), 1);
  form_->SetDisplayMemory(false);
  EXPECT_EQ(form_->GraphPointCount(0), 0);
  EXPECT_EQ(form_->GraphPointCount(1), 1);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, kIdLabelMemoryUsed)));
  EXPECT_TRUE(DisplayMemory) << "the setter applies; who changes the setting stores it";
  form_->SetDisplayMemory(true);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(h, kIdLabelMemoryUsed)));
}

TEST_F(MainFormTest, TrayModeAndItsIcon) {
  HWND h = Start();
  EXPECT_TRUE(shell_.shown) << "visible with HideTrayWhenVisible off";
  SendMessageW(h, WM_COMMAND, kIdSBHide, 0);
  EXPECT_TRUE(AppTrayMode);
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_TRUE(shell_.shown);
  SendMessageW(h, WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);  // single click: nothing
  EXPECT_FALSE(IsWindowVisible(h));
  SendMessageW(h, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(AppTrayMode);
  EXPECT_TRUE(IsWindowVisible(h));
  HideTrayWhenVisible = true;
  SendMessageW(h, WM_HOTKEY, kAppModeHotkeyId, 0);
  EXPECT_TRUE(AppTrayMode);
  EXPECT_TRUE(shell_.shown);
  SendMessageW(h, WM_HOTKEY, 2, 0);  // not ours
  EXPECT_TRUE(AppTrayMode);
  SendMessageW(h, WM_HOTKEY, kAppModeHotkeyId, 0);
  EXPECT_FALSE(AppTrayMode);
  EXPECT_FALSE(shell_.shown) << "only while hidden";
}

// A hand-edited file may name a letter with no modifier: every program
// would lose that letter.  The program goes without a hot key and leaves the
// file's values as they are.
TEST_F(MainFormTest, AHandEditedBareLetterIsNoHotKeyAndKeepsItsValues) {
  AppModeHotkey = 'A';
  AppModeHotkeyModifiers = MOD_SHIFT;
  Start();
  EXPECT_EQ(AppModeHotkeyRegistered(), 0);
  EXPECT_EQ(AppModeHotkey, 'A');
  EXPECT_EQ(AppModeHotkeyModifiers, MOD_SHIFT);
  EXPECT_TRUE(RegisterHotKey(nullptr, 77, MOD_SHIFT, 'A')) << "the letter stays with the other programs";
  UnregisterHotKey(nullptr, 77);
  form_->RegisterAppModeHotkey();  // as the settings dialog does when it hides
  EXPECT_EQ(AppModeHotkeyRegistered(), 0);
  EXPECT_EQ(AppModeHotkey, 'A');
}

// System colour constants in the settings (the top bit set) are the
// system's colours: the colour key matches the painted background.
TEST_F(MainFormTest, SystemColourConstantsBecomeTheSystemsColours) {
  BackgroundColor = 0x80000000u | COLOR_BTNFACE;  // -2147483633 in the file
  BarColor = 0x80000000u | COLOR_HIGHLIGHT;
  Transparency = true;
  AlphaBlend = false;
  HWND h = Start();
  COLORREF key = CLR_INVALID;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(h, &key, &alpha, &flags));
  EXPECT_NE(flags & LWA_COLORKEY, 0u);
  EXPECT_EQ(key, GetSysColor(COLOR_BTNFACE));
  // The gauge paints its background and its bar in the same colours.
  form_->SetGaugeProgress(100);
  HWND gauge = GetDlgItem(h, kIdGauge);
  RedrawWindow(gauge, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(gauge);
  const COLORREF bar = GetPixel(dc, 3, 60);
  ReleaseDC(gauge, dc);
  EXPECT_EQ(bar, GetSysColor(COLOR_HIGHLIGHT));
}

// A new background colour is the window's colour and its colour key: the
// settings dialog applies the colours, then the translucency, and each
// widget is repainted once for the change, not once per step.
TEST_F(MainFormTest, ANewBackgroundColourRepaintsEachWidgetOnce) {
  HWND h = Start();
  const int widgets[] = {kIdImageMove, kIdLabelCPUSpeed, kIdLabelMemoryUsed, kIdChart, kIdGauge};
  long before[5];
  for (int i = 0; i < 5; ++i) before[i] = test::InvalidationsOf(GetDlgItem(h, widgets[i]));
  BackgroundColor = RGB(16, 16, 16);
  form_->ApplyColors();
  form_->ApplyTranslucency();
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(test::InvalidationsOf(GetDlgItem(h, widgets[i])), before[i] + 1) << "widget " << widgets[i];
  COLORREF key = CLR_INVALID;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(h, &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(16, 16, 16)) << "the colour key follows";
}

// Most samples leave the tray icon's picture and tip as they were: only a
// change reaches the shell.  A new task bar, a change of mode and a setting
// that alters the picture still bring the icon up to date.
TEST_F(MainFormTest, TrayIsModifiedOnlyWhenItsPictureOrTipChanges) {
  HWND h = Start();
  auto messages = [&] {
    std::vector<DWORD> m;
    for (const test::FakeShell::IconCall& c : shell_.icon_calls) m.push_back(c.message);
    return m;
  };
  shell_.icon_calls.clear();
  form_->UpdateTrayIcon(37, 52);
  form_->UpdateTrayIcon(37, 52);
  form_->UpdateTrayIcon(36, 52);  // the same picture, another tip
  EXPECT_EQ(messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_MODIFY}));
  // The numeric pictures: the same figures, another picture.
  NumericTrayIcons = true;
  form_->UpdateTrayIcon(36, 52);
  ASSERT_EQ(shell_.icon_calls.size(), 3u);
  EXPECT_NE(shell_.icon_calls.back().icon, shell_.icon_calls[1].icon);
  // A new task bar gets the icon as it is now.
  shell_.icon_calls.clear();
  SendMessageW(h, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  form_->UpdateTrayIcon(36, 52);
  EXPECT_EQ(messages(), (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));
  // Icon only in tray mode: leaving it removes the icon, entering it again
  // adds it with the last picture and tip, and the next new figure reaches it.
  HideTrayWhenVisible = true;
  SendMessageW(h, WM_HOTKEY, kAppModeHotkeyId, 0);
  SendMessageW(h, WM_HOTKEY, kAppModeHotkeyId, 0);
  ASSERT_FALSE(shell_.shown);
  shell_.icon_calls.clear();
  SendMessageW(h, WM_HOTKEY, kAppModeHotkeyId, 0);
  form_->UpdateTrayIcon(36, 52);
  form_->UpdateTrayIcon(90, 52);
  EXPECT_EQ(messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
  EXPECT_EQ(shell_.icon_calls.front().tip, L"CPU: 36%\r内存: 52%");
}

// What the main window shows of a run of samples and a clock figure.
struct Shown {
  std::wstring speed, memory, gauge;
  RECT speed_rect, memory_rect;
  LRESULT lines[kGraphLineCount];
};

// In tray mode nobody sees the window: a sample feeds the graph's data and
// touches no widget.  The showing brings the labels, the gauge and the graph
// to exactly what a window visible all along shows, the clock figure that
// came meanwhile included.
TEST_F(MainFormTest, HiddenWindowTouchesNoWidgetAndShowsEverythingWhenShown) {
  auto feed = [&] {
    DisplayFigures f;
    f.MemoryTotal = 8192;
    for (uint32_t i = 1; i <= 30; ++i) {
      f.Samples = i;
      f.CpuUsage = (i * 7) % 100;
      f.MemoryUsage = 40 + i % 5;
      f.MemoryUsed = 3000 + i * 100;
      RunDisplayStep(*form_, f);
      if (i == 10) SendMessageW(form_->hwnd(), WM_CPUSPEED, 12345, 0);
    }
  };
  auto shown = [&] {
    HWND h = form_->hwnd();
    Shown s;
    s.speed = Text(GetDlgItem(h, kIdLabelCPUSpeed));
    s.memory = Text(GetDlgItem(h, kIdLabelMemoryUsed));
    s.gauge = Text(GetDlgItem(h, kIdGauge));
    s.speed_rect = ChildRect(h, kIdLabelCPUSpeed);
    s.memory_rect = ChildRect(h, kIdLabelMemoryUsed);
    for (int line = 0; line < kGraphLineCount; ++line) s.lines[line] = form_->GraphPointCount(line);
    return s;
  };
  Start();
  feed();
  const Shown visible_all_along = shown();
  ASSERT_EQ(visible_all_along.speed, L"12,345 MHz");
  form_.reset();

  HWND h = Start();
  SendMessageW(h, WM_COMMAND, kIdSBHide, 0);
  ASSERT_FALSE(IsWindowVisible(h));
  const int widgets[] = {kIdLabelCPUSpeed, kIdLabelMemoryUsed, kIdGauge, kIdChart};
  long invalidations[4];
  for (int i = 0; i < 4; ++i) invalidations[i] = test::InvalidationsOf(GetDlgItem(h, widgets[i]));
  feed();
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(test::InvalidationsOf(GetDlgItem(h, widgets[i])), invalidations[i]) << "widget " << widgets[i];
  EXPECT_EQ(Text(GetDlgItem(h, kIdLabelCPUSpeed)), L"? MHz");
  EXPECT_EQ(Text(GetDlgItem(h, kIdLabelMemoryUsed)), L"? MB");
  EXPECT_EQ(Text(GetDlgItem(h, kIdGauge)), L"0%");
  EXPECT_EQ(form_->GraphPointCount(0), 30) << "the graph's data is kept";

  SendMessageW(h, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(IsWindowVisible(h));
  const Shown after_showing = shown();
  EXPECT_EQ(after_showing.speed, visible_all_along.speed);
  EXPECT_EQ(after_showing.memory, visible_all_along.memory);
  EXPECT_EQ(after_showing.gauge, visible_all_along.gauge);
  EXPECT_TRUE(EqualRect(&after_showing.speed_rect, &visible_all_along.speed_rect));
  EXPECT_TRUE(EqualRect(&after_showing.memory_rect, &visible_all_along.memory_rect));
  for (int line = 0; line < kGraphLineCount; ++line)
    EXPECT_EQ(after_showing.lines[line], visible_all_along.lines[line]) << "line " << line;
}

TEST_F(MainFormTest, PresetsAndLock) {
  HWND h = Start();
  RECT wa;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  SendMessageW(h, WM_COMMAND, MI_TopLeft, 0);
  EXPECT_EQ(PosX, wa.left);
  EXPECT_EQ(PosY, wa.top);
  SendMessageW(h, WM_COMMAND, MI_BotomRight, 0);
  EXPECT_EQ(PosX, (wa.right - wa.left) - 250);
  EXPECT_EQ(PosY, (wa.bottom - wa.top) - 105);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, PosX);
  // Lock: dragging does nothing, presets still move.
  SendMessageW(h, WM_COMMAND, MI_LockForm, 0);
  EXPECT_TRUE(LockForm);
  const int x0 = PosX;
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(PosX, x0);
  SendMessageW(h, WM_COMMAND, MI_Center, 0);
  EXPECT_EQ(PosX, (wa.right - wa.left) / 2 - 125);
  SendMessageW(h, WM_COMMAND, MI_LockForm, 0);
  EXPECT_FALSE(LockForm);
  // Unlocked: the window follows the mouse by the distance moved.
  const int x1 = PosX, y1 = PosY;
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
  EXPECT_EQ(GetCapture(), h) << "dragging";
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 15));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(30, 15));
  EXPECT_NE(GetCapture(), h);
  EXPECT_EQ(PosX, x1 - 20);
  EXPECT_EQ(PosY, y1 + 5);
}

// The window class asks for double clicks, so a quick second press arrives
// as a double click: it starts a drag like any press.
TEST_F(MainFormTest, QuickSecondPressStartsADragToo) {
  HWND h = Start();
  for (UINT dbl : {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK}) {
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(50, 10));
    const int x0 = PosX, y0 = PosY;
    SendMessageW(h, dbl, 0, MAKELPARAM(50, 10));
    EXPECT_EQ(GetCapture(), h) << dbl;
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(60, 13));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(60, 13));
    EXPECT_EQ(PosX, x0 + 10) << dbl;
    EXPECT_EQ(PosY, y0 + 3) << dbl;
  }
}

// A window left off every screen (its monitor was unplugged; here it is
// dragged far to the left, which nothing limits) comes back at a display
// change, without waiting for the next showing.
TEST_F(MainFormTest, DisplayChangeBringsAWindowOffEveryScreenBack) {
  HWND h = Start();
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-30000, -30000));
  SendMessageW(h, WM_LBUTTONUP, 0, 0);
  RECT r;
  GetWindowRect(h, &r);
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  ASSERT_LT(r.left, left - 1000);
  ASSERT_EQ(PosX, r.left);
  SendMessageW(h, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(PosX, left);
  EXPECT_NE(MonitorFromPoint({r.left + 10, r.top + 10}, MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(MainFormTest, ShortCutsReachTheirCommands) {
  Start();
  int statistics = 0, exits = 0;
  form_->SetCommandHandler(MI_Statistics, [&] { ++statistics; });
  form_->SetCommandHandler(MI_Exit, [&] { ++exits; });
  MSG key = {};
  key.hwnd = form_->hwnd();
  key.message = WM_KEYDOWN;
  key.wParam = VK_F5;
  EXPECT_TRUE(form_->FilterMessage(key));
  key.message = WM_SYSKEYDOWN;
  key.wParam = VK_F4;
  key.lParam = 1 << 29;  // Alt held
  EXPECT_TRUE(form_->FilterMessage(key));
  key.message = WM_KEYDOWN;
  key.wParam = 'Q';
  key.lParam = 0;
  EXPECT_FALSE(form_->FilterMessage(key));
  // Keys for other windows are left alone.
  key.hwnd = GetDesktopWindow();
  key.wParam = VK_F5;
  EXPECT_FALSE(form_->FilterMessage(key));
  EXPECT_EQ(statistics, 1);
  EXPECT_EQ(exits, 1);
  form_->SetCommandHandler(MI_Statistics, nullptr);
  form_->SetCommandHandler(MI_Exit, nullptr);
}

TEST_F(MainFormTest, AFailingShortCutCommandStaysInsideTheWindow) {
  Start();
  form_->SetCommandHandler(MI_Statistics, [] { throw std::runtime_error("window failed"); });
  MSG key = {};
  key.hwnd = form_->hwnd();
  key.message = WM_KEYDOWN;
  key.wParam = VK_F5;
  bool consumed = false;
  EXPECT_NO_THROW(consumed = form_->FilterMessage(key));
  EXPECT_TRUE(consumed);
  form_->SetCommandHandler(MI_Statistics, nullptr);
}

// The main window stays on top: the box saying that a menu's page could
// not be opened is owned by it, so it opens above it.
TEST_F(MainFormTest, AFailingMenuLinkIsToldInABoxOwnedByTheMainWindow) {
  HWND h = Start();
  shell_.open_result = SE_ERR_NOASSOC;
  std::vector<test::BoxWatcher::Box> boxes;
  {
    test::BoxWatcher watcher;
    SendMessageW(h, WM_COMMAND, MI_Help, 0);
    boxes = watcher.boxes();
  }
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.owners[0], h) << "the shell's own prompts open above the window too";
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, L"Warning");
  EXPECT_EQ(boxes[0].owner, h);
}

// Windows ending the session waits for nobody: the settings are saved then,
// and a save that loses a change (here the file cannot be read, so it is
// kept as it is) shows no box that would hold the session up.
TEST_F(MainFormTest, SessionEndSavesWithoutWaitingOnABox) {
  const std::string odd("\xFF\xFE[\0G\0]\0x", 9);  // UTF-16 of an odd length
  {
    FILE* f = std::fopen(ini_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(odd.data(), 1, odd.size(), f);
    std::fclose(f);
  }
  HWND h = Start();
  LockForm = true;
  std::vector<test::BoxWatcher::Box> boxes;
  {
    test::BoxWatcher watcher;
    SendMessageW(h, WM_QUERYENDSESSION, 0, 0);
    SendMessageW(h, WM_ENDSESSION, TRUE, 0);
    boxes = watcher.boxes();
  }
  EXPECT_TRUE(boxes.empty()) << Narrow(boxes.front().text);
  EXPECT_TRUE(ConfigSaved);
  FILE* f = std::fopen(ini_.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buffer[64] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buffer, n), odd) << "the file it could not read is kept";
  // Nor does the destruction that follows say it after all.
  {
    test::BoxWatcher watcher;
    form_->Destroy();
    boxes = watcher.boxes();
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFormTest, TitleControlsHideAndReturnWithTheMouse) {
  HWND h = Start();
  form_->ShowTitleControls(false);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, kIdSBClose)));
  MSG move = {};
  move.hwnd = GetDlgItem(h, kIdChart);
  move.message = WM_MOUSEMOVE;
  move.pt = {12345, 678};
  form_->FilterMessage(move);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(h, kIdSBClose)));
  // The same position again is no movement.
  form_->ShowTitleControls(false);
  form_->FilterMessage(move);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, kIdSBClose)));
}

void PumpFor(int ms) {
  const DWORD end = GetTickCount() + ms;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    Pump();
    Sleep(20);
  }
}

TEST_F(MainFormTest, TitleControlsHideAfterThreeStillSecondsOnlyWhenAsked) {
  HWND h = Start();
  form_->SetAutoHideControls(false);
  PumpFor(3400);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(h, kIdSBMenu))) << "AutoHideControls off: they stay";
  form_->SetAutoHideControls(true);
  PumpFor(1500);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(h, kIdSBMenu)));
  PumpFor(2000);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, kIdSBMenu)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, kIdImageMove)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(h, kIdLabelCPUSpeed))) << "labels are no title controls";
}

// Closing: the window and the tray icon leave the screen before the program
// waits for its sampling threads, which can take up to a sampling period.
TEST_F(MainFormTest, WindowAndTrayIconGoBeforeTheThreadsAreWaitedFor) {
  test::FakeLoad load(test::Rows{{10, 30, 20}});
  test::FakeMemory memory;
  const test::UseSources sources(load, nullptr, memory, true);
  form_ = std::make_unique<TForm_Main>();
  ASSERT_TRUE(form_->Create(GetModuleHandleW(nullptr)));
  HWND h = form_->hwnd();
  ShowWindow(h, SW_SHOWNOACTIVATE);
  Pump();
  ASSERT_NE(ResMonitor, nullptr);
  ASSERT_TRUE(shell_.shown);
  int deletes = 0;
  bool monitor_there = false, window_visible = true;
  shell_.on_notify = [&](DWORD message) {
    if (message != NIM_DELETE) return;
    ++deletes;
    monitor_there = ResMonitor != nullptr;
    window_visible = IsWindowVisible(h) != FALSE;
  };
  form_->Destroy();
  shell_.on_notify = nullptr;
  EXPECT_EQ(deletes, 1);
  EXPECT_TRUE(monitor_there) << "the icon stayed while the threads were waited for";
  EXPECT_FALSE(window_visible);
  EXPECT_EQ(ResMonitor, nullptr);
  EXPECT_EQ(shell_.icon_calls.back().message, static_cast<DWORD>(NIM_DELETE)) << "no update brought it back";
}

// A move to a monitor of another scaling: the window takes the suggested
// rectangle, every widget and the fonts follow the new dpi, the stored size
// stays in design units and the position follows the window.  Back at the
// first scaling everything is where it was.
TEST_F(MainFormTest, AMoveToAMonitorOfAnotherScalingLaysTheWindowOutAgain) {
  PosX = 300;
  PosY = 200;
  FirstLaunch = false;
  HWND h = Start();
  ASSERT_EQ(WindowDpi(h), 96);
  const int ids[] = {kIdImageMove, kIdSBMenu, kIdLabelCPUSpeed, kIdLabelMemoryUsed, kIdSBHide, kIdSBClose,
                     kIdChart, kIdGauge};
  std::vector<RECT> at96;
  for (int id : ids) at96.push_back(ChildRect(h, id));
  const long label96 = at96[2].right - at96[2].left;

  RECT suggested = {340, 220, 340 + 500, 220 + 210};
  SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_TRUE(EqualRect(&r, &suggested));
  EXPECT_EQ(ChildRect(h, kIdSBClose).left, 460);
  EXPECT_EQ(ChildRect(h, kIdGauge).left, 420);
  EXPECT_EQ(ChildRect(h, kIdChart).right, 420);
  EXPECT_EQ(ChildRect(h, kIdChart).top, 48);
  EXPECT_EQ(ChildRect(h, kIdSBMenu).right, 74);
  const RECT label = ChildRect(h, kIdLabelCPUSpeed);
  EXPECT_EQ(label.bottom - label.top, 26);
  // The text is measured in the new font: about twice as wide.
  EXPECT_GE(label.right - label.left, label96 * 17 / 10);
  EXPECT_EQ(PosWidth, 250);
  EXPECT_EQ(PosHeight, 105);
  EXPECT_EQ(PosX, 340);  // the system's own dpi is 96 here
  EXPECT_EQ(PosY, 220);
  // A size from the settings dialog is in design units too.
  EXPECT_EQ(form_->SetDesignWidth(300), 300);
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, 600);
  EXPECT_EQ(form_->DesignHeight(), 105);
  form_->SetDesignWidth(250);

  suggested = {300, 200, 550, 305};
  SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  for (size_t i = 0; i < at96.size(); ++i) {
    const RECT now = ChildRect(h, ids[i]);
    EXPECT_TRUE(EqualRect(&now, &at96[i])) << "widget " << ids[i];
  }
  EXPECT_EQ(PosX, 300);
  EXPECT_EQ(PosY, 200);
}

// The tray pictures are drawn at the notification area's size: again when
// its scaling changes, and for a new task bar; the shell gets the new
// picture at once.
TEST_F(MainFormTest, TrayPicturesFollowTheNotificationAreasSize) {
  HWND h = Start();
  auto side = [](HICON icon) {
    ICONINFO ii = {};
    if (!GetIconInfo(icon, &ii)) return 0;
    BITMAP bm = {};
    GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    return static_cast<int>(bm.bmWidth);
  };
  form_->UpdateTrayIcon(40, 50);
  ASSERT_FALSE(shell_.icon_calls.empty());
  EXPECT_EQ(side(shell_.icon_calls.back().icon), 16);
  shell_.icon_calls.clear();
  shell_.icon_size = 32;
  SendMessageW(h, WM_SETTINGCHANGE, 0, 0);
  ASSERT_EQ(shell_.icon_calls.size(), 1u);
  EXPECT_EQ(shell_.icon_calls[0].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(side(shell_.icon_calls[0].icon), 32);
  form_->UpdateTrayIcon(40, 50);  // the same figures: nothing new for the shell
  EXPECT_EQ(shell_.icon_calls.size(), 1u);
  shell_.icon_size = 24;
  shell_.icon_calls.clear();
  SendMessageW(h, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_FALSE(shell_.icon_calls.empty());
  EXPECT_EQ(shell_.icon_calls.back().message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(side(shell_.icon_calls.back().icon), 24);
  // A move of the main window to another monitor looks again too.
  shell_.icon_size = 20;
  RECT r;
  GetWindowRect(h, &r);
  SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&r));
  ASSERT_FALSE(shell_.icon_calls.empty());
  EXPECT_EQ(side(shell_.icon_calls.back().icon), 20);
}

// The program runs for weeks: a sample must not leave a pen, brush, font,
// bitmap, DC or icon behind.
TEST_F(MainFormTest, LiveObjectsStayFlatOverTenThousandSamples) {
  HWND h = Start();
  auto step = [&](int i) {
    form_->SetGaugeProgress(i % 101);
    for (int line = 0; line < kGraphLineCount; ++line) {
      while (form_->GraphPointCount(line) >= 80) form_->DeleteOldestGraphPoint(line);
      form_->AddGraphPoint(line, i, (i * (line + 3)) % 101);
    }
    form_->SetMemoryLabelText(std::to_string(i % 97) + ".00 %");
    form_->UpdateTrayIcon(i % 101, i % 50);
    // Painting a layered window is slow under Wine; every 25th sample is
    // drawn, which still runs the drawing code hundreds of times.
    if (i % 25 == 0) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  };
  for (int i = 0; i < 200; ++i) step(i);
  Pump();
  const test::GuiObjectCounts before = test::LiveGuiObjects();
  for (int i = 0; i < 10000; ++i) {
    if (i == 5000) {
      NumericTrayIcons = true;
      BackgroundColor = RGB(16, 16, 16);
      TextColor = RGB(240, 240, 240);
      form_->ApplyColors();
      form_->SetTextColor(TextColor);
    }
    step(i);
    if (i % 500 == 0) Pump();
  }
  Pump();
  const test::GuiObjectCounts after = test::LiveGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
}

TEST_F(MainFormTest, DestructionReleasesEverything) {
  const test::GuiObjectCounts before = test::LiveGuiObjects();
  Start();
  RedrawWindow(form_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_GT(test::LiveGuiObjects().user, before.user + 100) << "the tray pictures are ready icons";
  form_.reset();
  // Static brushes and pens shared by every widget stay for the run.
  EXPECT_LE(test::LiveGuiObjects().gdi, before.gdi + 8);
  EXPECT_EQ(test::LiveGuiObjects().user, before.user);
}


// Run as administrator, the window hears Explorer's restart only through its
// message filter.  The file's hot key (here with Win) is asked for as it is,
// without repeat; held elsewhere, the run goes without it (what the file
// keeps is the end-to-end tests' to see).
TEST_F(MainFormTest, TheFilesHotKeyIsAskedForAsItIsWithoutRepeat) {
  test::FakeUserCalls user;
  user.hotkeys_held_elsewhere = true;
  ScopedOverride<IUserCalls> use_user(user);
  FILE* f = std::fopen(ini_.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("[General]\r\nAppModeHotkey=122\r\nAppModeHotkeyModifiers=10\r\n", f);
  std::fclose(f);
  HWND h = Start();
  EXPECT_EQ(user.allowed, (std::vector<std::pair<HWND, UINT>>{{h, RegisterWindowMessageW(L"TaskbarCreated")}}));
  ASSERT_FALSE(user.hotkeys.empty());
  EXPECT_EQ(user.hotkeys[0], std::make_pair(UINT{MOD_WIN | MOD_CONTROL | MOD_NOREPEAT}, UINT{VK_F11}));
  EXPECT_EQ(AppModeHotkey, 0) << "the settings dialog shows none";
}

// Dragged onto a monitor at twice the scaling, the window doubles around the
// point held: the next move from that same point leaves it where the system
// put it.
TEST_F(MainFormTest, ADragGoesOnAtTheNewScaleAfterADpiChange) {
  HWND h = Start();
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 20));
  RECT r;
  GetWindowRect(h, &r);
  RECT suggested = {r.left, r.top, r.left + 2 * (r.right - r.left), r.top + 2 * (r.bottom - r.top)};
  SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 40));
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, suggested.left);
  EXPECT_EQ(r.top, suggested.top);
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(80, 40));
}

}  // namespace
}  // namespace zt
