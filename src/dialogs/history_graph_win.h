// The history window's graph, two plots on one time axis, each with its
// scale and legend: above, the load as a band from minimum to maximum with
// the mean as a line over it, the memory and the graphics load as lines, on
// 0-100 %; below, the disks' read and write and the network's received and
// sent, on a scale that follows the largest of them.  A marker stands on
// the record selected in both.  A child window of its own that takes the
// focus (Tab stops at it): the pointer over either plot and Left, Right,
// Home and End select a record, which it tells its owner; it draws into a
// buffer of its own size and copies that to the screen whole, so nothing
// flickers.  What stands where comes from history_model.h.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/history_model.h"
#include "util/handles_win.h"

namespace zt {

constexpr wchar_t kHistoryGraphClass[] = L"TZettrimHistoryGraph";

class HistoryGraph {
 public:
  // A figure of a record, NaN where it has none.
  using Figure = float (*)(const HistoryRecord&);

  // `selected` hears the record the pointer or a key selected.
  explicit HistoryGraph(std::function<void(int)> selected) : selected_(std::move(selected)) {}
  ~HistoryGraph();
  HistoryGraph(const HistoryGraph&) = delete;
  HistoryGraph& operator=(const HistoryGraph&) = delete;

  bool Create(HINSTANCE instance, HWND parent, int id);
  HWND hwnd() const { return hwnd_; }
  // The records drawn (the owner's, read at every painting) and the one
  // marked, -1 for none.
  void Show(const HistoryView* view, int selected);
  // Pens and figures for the owner's dpi; the texts in `font`.
  void SetDpi(int dpi, HFONT font);

 private:
  // The two plots, one above the other on the same columns.
  struct Plots {
    PlotArea load, rates;
  };
  // One entry of a legend: a line of `pen`, or without one the band.
  struct LegendEntry {
    TextId text;
    HPEN pen;
  };
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);
  void Paint();
  void Draw(HDC dc, const RECT& client);
  void DrawPercentScale(HDC dc, const PlotArea& plot);
  void DrawRateScale(HDC dc, const PlotArea& plot, const RateAxis& axis);
  void DrawGridLine(HDC dc, const PlotArea& plot, int y, const std::string& label);
  void DrawTimeAxis(HDC dc, const Plots& plots);
  void PlaceRecords(const PlotArea& plot);
  void DrawRecords(HDC dc, const Plots& plots, const RateAxis& axis);
  void DrawLoad(HDC dc, const PlotArea& plot);
  void DrawLine(HDC dc, const PlotArea& plot, HPEN pen, double top, Figure figure);
  void DrawRates(HDC dc, const PlotArea& plot, const RateAxis& axis);
  void DrawMarker(HDC dc, const PlotArea& plot);
  void DrawNote(HDC dc, const PlotArea& plot, TextId text);
  bool OnAxis(size_t i, const PlotArea& plot) const { return x_[i] >= plot.left && x_[i] <= plot.right; }
  void DrawLegend(HDC dc, int top, const LegendEntry* entries, size_t count);
  Plots Layout(const RECT& client) const;
  int Scale(int design) const;
  void KeyDown(WPARAM key);

  std::function<void(int)> selected_;
  const HistoryView* view_ = nullptr;
  int marked_ = -1;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  UniquePen grid_pen_, mean_pen_, memory_pen_, gpu_pen_, marker_pen_, band_pen_;
  UniquePen rate_pens_[4];  // disk read, disk write, network received, sent
  UniqueBrush band_brush_, background_brush_;
  // The records' x and the points of the runs drawn, kept from painting to
  // painting at the size of a full view: drawing allocates nothing.
  std::vector<int> x_;
  std::vector<POINT> upper_, lower_, line_, piece_;
  UniqueBitmap buffer_;
  SIZE buffer_size_ = {0, 0};
  HWND hwnd_ = nullptr;
};

}  // namespace zt
