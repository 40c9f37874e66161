#include "dialogs/save_file_dialog_win.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "util/texts.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

class SystemSaveFileDialog : public ISaveFileDialog {
 public:
  std::optional<std::wstring> AskFile(HWND owner, const std::wstring& proposed, SavedFileKind kind) override {
    // Long paths fit: the buffer is the size the dialog may fill.
    std::vector<wchar_t> path(32768, L'\0');
    proposed.copy(path.data(), std::min(proposed.size(), path.size() - 1));
    // Pairs of description and pattern, the list ending in an empty pair.
    const bool csv = kind == SavedFileKind::Csv;
    std::wstring filter = Widen(Text(csv ? TextId::HistorySaveCsvFiles : TextId::InfoSaveTextFiles));
    filter.append(csv ? L"\0*.csv\0" : L"\0*.txt\0", 7);
    filter += Widen(Text(TextId::InfoSaveAllFiles));
    filter.append(L"\0*.*\0\0", 6);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrDefExt = csv ? L"csv" : L"txt";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&ofn)) return std::nullopt;
    return std::wstring(path.data());
  }
};

}  // namespace

ZT_SEAM_REAL(ISaveFileDialog, SystemSaveFileDialog)

}  // namespace zt
