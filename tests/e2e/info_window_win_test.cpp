// The real program's CPU information window: F6 opens it, its tree lists
// this machine's processors, its lists fill and follow the choices, a second
// F6 shows the same window and "关闭" hides it.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <sstream>

#include "dialogs/info_form_win.h"
#include "main_window_support.h"
#include "query_receiver.h"
#include "shell/menu_model.h"

namespace zt::e2e {
namespace {

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wistringstream in(text);
  std::wstring line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

int WindowsOfClass(const wchar_t* cls) {
  int n = 0;
  for (HWND h = FindWindowExW(nullptr, nullptr, cls, nullptr); h; h = FindWindowExW(nullptr, h, cls, nullptr)) ++n;
  return n;
}

TEST(InfoWindowE2E, F6ShowsTheProcessorsFillsTheListsAndCloseHides) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(app.WaitForWindow(kInfoWindowClass, nullptr, 300), nullptr) << "made on first use only";

  PostMessageW(main, WM_KEYDOWN, VK_F6, 0);
  HWND info = app.WaitForWindow(kInfoWindowClass, L"CPU信息");
  ASSERT_NE(info, nullptr);
  ASSERT_TRUE(WaitVisible(info, true));
  RECT client;
  GetClientRect(info, &client);
  EXPECT_EQ(client.right, 537);
  EXPECT_EQ(client.bottom, 508);
  ASSERT_TRUE(WaitUntil([&] { return !QueryReceiver::Reading(info); }, 20000));

  QueryReceiver receiver;
  const std::vector<std::wstring> tree = Lines(receiver.Ask(info, AppQuery::InfoTree));
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const size_t processors = system.dwNumberOfProcessors;
  ASSERT_EQ(tree.size(), 2 + 21 * processors);
  EXPECT_EQ(tree[0], L"Processor Count");
  EXPECT_EQ(tree[1], L"Processors (" + std::to_wstring(processors) + L")");
  for (size_t p = 0; p < processors; ++p) {
    EXPECT_EQ(tree[2 + 21 * p].rfind(L"\t#" + std::to_wstring(p) + L" ", 0), 0u) << "processor node " << p;
  }
  const std::vector<std::wstring> counts = Lines(receiver.Ask(info, AppQuery::InfoRows));
  ASSERT_EQ(counts.size(), 2u) << "\"Processor Count\" is selected first";
  EXPECT_EQ(counts[0], L"Available processors\t" + std::to_wstring(processors));
  EXPECT_EQ(counts[1].rfind(L"Virtual processors\t", 0), 0u);

  // The standard set is listed; another set changes the list.
  const std::wstring standard = receiver.Ask(info, AppQuery::InfoFeatureRows);
  EXPECT_FALSE(standard.empty());
  EXPECT_EQ(standard.rfind(L"1\t0\tFPU\t", 0), 0u) << "every x86 processor has its floating-point unit";
  EXPECT_EQ(WindowText(FindDescendant(info, kIdInfoAvailableFeatures)).rfind(L"Available Features (", 0), 0u);
  HWND combo = FindDescendant(info, kIdInfoActiveSet);
  SendMessageW(combo, CB_SETCURSEL, 2, 0);
  SendMessageW(info, WM_COMMAND, MAKEWPARAM(kIdInfoActiveSet, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  EXPECT_TRUE(WaitUntil([&] {
    return !QueryReceiver::Reading(info) && receiver.Ask(info, AppQuery::InfoFeatureRows) != standard;
  }, 10000));

  // A grouping node shows the placeholder row.
  HWND navigation = FindDescendant(info, kIdInfoNavigation);
  HTREEITEM processors_node = TreeView_GetNextSibling(navigation, TreeView_GetRoot(navigation));
  SendMessageW(navigation, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(processors_node));
  EXPECT_TRUE(WaitUntil([&] {
    return receiver.Ask(info, AppQuery::InfoRows) == L"No Items\tDouble-click to expand\n";
  }, 10000));

  // The same window again; "关闭" hides it; F6 brings it back.
  PostMessageW(main, WM_KEYDOWN, VK_F6, 0);
  Sleep(300);
  EXPECT_EQ(app.WaitForWindow(kInfoWindowClass, L"CPU信息"), info);
  EXPECT_EQ(WindowsOfClass(kInfoWindowClass), 1);
  SendMessageW(FindDescendant(info, kIdInfoClose), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitVisible(info, false));
  PostMessageW(main, WM_COMMAND, MI_CPUInformation, 0);
  EXPECT_TRUE(WaitVisible(info, true));
  EXPECT_EQ(WindowsOfClass(kInfoWindowClass), 1);
  ASSERT_TRUE(CloseMain(app, main));
}

}  // namespace
}  // namespace zt::e2e
