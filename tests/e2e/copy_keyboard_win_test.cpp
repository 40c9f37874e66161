// The real program's secondary windows from the keyboard, with keys the
// system delivers (SendInput): the CPU information window copies its rows,
// a page and the whole report as `zettrim-cpuinfo` prints it and saves the
// report through the system's save dialog; the statistics copy their
// figures and reset; the about window's links open; a settings box ticks
// with Alt and its key.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/about_form_win.h"
#include "dialogs/copy_texts.h"
#include "dialogs/info_form_win.h"
#include "dialogs/settings_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "main_window_support.h"
#include "query_receiver.h"
#include "shell/menu_model.h"
#include "support/clipboard_text_win.h"
#include "support/run_cpuinfo_win.h"
#include "util/access_key.h"
#include "util/clipboard_win.h"
#include "util/unicode_win.h"

namespace zt::e2e {
namespace {

using test::ClipboardText;

struct VisibleWindowSearch {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND h, LPARAM param) {
  auto* search = reinterpret_cast<VisibleWindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  if (owner != search->pid || !IsWindowVisible(h) || lstrcmpW(name, search->cls) != 0) return TRUE;
  search->found = h;
  return FALSE;
}

// A visible top-level window of the program's with this class, or null.
HWND VisibleWindowOf(DWORD pid, const wchar_t* cls) {
  VisibleWindowSearch search = {pid, cls, nullptr};
  EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// What zettrim-cpuinfo prints for this machine.
std::string RunCpuinfo() {
  return test::RunCpuinfo(test::FromBuildPath(ZT_EXE_DIR) + L"\\zettrim-cpuinfo.exe", L"");
}

// The report with every measured clock speed replaced by "<speed>", once it
// is seen to be one.
std::wstring WithoutSpeeds(const std::wstring& report) {
  std::wistringstream in(report);
  std::wstring line, out;
  while (std::getline(in, line)) {
    const size_t at = line.find(L"\tSpeed\t");
    if (at != std::wstring::npos) {
      const std::wstring value = line.substr(at + 7);
      const bool speed = value.size() > 4 && (value.compare(value.size() - 4, 4, L" Mhz") == 0 ||
                                              value.compare(value.size() - 4, 4, L" Ghz") == 0);
      line = line.substr(0, at + 7) + (speed ? L"<speed>" : L"<not a speed: " + value + L">");
    }
    out += line + L"\n";
  }
  return out;
}

// The report's rows of one page, without the page column.
std::wstring PageRowsOf(const std::wstring& report, const std::wstring& path) {
  std::wistringstream in(report);
  std::wstring line, rows;
  while (std::getline(in, line)) {
    if (line.rfind(path + L"\t", 0) == 0) rows += line.substr(path.size() + 1) + L"\n";
  }
  return rows;
}

// Opens the window's tree menu from the keyboard (Shift+F10 or the menu
// key) and takes the item with the access key `key`.
bool TreeMenuItem(DWORD pid, HWND tree, std::initializer_list<WORD> open, WORD key) {
  if (!FocusControl(tree)) return false;
  if (!Keys(open)) return false;
  if (!WaitUntil([&] { return VisibleWindowOf(pid, L"#32768") != nullptr; }, 5000)) return false;
  return Keys({key});
}

TEST(CopyKeyboardE2E, TheCpuInformationWindowCopiesAndSavesWhatZettrimCpuinfoPrints) {
  const std::wstring report = Widen(RunCpuinfo());
  ASSERT_FALSE(report.empty()) << "zettrim-cpuinfo printed nothing";
  AppFolder folder;
  // The window follows the system, as the report does.
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_KEYDOWN, VK_F6, 0);
  HWND info = app.WaitForWindow(kInfoWindowClass, Widen(TextIn(SystemLanguage(), TextId::InfoCaption)).c_str());
  ASSERT_NE(info, nullptr);
  ASSERT_TRUE(WaitVisible(info, true));
  ASSERT_TRUE(WaitUntil([&] { return !QueryReceiver::Reading(info); }, 20000));

  // Ctrl+Tab to the processor manager; its tree takes the focus.
  HWND tree = FindDescendant(info, kIdInfoNavigation);
  HWND list = FindDescendant(info, kIdInfoInformation);
  ASSERT_TRUE(FocusControl(FindDescendant(info, kIdInfoActiveSet)));
  ASSERT_TRUE(Keys({VK_CONTROL, VK_TAB}));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(info) == tree; }, 3000));
  ASSERT_TRUE(IsWindowVisible(list));

  // Processor 0's signature page; Ctrl+C in the property list.
  HTREEITEM cpu0 = TreeView_GetChild(tree, TreeView_GetNextSibling(tree, TreeView_GetRoot(tree)));
  HTREEITEM signature = TreeView_GetNextSibling(tree, TreeView_GetChild(tree, cpu0));
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(signature));
  ASSERT_TRUE(WaitUntil([&] { return !QueryReceiver::Reading(info) && ListView_GetItemCount(list) > 0; }, 20000));
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"before"));
  ASSERT_TRUE(FocusControl(list));
  ASSERT_TRUE(Keys({VK_CONTROL, 'C'}));
  const std::wstring expected_page = PageRowsOf(report, L"#0/Signature");
  ASSERT_FALSE(expected_page.empty());
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() != L"before"; }, 5000));
  EXPECT_EQ(ClipboardText(), expected_page);
  std::printf("Ctrl+C in the property list (#0/Signature):\n%s", Narrow(ClipboardText()).c_str());
  // The list's menu, from the menu key: "全选", then "复制" with every row selected.
  ASSERT_TRUE(Keys({VK_APPS}));
  ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOf(app.pid(), L"#32768") != nullptr; }, 5000));
  ASSERT_TRUE(Keys({'A'}));
  EXPECT_TRUE(WaitUntil([&] { return ListView_GetSelectedCount(list) == static_cast<UINT>(ListView_GetItemCount(list)); }, 3000));
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"before"));
  ASSERT_TRUE(Keys({VK_APPS}));
  ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOf(app.pid(), L"#32768") != nullptr; }, 5000));
  ASSERT_TRUE(Keys({'C'}));
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == expected_page; }, 5000)) << Narrow(ClipboardText());

  // "复制全部报告" from the tree's menu.
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"before"));
  ASSERT_TRUE(TreeMenuItem(app.pid(), tree, {VK_SHIFT, VK_F10}, 'R'));
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() != L"before"; }, 30000));
  const std::wstring copied = ClipboardText();
  EXPECT_EQ(copied.find(L'\r'), std::wstring::npos) << "lines end as the report's do";
  EXPECT_EQ(WithoutSpeeds(copied), WithoutSpeeds(report));
  {
    std::wistringstream lines(copied);
    std::wstring line, head;
    int n = 0;
    while (std::getline(lines, line)) {
      if (++n <= 16) head += line + L"\n";
    }
    std::printf("复制全部报告 (%d lines), the first 16:\n%s", n, Narrow(head).c_str());
  }

  // "保存报告…": the system's save dialog, answered here.
  ASSERT_TRUE(TreeMenuItem(app.pid(), tree, {VK_APPS}, 'S'));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = VisibleWindowOf(app.pid(), L"#32770")) != nullptr; }, 10000));
  HWND name = FindDescendant(dialog, 0x47C);  // the file name box ("cmb13")
  HWND edit = name ? FindWindowExW(name, nullptr, L"Edit", nullptr) : nullptr;
  if (!edit) edit = name ? name : FindDescendant(dialog, 0x480);  // "edt1"
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(WindowText(edit), L"zettrim-cpuinfo.txt") << "the name proposed";
  const std::wstring saved = folder.dir() + L"\\处理器报告.txt";
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saved.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  std::string bytes;
  EXPECT_TRUE(WaitUntil(
      [&] {
        if (QueryReceiver::Reading(info)) return false;
        std::ifstream in(saved.c_str(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        return !bytes.empty();
      },
      30000));
  EXPECT_EQ(WithoutSpeeds(Widen(bytes)), WithoutSpeeds(report)) << "UTF-8, as zettrim-cpuinfo writes it";
  ASSERT_TRUE(CloseMain(app, main));
}

TEST(CopyKeyboardE2E, TheStatisticsCopyTheirFiguresAndResetFromTheKeyboard) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\nRate=100\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND statistics = app.WaitForWindow(kStatisticsFormClass, L"统计");
  ASSERT_NE(statistics, nullptr);
  PostMessageW(main, WM_KEYDOWN, VK_F5, 0);
  ASSERT_TRUE(WaitVisible(statistics, true));
  auto samples = [&] {
    return std::wcstol(WindowText(GetDlgItem(statistics, kIdStatisticsValue + static_cast<int>(StatisticsValue::Samples))).c_str(),
                       nullptr, 10);
  };
  ASSERT_TRUE(WaitUntil([&] { return samples() >= 15; }, 20000));

  ASSERT_TRUE(FocusControl(statistics));
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"before"));
  ASSERT_TRUE(Keys({VK_CONTROL, 'C'}));
  ASSERT_TRUE(WaitUntil([&] { return ClipboardText() != L"before"; }, 5000));
  const std::wstring copied = ClipboardText();
  std::printf("Ctrl+C in the statistics window:\n%s", Narrow(copied).c_str());
  std::wistringstream lines(copied);
  std::wstring line;
  int v = 0;
  for (; std::getline(lines, line); ++v) {
    ASSERT_LT(v, kStatisticsValueCount) << Narrow(copied);
    const std::wstring caption = Widen(StatisticsFigureCaption(static_cast<StatisticsValue>(v)));
    EXPECT_EQ(line.substr(0, caption.size() + 1), caption + L"\t");
    EXPECT_GT(line.size(), caption.size() + 1) << "with its figure: " << Narrow(line);
    // The caption is what the window shows: its panel's title and its row's.
    const size_t blank = caption.find(L' ');
    EXPECT_NE(FindChildByText(statistics, caption.substr(0, blank)), nullptr);
    EXPECT_NE(FindChildByText(statistics, caption.substr(blank + 1)), nullptr);
  }
  EXPECT_EQ(v, kStatisticsValueCount);

  // Tab reaches the reset button, Space presses it.
  HWND reset = GetDlgItem(statistics, kIdSpeedButtonReset);
  ASSERT_TRUE(Keys({VK_TAB}));
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(statistics) == reset; }, 3000));
  ASSERT_TRUE(Keys({VK_SPACE}));
  EXPECT_TRUE(WaitUntil([&] { return samples() <= 2; }, 3000)) << samples();
  EXPECT_LE(QueryOwner(main, static_cast<AppQuery>(static_cast<WPARAM>(AppQuery::LinePoints0) + 1)), 3);
  ASSERT_TRUE(CloseMain(app, main));
}

TEST(CopyKeyboardE2E, TabReachesTheAboutWindowsLinksAndEnterOrSpaceOpensThem) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND about = app.WaitForWindow(kAboutFormClass, L"关于");
  ASSERT_NE(about, nullptr);
  PostMessageW(main, WM_COMMAND, MI_About, 0);
  ASSERT_TRUE(WaitVisible(about, true));
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(about) == about; }, 3000)) << "it opens with no control focused";
  SetForegroundWindow(about);
  HWND email = GetDlgItem(about, kIdLabelEmail);
  HWND website = GetDlgItem(about, kIdLabelWebsite);
  ASSERT_TRUE(Keys({VK_TAB}));
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(about) == email; }, 3000));
  ASSERT_TRUE(Keys({VK_RETURN}));
  ASSERT_TRUE(Keys({VK_TAB}));
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(about) == website; }, 3000));
  ASSERT_TRUE(Keys({VK_SPACE}));
  QueryReceiver receiver;
  EXPECT_TRUE(WaitUntil([&] { return receiver.Ask(about, AppQuery::ShellOpened).size() > 30; }, 3000));
  EXPECT_EQ(receiver.Ask(about, AppQuery::ShellOpened),
            L"mailto:support@quorl.net?subject=Zettrim\nhttps://zettrim.quorl.net/\n");
  EXPECT_TRUE(IsWindowVisible(about));
  ASSERT_TRUE(CloseMain(app, main));
}

TEST(CopyKeyboardE2E, TheSettingsDialogOpensOnItsFirstBoxAndAltWithAKeyTicksABox) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND dialog = app.WaitForWindow(kSettingsWindowClass, L"设置");
  ASSERT_NE(dialog, nullptr);
  PostMessageW(main, WM_KEYDOWN, VK_F4, 0);
  ASSERT_TRUE(WaitVisible(dialog, true));
  HWND autorun = FindDescendant(dialog, kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_AutoRun));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog) == autorun; }, 3000));
  HWND memory_box = FindDescendant(dialog, kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_DisplayMemory));
  HWND memory_label = GetDlgItem(main, kIdLabelMemoryUsed);
  // The caption is the one shown before, with its key added.
  EXPECT_EQ(WithoutAccessKey(Narrow(WindowText(memory_box))), "显示内存使用情况");
  EXPECT_EQ(AccessKeyOf(Narrow(WindowText(memory_box))), 'M');
  ASSERT_EQ(SendMessageW(memory_box, BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_TRUE(FocusControl(autorun));
  ASSERT_TRUE(Keys({VK_MENU, 'M'}));
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(memory_box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, 3000));
  EXPECT_TRUE(WaitVisible(memory_label, false));
  ASSERT_TRUE(Keys({VK_MENU, 'M'}));
  EXPECT_TRUE(WaitVisible(memory_label, true));
  ASSERT_TRUE(CloseMain(app, main));
}

}  // namespace
}  // namespace zt::e2e
