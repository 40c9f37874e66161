// The history window in this process: the save writes the view as CSV under
// the name chosen, or shows a box naming the path and the reason; the graph
// draws the figures the records have, and the pointer over its lower plot
// selects a record for the readout.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>

#include "dialogs/history_form_win.h"
#include "dialogs/history_model.h"
#include "dialogs/save_file_dialog_win.h"
#include "sampling/history_text.h"
#include "support/message_box_watch_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

class AnswerWith : public ISaveFileDialog {
 public:
  std::optional<std::wstring> AskFile(HWND, const std::wstring& proposed, SavedFileKind kind) override {
    proposed_ = kind == SavedFileKind::Csv ? proposed : L"";
    return answer;
  }
  std::optional<std::wstring> answer;
  std::wstring proposed_;
};

TEST(HistoryForm, SaveWritesTheViewAsCsvOrNamesThePathAndTheReason) {
  History history;
  for (int i = 0; i < 4; ++i) history.AddSample(HistorySample{1000u * (i + 1), 45356.5 + i / 86400.0, true, 10.0 * i});
  TForm_History form(history, [](Language) { return std::string("status"); });
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  form.Show();
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(form.hwnd(), kIdHistoryStatus)));

  AnswerWith dialog;
  const ScopedOverride<ISaveFileDialog> use(dialog);
  const fs::path dir = fs::temp_directory_path() / ("zt-history-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir / "folder.csv");
  dialog.answer = (dir / L"历史.csv").wstring();
  form.Button_SaveClick();
  EXPECT_TRUE(std::regex_match(Narrow(dialog.proposed_), std::regex(R"(Zettrim-history-\d{8}-\d{4}\.csv)")));
  std::ifstream in(dir / L"历史.csv", std::ios::binary);
  const std::string saved(std::istreambuf_iterator<char>(in), {});
  in.close();
  EXPECT_EQ(saved, HistoryCsv(history.Snapshot(HistoryScale::kSeconds), CurrentLanguage()));
  EXPECT_NE(saved.find("\n2024-03-05 12:00:01,10.0"), std::string::npos) << saved;

  dialog.answer = (dir / "folder.csv").wstring();
  std::vector<test::BoxWatcher::Box> boxes;
  {
    test::BoxWatcher watcher;
    form.Button_SaveClick();
    boxes = watcher.boxes();
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(*dialog.answer), std::wstring::npos) << Narrow(boxes[0].text);
  EXPECT_GT(boxes[0].text.size(), dialog.answer->size() + 20) << "and the reason";
  fs::remove_all(dir);
}

// How many of the graph's pixels, in its upper and its lower half, are of
// `color`.
std::pair<int, int> PixelsOf(HWND graph, COLORREF color) {
  RECT c;
  GetClientRect(graph, &c);
  HDC screen = GetDC(graph), memory = CreateCompatibleDC(screen);
  HBITMAP shot = CreateCompatibleBitmap(screen, c.right, c.bottom);
  HGDIOBJ old = SelectObject(memory, shot);
  BitBlt(memory, 0, 0, c.right, c.bottom, screen, 0, 0, SRCCOPY);
  std::pair<int, int> count;
  for (int y = 0; y < c.bottom; ++y)
    for (int x = 0; x < c.right; ++x)
      if (GetPixel(memory, x, y) == color) ++(2 * y < c.bottom ? count.first : count.second);
  DeleteObject(SelectObject(memory, old));
  DeleteDC(memory);
  ReleaseDC(graph, screen);
  return count;
}

TEST(HistoryForm, TheGraphsDrawTheFiguresPresentAndThePointerOverTheLowerOneSelects) {
  // Two minutes with the network at 2 MB/s received, the graphics at 60 %,
  // and no disk figures.
  History history;
  for (int i = 0; i < 120; ++i) {
    HistorySample s{1000u * (i + 1), 45356.5 + i / 86400.0, true, 30};
    s.more.net_received = 2048;
    s.more.gpu_load = 60;
    history.AddSample(s);
  }
  TForm_History form(history, [](Language) { return std::string(); });
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  form.Show();
  HWND page = GetWindow(GetDlgItem(form.hwnd(), kIdHistoryTabs), GW_CHILD);
  while (page && !GetDlgItem(page, kIdHistoryGraph)) page = GetWindow(page, GW_HWNDNEXT);
  HWND graph = GetDlgItem(page, kIdHistoryGraph), readout = GetDlgItem(page, kIdHistoryReadout);
  ASSERT_TRUE(graph && readout);
  RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  // Each line in its legend's colour; every legend's swatch is as large, so
  // a line beside one is more.  The network's sent is drawn last: were the
  // absent figures drawn as 0, its line would lie over theirs.
  const auto received = PixelsOf(graph, RGB(0, 150, 130)), sent = PixelsOf(graph, RGB(170, 50, 160)),
             gpu = PixelsOf(graph, RGB(40, 150, 40));
  EXPECT_GT(received.second, sent.second + 30) << "drawn; an absent figure is not, not even as 0";
  EXPECT_GT(gpu.first, sent.second + 30) << "the graphics load drawn on the load graph";
  EXPECT_EQ(received.first + sent.first, 0);

  RECT client;
  GetClientRect(graph, &client);
  SendMessageW(graph, WM_MOUSEMOVE, 0, MAKELPARAM(client.right - 20, client.bottom * 3 / 4));
  wchar_t text[1024] = {};
  GetWindowTextW(readout, text, 1024);
  const std::string shown = Narrow(text);
  EXPECT_NE(shown.find(RateText(2048, CurrentLanguage())), std::string::npos) << shown;
  EXPECT_EQ(shown.find(FormatIn(CurrentLanguage(), TextId::HistoryReadoutDisk, {})), std::string::npos) << shown;
}

}  // namespace
}  // namespace zt
