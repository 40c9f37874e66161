// The CPU information window in this process: every page it shows equals
// the page `zettrim-cpuinfo` prints, for a recorded dump and for this
// machine; the feature table agrees with the feature pages; the window
// resizes with its contents and the splitter moves the panes.
#include "dialogs/info_form_win.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "cpuid/cpu_root.h"
#include "cpuid/info_pages.h"
#include "cpuid/replay.h"
#include "support/pentium_iii_pair_dump.h"
#include "support/fake_system_language.h"
#include "support/run_cpuinfo_win.h"
#include "support/shown_controls_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

// Runs zettrim-cpuinfo with `args` and returns what it printed.
std::string RunCpuinfo(const std::wstring& args) {
  return test::RunCpuinfo(test::FromBuildPath(ZT_CPUINFO_EXE), args);
}

using Rows = std::vector<std::vector<std::wstring>>;
using Pages = std::vector<std::pair<std::wstring, Rows>>;  // path, rows (caption, value)

// The report's pages in the order printed; "Library" gives the version.
Pages ReportPages(const std::string& report) {
  Pages pages;
  std::istringstream in(report);
  std::string line;
  while (std::getline(in, line)) {
    const size_t a = line.find('\t'), b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    const std::wstring path = Widen(line.substr(0, a));
    if (pages.empty() || pages.back().first != path) pages.push_back({path, {}});
    pages.back().second.push_back({Widen(line.substr(a + 1, b - a - 1)), Widen(line.substr(b + 1))});
  }
  return pages;
}

bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 20000) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start > static_cast<DWORD>(timeout_ms)) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

std::wstring ItemText(HWND tree, HTREEITEM item, LPARAM* code) {
  wchar_t buffer[512] = {};
  TVITEMW tv = {};
  tv.mask = TVIF_TEXT | TVIF_PARAM;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = 512;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  *code = tv.lParam;
  return buffer;
}

struct ShownPage {
  std::wstring path;
  LPARAM code;
  Rows rows;
  double ms;  // from the selection to the filled list
};

// Selects every node of the window's tree in turn and collects what the
// property list shows, with the path the report gives the page.
void WalkTree(TForm_Info& form, HTREEITEM item, const std::wstring& parent, std::vector<ShownPage>& shown) {
  HWND tree = form.Control(kIdInfoNavigation);
  for (; item; item = TreeView_GetNextSibling(tree, item)) {
    LPARAM code = 0;
    const std::wstring caption = ItemText(tree, item, &code);
    std::wstring path = parent;
    if (!(code == 100 && caption.rfind(L"Processors (", 0) == 0)) {
      const std::wstring own = code % 100 == 10 ? caption.substr(0, caption.find(L' ')) : caption;
      path = parent.empty() ? own : parent + L"/" + own;
      const auto start = std::chrono::steady_clock::now();
      TreeView_SelectItem(tree, item);
      EXPECT_TRUE(PumpUntil([&] { return !form.Reading(); })) << "page " << code;
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      shown.push_back({path, code, test::ListRows(form.Control(kIdInfoInformation)), ms});
    }
    WalkTree(form, TreeView_GetChild(tree, item), path, shown);
  }
}

class InfoFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    // The window speaks the language of the system the report runs on.
    SetCurrentLanguage(LanguageFor("", system_.UserUiLanguage()));
  }
  void TearDown() override {
    cpuid::ResetCpuRoot();
    SetCurrentLanguage(Language::Chinese);
  }

  FakeSystemLanguage system_{GetUserDefaultUILanguage()};
  ScopedOverride<ISystemLanguage> use_system_{system_};

  // Compares every page of the window with the report; the speed, which is
  // measured anew each time, only by its form when `speed_varies`.
  // Returns the time each kind of page took (group -> total ms, pages).
  std::map<int, std::pair<double, int>> ExpectWindowEqualsReport(TForm_Info& form, const std::string& report,
                                                                 bool speed_varies) {
    std::map<int, std::pair<double, int>> times;
    Pages printed = ReportPages(report);
    EXPECT_FALSE(printed.empty()) << "zettrim-cpuinfo printed nothing";
    if (printed.empty()) return times;
    EXPECT_EQ(Widen(Format(TextId::InfoVersion, {Narrow(printed[0].second.at(0).at(1))})), ControlText(form.Control(kIdInfoVersion)));
    printed.erase(printed.begin());  // the library's version line

    std::vector<ShownPage> shown;
    HWND tree = form.Control(kIdInfoNavigation);
    WalkTree(form, TreeView_GetRoot(tree), L"", shown);
    std::vector<ShownPage> pages;
    for (ShownPage& page : shown) {
      const int group = page.code == 90 || page.code == 100 ? static_cast<int>(page.code)
                                                            : static_cast<int>(page.code % 100 / 10 * 10);
      times[group].first += page.ms;
      ++times[group].second;
      if (page.code == 100) {
        EXPECT_EQ(page.rows, (Rows{{L"No Items", L"Double-click to expand"}})) << Narrow(page.path);
      } else {
        pages.push_back(page);
      }
    }
    EXPECT_EQ(pages.size(), printed.size());
    for (size_t i = 0; i < pages.size() && i < printed.size(); ++i) {
      EXPECT_EQ(pages[i].path, printed[i].first);
      Rows expected = printed[i].second;
      Rows rows = pages[i].rows;
      if (speed_varies && pages[i].code % 100 == 10 && rows.size() > 1 && expected.size() > 1) {
        EXPECT_EQ(rows[1][0], L"Speed");
        const std::wstring speed = rows[1][1];
        EXPECT_TRUE(speed.size() > 4 && (speed.substr(speed.size() - 4) == L" Mhz" ||
                                         speed.substr(speed.size() - 4) == L" Ghz"))
            << Narrow(speed);
        rows[1][1] = expected[1][1];
      }
      EXPECT_EQ(rows, expected) << Narrow(pages[i].path);
    }

    // The feature table of each set agrees with processor 0's feature page.
    HWND combo = form.Control(kIdInfoActiveSet);
    const std::wstring features = L"#0/" + Widen(Text(TextId::PageFeatureSets)) + L"/";
    const std::wstring sets[] = {features + L"Standard", features + L"Standard (Ex)",
                                 features + Widen(Text(TextId::PageExtended)), features + L"Power"};
    for (int item = 0; item < 4; ++item) {
      SendMessageW(combo, CB_SETCURSEL, item, 0);
      SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(kIdInfoActiveSet, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
      EXPECT_TRUE(PumpUntil([&] { return !form.Reading(); }));
      const auto page = std::find_if(printed.begin(), printed.end(), [&](const auto& p) { return p.first == sets[item]; });
      EXPECT_NE(page, printed.end()) << Narrow(sets[item]);
      if (page == printed.end()) continue;
      const Rows& rows = page->second;  // "Feature Set Available", "Number of features", then one a feature
      const Rows table = test::ListRows(form.Control(kIdInfoStandard), true);
      if (rows.at(0).at(1) == L"No") {
        EXPECT_EQ(ControlText(form.Control(kIdInfoAvailableFeatures)), L"Feature Set Unavailable.");
        EXPECT_TRUE(table.empty());
        continue;
      }
      EXPECT_EQ(ControlText(form.Control(kIdInfoAvailableFeatures)), L"Available Features (" + rows.at(1).at(1) + L"):");
      EXPECT_EQ(table.size(), rows.size() - 2) << item;
      for (size_t r = 0; r < table.size() && r + 2 < rows.size(); ++r) {
        EXPECT_EQ(table[r][2], rows[r + 2][0]);
        EXPECT_EQ(table[r][0], rows[r + 2][1] == L"Yes" ? L"1" : L"0") << Narrow(table[r][2]);
      }
    }
    return times;
  }
};

TEST_F(InfoFormTest, ShowsEveryPageAsTheReportPrintsItForARecordedDump) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring dump_path = std::wstring(folder) + L"zt-info-dump-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  {
    std::ofstream out(dump_path.c_str(), std::ios::binary);
    out << test::kPentiumIIIPair;
  }
  const std::string report = RunCpuinfo(L"--load \"" + dump_path + L"\"");
  DeleteFileW(dump_path.c_str());

  cpuid::ScopedMachine replay(cpuid::CreateReplayMachine(cpuid::ParseDump(test::kPentiumIIIPair)));
  cpuid::ResetCpuRoot();
  TForm_Info form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  const std::vector<std::wstring> lines = test::TreeLines(form.Control(kIdInfoNavigation));
  ASSERT_GE(lines.size(), 2u + 2 * 21);
  EXPECT_EQ(lines[0], L"Processor Count");
  EXPECT_EQ(lines[1], L"Processors (2)");
  EXPECT_EQ(lines[2].substr(0, 4), L"\t#0 ") << "processor nodes are listed under \"Processors\"";
  EXPECT_EQ(lines[2 + 21].substr(0, 4), L"\t#1 ");
  EXPECT_EQ(test::ListRows(form.Control(kIdInfoInformation)), (Rows{{L"Available processors", L"2"}, {L"Virtual processors", L"2"}}))
      << "\"Processor Count\" is selected first";
  ExpectWindowEqualsReport(form, report, false);
}

// A switch of language puts the tree's and the page's own words into the
// new language where they stand, and back: the page is not read again.
TEST_F(InfoFormTest, ALanguageSwitchRetextsTheTreeAndThePageShown) {
  cpuid::ScopedMachine replay(cpuid::CreateReplayMachine(cpuid::ParseDump(test::kPentiumIIIPair)));
  cpuid::ResetCpuRoot();
  auto expected_tree = [] {
    std::vector<std::wstring> lines;
    std::function<void(const std::vector<cpuid::InfoNode>&, int)> add = [&](const auto& nodes, int depth) {
      for (const cpuid::InfoNode& node : nodes) {
        lines.push_back(std::wstring(static_cast<size_t>(depth), L'\t') + Widen(node.caption));
        add(node.children, depth + 1);
      }
    };
    add(cpuid::BuildNavigationTree(), 0);
    return lines;
  };
  auto expected_page = [](int code) {
    Rows rows;
    for (const cpuid::InfoRow& row : cpuid::PageRows(code)) rows.push_back({Widen(row.caption), Widen(row.value)});
    return rows;
  };
  SetCurrentLanguage(Language::Chinese);
  TForm_Info form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  HWND tree = form.Control(kIdInfoNavigation);
  std::vector<HTREEITEM> nodes = {TreeView_GetRoot(tree)};
  HTREEITEM vendor = nullptr;
  while (!nodes.empty() && !vendor) {
    HTREEITEM item = nodes.back();
    nodes.pop_back();
    if (!item) continue;
    LPARAM code = 0;
    ItemText(tree, item, &code);
    if (code == 60) vendor = item;
    nodes.push_back(TreeView_GetNextSibling(tree, item));
    nodes.push_back(TreeView_GetChild(tree, item));
  }
  ASSERT_NE(vendor, nullptr);
  TreeView_SelectItem(tree, vendor);
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  const Rows chinese_page = expected_page(60);
  ASSERT_EQ(test::ListRows(form.Control(kIdInfoInformation)), chinese_page);
  const std::vector<std::wstring> chinese_tree = expected_tree();
  for (Language language : {Language::English, Language::Chinese}) {
    SetCurrentLanguage(language);
    form.Retext();
    EXPECT_FALSE(form.Reading());
    EXPECT_EQ(test::TreeLines(tree), expected_tree());
    EXPECT_EQ(test::ListRows(form.Control(kIdInfoInformation)), expected_page(60));
  }
  EXPECT_EQ(test::TreeLines(tree), chinese_tree);
  SetCurrentLanguage(Language::English);
  EXPECT_NE(expected_tree(), chinese_tree) << "the tree has words of its own";
  EXPECT_NE(expected_page(60), chinese_page) << "and so has the page";
  SetCurrentLanguage(Language::Chinese);
}

TEST_F(InfoFormTest, ShowsEveryPageAsTheReportPrintsItForThisMachine) {
  const std::string report = RunCpuinfo(L"");
  const auto start = std::chrono::steady_clock::now();
  TForm_Info form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  const double create_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  const double first_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(test::TreeLines(form.Control(kIdInfoNavigation)).at(1), L"Processors (" + std::to_wstring(info.dwNumberOfProcessors) + L")");
  const auto times = ExpectWindowEqualsReport(form, report, true);
  for (const auto& [group, figures] : times) {
    std::printf("page group %3d: %2d pages, %.1f ms each\n", group, figures.second, figures.first / figures.second);
  }
  const auto tree_start = std::chrono::steady_clock::now();
  const size_t nodes = cpuid::BuildNavigationTree().size();
  const double tree_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tree_start).count();
  std::printf("window made (tree of %u processors) in %.1f ms, of which the library's tree %.1f ms (%u top nodes); "
              "first page and feature table shown after %.1f ms; font %s\n",
              static_cast<unsigned>(info.dwNumberOfProcessors), create_ms, tree_ms, static_cast<unsigned>(nodes),
              first_ms, Narrow(test::FontFaceOf(form.hwnd())).c_str());
}

// The hourglass is the window's own: it shows over the window and its
// controls while a reading is outstanding, never while the window is hidden
// or the pointer is elsewhere, and nothing stale is put back afterwards.
TEST_F(InfoFormTest, TheHourglassShowsOnlyOverTheWindowWhileItReads) {
  cpuid::ScopedMachine replay(cpuid::CreateReplayMachine(cpuid::ParseDump(test::kPentiumIIIPair)));
  cpuid::ResetCpuRoot();
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR beam = LoadCursorW(nullptr, IDC_IBEAM);
  const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  SetCursor(arrow);
  TForm_Info form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(form.Reading()) << "the first page and feature table are read after creation";
  EXPECT_EQ(GetCursor(), arrow) << "a hidden window leaves the cursor alone";
  // Over a list of the window, the hourglass while it reads.
  HWND list = form.Control(kIdInfoStandard);
  auto pointer_over = [](HWND h) {
    return SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  };
  pointer_over(list);
  EXPECT_EQ(GetCursor(), wait);
  // The pointer moves on to another window, which sets its own cursor.
  SetCursor(beam);
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  EXPECT_EQ(GetCursor(), beam) << "no cursor of earlier is put back";
  pointer_over(list);
  EXPECT_EQ(GetCursor(), arrow) << "read: the list's own cursor";

  // Shown, with the pointer resting over it, the hourglass comes and goes
  // without the pointer moving.
  form.Show();
  RECT r;
  GetWindowRect(list, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PumpUntil([] { return false; }, 100);
  HWND combo = form.Control(kIdInfoActiveSet);
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(kIdInfoActiveSet, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  ASSERT_TRUE(form.Reading());
  EXPECT_EQ(GetCursor(), wait);
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(InfoFormTest, ResizingMovesTheButtonAndGrowsTheListsAndTheSplitterMovesThePanes) {
  cpuid::ScopedMachine replay(cpuid::CreateReplayMachine(cpuid::ParseDump(test::kPentiumIIIPair)));
  cpuid::ResetCpuRoot();
  TForm_Info form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, 537);
  EXPECT_EQ(client.bottom, 508);
  auto rect_in_form = [&](int id) {
    RECT r;
    GetWindowRect(form.Control(id), &r);
    MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const RECT button = rect_in_form(kIdInfoClose);
  EXPECT_EQ(button.left, 454);
  EXPECT_EQ(button.top, 474);
  const RECT list = rect_in_form(kIdInfoStandard);

  RECT window;
  GetWindowRect(form.hwnd(), &window);
  SetWindowPos(form.hwnd(), nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 60,
               SWP_NOMOVE | SWP_NOZORDER);
  const RECT moved = rect_in_form(kIdInfoClose);
  EXPECT_EQ(moved.left, 554);
  EXPECT_EQ(moved.top, 534);
  const RECT grown = rect_in_form(kIdInfoStandard);
  EXPECT_EQ(grown.right - grown.left, list.right - list.left + 100);
  EXPECT_EQ(grown.bottom - grown.top, list.bottom - list.top + 60);
  EXPECT_EQ(rect_in_form(kIdInfoVersion).top, 488 + 60);
  // Smaller than designed it does not get: the drop-down list keeps its room.
  SetWindowPos(form.hwnd(), nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, 537);

  // On the second tab, dragging the splitter 60 pixels to the right widens
  // the tree.
  form.Show();
  HWND tabs = form.Control(kIdInfoPageControl);
  TabCtrl_SetCurSel(tabs, 1);
  NMHDR change = {tabs, static_cast<UINT_PTR>(kIdInfoPageControl), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(form.hwnd(), WM_NOTIFY, kIdInfoPageControl, reinterpret_cast<LPARAM>(&change));
  EXPECT_TRUE(IsWindowVisible(form.Control(kIdInfoNavigation)));
  EXPECT_FALSE(IsWindowVisible(form.Control(kIdInfoStandard)));
  HWND splitter = form.Control(kIdInfoSplitter);
  const RECT tree = rect_in_form(kIdInfoNavigation);
  SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
  SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(62, 10));
  SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(62, 10));
  const RECT wider = rect_in_form(kIdInfoNavigation);
  EXPECT_EQ(wider.right - wider.left, tree.right - tree.left + 60);
  EXPECT_EQ(rect_in_form(kIdInfoInformation).left, wider.right + 5);
  // ... and it cannot squeeze the list away.
  SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
  SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2000, 10));
  SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(2000, 10));
  const RECT information = rect_in_form(kIdInfoInformation);
  EXPECT_EQ(information.right - information.left, 30);
}

}  // namespace
}  // namespace zt
