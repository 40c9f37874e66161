// What controls show, read back from them by their ids: the tests look at a
// window the way its user does, not through its class.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "util/control_text_win.h"

namespace zt::test {

inline BOOL CALLBACK MatchControlId(HWND child, LPARAM lp) {
  auto* search = reinterpret_cast<std::pair<int, HWND>*>(lp);
  if (GetDlgCtrlID(child) != search->first) return TRUE;
  search->second = child;
  return FALSE;
}

// The window of `id` anywhere below `parent` (controls on tab pages are
// grandchildren); null when there is none.
inline HWND FindControl(HWND parent, int id) {
  std::pair<int, HWND> search{id, nullptr};
  EnumChildWindows(parent, MatchControlId, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// A tree view's nodes in order: a TAB per level, then the caption.
inline void CollectTreeLines(HWND tree, HTREEITEM item, int depth, std::vector<std::wstring>& lines) {
  for (; item; item = TreeView_GetNextSibling(tree, item)) {
    lines.push_back(std::wstring(static_cast<size_t>(depth), L'\t') + TreeItemText(tree, item));
    CollectTreeLines(tree, TreeView_GetChild(tree, item), depth + 1, lines);
  }
}

inline std::vector<std::wstring> TreeLines(HWND tree) {
  std::vector<std::wstring> lines;
  CollectTreeLines(tree, TreeView_GetRoot(tree), 0, lines);
  return lines;
}

// A report list's rows, a text per column; with `picture_first` the first
// column gives the index of the picture the row shows instead.
inline std::vector<std::vector<std::wstring>> ListRows(HWND list, bool picture_first = false) {
  std::vector<std::vector<std::wstring>> rows;
  if (!list) return rows;
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  const int count = ListView_GetItemCount(list);
  for (int r = 0; r < count; ++r) {
    std::vector<std::wstring> row;
    if (picture_first) {
      LVITEMW item = {};
      item.mask = LVIF_IMAGE;
      item.iItem = r;
      SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
      row.push_back(std::to_wstring(item.iImage));
    } else {
      row.push_back(ListCellText(list, r, 0));
    }
    for (int c = 1; c < columns; ++c) row.push_back(ListCellText(list, r, c));
    rows.push_back(std::move(row));
  }
  return rows;
}

// The face name of the font a window shows its text in; empty without one.
inline std::wstring FontFaceOf(HWND window) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  LOGFONTW lf = {};
  return font && GetObjectW(font, sizeof(lf), &lf) ? std::wstring(lf.lfFaceName) : std::wstring();
}

}  // namespace zt::test
