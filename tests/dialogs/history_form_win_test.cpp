// The history window's save in this process: the view written as CSV under
// the name chosen, or a box naming the path and the reason.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>

#include "dialogs/history_form_win.h"
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

}  // namespace
}  // namespace zt
