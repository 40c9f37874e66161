#include "dialogs/history_graph_win.h"

#include <windowsx.h>

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
  const HistoryScale scale = view_->scale;
  const int64_t end = records.back().time;
  std::vector<int> x(records.size());
  for (size_t i = 0; i < records.size(); ++i) x[i] = TimeToX(records[i].time, end, scale, plot);
  auto on_axis = [&](size_t i) { return x[i] >= plot.left && x[i] <= plot.right; };
  auto has_load = [&](size_t i) { return on_axis(i) && !std::isnan(records[i].load_mean); };
  auto has_memory = [&](size_t i) { return on_axis(i) && !std::isnan(records[i].memory_percent); };
  // Clipped to the plot: a band's edge never spills over the scale.
  UniqueRegion clip(
      CreateRectRgn(plot.left, plot.top - Scale(kMeanLine), plot.right + 1, plot.bottom + Scale(kMeanLine) + 1));
  SelectClipRgn(dc, clip.get());

  // Each run of joined records with a load is one band and one mean line.
  std::vector<POINT> band, line;
  auto finish_load = [&] {
    if (band.size() >= 4) {
      SelectedObject keep_pen(dc, band_pen_.get());
      SelectedObject keep_brush(dc, band_brush_.get());
      Polygon(dc, band.data(), static_cast<int>(band.size()));
    } else if (band.size() == 2) {
      SelectedObject keep_pen(dc, band_pen_.get());
      Polyline(dc, band.data(), 2);
    }
    if (!line.empty()) {
      SelectedObject keep_pen(dc, mean_pen_.get());
      if (line.size() == 1) line.push_back(POINT{line[0].x + 1, line[0].y});
      Polyline(dc, line.data(), static_cast<int>(line.size()));
    }
    band.clear();
    line.clear();
  };
  std::vector<POINT> lower;
  for (size_t i = 0; i < records.size(); ++i) {
    if (!has_load(i)) continue;
    if (!(i > 0 && has_load(i - 1) && JoinsPrevious(records, i, scale))) {
      band.insert(band.end(), lower.rbegin(), lower.rend());
      lower.clear();
      finish_load();
    }
    band.push_back(POINT{x[i], PercentToY(records[i].load_max, plot)});
    lower.push_back(POINT{x[i], PercentToY(records[i].load_min, plot)});
    line.push_back(POINT{x[i], PercentToY(records[i].load_mean, plot)});
  }
  band.insert(band.end(), lower.rbegin(), lower.rend());
  finish_load();

  // The memory, its own runs.
  SelectedObject keep_pen(dc, memory_pen_.get());
  for (size_t i = 0; i < records.size(); ++i) {
    if (!has_memory(i)) continue;
    if (!(i > 0 && has_memory(i - 1) && JoinsPrevious(records, i, scale))) {
      if (line.size() == 1) line.push_back(POINT{line[0].x + 1, line[0].y});
      if (!line.empty()) Polyline(dc, line.data(), static_cast<int>(line.size()));
      line.clear();
    }
    line.push_back(POINT{x[i], PercentToY(records[i].memory_percent, plot)});
  }
  if (line.size() == 1) line.push_back(POINT{line[0].x + 1, line[0].y});
  if (!line.empty()) Polyline(dc, line.data(), static_cast<int>(line.size()));

  if (marked_ >= 0 && static_cast<size_t>(marked_) < records.size() && on_axis(static_cast<size_t>(marked_))) {
    SelectedObject keep_marker(dc, marker_pen_.get());
    MoveToEx(dc, x[static_cast<size_t>(marked_)], plot.top, nullptr);
    LineTo(dc, x[static_cast<size_t>(marked_)], plot.bottom + 1);
  }
  SelectClipRgn(dc, nullptr);
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
