// The one way to a control's text: every text goes in and comes back out
// through these, which ask the control how long its text is rather than
// guessing a buffer; and the one way to tell a control's class.  Windows
// only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace zt {

// The window text of a control, whole.
std::wstring ControlText(HWND control);
// Sets it only when it differs (no flicker, no needless repaint).
void SetControlText(HWND control, const std::wstring& text);

// A tab control's caption of the tab at `index` ("" when there is none).
std::wstring TabCaption(HWND tabs, int index);
void SetTabCaption(HWND tabs, int index, const std::wstring& text);
// A tab with `text` after the last one.
void AddTab(HWND tabs, const std::wstring& text);

// A tree view item's text, whole.
std::wstring TreeItemText(HWND tree, HTREEITEM item);
void SetTreeItemText(HWND tree, HTREEITEM item, const std::wstring& text);

// A report-view list's cell, whole.
std::wstring ListCellText(HWND list, int row, int column);

// A combo box's list item, whole.
std::wstring ComboItemText(HWND combo, int index);

// Whether the window is of the class `name` (WC_BUTTONW, ...; the case does
// not matter, as to the system).
bool IsOfClass(HWND window, const wchar_t* name);

}  // namespace zt
