#include "dialogs/statistics_form_win.h"

#include <commctrl.h>

#include "sampling/res_monitor.h"
#include "util/icons_win.h"
#include "util/platform.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

// Layout in design units (util/dpi.h): four panels of width 225 stacked from
// the top, then the reset button.
constexpr int kClientWidth = 241;
constexpr int kClientHeight = 387;
constexpr int kMargin = 8;
constexpr int kPanelWidth = 225;
constexpr int kPanelGap = 8;
constexpr int kTitleTop = 6;     // title text below the panel's top edge
constexpr int kTitleRule = 23;   // the line under the title
constexpr int kFirstRow = 30;    // first caption/value row
constexpr int kRowStep = 18;
constexpr int kRowHeight = 14;
constexpr int kPanelPadding = 8;  // below the last row
constexpr int kCaptionX = 14;    // within the panel
constexpr int kCaptionWidth = 66;
constexpr int kValueX = 82;
constexpr int kButtonHeight = 22;

constexpr int PanelHeight(int rows) { return kFirstRow + (rows - 1) * kRowStep + kRowHeight + kPanelPadding; }
static_assert(kMargin + 2 * PanelHeight(3) + 2 * PanelHeight(2) + 3 * kPanelGap + kMargin + kButtonHeight +
                      kMargin <=
                  kClientHeight,
              "the panels and the button fit the window");

// The reset button's picture (statistics_model.h) is a green circular arrow.
constexpr COLORREF kResetPictureColor = RGB(0, 110, 60);
constexpr int kPictureGap = 6;  // between the picture and the caption
constexpr int kFocusInset = 3;

// `picture` (coverage) in `color` over `background`, drawn at (x, y).
void DrawCoverage(HDC dc, int x, int y, int size, const std::vector<uint8_t>& picture, COLORREF color,
                  COLORREF background) {
  if (size <= 0 || picture.size() != static_cast<size_t>(size) * static_cast<size_t>(size)) return;
  std::vector<uint32_t> pixels(picture.size());
  auto mix = [](int from, int to, int cover) { return static_cast<uint32_t>((from * (255 - cover) + to * cover + 127) / 255); };
  for (size_t i = 0; i < picture.size(); ++i) {
    const int c = picture[i];
    pixels[i] = mix(GetRValue(background), GetRValue(color), c) << 16 | mix(GetGValue(background), GetGValue(color), c) << 8 |
                mix(GetBValue(background), GetBValue(color), c);
  }
  DrawPixels(dc, x, y, pixels, size);
}

}  // namespace

TForm_Statistics::~TForm_Statistics() {
  // The base destroys the window after this object's members are gone; a
  // window its owner already took along has taken the button with it.
  if (hwnd() && speed_button_reset_) RemoveWindowSubclass(speed_button_reset_, ResetButtonProc, 0);
}

bool TForm_Statistics::Create(HINSTANCE instance, HWND main_window) {
  FormOptions options;
  options.class_name = kStatisticsFormClass;
  options.caption_text = TextId::StatsCaption;
  options.client_width = kClientWidth;
  options.client_height = kClientHeight;
  MakeOrdinaryWindow(options, main_window);
  options.charset_follows_language = true;
  return TForm::Create(instance, options);
}

void TForm_Statistics::FormCreate() {
  using V = StatisticsValue;
  int y = kMargin;
  using T = TextId;
  cpu_usage_title_ = AddPanel(y, PanelHeight(3), T::StatsCpuUsage, {T::StatsMaximum, T::StatsAverage, T::StatsMinimum},
                              V::CpuUsageMax, kIdStatisticsCpuUsageTitle);
  y += PanelHeight(3) + kPanelGap;
  AddPanel(y, PanelHeight(3), T::StatsMemoryUsage, {T::StatsMaximum, T::StatsAverage, T::StatsMinimum},
           V::MemoryUsageMax);
  y += PanelHeight(3) + kPanelGap;
  AddPanel(y, PanelHeight(2), T::StatsCounter, {T::StatsSamples, T::StatsActualRate}, V::Samples);
  y += PanelHeight(2) + kPanelGap;
  AddPanel(y, PanelHeight(2), T::StatsTime, {T::StatsRunning, T::StatsStarted}, V::TimeRuning);

  // A flat button: no frame until the mouse is over it (drawn by
  // SpeedButton_ResetDraw, hot state kept by ResetButtonProc).
  speed_button_reset_ = Texted(AddControl(WC_BUTTONW, Widen(Text(TextId::StatsReset)), BS_OWNERDRAW, kMargin,
                                          kClientHeight - kMargin - kButtonHeight, kPanelWidth, kButtonHeight,
                                          kIdSpeedButtonReset),
                               TextId::StatsReset);
  if (speed_button_reset_)
    SetWindowSubclass(speed_button_reset_, ResetButtonProc, 0, reinterpret_cast<DWORD_PTR>(this));
  SetUpKeyboardAndNames();
}

HWND TForm_Statistics::AddPanel(int y, int height, TextId title, std::initializer_list<TextId> captions,
                                StatisticsValue first_value, int title_id) {
  panels_[panel_count_++] = RECT{kMargin, y, kMargin + kPanelWidth, y + height};  // design units
  HWND title_label = AddLabel(title, kMargin + 2, y + kTitleTop, kPanelWidth - 4, kRowHeight, nullptr, title_id,
                              SS_CENTER);
  SendMessageW(title_label, WM_SETFONT, reinterpret_cast<WPARAM>(bold_font()), FALSE);
  int value = static_cast<int>(first_value);
  int row_y = y + kFirstRow;
  for (TextId caption : captions) {
    AddLabel(caption, kMargin + kCaptionX, row_y, kCaptionWidth, kRowHeight);
    labels_[static_cast<size_t>(value)] =
        AddLabel(L"", kMargin + kValueX, row_y, kPanelWidth - kValueX - 4, kRowHeight, nullptr,
                 kIdStatisticsValue + value);
    ++value;
    row_y += kRowStep;
  }
  return title_label;
}

void TForm_Statistics::RefreshFigures() {
  const StatisticsTexts texts =
      ResMonitor ? StatisticsFigureTexts(ResMonitor->CopyStatistics(), GetTickCount64Ms(), UserFigureFormat())
                 : NoMonitorTexts();
  for (size_t i = 0; i < labels_.size(); ++i) {
    if (labels_[i]) SetControlText(labels_[i], Widen(texts.text[i]));
  }
  ShowCpuUsageTitle();
}

void TForm_Statistics::ShowCpuUsageTitle() {
  if (!cpu_usage_title_) return;
  const LoadCoverage coverage = ResMonitor ? ResMonitor->CopySample().Coverage : LoadCoverage{};
  SetControlText(cpu_usage_title_, Widen(CpuUsageTitle(coverage)));
}

void TForm_Statistics::SpeedButton_ResetClick() {
  if (!ResMonitor) return;
  SetTimerEnabled(false);
  ResMonitor->ResetStatistics();
  if (clear_graph_) clear_graph_();
  RefreshFigures();
  if (visible()) SetTimerEnabled(true);
}

void TForm_Statistics::FormShow() {
  RefreshFigures();
  SetTimerEnabled(true);
}

void TForm_Statistics::FormHide() { SetTimerEnabled(false); }

void TForm_Statistics::SetTimerEnabled(bool on) {
  if (!hwnd()) return;
  if (on) {
    SetTimer(hwnd(), kTimerRefresh, kTimerIntervalMs, nullptr);
  } else {
    KillTimer(hwnd(), kTimerRefresh);
  }
}

void TForm_Statistics::TimerTimer() { RefreshFigures(); }

LRESULT TForm_Statistics::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: FormPaint(); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return 0;  // the base gives every label the dialog face
    case WM_TIMER:
      if (wparam == kTimerRefresh) TimerTimer();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kIdSpeedButtonReset && HIWORD(wparam) == BN_CLICKED) {
        SpeedButton_ResetClick();
        return 0;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID == kIdSpeedButtonReset) {
        SpeedButton_ResetDraw(*item);
        return TRUE;
      }
      break;
    }
    default: break;
  }
  return Default(msg, wparam, lparam);
}

void TForm_Statistics::FormPaint() {
  // The panels' frames and title rules are drawn on the window itself: a
  // frame control over the rows would cover them without painting them.
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  for (size_t i = 0; i < panel_count_; ++i) {
    const RECT& design = panels_[i];
    RECT frame = {Scale(design.left), Scale(design.top), Scale(design.right), Scale(design.bottom)};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const int rule_top = Scale(design.top + kTitleRule);
    RECT rule = {Scale(design.left + 6), rule_top, Scale(design.right - 6), rule_top + 2};
    DrawEdge(dc, &rule, EDGE_ETCHED, BF_TOP);
  }
  EndPaint(hwnd(), &ps);
}

void TForm_Statistics::SpeedButton_ResetDraw(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (pressed) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  } else if (reset_hot_) {
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  }
  const std::wstring text = ControlText(item.hwndItem);
  SelectedObject keep_font(dc, font());
  // The access key's "&" takes no room: it underlines its letter, once the
  // user has shown to use the keyboard.
  const UINT prefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
  RECT extent = {};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE | prefix);
  const int shift = pressed ? Scale(1) : 0;
  const int picture_size = Scale(kResetPictureSize);
  if (reset_picture_.size() != static_cast<size_t>(picture_size) * static_cast<size_t>(picture_size))
    reset_picture_ = DrawResetPicture(picture_size);
  const int width = picture_size + Scale(kPictureGap) + static_cast<int>(extent.right - extent.left);
  const int left = r.left + (r.right - r.left - width) / 2 + shift;
  const int picture_top = r.top + (r.bottom - r.top - picture_size) / 2 + shift;
  DrawCoverage(dc, left, picture_top, picture_size, reset_picture_, kResetPictureColor, GetSysColor(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT text_rect = {left + picture_size + Scale(kPictureGap), r.top + shift, r.right, r.bottom + shift};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | prefix);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = r;
    InflateRect(&focus, -Scale(kFocusInset), -Scale(kFocusInset));
    DrawFocusRect(dc, &focus);
  }
}

LRESULT CALLBACK TForm_Statistics::ResetButtonProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                                   DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<TForm_Statistics*>(data);
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!self->reset_hot_) {
        self->reset_hot_ = true;
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      self->reset_hot_ = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    default: break;
  }
  return DefSubclassProc(hwnd, msg, wparam, lparam);
}

}  // namespace zt
