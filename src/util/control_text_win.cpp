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

std::wstring TabCaption(HWND tabs, int index) {
  // A tab has no message that tells its text's length: ask with a larger
  // buffer until the answer leaves room to spare.
  for (int size = 64; size <= 65536; size *= 4) {
    std::wstring buffer(static_cast<size_t>(size), L'\0');
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = buffer.data();
    item.cchTextMax = size;
    if (!SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
    // The control may answer with its own buffer instead of filling ours.
    const std::wstring text = item.pszText ? item.pszText : L"";
    if (static_cast<int>(text.size()) < size - 1) return text;
  }
  return {};
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
  // As with tabs, the length is learnt by asking with room to spare.
  for (int size = 256; size <= 65536; size *= 4) {
    std::wstring buffer(static_cast<size_t>(size), L'\0');
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = buffer.data();
    item.cchTextMax = size;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {};
    const std::wstring text = item.pszText ? item.pszText : L"";
    if (static_cast<int>(text.size()) < size - 1) return text;
  }
  return {};
}

void SetTreeItemText(HWND tree, HTREEITEM node, const std::wstring& text) {
  if (TreeItemText(tree, node) == text) return;
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::wstring ComboItemText(HWND combo, int index) {
  const LRESULT n = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got > 0 && got <= n ? got : 0));
  return text;
}

}  // namespace zt
