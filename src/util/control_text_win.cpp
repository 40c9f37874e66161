#include "util/control_text_win.h"

#include <commctrl.h>

namespace zt {

std::wstring ControlText(HWND control) {
  const int n = GetWindowTextLengthW(control);
  if (n <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(control, text.data(), n + 1);
  text.resize(static_cast<size_t>(got > 0 && got <= n ? got : 0));
  return text;
}

void SetControlText(HWND control, const std::wstring& text) {
  if (ControlText(control) != text) SetWindowTextW(control, text.c_str());
}

namespace {

// Items that do not tell their text's length are asked with a larger buffer
// until the answer leaves room to spare.  `ask` fills the buffer it is
// given, of `size` characters, and answers the text (the control may answer
// with its own buffer instead), or null when there is no such item.
template <typename Ask>
std::wstring AskWithRoomToSpare(int first_size, Ask ask) {
  for (int size = first_size; size <= 65536; size *= 4) {
    std::wstring buffer(static_cast<size_t>(size), L'\0');
    const wchar_t* answer = ask(buffer.data(), size);
    if (!answer) return {};
    const std::wstring text = answer;
    if (static_cast<int>(text.size()) < size - 1) return text;
  }
  return {};
}

}  // namespace

std::wstring TabCaption(HWND tabs, int index) {
  return AskWithRoomToSpare(64, [&](wchar_t* buffer, int size) -> const wchar_t* {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = size;
    if (!SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return nullptr;
    return item.pszText ? item.pszText : L"";
  });
}

void SetTabCaption(HWND tabs, int index, const std::wstring& text) {
  if (TabCaption(tabs, index) == text) return;
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tabs, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void AddTab(HWND tabs, const std::wstring& text) {
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tabs, TCM_INSERTITEMW, SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
}

std::wstring TreeItemText(HWND tree, HTREEITEM node) {
  return AskWithRoomToSpare(256, [&](wchar_t* buffer, int size) -> const wchar_t* {
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = size;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return item.pszText ? item.pszText : L"";
  });
}

void SetTreeItemText(HWND tree, HTREEITEM node, const std::wstring& text) {
  if (TreeItemText(tree, node) == text) return;
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListCellText(HWND list, int row, int column) {
  return AskWithRoomToSpare(256, [&](wchar_t* buffer, int size) -> const wchar_t* {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = size;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
  });
}

std::wstring ComboItemText(HWND combo, int index) {
  const LRESULT n = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got > 0 && got <= n ? got : 0));
  return text;
}

bool IsOfClass(HWND window, const wchar_t* name) {
  wchar_t actual[257] = {};  // the longest a class name may be, and its end
  return GetClassNameW(window, actual, 257) > 0 && lstrcmpiW(actual, name) == 0;
}

}  // namespace zt
