// The four secondary windows of the real program at the display's scaling:
// each is its design size at the dpi it reports, with fonts of that dpi,
// and the settings dialog follows a move to a monitor of another scaling.
// Run in Wine prefixes at 96, 144 and 192 dpi; where ZT_EXPECTED_DPI names
// the prefix's dpi, the windows must report it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "dialogs/about_form_win.h"
#include "dialogs/info_form_win.h"
#include "dialogs/settings_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "main_window_support.h"
#include "shell/menu_model.h"
#include "util/dpi.h"

namespace zt::e2e {
namespace {

// The dpi a window of the program is drawn at, as the system tells it.
int ReportedDpi(HWND window) {
  using Fn = UINT(WINAPI*)(HWND);
  static const auto fn =
      reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (fn) return static_cast<int>(fn(window));
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

SIZE ClientSize(HWND h) {
  RECT r = {};
  GetClientRect(h, &r);
  return {r.right, r.bottom};
}

LRESULT FontHeight(HWND window) { return QueryOwner(window, AppQuery::WindowFontHeight, reinterpret_cast<LPARAM>(window)); }

class DialogsDpiE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    // Rectangles of another process in its own pixels, not scaled for us.
    using Fn = BOOL(WINAPI*)(HANDLE);
    static const auto aware = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (aware) aware(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor, version 2
    folder_.WriteIni("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
    app_ = std::make_unique<App>(folder_.exe());
    main_ = app_->WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitVisible(main_, true));
  }
  // Opens a window by its menu command; its dpi, checked against the
  // prefix's where that is named.
  HWND Open(UINT command, const wchar_t* cls, const wchar_t* title, int* dpi) {
    PostMessageW(main_, WM_COMMAND, command, 0);
    HWND window = app_->WaitForWindow(cls, title);
    if (!window || !WaitVisible(window, true)) return nullptr;
    *dpi = ReportedDpi(window);
    if (const char* expected = std::getenv("ZT_EXPECTED_DPI")) {
      EXPECT_EQ(*dpi, std::atoi(expected)) << "the window's dpi is the prefix's";
    }
    return window;
  }
  void ExpectClient(HWND window, int width, int height, int dpi) {
    const SIZE client = ClientSize(window);
    EXPECT_EQ(client.cx, ScaleToDpi(width, dpi)) << "at " << dpi << " dpi";
    EXPECT_EQ(client.cy, ScaleToDpi(height, dpi)) << "at " << dpi << " dpi";
  }
  AppFolder folder_;
  std::unique_ptr<App> app_;
  HWND main_ = nullptr;
};

TEST_F(DialogsDpiE2E, TheSettingsDialogIsItsDesignSizeAtItsDpiWithFontsToMatch) {
  int dpi = 0;
  HWND dialog = Open(MI_Settings, kSettingsWindowClass, L"设置", &dpi);
  ASSERT_NE(dialog, nullptr);
  ExpectClient(dialog, 322, 420, dpi);
  HWND autorun = FindDescendant(dialog, kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_AutoRun));
  EXPECT_EQ(FontHeight(autorun), FontHeightForPoints(8, dpi));
  EXPECT_EQ(FontHeight(FindDescendant(dialog, kIdSettingsHint)), FontHeightForPoints(8, dpi));
  RECT check;
  GetWindowRect(autorun, &check);
  EXPECT_EQ(check.bottom - check.top, ScaleToDpi(17, dpi)) << "a check box's height";
}

TEST_F(DialogsDpiE2E, TheStatisticsAboutAndInformationWindowsAreTheirDesignSizesAtTheirDpi) {
  int dpi = 0;
  HWND statistics = Open(MI_Statistics, kStatisticsFormClass, L"统计", &dpi);
  ASSERT_NE(statistics, nullptr);
  ExpectClient(statistics, 241, 387, dpi);
  EXPECT_EQ(FontHeight(GetDlgItem(statistics, kIdStatisticsValue)), FontHeightForPoints(8, dpi));
  PostMessageW(statistics, WM_CLOSE, 0, 0);

  HWND about = Open(MI_About, kAboutFormClass, L"关于", &dpi);
  ASSERT_NE(about, nullptr);
  ExpectClient(about, 337, 215, dpi);
  EXPECT_EQ(FontHeight(GetDlgItem(about, kIdLabelAuthor)), FontHeightForPoints(8, dpi));
  HWND header = GetDlgItem(about, kIdPanelHeader);
  EXPECT_EQ(FontHeight(GetDlgItem(header, kIdLabelTitle)), FontHeightForPoints(24, dpi)) << "32 pixels at 96 dpi";
  PostMessageW(about, WM_CLOSE, 0, 0);

  HWND info = Open(MI_CPUInformation, kInfoWindowClass, L"CPU信息", &dpi);
  ASSERT_NE(info, nullptr);
  ExpectClient(info, 537, 508, dpi);
  EXPECT_EQ(FontHeight(FindDescendant(info, kIdInfoClose)), FontHeightForPoints(8, dpi));
}

// What the system sends a window that reaches a monitor of another scaling:
// WM_DPICHANGED with the new dpi and, in lParam, the rectangle it suggests,
// which must lie in the receiving process.
void SendDpiChanged(HWND window, int dpi, const RECT& suggested) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  ASSERT_NE(process, nullptr);
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  ASSERT_TRUE(WriteProcessMemory(process, remote, &suggested, sizeof(RECT), nullptr));
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                SMTO_ABORTIFHUNG, 10000, &result),
            0);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
}

TEST_F(DialogsDpiE2E, AMoveTo192DpiResizesTheSettingsDialogAndItsFont) {
  int dpi = 0;
  HWND dialog = Open(MI_Settings, kSettingsWindowClass, L"设置", &dpi);
  ASSERT_NE(dialog, nullptr);
  // From the dpi it has to 192 (or, at 192 already, to 96).
  const int target = dpi == 192 ? 96 : 192;
  RECT window, client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  const RECT suggested = {window.left, window.top,
                          window.left + (window.right - window.left - client.right) + ScaleToDpi(322, target),
                          window.top + (window.bottom - window.top - client.bottom) + ScaleToDpi(420, target)};
  SendDpiChanged(dialog, target, suggested);
  ExpectClient(dialog, 322, 420, target);
  HWND autorun = FindDescendant(dialog, kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_AutoRun));
  EXPECT_EQ(FontHeight(autorun), FontHeightForPoints(8, target));
  RECT check;
  GetWindowRect(autorun, &check);
  EXPECT_EQ(check.bottom - check.top, ScaleToDpi(17, target));
  EXPECT_TRUE(IsWindowVisible(dialog));
}

}  // namespace
}  // namespace zt::e2e
