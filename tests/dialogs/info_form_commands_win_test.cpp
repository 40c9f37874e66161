// The CPU information window's copying, saving and keys in this process
// (the real program against `zettrim-cpuinfo` is driven in tests/e2e).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>

#include "support/fake_machine.h"
#include "cpuid/report.h"
#include "dialogs/copy_texts.h"
#include "dialogs/info_form_win.h"
#include "dialogs/save_file_dialog_win.h"
#include "support/clipboard_text_win.h"
#include "support/key_press_win.h"
#include "support/message_box_watch_win.h"
#include "util/clipboard_win.h"
#include "util/file_write.h"
#include "support/shown_controls_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

namespace fs = std::filesystem;
using cpuid::testing::IntelCpu;
using cpuid::testing::ScopedFake;
using test::ClipboardText;
using test::PressKey;

bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 20000) {
  const DWORD start = GetTickCount();
  for (;;) {
    test::PumpMessages();
    if (done()) return true;
    if (GetTickCount() - start > static_cast<DWORD>(timeout_ms)) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// Answers the save dialog with a path, or as cancelled.
class FakeSaveDialog : public ISaveFileDialog {
 public:
  std::optional<std::wstring> AskFile(HWND, const std::wstring& proposed, SavedFileKind) override {
    proposals.push_back(proposed);
    return answer;
  }
  std::optional<std::wstring> answer;
  std::vector<std::wstring> proposals;
};

// The node of the tree with the code, depth first.
HTREEITEM FindNode(HWND tree, HTREEITEM item, LPARAM code) {
  for (; item; item = TreeView_GetNextSibling(tree, item)) {
    TVITEMW tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    if (tv.lParam == code) return item;
    if (HTREEITEM found = FindNode(tree, TreeView_GetChild(tree, item), code)) return found;
  }
  return nullptr;
}

class InfoCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  }
  void ShowPageOf(int code) {
    HWND tree = form.Control(kIdInfoNavigation);
    TreeView_SelectItem(tree, FindNode(tree, TreeView_GetRoot(tree), code));
    ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  }
  void Command(int id) {
    SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  }

  ScopedFake fake{{IntelCpu()}};
  TForm_Info form;
};

TEST_F(InfoCommandsTest, CtrlCCopiesTheSelectedRowsOrAllAndAvailabilityReadsAsText) {
  HWND list = form.Control(kIdInfoStandard);
  const auto shown = test::ListRows(form.Control(kIdInfoStandard), true);  // the picture's index in the first column
  ASSERT_GT(shown.size(), 3u);
  std::wstring all;
  for (const auto& row : shown) {
    all += (row[0] == L"1" ? L"是" : L"否");
    for (size_t c = 1; c < row.size(); ++c) all += L"\t" + row[c];
    all += L"\n";
  }
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"before"));
  PressKey(list, 'C', true);
  EXPECT_EQ(ClipboardText(), all) << "no row selected: every row";

  ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list, 3, LVIS_SELECTED, LVIS_SELECTED);
  PressKey(list, 'C', true);
  EXPECT_EQ(ClipboardText(), L"是\t1\tVME\tVirtual mode extension\n是\t3\tPSE\tPage size extension\n");
  PressKey(list, 'A', true);
  EXPECT_EQ(ListView_GetSelectedCount(list), shown.size());
}

TEST_F(InfoCommandsTest, TheTreeCopiesItsPageAndTheWholeReportAsTheReportPrintsThem) {
  ShowPageOf(cpuid::kNodeSignature);
  PressKey(form.Control(kIdInfoNavigation), 'C', true);
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  const std::wstring page = ClipboardText();
  EXPECT_EQ(page.rfind(L"#0/Signature\tGeneric\tx86 Family 6 Model 8 Stepping 3\n", 0), 0u) << Narrow(page);
  EXPECT_EQ(page, Widen(PageReportText(cpuid::kNodeSignature)));

  Command(kIdInfoCopyReport);
  EXPECT_EQ(ClipboardText(), Widen(cpuid::BuildReport()));
}

TEST_F(InfoCommandsTest, SavingWritesTheReportOrSaysWhyNotAndLeavesNothingHalfWritten) {
  FakeSaveDialog dialog;
  const ScopedOverride<ISaveFileDialog> use(dialog);
  const fs::path dir = fs::temp_directory_path() / ("zt-save-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  dialog.answer = (dir / L"报告.txt").wstring();
  Command(kIdInfoSaveReport);
  ASSERT_EQ(dialog.proposals, std::vector<std::wstring>{L"zettrim-cpuinfo.txt"});
  {
    std::ifstream in(dir / L"报告.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), cpuid::BuildReport()) << "UTF-8, as printed";
  }

  // A name that cannot be written (a folder holds it): a box names it and
  // says why, and nothing is left beside it.
  fs::create_directories(dir / "folder.txt");
  dialog.answer = (dir / "folder.txt").wstring();
  std::vector<test::BoxWatcher::Box> boxes;
  {
    test::BoxWatcher watcher;
    Command(kIdInfoSaveReport);
    boxes = watcher.boxes();
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, L"Error");
  EXPECT_NE(boxes[0].text.find(*dialog.answer), std::wstring::npos) << Narrow(boxes[0].text);
  EXPECT_GT(boxes[0].text.size(), dialog.answer->size() + 12) << "and the reason";
  EXPECT_TRUE(fs::is_directory(dir / "folder.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2) << "the saved report and the folder only";

  // Cancelled: nothing is read, nothing written.
  dialog.answer.reset();
  Command(kIdInfoSaveReport);
  EXPECT_FALSE(form.Reading());
  std::error_code ec;
  fs::remove_all(dir, ec);
}

TEST_F(InfoCommandsTest, F5ReadsTheShownPageAgainAndMeasuresTheClockAnew) {
  form.Show();
  HWND tree = form.Control(kIdInfoNavigation);
  PressKey(form.Control(kIdInfoActiveSet), VK_TAB, true);
  ShowPageOf(cpuid::kNodeSummary);
  const int measured = fake->raise_calls;
  EXPECT_GE(measured, 1) << "the summary page measures the clock";
  PressKey(tree, VK_F5);
  ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
  EXPECT_EQ(fake->raise_calls, measured + 1);
  EXPECT_EQ(test::ListRows(form.Control(kIdInfoInformation)).at(1).at(0), L"Speed");
}

TEST_F(InfoCommandsTest, CtrlTabSwitchesTheTabsAndAChangedTabTakesTheFocusIntoItsPage) {
  form.Show();
  HWND tabs = form.Control(kIdInfoPageControl);
  HWND combo = form.Control(kIdInfoActiveSet);
  HWND tree = form.Control(kIdInfoNavigation);
  SetFocus(combo);
  PressKey(combo, VK_TAB, true);
  EXPECT_EQ(TabCtrl_GetCurSel(tabs), 1);
  EXPECT_EQ(GetFocus(), tree);
  PressKey(tree, VK_TAB, true, true);
  EXPECT_EQ(TabCtrl_GetCurSel(tabs), 0);
  EXPECT_EQ(GetFocus(), combo);

  // A click on the other tab (the tab control does not take the focus).
  TabCtrl_SetCurSel(tabs, 1);
  NMHDR change = {tabs, static_cast<UINT_PTR>(kIdInfoPageControl), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(form.hwnd(), WM_NOTIFY, kIdInfoPageControl, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(GetFocus(), tree);
  // Walking the tabs with the arrow keys on the tab control keeps it there.
  SetFocus(tabs);
  PressKey(tabs, VK_LEFT);
  EXPECT_EQ(TabCtrl_GetCurSel(tabs), 0);
  EXPECT_EQ(GetFocus(), tabs);
}

}  // namespace
}  // namespace zt
