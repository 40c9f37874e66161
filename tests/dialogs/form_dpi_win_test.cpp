// The four windows at another dpi than the one they were made at: a
// WM_DPICHANGED (which the system sends when a window moves to a monitor of
// another scaling) lays each out again from its design figures, with fonts
// of the new size and the old ones freed; a hidden window shown on a
// monitor of another scaling is laid out for it first.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "config/config.h"
#include "dialogs/about_form_win.h"
#include "dialogs/info_form_win.h"
#include "dialogs/settings_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "support/gui_objects_win.h"
#include "support/quiet_settings_target.h"
#include "util/dpi.h"
#include "util/handles_win.h"
#include "util/program_picture.h"

namespace zt {
namespace {

class FakeMonitorScaling : public IMonitorScaling {
 public:
  int DpiAt(const RECT&) override { return dpi; }
  int dpi = 96;
};

// The process is told to handle its scaling itself, as the program's
// manifest does (where the system has the call).
void BeDpiAware() {
  using Fn = BOOL(WINAPI*)(HANDLE);
  static const auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (fn) fn(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor, version 2
}

SIZE ClientSize(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return {r.right, r.bottom};
}

// What the system sends when the window reaches a monitor at `dpi`: the
// window's rectangle for a client area of client_w x client_h.
void SendDpiChanged(HWND h, int dpi, int client_w, int client_h) {
  RECT w, c;
  GetWindowRect(h, &w);
  GetClientRect(h, &c);
  RECT suggested = {w.left, w.top, w.left + (w.right - w.left - c.right) + client_w,
                    w.top + (w.bottom - w.top - c.bottom) + client_h};
  SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

LONG FontHeight(HWND control) {
  LOGFONTW lf = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  return lf.lfHeight;
}

RECT RectIn(HWND child, HWND top) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Every descendant's rectangle in its parent's client coordinates.
std::map<HWND, RECT> ChildRects(HWND top) {
  std::map<HWND, RECT> rects;
  struct Walk {
    static BOOL CALLBACK Each(HWND child, LPARAM lparam) {
      (*reinterpret_cast<std::map<HWND, RECT>*>(lparam))[child] = RectIn(child, GetParent(child));
      return TRUE;
    }
  };
  EnumChildWindows(top, Walk::Each, reinterpret_cast<LPARAM>(&rects));
  return rects;
}

void ExpectScaled(const RECT& at96, const RECT& now, int dpi, const char* what) {
  EXPECT_EQ(now.left, ScaleToDpi(at96.left, dpi)) << what;
  EXPECT_EQ(now.top, ScaleToDpi(at96.top, dpi)) << what;
  EXPECT_EQ(now.right, ScaleToDpi(at96.right, dpi)) << what;
  EXPECT_EQ(now.bottom, ScaleToDpi(at96.bottom, dpi)) << what;
}

class FormDpi : public ::testing::Test {
 protected:
  void SetUp() override {
    BeDpiAware();
    ResetConfigToDefaults();
  }
  void TearDown() override { ResetConfigToDefaults(); }
  FakeMonitorScaling monitors;
  ScopedOverride<IMonitorScaling> use_monitors{monitors};
  test::QuietSettingsTarget target;
};

TEST_F(FormDpi, TheSettingsDialogFollowsADpiChangeThereAndBackAndLeaksNoFont) {
  const test::GuiObjectCounts before = test::LiveGuiObjects();
  {
    TForm_Settings form(target);
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr)));
    ASSERT_EQ(form.dpi(), 96) << "the test prefix runs at 96 dpi";
    const std::map<HWND, RECT> at96 = ChildRects(form.hwnd());
    HWND check = form.Control(kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_AutoRun));
    HWND hint = form.Control(kIdSettingsHint);
    HWND tabs = form.Control(kIdSettingsTabs);
    HWND color = form.Control(kIdColorFirst);
    HWND slider = form.Control(kIdSliderFirst);
    const test::GuiObjectCounts made = test::LiveGuiObjects();

    monitors.dpi = 192;
    SendDpiChanged(form.hwnd(), 192, 644, 840);
    EXPECT_EQ(form.dpi(), 192);
    EXPECT_EQ(ClientSize(form.hwnd()).cx, 644);
    EXPECT_EQ(ClientSize(form.hwnd()).cy, 840);
    EXPECT_EQ(FontHeight(check), FontHeightForPoints(8, 192));
    EXPECT_EQ(FontHeight(hint), FontHeightForPoints(8, 192));
    LOGFONTW lf = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hint, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    EXPECT_TRUE(lf.lfUnderline) << "the foot line stays underlined";
    ExpectScaled(at96.at(check), RectIn(check, GetParent(check)), 192, "check box");
    ExpectScaled(at96.at(hint), RectIn(hint, form.hwnd()), 192, "foot line");
    ExpectScaled(at96.at(tabs), RectIn(tabs, form.hwnd()), 192, "tabs");
    ExpectScaled(at96.at(slider), RectIn(slider, GetParent(slider)), 192, "slider");
    RECT tab = {};
    TabCtrl_GetItemRect(tabs, 0, &tab);
    EXPECT_EQ(tab.right - tab.left, 150) << "tabs of width 75";
    EXPECT_EQ(SendMessageW(color, CB_GETITEMHEIGHT, 0, 0), 32);
    EXPECT_EQ(SendMessageW(slider, TBM_GETTHUMBLENGTH, 0, 0), 42);
    HWND page = GetParent(check);
    RECT page_rect = RectIn(page, form.hwnd()), tab_rect = RectIn(tabs, form.hwnd());
    EXPECT_GT(page_rect.top, tab_rect.top + tab.bottom - tab.top) << "the page lies below the taller tabs";
    EXPECT_EQ(test::LiveGuiObjects().gdi, made.gdi) << "as many fonts as before: the old ones freed";

    monitors.dpi = 96;
    SendDpiChanged(form.hwnd(), 96, 322, 420);
    EXPECT_EQ(ClientSize(form.hwnd()).cx, 322);
    const std::map<HWND, RECT> back = ChildRects(form.hwnd());
    for (const auto& [child, r] : at96) {
      const RECT& now = back.at(child);
      wchar_t cls[64] = {};
      GetClassNameW(child, cls, 64);
      EXPECT_TRUE(EqualRect(&r, &now)) << "a child moved after going to 192 dpi and back: " << GetDlgCtrlID(child)
                                       << " " << cls << " " << r.left << "," << r.top << "," << r.right << ","
                                       << r.bottom << " now " << now.left << "," << now.top << "," << now.right << ","
                                       << now.bottom;
    }
    EXPECT_EQ(FontHeight(check), -11);
  }
  EXPECT_EQ(test::LiveGuiObjects().gdi, before.gdi) << "every font freed with the window";
}

TEST_F(FormDpi, AHiddenWindowShownOnAMonitorOfAnotherScalingIsLaidOutForIt) {
  TForm_Statistics form([] {});
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  HWND reset = GetDlgItem(form.hwnd(), kIdSpeedButtonReset);
  const RECT reset96 = RectIn(reset, form.hwnd());
  RECT window96;
  GetWindowRect(form.hwnd(), &window96);

  monitors.dpi = 144;
  form.Show();
  EXPECT_EQ(form.dpi(), 144);
  EXPECT_EQ(ClientSize(form.hwnd()).cx, 362);  // 241 and 387 at 150 %
  EXPECT_EQ(ClientSize(form.hwnd()).cy, 581);
  EXPECT_EQ(FontHeight(reset), FontHeightForPoints(8, 144));
  ExpectScaled(reset96, RectIn(reset, form.hwnd()), 144, "reset button");
  RECT window;
  GetWindowRect(form.hwnd(), &window);
  EXPECT_NEAR((window.left + window.right) / 2, (window96.left + window96.right) / 2, 1) << "it keeps its centre";
  EXPECT_NEAR((window.top + window.bottom) / 2, (window96.top + window96.bottom) / 2, 1);
  UpdateWindow(form.hwnd());  // paints the panels and the picture at the new size

  // Shown on a monitor at its own scaling, nothing changes.
  form.Hide();
  form.Show();
  EXPECT_EQ(ClientSize(form.hwnd()).cx, 362);
  form.Hide();
  monitors.dpi = 96;
  form.Show();
  EXPECT_EQ(ClientSize(form.hwnd()).cx, 241);
  EXPECT_EQ(ClientSize(form.hwnd()).cy, 387);
}

TEST_F(FormDpi, TheAboutWindowScalesItsHeaderTitleAndLogo) {
  TForm_About form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  HWND header = GetDlgItem(form.hwnd(), kIdPanelHeader);
  HWND title = GetDlgItem(header, kIdLabelTitle);
  HWND image = GetDlgItem(header, kIdImage);
  EXPECT_EQ(FontHeight(title), -32);
  SendDpiChanged(form.hwnd(), 144, 506, 323);
  EXPECT_EQ(ClientSize(form.hwnd()).cx, 506);
  EXPECT_EQ(FontHeight(title), -48);
  EXPECT_EQ(FontHeight(GetDlgItem(form.hwnd(), kIdLabelAuthor)), FontHeightForPoints(8, 144));
  const RECT header_rect = RectIn(header, form.hwnd());
  EXPECT_EQ(header_rect.right - header_rect.left, ScaleToDpi(337, 144));
  EXPECT_EQ(header_rect.bottom - header_rect.top, ScaleToDpi(97, 144));
  const RECT image_rect = RectIn(image, header);
  EXPECT_EQ(image_rect.right - image_rect.left, ScaleToDpi(81, 144));
  EXPECT_EQ(image_rect.left, ScaleToDpi(24, 144));
  form.Show();
  UpdateWindow(form.hwnd());
}

TEST_F(FormDpi, TheInformationWindowScalesItsColumnsPicturesTreeAndSplitter) {
  TForm_Info form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  HWND features = form.Control(kIdInfoStandard);
  HWND tree = form.Control(kIdInfoNavigation);
  HWND properties = form.Control(kIdInfoInformation);
  ListView_SetColumnWidth(features, 3, 300);  // as if the user had widened it
  const test::GuiObjectCounts made = test::LiveGuiObjects();

  SendDpiChanged(form.hwnd(), 192, 1074, 1016);
  EXPECT_EQ(ClientSize(form.hwnd()).cx, 1074);
  EXPECT_EQ(ListView_GetColumnWidth(features, 0), 50);
  EXPECT_EQ(ListView_GetColumnWidth(features, 1), 120);
  EXPECT_EQ(ListView_GetColumnWidth(features, 2), 180);
  EXPECT_EQ(ListView_GetColumnWidth(features, 3), 600);
  EXPECT_EQ(ListView_GetColumnWidth(properties, 0), 240);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(ListView_GetImageList(features, LVSIL_SMALL), &cx, &cy);
  EXPECT_EQ(cx, 32) << "the pictures drawn at 32 pixels";
  EXPECT_EQ(TreeView_GetIndent(tree), 38u);
  const RECT tree_rect = RectIn(tree, GetParent(tree));
  EXPECT_EQ(tree_rect.right - tree_rect.left, 460);
  const RECT bar = RectIn(form.Control(kIdInfoSplitter), GetParent(tree));
  EXPECT_EQ(bar.right - bar.left, 10);
  const RECT close = RectIn(form.Control(kIdInfoClose), form.hwnd());
  EXPECT_EQ(close.right, 1074 - 16) << "at the right edge's distance";
  EXPECT_EQ(close.bottom - close.top, 50);
  EXPECT_EQ(FontHeight(tree), FontHeightForPoints(8, 192));
  EXPECT_EQ(test::LiveGuiObjects().gdi, made.gdi) << "fonts and pictures replaced, not added";

  // Smaller than at 192 dpi it may not be dragged.
  MINMAXINFO limits = {};
  SendMessageW(form.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  RECT w;
  GetWindowRect(form.hwnd(), &w);
  EXPECT_EQ(limits.ptMinTrackSize.x, w.right - w.left);
}

// The caption's and the task bar's icons, each at its own size for the
// window's dpi, new ones at a new dpi, and every one destroyed.
TEST_F(FormDpi, TheProgramIconsComeAtEachSizeOfEachDpi) {
  const long before = test::LiveGuiObjects().user;
  {
    TForm_Statistics form([] {});
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
    const auto side = [&](WPARAM which) {
      ICONINFO info = {};
      HICON icon = reinterpret_cast<HICON>(SendMessageW(form.hwnd(), WM_GETICON, which, 0));
      if (!icon || !GetIconInfo(icon, &info)) return 0L;
      BITMAP bm = {};
      GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      return bm.bmWidth;
    };
    EXPECT_EQ(side(ICON_SMALL), 16);
    EXPECT_EQ(side(ICON_BIG), 32);
    monitors.dpi = 144;
    SendDpiChanged(form.hwnd(), 144, 300, 300);
    EXPECT_EQ(side(ICON_SMALL), 24);
    EXPECT_EQ(side(ICON_BIG), 48);
    EXPECT_EQ(test::LiveGuiObjects().user, before + 2) << "the old pair destroyed";
  }
  EXPECT_EQ(test::LiveGuiObjects().user, before);
}

// Every size the system asks for at some scaling is in the icon file, drawn
// at that size (a file left behind by a change of the drawing shows here),
// the largest as PNG; the system's own loader picks each out.
TEST(ProgramIcon, TheFileHoldsEverySizeDrawnAtItsSize) {
  auto* directory = static_cast<BYTE*>(
      LockResource(LoadResource(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_GROUP_ICON))));
  ASSERT_NE(directory, nullptr);
  for (int size : kProgramIconSizes) {
    HRSRC image = FindResourceW(nullptr, MAKEINTRESOURCEW(LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0)), RT_ICON);
    auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(nullptr, image)));
    ASSERT_NE(bytes, nullptr) << size;
    EXPECT_TRUE(size < 256 || std::string(reinterpret_cast<char*>(bytes), 4) == "\x89PNG");
    UniqueIcon icon(CreateIconFromResourceEx(bytes, SizeofResource(nullptr, image), TRUE, 0x00030000, 0, 0, 0));
    ICONINFO info = {};
    ASSERT_TRUE(icon && GetIconInfo(icon.get(), &info)) << size;
    UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAPINFO format = {{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, color.get(), 0, static_cast<UINT>(size), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    EXPECT_EQ(pixels, DrawProgramIconImage(size)) << size;
  }
}

}  // namespace
}  // namespace zt
