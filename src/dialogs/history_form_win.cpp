#include "dialogs/history_form_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "dialogs/save_file_dialog_win.h"
#include "sampling/history_text.h"
#include "util/accessible_win.h"
#include "util/clipboard_win.h"
#include "util/file_write.h"
#include "util/message_box_win.h"
#include "util/platform.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

// Layout in design units (util/dpi.h).  The window may be sized: the graph
// takes what the controls along the foot leave.
constexpr int kClientWidth = 700;
constexpr int kClientHeight = 440;
constexpr int kMinClientWidth = 460;
constexpr int kMinClientHeight = 360;
constexpr int kMargin = 8;
constexpr int kSaveWidth = 90, kSaveHeight = 25;
constexpr int kGap = 6;
constexpr int kLineHeight = 14;
constexpr int kStatusHeight = 2 * kLineHeight;
constexpr int kReadoutHeight = 3 * kLineHeight;
constexpr int kPageBorder = 4;  // around the graph and the readout inside the tabs

constexpr TextId kViewCaptions[] = {TextId::HistoryLastHour, TextId::HistoryLastDay};

void Place(HWND child, int x, int y, int w, int h) {
  SetWindowPos(child, nullptr, x, y, std::max(0, w), std::max(0, h), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TForm_History::TForm_History(const History& history, std::function<std::string(Language)> status)
    : history_(history), status_(std::move(status)), graph_([this](int index) { SelectRecord(index); }) {}

TForm_History::~TForm_History() = default;

bool TForm_History::Create(HINSTANCE instance, HWND main_window) {
  FormOptions options;
  options.class_name = kHistoryFormClass;
  options.caption_text = TextId::HistoryCaption;
  options.client_width = kClientWidth;
  options.client_height = kClientHeight;
  options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                  WS_CLIPCHILDREN;
  options.ex_style = WS_EX_CONTROLPARENT;
  options.min_client_width = kMinClientWidth;
  options.min_client_height = kMinClientHeight;
  MakeOrdinaryWindow(options, main_window);
  options.charset_follows_language = true;
  return TForm::Create(instance, options);
}

void TForm_History::FormCreate() {
  // Everything is placed by LayoutHistory, from the client area's size.
  tabs_ = AddControl(WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 0, 0, kIdHistoryTabs);
  for (TextId caption : kViewCaptions) AddTab(tabs_, Widen(Text(caption)));
  // Both views share one page: the graph and the readout show whichever
  // view the tabs choose.
  page_ = AddTabPage(tabs_);
  ShowWindow(page_, SW_SHOW);
  graph_.Create(instance(), page_, kIdHistoryGraph);
  // A line too long for the window is cut at its edge rather than wrapped,
  // which would push the lines under it out of the label.
  readout_ = AddLabel(L"", 0, 0, 0, 0, page_, kIdHistoryReadout, SS_LEFTNOWORDWRAP);
  status_line_ = AddLabel(L"", 0, 0, 0, 0, nullptr, kIdHistoryStatus);
  save_ = AddButton(TextId::HistorySave, 0, 0, 0, 0, kIdHistorySave);
  FormRetext();
}

void TForm_History::FormLayout(int) {
  graph_.SetDpi(dpi(), font());
  LayoutHistory();
}

void TForm_History::LayoutHistory() {
  if (!save_) return;
  RECT client;
  GetClientRect(hwnd(), &client);
  const int cw = client.right, ch = client.bottom;
  const int margin = TForm::Scale(kMargin);
  const int save_top = ch - margin - TForm::Scale(kSaveHeight);
  Place(save_, cw - margin - TForm::Scale(kSaveWidth), save_top, TForm::Scale(kSaveWidth), TForm::Scale(kSaveHeight));
  Place(status_line_, margin, ch - margin - TForm::Scale(kStatusHeight),
        cw - 2 * margin - TForm::Scale(kSaveWidth) - TForm::Scale(kGap), TForm::Scale(kStatusHeight));
  Place(tabs_, margin, margin, cw - 2 * margin, save_top - TForm::Scale(kGap) - margin);
  PlaceTabPages();
  RECT page;
  GetClientRect(page_, &page);
  const int border = TForm::Scale(kPageBorder);
  const int readout_height = TForm::Scale(kReadoutHeight);
  Place(graph_.hwnd(), border, border, page.right - 2 * border, page.bottom - 3 * border - readout_height);
  Place(readout_, 2 * border, page.bottom - border - readout_height, page.right - 4 * border, readout_height);
}

HistoryScale TForm_History::ViewScale() const {
  return TabCtrl_GetCurSel(tabs_) == 1 ? HistoryScale::kMinutes : HistoryScale::kSeconds;
}

void TForm_History::RefreshView() {
  // Read into the same view every second: its buffer is made once.
  history_.Snapshot(ViewScale(), &view_);
  selected_ = selected_ >= 0 ? FindRecord(view_.records, selected_time_) : -1;
  graph_.Show(&view_, selected_);
  ShowReadout();
  ShowStatus();
}

void TForm_History::SelectRecord(int index) {
  selected_ = index >= 0 && static_cast<size_t>(index) < view_.records.size() ? index : -1;
  if (selected_ >= 0) selected_time_ = view_.records[static_cast<size_t>(selected_)].time;
  graph_.Show(&view_, selected_);
  ShowReadout();
  // A screen reader on the graph reads the record it moved to.
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, graph_.hwnd(), OBJID_CLIENT, CHILDID_SELF);
}

void TForm_History::ShowReadout() {
  const HistoryRecord* record = selected_ >= 0 ? &view_.records[static_cast<size_t>(selected_)] : nullptr;
  SetControlText(readout_, Widen(HistoryReadoutText(record, CurrentLanguage())));
}

void TForm_History::ShowStatus() {
  const std::string status = status_ ? status_(CurrentLanguage()) : std::string();
  SetControlText(status_line_, Widen(status));
  ShowWindow(status_line_, status.empty() ? SW_HIDE : SW_SHOWNA);
}

void TForm_History::TabsChange() {
  // Another view: its own records, none selected.
  selected_ = -1;
  RefreshView();
}

void TForm_History::SwitchView(int step) {
  const int count = TabCtrl_GetItemCount(tabs_);
  if (count <= 0) return;
  TabCtrl_SetCurSel(tabs_, (TabCtrl_GetCurSel(tabs_) + step + count) % count);
  TabsChange();
}

void TForm_History::CopyRecords() {
  RefreshView();
  CopyTextToClipboard(hwnd(), Widen(HistoryClipboardText(view_, CurrentLanguage())));
}

void TForm_History::Button_SaveClick() {
  const int64_t now = static_cast<int64_t>(std::floor(NowAsDateTime() * 86400.0 + 0.5));
  const std::optional<std::wstring> path =
      Seam<ISaveFileDialog>::Get().AskFile(hwnd(), Widen(HistorySaveName(now)), SavedFileKind::Csv);
  if (!path) return;
  // What is written is the view as it stands once the name is chosen.
  RefreshView();
  std::string reason;
  if (WriteFileAtomically(Narrow(*path), HistoryCsv(view_, CurrentLanguage()), &reason)) return;
  ShowMessageBox(hwnd(), BoxKind::Error, Format(TextId::HistorySaveFailed, {Narrow(*path), reason}), BoxButtons::Ok);
}

void TForm_History::FormShow() {
  RefreshView();
  SetTimer(hwnd(), kTimerRefresh, kTimerIntervalMs, nullptr);
}

void TForm_History::FormHide() { KillTimer(hwnd(), kTimerRefresh); }

void TForm_History::FormRetext() {
  for (int i = 0; i < 2; ++i) SetTabCaption(tabs_, i, Widen(Text(kViewCaptions[i])));
  ShowReadout();
  ShowStatus();
  // The page is read as the view it shows, the graph with the record
  // selected.
  AccessibleOverride tabs;
  tabs.name = [this] { return TabCaption(tabs_, TabCtrl_GetCurSel(tabs_)); };
  SetAccessibleOverride(tabs_, std::move(tabs));
  AccessibleOverride graph;
  graph.name = [this] { return Widen(Text(TextId::HistoryGraph)) + L": " + ControlText(readout_); };
  SetAccessibleOverride(graph_.hwnd(), std::move(graph));
  InvalidateRect(graph_.hwnd(), nullptr, FALSE);
}

bool TForm_History::FormKeyPreview(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0) {
    if (msg.wParam == VK_TAB) {
      SwitchView(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
      return true;
    }
    if (msg.wParam == 'C' || msg.wParam == VK_INSERT) {
      CopyRecords();
      return true;
    }
  }
  return TForm::FormKeyPreview(msg);
}

LRESULT TForm_History::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_SIZE:
      // Minimized, nothing is read; back, it reads at once.
      if (wparam == SIZE_MINIMIZED) {
        minimized_ = true;
        KillTimer(hwnd(), kTimerRefresh);
        return 0;
      }
      if (minimized_ && visible()) FormShow();
      minimized_ = false;
      LayoutHistory();
      return 0;
    case WM_TIMER:
      if (wparam == kTimerRefresh) RefreshView();
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) TabsChange();
      return 0;
    }
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lparam) == save_ && HIWORD(wparam) == BN_CLICKED) Button_SaveClick();
      return 0;
    default: return Default(msg, wparam, lparam);
  }
}

}  // namespace zt
