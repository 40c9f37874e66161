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

// Design units (util/dpi.h).  From the top: room, the load plot, its
// legend, room, the rate plot, the time labels, its legend.
constexpr int kScaleWidth = 60;     // the scales' labels left of the plots ("1000 KB/s")
constexpr int kTopRoom = 10;        // above each plot: half of its top label
constexpr int kRightRoom = 16;      // right of the plots: half of the last time label
constexpr int kAxisRoom = 18;       // the time labels under the rate plot
constexpr int kLegendRoom = 20;     // a legend under each plot
constexpr int kFixedRoom = 2 * kTopRoom + kAxisRoom + 2 * kLegendRoom;
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
constexpr COLORREF kGpu = RGB(40, 150, 40);
// Disk read, disk write, network received, network sent.
constexpr COLORREF kRates[] = {RGB(0, 100, 200), RGB(220, 110, 0), RGB(0, 150, 130), RGB(170, 50, 160)};
constexpr HistoryGraph::Figure kRateFigures[] = {
    [](const HistoryRecord& r) { return r.more.disk_read; }, [](const HistoryRecord& r) { return r.more.disk_write; },
    [](const HistoryRecord& r) { return r.more.net_received; }, [](const HistoryRecord& r) { return r.more.net_sent; }};
constexpr TextId kRateLegend[] = {TextId::HistoryLegendDiskRead, TextId::HistoryLegendDiskWrite,
                                  TextId::HistoryLegendNetReceived, TextId::HistoryLegendNetSent};
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

// The points go to the system in calls of a bounded size: the drawing code
// (Wine's among others) takes a copy of each call's points, and calls that
// grew with the hour would leave its heap to grow with them.
constexpr size_t kPointsPerCall = 128;

// One line through a run's points, emptied after; a run of one record is a
// dot a pixel wide.  Each call starts where the last one ended.
void DrawRun(HDC dc, std::vector<POINT>* points) {
  if (points->size() == 1) points->push_back(POINT{points->front().x + 1, points->front().y});
  for (size_t start = 0; start + 1 < points->size(); start += kPointsPerCall - 1) {
    const size_t count = std::min(kPointsPerCall, points->size() - start);
    Polyline(dc, points->data() + start, static_cast<int>(count));
  }
  points->clear();
}

// The band between a run's upper and lower points, in pieces that share
// their edges (drawn in the band's own colour, so no seam shows); a run of
// one record is its stroke.  `piece` is the pieces' buffer.
void DrawBand(HDC dc, const std::vector<POINT>& upper, const std::vector<POINT>& lower, std::vector<POINT>* piece) {
  if (upper.size() == 1) {
    const POINT stroke[2] = {upper[0], lower[0]};
    Polyline(dc, stroke, 2);
    return;
  }
  const size_t n = upper.size();
  for (size_t start = 0; start + 1 < n; start += kPointsPerCall / 2 - 1) {
    const size_t end = std::min(n, start + kPointsPerCall / 2);
    piece->assign(upper.begin() + static_cast<std::ptrdiff_t>(start), upper.begin() + static_cast<std::ptrdiff_t>(end));
    piece->insert(piece->end(), lower.rbegin() + static_cast<std::ptrdiff_t>(n - end),
                  lower.rbegin() + static_cast<std::ptrdiff_t>(n - start));
    Polygon(dc, piece->data(), static_cast<int>(piece->size()));
  }
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
  gpu_pen_.reset(CreatePen(PS_SOLID, Scale(kMeanLine), kGpu));
  for (size_t i = 0; i < std::size(rate_pens_); ++i)
    rate_pens_[i].reset(CreatePen(PS_SOLID, Scale(kMeanLine), kRates[i]));
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

HistoryGraph::Plots HistoryGraph::Layout(const RECT& client) const {
  // The plots share what the rooms leave, the load's the larger half.
  const int both = std::max(2, static_cast<int>(client.bottom) - Scale(kFixedRoom));
  Plots plots;
  plots.load.left = plots.rates.left = Scale(kScaleWidth);
  plots.load.right = plots.rates.right =
      std::max(plots.load.left + 1, static_cast<int>(client.right) - Scale(kRightRoom));
  plots.load.top = Scale(kTopRoom);
  plots.load.bottom = plots.load.top + (both + 1) / 2 - 1;
  plots.rates.top = plots.load.bottom + 1 + Scale(kLegendRoom + kTopRoom);
  plots.rates.bottom = plots.rates.top + both / 2 - 1;
  return plots;
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
      // Over either plot: they share their columns.
      const int at = RecordAtX(view_->records, GET_X_LPARAM(lparam), view_->scale, Layout(client).load);
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
  const Plots plots = Layout(client);
  const bool any = view_ && !view_->records.empty();
  const double largest = any ? LargestRate(view_->records, view_->scale) : NAN;
  const RateAxis axis = RateAxisFor(largest);
  DrawPercentScale(dc, plots.load);
  DrawRateScale(dc, plots.rates, axis);
  if (!any) {
    DrawNote(dc, plots.load, TextId::HistoryNoRecords);
  } else {
    DrawTimeAxis(dc, plots);
    DrawRecords(dc, plots, axis);
    if (std::isnan(largest)) DrawNote(dc, plots.rates, TextId::HistoryNoRates);
  }
  const LegendEntry load[] = {{TextId::HistoryLegendBand, nullptr},
                              {TextId::HistoryLegendMean, mean_pen_.get()},
                              {TextId::HistoryLegendMemory, memory_pen_.get()},
                              {TextId::HistoryLegendGpu, gpu_pen_.get()}};
  DrawLegend(dc, plots.load.bottom + 1, load, std::size(load));
  LegendEntry rates[std::size(kRateLegend)];
  for (size_t i = 0; i < std::size(rates); ++i) rates[i] = {kRateLegend[i], rate_pens_[i].get()};
  DrawLegend(dc, plots.rates.bottom + 1 + Scale(kAxisRoom), rates, std::size(rates));
  if (GetFocus() == hwnd_ && !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus = client;
    InflateRect(&focus, -Scale(kLine), -Scale(kLine));
    SetTextColor(dc, kText);
    DrawFocusRect(dc, &focus);
  }
}

void HistoryGraph::DrawGridLine(HDC dc, const PlotArea& plot, int y, const std::string& label) {
  const int label_height = Scale(kAxisRoom);
  MoveToEx(dc, plot.left, y, nullptr);
  LineTo(dc, plot.right + 1, y);
  const RECT box = {0, y - label_height / 2, plot.left - Scale(kLabelGap), y + label_height / 2};
  TextAt(dc, Widen(label), box, DT_RIGHT);
}

void HistoryGraph::DrawPercentScale(HDC dc, const PlotArea& plot) {
  // A line and a label every quarter.
  SelectedObject keep_pen(dc, grid_pen_.get());
  for (int percent = 0; percent <= 100; percent += 25)
    DrawGridLine(dc, plot, PercentToY(percent, plot), std::to_string(percent) + " %");
}

void HistoryGraph::DrawRateScale(HDC dc, const PlotArea& plot, const RateAxis& axis) {
  SelectedObject keep_pen(dc, grid_pen_.get());
  for (int k = 0; k <= axis.steps; ++k)
    DrawGridLine(dc, plot, ValueToY(k, axis.steps, plot), RateAxisLabel(axis, k, CurrentLanguage()));
}

void HistoryGraph::DrawTimeAxis(HDC dc, const Plots& plots) {
  // Ticks at whole times, a grid line each through both plots, the labels
  // under the lower one.
  const int64_t end = view_->records.back().time;
  const int label_height = Scale(kAxisRoom), half = Scale(kRightRoom) * 2;
  const int ticks_end = plots.rates.bottom + Scale(kTickLength);
  SelectedObject keep_pen(dc, grid_pen_.get());
  for (const TimeTick& tick : TimeTicks(end, view_->scale, plots.rates)) {
    MoveToEx(dc, tick.x, plots.load.top, nullptr);
    LineTo(dc, tick.x, plots.load.bottom + 1);
    MoveToEx(dc, tick.x, plots.rates.top, nullptr);
    LineTo(dc, tick.x, ticks_end);
    TextAt(dc, Widen(tick.label), RECT{tick.x - half, ticks_end, tick.x + half, ticks_end + label_height}, DT_CENTER);
  }
}

void HistoryGraph::PlaceRecords(const PlotArea& plot) {
  const std::vector<HistoryRecord>& records = view_->records;
  if (x_.capacity() < kMostRecords) {
    x_.reserve(kMostRecords);
    upper_.reserve(kMostRecords);
    lower_.reserve(kMostRecords);
    piece_.reserve(kPointsPerCall);
    line_.reserve(kMostRecords);
  }
  const int64_t end = records.back().time;
  x_.clear();
  for (const HistoryRecord& r : records) x_.push_back(TimeToX(r.time, end, view_->scale, plot));
}

void HistoryGraph::DrawRecords(HDC dc, const Plots& plots, const RateAxis& axis) {
  PlaceRecords(plots.load);
  // Each plot clipped to itself: a band's or a line's edge never spills
  // over the scale.
  const auto clip_to = [&](const PlotArea& plot) {
    UniqueRegion clip(
        CreateRectRgn(plot.left, plot.top - Scale(kMeanLine), plot.right + 1, plot.bottom + Scale(kMeanLine) + 1));
    SelectClipRgn(dc, clip.get());
  };
  clip_to(plots.load);
  DrawLoad(dc, plots.load);
  DrawLine(dc, plots.load, memory_pen_.get(), 100.0, [](const HistoryRecord& r) { return r.memory_percent; });
  DrawLine(dc, plots.load, gpu_pen_.get(), 100.0, [](const HistoryRecord& r) { return r.more.gpu_load; });
  DrawMarker(dc, plots.load);
  clip_to(plots.rates);
  DrawRates(dc, plots.rates, axis);
  DrawMarker(dc, plots.rates);
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
        {
          SelectedObject keep_pen(dc, band_pen_.get());
          SelectedObject keep_brush(dc, band_brush_.get());
          DrawBand(dc, upper_, lower_, &piece_);
        }
        SelectedObject keep_pen(dc, mean_pen_.get());
        DrawRun(dc, &line_);
        upper_.clear();
        lower_.clear();
      });
}

void HistoryGraph::DrawLine(HDC dc, const PlotArea& plot, HPEN pen, double top, Figure figure) {
  const std::vector<HistoryRecord>& records = view_->records;
  SelectedObject keep_pen(dc, pen);
  ForEachRun(
      records, view_->scale, [&](size_t i) { return OnAxis(i, plot) && !std::isnan(figure(records[i])); },
      [&](size_t i) { line_.push_back(POINT{x_[i], ValueToY(figure(records[i]), top, plot)}); },
      [&] { DrawRun(dc, &line_); });
}

void HistoryGraph::DrawRates(HDC dc, const PlotArea& plot, const RateAxis& axis) {
  for (size_t i = 0; i < std::size(kRateFigures); ++i)
    DrawLine(dc, plot, rate_pens_[i].get(), axis.TopKb(), kRateFigures[i]);
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

void HistoryGraph::DrawNote(HDC dc, const PlotArea& plot, TextId text) {
  TextAt(dc, Widen(Text(text)), RECT{plot.left, plot.top, plot.right, plot.bottom}, DT_CENTER);
}

void HistoryGraph::DrawLegend(HDC dc, int top, const LegendEntry* entries, size_t count) {
  const int middle = top + Scale(kLegendRoom) / 2;
  int x = Scale(kScaleWidth);
  for (size_t i = 0; i < count; ++i) {
    if (!entries[i].pen) {
      RECT swatch = {x, middle - Scale(kSwatchHeight) / 2, x + Scale(kSwatchWidth),
                     middle - Scale(kSwatchHeight) / 2 + Scale(kSwatchHeight)};
      FillRect(dc, &swatch, band_brush_.get());
    } else {
      SelectedObject keep_pen(dc, entries[i].pen);
      MoveToEx(dc, x, middle, nullptr);
      LineTo(dc, x + Scale(kSwatchWidth), middle);
    }
    x += Scale(kSwatchWidth) + Scale(kLabelGap);
    const std::wstring text = Widen(Text(entries[i].text));
    RECT extent = {};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    TextAt(dc, text, RECT{x, top, x + extent.right, top + Scale(kLegendRoom)}, DT_LEFT);
    x += extent.right + Scale(kLegendGap);
  }
}

}  // namespace zt
