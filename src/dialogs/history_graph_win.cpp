#include "dialogs/history_graph_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "dialogs/form_win.h"
#include "util/dpi.h"
#include "util/unicode_win.h"
#include "util/window_proc_win.h"

namespace zt {
namespace {

// Design units (util/dpi.h).
constexpr int kScaleWidth = 40;     // the per-cent labels left of the plot
constexpr int kTopRoom = 10;        // above the plot: half of the "100 %" label
constexpr int kRightRoom = 16;      // right of the plot: half of the last time label
constexpr int kAxisRoom = 18;       // the time labels under the plot
constexpr int kLegendRoom = 20;     // the legend under them
constexpr int kTickLength = 4;
constexpr int kLabelGap = 4;
constexpr int kLine = 1;            // every line's width
constexpr int kMeanLine = 2;        // the mean stands out of its band
constexpr int kSwatchWidth = 18, kSwatchHeight = 8, kLegendGap = 14;

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kGrid = RGB(218, 218, 218);
constexpr COLORREF kBand = RGB(176, 204, 240);
constexpr COLORREF kMean = RGB(0, 70, 170);
constexpr COLORREF kMemory = RGB(200, 90, 0);
constexpr COLORREF kMarker = RGB(70, 70, 70);

void TextAt(HDC dc, const std::wstring& text, RECT box, UINT align) {
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, align | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
}

// A full view: the hour's records and the open one.
constexpr size_t kMostRecords = std::max(History::kSeconds, History::kMinutes) + 1;

// Walks the runs of joined records that `has` a point: `add` for each
// record of a run, then `finish` once for the run.
template <typename Has, typename Add, typename Finish>
void ForEachRun(const std::vector<HistoryRecord>& records, HistoryScale scale, Has has, Add add, Finish finish) {
  bool open = false;
  for (size_t i = 0; i < records.size(); ++i) {
    if (!has(i)) continue;
    if (open && !(has(i - 1) && JoinsPrevious(records, i, scale))) finish();
    add(i);
    open = true;
  }
  if (open) finish();
}

// One line through a run's points, emptied after; a run of one record is a
// dot a pixel wide.
void DrawRun(HDC dc, std::vector<POINT>* points) {
  if (points->size() == 1) points->push_back(POINT{points->front().x + 1, points->front().y});
  if (!points->empty()) Polyline(dc, points->data(), static_cast<int>(points->size()));
  points->clear();
}

}  // namespace

HistoryGraph::~HistoryGraph() {
  if (hwnd_) {
    HWND window = hwnd_;
    UnbindWindow(window);
    hwnd_ = nullptr;
    DestroyWindow(window);
  }
}

bool HistoryGraph::Create(HINSTANCE instance, HWND parent, int id) {
  RegisterWindowClassOnce(instance, kHistoryGraphClass,
                          ObjectWindowProc<HistoryGraph, &HistoryGraph::hwnd_, &HistoryGraph::Handle>, nullptr);
  CreateWindowExW(0, kHistoryGraphClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  return hwnd_ != nullptr;
}

int HistoryGraph::Scale(int design) const { return ScaleToDpi(design, dpi_); }

void HistoryGraph::SetDpi(int dpi, HFONT font) {
  dpi_ = dpi;
  font_ = font;
  grid_pen_.reset(CreatePen(PS_SOLID, Scale(kLine), kGrid));
  band_pen_.reset(CreatePen(PS_SOLID, Scale(kLine), kBand));
  mean_pen_.reset(CreatePen(PS_SOLID, Scale(kMeanLine), kMean));
  memory_pen_.reset(CreatePen(PS_SOLID, Scale(kMeanLine), kMemory));
  marker_pen_.reset(CreatePen(PS_SOLID, Scale(kLine), kMarker));
  band_brush_.reset(CreateSolidBrush(kBand));
  background_brush_.reset(CreateSolidBrush(kBackground));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void HistoryGraph::Show(const HistoryView* view, int selected) {
  view_ = view;
  marked_ = selected;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

PlotArea HistoryGraph::Plot(const RECT& client) const {
  PlotArea plot;
  plot.left = Scale(kScaleWidth);
  plot.top = Scale(kTopRoom);
  plot.right = std::max(plot.left + 1, static_cast<int>(client.right) - Scale(kRightRoom));
  plot.bottom = std::max(plot.top + 1, static_cast<int>(client.bottom) - Scale(kAxisRoom + kLegendRoom));
  return plot;
}

LRESULT HistoryGraph::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;  // the painting covers every pixel
    case WM_SIZE: InvalidateRect(hwnd_, nullptr, FALSE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd_, nullptr, FALSE); return 0;
    case WM_UPDATEUISTATE: InvalidateRect(hwnd_, nullptr, FALSE); break;
    case WM_LBUTTONDOWN: SetFocus(hwnd_); return 0;
    case WM_KEYDOWN: KeyDown(wparam); return 0;
    case WM_MOUSEMOVE: {
      if (!view_) return 0;
      RECT client;
      GetClientRect(hwnd_, &client);
      const int at = RecordAtX(view_->records, GET_X_LPARAM(lparam), view_->scale, Plot(client));
      if (at >= 0 && at != marked_) selected_(at);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

void HistoryGraph::KeyDown(WPARAM key) {
  if (!view_) return;
  HistoryKey step;
  switch (key) {
    case VK_LEFT: step = HistoryKey::Left; break;
    case VK_RIGHT: step = HistoryKey::Right; break;
    case VK_HOME: step = HistoryKey::Home; break;
    case VK_END: step = HistoryKey::End; break;
    default: return;
  }
  const int at = RecordAfterKey(marked_, view_->records.size(), step);
  if (at >= 0) selected_(at);
}

void HistoryGraph::Paint() {
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right > 0 && client.bottom > 0) {
    if (!buffer_ || buffer_size_.cx != client.right || buffer_size_.cy != client.bottom) {
      buffer_.reset(CreateCompatibleBitmap(screen, client.right, client.bottom));
      buffer_size_ = {client.right, client.bottom};
    }
    UniqueMemoryDc memory(CreateCompatibleDC(screen));
    if (buffer_ && memory) {
      SelectedObject keep_bitmap(memory.get(), buffer_.get());
      Draw(memory.get(), client);
      BitBlt(screen, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(hwnd_, &ps);
}

void HistoryGraph::Draw(HDC dc, const RECT& client) {
  FillRect(dc, &client, background_brush_.get());
  SelectedObject keep_font(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kText);
  const PlotArea plot = Plot(client);
  const int label_height = Scale(kAxisRoom);

  // The per-cent scale: a line and a label every quarter.
  {
    SelectedObject keep_pen(dc, grid_pen_.get());
    for (int percent = 0; percent <= 100; percent += 25) {
      const int y = PercentToY(percent, plot);
      MoveToEx(dc, plot.left, y, nullptr);
      LineTo(dc, plot.right + 1, y);
      const RECT label = {0, y - label_height / 2, plot.left - Scale(kLabelGap), y + label_height / 2};
      TextAt(dc, std::to_wstring(percent) + L" %", label, DT_RIGHT);
    }
  }
  const bool any = view_ && !view_->records.empty();
  if (!any) {
    TextAt(dc, Widen(Text(TextId::HistoryNoRecords)), RECT{plot.left, plot.top, plot.right, plot.bottom}, DT_CENTER);
  } else {
    // The time axis: ticks and labels at whole times, a grid line each.
    const int64_t end = view_->records.back().time;
    SelectedObject keep_pen(dc, grid_pen_.get());
    for (const TimeTick& tick : TimeTicks(end, view_->scale, plot)) {
      MoveToEx(dc, tick.x, plot.top, nullptr);
      LineTo(dc, tick.x, plot.bottom + Scale(kTickLength));
      const int half = Scale(kRightRoom) * 2;
      TextAt(dc, Widen(tick.label), RECT{tick.x - half, plot.bottom + Scale(kTickLength), tick.x + half,
                                          plot.bottom + Scale(kTickLength) + label_height},
             DT_CENTER);
    }
    DrawRecords(dc, plot);
  }
  DrawLegend(dc, client);
  if (GetFocus() == hwnd_ && !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus = client;
    InflateRect(&focus, -Scale(kLine), -Scale(kLine));
    SetTextColor(dc, kText);
    DrawFocusRect(dc, &focus);
  }
}

void HistoryGraph::DrawRecords(HDC dc, const PlotArea& plot) {
  const std::vector<HistoryRecord>& records = view_->records;
  if (x_.capacity() < kMostRecords) {
    x_.reserve(kMostRecords);
    upper_.reserve(2 * kMostRecords);  // a band: its upper edge, then the lower one back
    lower_.reserve(kMostRecords);
    line_.reserve(kMostRecords);
  }
  const int64_t end = records.back().time;
  x_.clear();
  for (const HistoryRecord& r : records) x_.push_back(TimeToX(r.time, end, view_->scale, plot));
  // Clipped to the plot: a band's edge never spills over the scale.
  UniqueRegion clip(
      CreateRectRgn(plot.left, plot.top - Scale(kMeanLine), plot.right + 1, plot.bottom + Scale(kMeanLine) + 1));
  SelectClipRgn(dc, clip.get());
  DrawLoad(dc, plot);
  DrawMemory(dc, plot);
  DrawMarker(dc, plot);
  SelectClipRgn(dc, nullptr);
}

void HistoryGraph::DrawLoad(HDC dc, const PlotArea& plot) {
  const std::vector<HistoryRecord>& records = view_->records;
  // Each run is one band, from the maximum to the minimum, and one mean line.
  ForEachRun(
      records, view_->scale,
      [&](size_t i) { return OnAxis(i, plot) && !std::isnan(records[i].load_mean); },
      [&](size_t i) {
        upper_.push_back(POINT{x_[i], PercentToY(records[i].load_max, plot)});
        lower_.push_back(POINT{x_[i], PercentToY(records[i].load_min, plot)});
        line_.push_back(POINT{x_[i], PercentToY(records[i].load_mean, plot)});
      },
      [&] {
        upper_.insert(upper_.end(), lower_.rbegin(), lower_.rend());
        {
          SelectedObject keep_pen(dc, band_pen_.get());
          SelectedObject keep_brush(dc, band_brush_.get());
          // A run of one record is a band of two points: its stroke.
          if (upper_.size() >= 4) Polygon(dc, upper_.data(), static_cast<int>(upper_.size()));
          else Polyline(dc, upper_.data(), static_cast<int>(upper_.size()));
        }
        SelectedObject keep_pen(dc, mean_pen_.get());
        DrawRun(dc, &line_);
        upper_.clear();
        lower_.clear();
      });
}

void HistoryGraph::DrawMemory(HDC dc, const PlotArea& plot) {
  const std::vector<HistoryRecord>& records = view_->records;
  SelectedObject keep_pen(dc, memory_pen_.get());
  ForEachRun(
      records, view_->scale,
      [&](size_t i) { return OnAxis(i, plot) && !std::isnan(records[i].memory_percent); },
      [&](size_t i) { line_.push_back(POINT{x_[i], PercentToY(records[i].memory_percent, plot)}); },
      [&] { DrawRun(dc, &line_); });
}

void HistoryGraph::DrawMarker(HDC dc, const PlotArea& plot) {
  if (marked_ < 0 || static_cast<size_t>(marked_) >= view_->records.size() ||
      !OnAxis(static_cast<size_t>(marked_), plot))
    return;
  const int x = x_[static_cast<size_t>(marked_)];
  SelectedObject keep_marker(dc, marker_pen_.get());
  MoveToEx(dc, x, plot.top, nullptr);
  LineTo(dc, x, plot.bottom + 1);
}

void HistoryGraph::DrawLegend(HDC dc, const RECT& client) {
  const int top = client.bottom - Scale(kLegendRoom);
  const int middle = top + Scale(kLegendRoom) / 2;
  int x = Scale(kScaleWidth);
  for (TextId entry : {TextId::HistoryLegendBand, TextId::HistoryLegendMean, TextId::HistoryLegendMemory}) {
    if (entry == TextId::HistoryLegendBand) {
      RECT swatch = {x, middle - Scale(kSwatchHeight) / 2, x + Scale(kSwatchWidth),
                     middle - Scale(kSwatchHeight) / 2 + Scale(kSwatchHeight)};
      FillRect(dc, &swatch, band_brush_.get());
    } else {
      SelectedObject keep_pen(dc, entry == TextId::HistoryLegendMean ? mean_pen_.get() : memory_pen_.get());
      MoveToEx(dc, x, middle, nullptr);
      LineTo(dc, x + Scale(kSwatchWidth), middle);
    }
    x += Scale(kSwatchWidth) + Scale(kLabelGap);
    const std::wstring text = Widen(Text(entry));
    RECT extent = {};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    TextAt(dc, text, RECT{x, top, x + extent.right, top + Scale(kLegendRoom)}, DT_LEFT);
    x += extent.right + Scale(kLegendGap);
  }
}

}  // namespace zt
