// The real program at the display scaling of the prefix it runs in (96, 144
// or 192 dpi; ZT_EXPECTED_DPI names it): the main window's size, widgets and
// font follow the scaling, the settings file keeps design units and the
// coordinates of the program unaware of the scaling, and a move to a
// monitor of another scaling (WM_DPICHANGED, which Wine never sends itself)
// lays the window out again.  Every expectation is computed from the dpi
// found, so the same cases run at every scaling.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "main_window_support.h"
#include "shell/menu_model.h"
#include "util/dpi.h"
#include "util/unicode_win.h"

namespace zt::e2e {
namespace {

using DpiContext = HANDLE;
DpiContext PerMonitorAwareV2() { return reinterpret_cast<DpiContext>(static_cast<INT_PTR>(-4)); }

template <typename Fn>
Fn User32(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The width of `text` in the main window's bold font at `dpi` (in the system's language).
int BoldTextWidth(const std::wstring& text, int dpi) {
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontW(FontHeightForPoints(8, dpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                           Widen(WindowFontFace(SystemLanguage())).c_str());
  HGDIOBJ old = SelectObject(dc, font);
  SIZE sz = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return sz.cx;
}

// Sends WM_DPICHANGED as the system would: the new dpi in wParam and the
// suggested rectangle, in the program's own memory, in lParam.
bool SendDpiChanged(const App& app, HWND main, int dpi, const RECT& suggested) {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, app.pid());
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  bool ok = remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
  DWORD_PTR result = 0;
  ok = ok && SendMessageTimeoutW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                 SMTO_ABORTIFHUNG, 5000, &result);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return ok;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

class MainWindowDpiE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    // This process looks at the program in the screen's real pixels, as the
    // program itself works.
    using SetContext = DpiContext(WINAPI*)(DpiContext);
    if (auto set = User32<SetContext>("SetThreadDpiAwarenessContext")) previous_ = set(PerMonitorAwareV2());
    using ForSystem = UINT(WINAPI*)();
    auto for_system = User32<ForSystem>("GetDpiForSystem");
    ASSERT_NE(for_system, nullptr);
    dpi_ = static_cast<int>(for_system());
    const char* expected = std::getenv("ZT_EXPECTED_DPI");
    const int want = expected && *expected ? std::atoi(expected) : kDesignDpi;
    ASSERT_EQ(dpi_, want) << "the prefix's display scaling is not the one this run is for (ZT_EXPECTED_DPI)";
  }
  void TearDown() override {
    using SetContext = DpiContext(WINAPI*)(DpiContext);
    if (auto set = User32<SetContext>("SetThreadDpiAwarenessContext"); set && previous_) set(previous_);
  }
  int S(int design) const { return ScaleToDpi(design, dpi_); }

  // The widgets of a window laid out at `dpi`, `width` pixels wide.
  void ExpectLaidOutAt(HWND main, int dpi, int width) {
    auto s = [dpi](int design) { return ScaleToDpi(design, dpi); };
    // The clock thread's one figure comes soon after the start: measured
    // after it, the label's text and width stay as they are.
    WaitUntil([&] { return WindowText(GetDlgItem(main, kIdLabelCPUSpeed)) != L"? MHz"; }, 5000);
    HWND speed = GetDlgItem(main, kIdLabelCPUSpeed);
    EXPECT_EQ(QueryOwner(main, AppQuery::WindowFontHeight, reinterpret_cast<LPARAM>(speed)), FontHeightForPoints(8, dpi));
    const RECT gauge = ChildRectIn(main, kIdGauge), chart = ChildRectIn(main, kIdChart);
    EXPECT_EQ(gauge.left, width - s(40));
    EXPECT_EQ(chart.right, gauge.left);
    EXPECT_EQ(chart.top, s(24));
    EXPECT_EQ(ChildRectIn(main, kIdSBClose).right, width);
    EXPECT_EQ(ChildRectIn(main, kIdSBMenu).right - ChildRectIn(main, kIdSBMenu).left, s(16));
    // The label: its design edges (5 and 18 units from the top), and as
    // wide as its text in the font of this dpi.
    const RECT label = ChildRectIn(main, kIdLabelCPUSpeed);
    EXPECT_EQ(label.top, s(5));
    EXPECT_EQ(label.bottom, s(5 + 13));
    EXPECT_EQ(label.right - label.left, BoldTextWidth(WindowText(speed), dpi)) << Narrow(WindowText(speed));
  }

  static std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

  int dpi_ = kDesignDpi;
  DpiContext previous_ = nullptr;
};

TEST_F(MainWindowDpiE2E, WindowFontAndStoredFiguresFollowTheScaling) {
  AppFolder folder;
  folder.WriteIni(
      "[General]\r\nFirstLaunch=0\r\nUpdateSpeed=0\r\n[Location]\r\nPosX=100\r\nPosY=80\r\nPosWidth=260\r\n"
      "PosHeight=110\r\n");
  std::string written;
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    App app(folder.exe());
    HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitVisible(main, true));
    // Where the program unaware of the scaling stood, in real pixels.
    const RECT want = {S(100), S(80), S(100) + S(260), S(80) + S(110)};
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(main), want); }, 5000))
        << Describe(WindowRect(main)) << " instead of " << Describe(want);
    ExpectLaidOutAt(main, dpi_, S(260));
    // The tray pictures at the notification area's size.
    EXPECT_EQ(QueryOwner(main, AppQuery::TrayIconSize), S(16));
    ASSERT_TRUE(CloseMain(app, main));
    EXPECT_EQ(IniGet(folder, "Location", "PosX"), "100");
    EXPECT_EQ(IniGet(folder, "Location", "PosY"), "80");
    EXPECT_EQ(IniGet(folder, "Location", "PosWidth"), "260");
    EXPECT_EQ(IniGet(folder, "Location", "PosHeight"), "110");
    // Read and written again with nothing moved: the same bytes.
    if (run == 1) {
      EXPECT_EQ(folder.ReadIni(), written);
    }
    written = folder.ReadIni();
  }
}

TEST_F(MainWindowDpiE2E, AMoveToAMonitorOfTwiceTheScalingResizesTheWindowAndItsFont) {
  AppFolder folder;
  folder.WriteIni(
      "[General]\r\nFirstLaunch=0\r\nUpdateSpeed=0\r\n[Location]\r\nPosX=100\r\nPosY=80\r\nPosWidth=260\r\n"
      "PosHeight=110\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(main).left == S(100); }, 5000));
  const int twice = 2 * dpi_;
  const int left = S(100) + 11, top = S(80) + 7;
  const RECT suggested = {left, top, left + ScaleToDpi(260, twice), top + ScaleToDpi(110, twice)};
  ASSERT_TRUE(SendDpiChanged(app, main, twice, suggested));
  EXPECT_TRUE(SameRect(WindowRect(main), suggested)) << Describe(WindowRect(main));
  ExpectLaidOutAt(main, twice, suggested.right - suggested.left);
  ASSERT_TRUE(CloseMain(app, main));
  // The size stays in design units; the position is where the window went.
  EXPECT_EQ(IniGet(folder, "Location", "PosWidth"), "260");
  EXPECT_EQ(IniGet(folder, "Location", "PosHeight"), "110");
  EXPECT_EQ(IniGet(folder, "Location", "PosX"), std::to_string(ScaleFromDpi(left, dpi_)));
  EXPECT_EQ(IniGet(folder, "Location", "PosY"), std::to_string(ScaleFromDpi(top, dpi_)));
}

// The first run centres the window in real pixels and a preset puts it in
// the work area's real corner; the file stores both as the program unaware
// of the scaling would have.
TEST_F(MainWindowDpiE2E, PlacementWorksInRealPixels) {
  AppFolder folder;
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  const int w = S(250), h = S(105);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(main).left == x && WindowRect(main).top == y; }, 5000))
      << Describe(WindowRect(main));
  EXPECT_EQ(WindowRect(main).right - WindowRect(main).left, w);
  RECT wa;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  PostMessageW(main, WM_COMMAND, MI_BotomRight, 0);
  const int bx = (wa.right - wa.left) - w, by = (wa.bottom - wa.top) - h;
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(main).left == bx && WindowRect(main).top == by; }, 5000))
      << Describe(WindowRect(main));
  ASSERT_TRUE(CloseMain(app, main));
  EXPECT_EQ(IniGet(folder, "Location", "PosX"), std::to_string(ScaleFromDpi(bx, dpi_)));
  EXPECT_EQ(IniGet(folder, "Location", "PosY"), std::to_string(ScaleFromDpi(by, dpi_)));
  EXPECT_EQ(IniGet(folder, "Location", "PosWidth"), "250");
}

}  // namespace
}  // namespace zt::e2e
