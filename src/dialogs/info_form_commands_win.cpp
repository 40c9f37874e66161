// The CPU information window's copying, saving and keys, and what screen
// readers read of its controls.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "cpuid/report.h"
#include "dialogs/copy_texts.h"
#include "dialogs/info_form_win.h"
#include "dialogs/save_file_dialog_win.h"
#include "util/accessible_win.h"
#include "util/clipboard_win.h"
#include "util/file_write.h"
#include "util/message_box_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

// The rows selected, or all when none is, every column in order.
std::vector<std::vector<std::string>> RowsToCopy(HWND list) {
  std::vector<std::vector<std::string>> rows;
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  const int count = ListView_GetItemCount(list);
  const bool all = ListView_GetSelectedCount(list) == 0;
  for (int r = 0; r < count; ++r) {
    if (!all && !(ListView_GetItemState(list, r, LVIS_SELECTED) & LVIS_SELECTED)) continue;
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c) row.push_back(Narrow(ListCellText(list, r, c)));
    rows.push_back(std::move(row));
  }
  return rows;
}

LPARAM NodeParam(HWND tree, HTREEITEM node) {
  TVITEMW item = {};
  item.mask = TVIF_PARAM;
  item.hItem = node;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

void AddMenuItem(HMENU menu, int id, TextId caption, bool enabled) {
  AppendMenuW(menu, MF_STRING | (enabled ? 0u : MF_GRAYED), static_cast<UINT_PTR>(id), Widen(Text(caption)).c_str());
}

// Where a menu asked for by `where` (WM_CONTEXTMENU) opens: at the pointer,
// or, asked for from the keyboard (Shift+F10, the menu key), below the item
// with the focus (`item`, in the control's client coordinates) or at the
// control's corner.
POINT MenuPoint(HWND control, LPARAM where, const RECT* item) {
  if (where != -1) return POINT{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  POINT at = {item ? item->left : 0, item ? item->bottom : 0};
  ClientToScreen(control, &at);
  return at;
}

}  // namespace

void TForm_Info::SetUpAccessibility() {
  // The pages are read as panes named after their tabs.
  SetControlText(TS_Features, Widen(Text(TextId::InfoTabFeatures)));
  SetControlText(TS_Explorer, Widen(Text(TextId::InfoTabExplorer)));
  AccessibleOverride tabs;
  tabs.name = [this] { return TabCaption(PageControl, TabCtrl_GetCurSel(PageControl)); };
  SetAccessibleOverride(PageControl, std::move(tabs));
  // A drop-down list would read as the item it shows; it reads as its label.
  SetAccessibleName(cbActiveSet, Widen(Text(TextId::InfoFeatureSet)));
  AccessibleOverride features;
  features.name = [this] { return ControlText(Label_AvailableFeatures); };
  SetAccessibleOverride(lvStandard, std::move(features));
  SetAccessibleName(tvNavigation, Widen(Text(TextId::InfoTree)));
  SetAccessibleName(Splitter1, Widen(Text(TextId::InfoSplitter)));
  // The property list is named after the page it shows.
  AccessibleOverride information;
  information.name = [this] {
    HTREEITEM selected = TreeView_GetSelection(tvNavigation);
    return selected ? TreeItemText(tvNavigation, selected) : Widen(Text(TextId::InfoColumnProperty));
  };
  SetAccessibleOverride(lvInformation, std::move(information));
}

bool TForm_Info::FormKeyPreview(const MSG& msg) {
  if (MenuKeyPreview(msg)) return true;
  if (msg.message == WM_KEYDOWN) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool list = msg.hwnd == lvStandard || msg.hwnd == lvInformation;
    if (ctrl && msg.wParam == VK_TAB) {
      SwitchTab(shift ? -1 : 1);
      return true;
    }
    if (!ctrl && msg.wParam == VK_F5) {
      ReadAgain();
      return true;
    }
    if (ctrl && list && (msg.wParam == 'C' || msg.wParam == VK_INSERT)) {
      CopyRows(msg.hwnd);
      return true;
    }
    if (ctrl && list && msg.wParam == 'A') {
      SelectAllRows(msg.hwnd);
      return true;
    }
    if (ctrl && msg.hwnd == tvNavigation && (msg.wParam == 'C' || msg.wParam == VK_INSERT)) {
      InfoCommand(kIdInfoCopyPage, nullptr, SelectedNodeCode());
      return true;
    }
  }
  return TForm::FormKeyPreview(msg);
}

bool TForm_Info::MenuKeyPreview(const MSG& msg) {
  // The menu key and Shift+F10 open the menu of the list or tree with the
  // focus.  Not every system's controls pass them on, so they are taken
  // here, going down and coming up, and nothing opens the menu twice.
  if (msg.message == WM_SYSKEYUP && msg.wParam == VK_F10 && menu_by_f10_) {
    menu_by_f10_ = false;
    return true;
  }
  if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam != VK_F10) menu_by_f10_ = false;
  if (msg.hwnd != lvStandard && msg.hwnd != lvInformation && msg.hwnd != tvNavigation) return false;
  const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
  const bool menu_key = msg.wParam == VK_APPS;
  const bool shift_f10 = msg.wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0;
  if (!(down || up) || !(menu_key || shift_f10)) return false;
  if (down && !(msg.lParam & (1 << 30))) {
    menu_by_f10_ = shift_f10;
    FormContextMenu(msg.hwnd, -1);
  }
  return true;
}

void TForm_Info::FormContextMenu(HWND control, LPARAM where) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  HWND list = nullptr;
  int code = -1;
  HTREEITEM node = nullptr;
  POINT at = {};
  if (control == lvStandard || control == lvInformation) {
    list = control;
    const bool rows = ListView_GetItemCount(list) > 0;
    AddMenuItem(menu.get(), kIdInfoCopyRows, TextId::InfoMenuCopy, rows);
    AddMenuItem(menu.get(), kIdInfoSelectAll, TextId::InfoMenuSelectAll, rows);
    RECT item;
    const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    const bool has_item = focused >= 0 && ListView_GetItemRect(list, focused, &item, LVIR_LABEL);
    at = MenuPoint(list, where, has_item ? &item : nullptr);
  } else if (control == tvNavigation) {
    // The node under the pointer, or from the keyboard the selected one.
    node = TreeView_GetSelection(tvNavigation);
    if (where != -1) {
      TVHITTESTINFO hit = {};
      hit.pt = POINT{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
      ScreenToClient(tvNavigation, &hit.pt);
      HTREEITEM under = TreeView_HitTest(tvNavigation, &hit);
      if (under && (hit.flags & TVHT_ONITEM)) node = under;
    }
    if (node) code = static_cast<int>(NodeParam(tvNavigation, node));
    // A grouping node has no page in the report.
    AddMenuItem(menu.get(), kIdInfoCopyPage, TextId::InfoMenuCopyPage, node && code != cpuid::kNodePlaceholder);
    AddMenuItem(menu.get(), kIdInfoCopyReport, TextId::InfoMenuCopyReport, true);
    AddMenuItem(menu.get(), kIdInfoSaveReport, TextId::InfoMenuSaveReport, true);
    RECT item;
    const bool has_item = node && TreeView_GetItemRect(tvNavigation, node, &item, TRUE);
    at = MenuPoint(tvNavigation, where, has_item ? &item : nullptr);
    // The node the menu is for stays marked while it is open.
    if (node) TreeView_SelectDropTarget(tvNavigation, node);
  } else {
    return;
  }
  constexpr UINT kMenuFlags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN;
  const int id = static_cast<int>(TrackPopupMenu(menu.get(), kMenuFlags, at.x, at.y, 0, hwnd(), nullptr));
  if (node) TreeView_SelectDropTarget(tvNavigation, nullptr);
  if (id != 0) InfoCommand(id, list, code);
}

void TForm_Info::InfoCommand(int id, HWND list, int node_code) {
  if (!list) {
    // A command from elsewhere than a list's menu: the list with the focus,
    // or the one on the tab shown.
    HWND focus = GetFocus();
    list = focus == lvStandard || focus == lvInformation ? focus
           : TabCtrl_GetCurSel(PageControl) == 0       ? lvStandard
                                                        : lvInformation;
  }
  switch (id) {
    case kIdInfoCopyRows: CopyRows(list); break;
    case kIdInfoSelectAll: SelectAllRows(list); break;
    case kIdInfoCopyPage:
      if (node_code >= 0 && node_code != cpuid::kNodePlaceholder) CopyText(node_code, false);
      break;
    case kIdInfoCopyReport: CopyText(0, true); break;
    case kIdInfoSaveReport: SaveReport(); break;
    default: break;
  }
}

void TForm_Info::CopyRows(HWND list) {
  const std::string text = TabSeparatedLines(RowsToCopy(list));
  if (!text.empty()) CopyTextToClipboard(hwnd(), Widen(text));
}

void TForm_Info::SelectAllRows(HWND list) { ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED); }

void TForm_Info::CopyText(int node_code, bool whole_report) {
  if (!reader_) return;
  // Read afresh, as every page is: the clock speed is measured anew.
  const uint64_t request = whole_report ? reader_->RequestText([] { return cpuid::BuildReport(); })
                                        : reader_->RequestText([node_code] { return PageReportText(node_code); });
  texts_asked_[request] = TextUse{};
  if (!reading_cursor_) reading_cursor_.emplace(hwnd());
}

void TForm_Info::SaveReport() {
  if (!reader_) return;
  const std::optional<std::wstring> path = Seam<ISaveFileDialog>::Get().AskFile(hwnd(), Widen(kReportFileName), SavedFileKind::Text);
  if (!path) return;
  const uint64_t request = reader_->RequestText([] { return cpuid::BuildReport(); });
  texts_asked_[request] = TextUse{true, *path};
  if (!reading_cursor_) reading_cursor_.emplace(hwnd());
}

void TForm_Info::TextFinished(const TextReading& reading) {
  const auto asked = texts_asked_.find(reading.request);
  if (asked == texts_asked_.end()) return;
  const TextUse use = asked->second;
  texts_asked_.erase(asked);
  if (!use.save) {
    if (!reading.failed && !reading.text.empty()) CopyTextToClipboard(hwnd(), Widen(reading.text));
    return;
  }
  std::string reason = Text(TextId::InfoReadFailed);
  if (!reading.failed && WriteFileAtomically(Narrow(use.path), reading.text, &reason)) return;
  ShowMessageBox(hwnd(), BoxKind::Error, SaveReportErrorText(Narrow(use.path), reason), BoxButtons::Ok);
}

void TForm_Info::ReadAgain() {
  if (!reader_) return;
  if (TabCtrl_GetCurSel(PageControl) == 0) {
    cbActiveSetChange();
    return;
  }
  const int code = SelectedNodeCode();
  if (code < 0) return;
  { TListviewUpdate clear(lvInformation, true); }
  reader_->RequestPage(code);
  if (!reading_cursor_) reading_cursor_.emplace(hwnd());
}

void TForm_Info::SwitchTab(int step) {
  const int count = TabCtrl_GetItemCount(PageControl);
  if (count <= 0) return;
  TabCtrl_SetCurSel(PageControl, (TabCtrl_GetCurSel(PageControl) + step + count) % count);
  PageControlChange();
  FocusFirstControlOf(TabCtrl_GetCurSel(PageControl) == 0 ? TS_Features : TS_Explorer);
}

int TForm_Info::SelectedNodeCode() const {
  HTREEITEM selected = TreeView_GetSelection(tvNavigation);
  return selected ? static_cast<int>(NodeParam(tvNavigation, selected)) : -1;
}

LRESULT TForm_Info::lvStandardCustomDraw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      // The first column shows the picture alone; its text (Yes, No) is
      // there for screen readers and copies.
      if (draw.iSubItem != 0) return CDRF_DODEFAULT;
      const int row = static_cast<int>(draw.nmcd.dwItemSpec);
      RECT cell = {}, icon = {};
      ListView_GetItemRect(lvStandard, row, &cell, LVIR_BOUNDS);
      ListView_GetItemRect(lvStandard, row, &icon, LVIR_ICON);
      cell.right = cell.left + ListView_GetColumnWidth(lvStandard, 0);
      const bool highlighted =
          (ListView_GetItemState(lvStandard, row, LVIS_SELECTED) & LVIS_SELECTED) && GetFocus() == lvStandard;
      FillRect(draw.nmcd.hdc, &cell, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
      LVITEMW item = {};
      item.mask = LVIF_IMAGE;
      item.iItem = row;
      SendMessageW(lvStandard, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
      const int top = icon.top + (icon.bottom - icon.top - kAvailabilityPictureSize) / 2;
      ImageList_Draw(ilAvailable.get(), item.iImage, draw.nmcd.hdc, icon.left, top, ILD_TRANSPARENT);
      return CDRF_SKIPDEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

}  // namespace zt
