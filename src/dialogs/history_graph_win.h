// The history window's graph: the load as a band from minimum to maximum
// with the mean as a line over it, the memory as a second line, a 0-100 %
// scale, a time axis and a legend, and a marker on the record selected.  A
// child window of its own that takes the focus (Tab stops at it): the
// pointer over it and Left, Right, Home and End select a record, which it
// tells its owner; it draws into a buffer of its own size and copies that
// to the screen whole, so nothing flickers.  What stands where comes from
// history_model.h.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "dialogs/history_model.h"
#include "util/handles_win.h"

namespace zt {

constexpr wchar_t kHistoryGraphClass[] = L"TZettrimHistoryGraph";

class HistoryGraph {
 public:
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
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);
  void Paint();
  void Draw(HDC dc, const RECT& client);
  void DrawRecords(HDC dc, const PlotArea& plot);
  void DrawLoad(HDC dc, const PlotArea& plot);
  void DrawMemory(HDC dc, const PlotArea& plot);
  void DrawMarker(HDC dc, const PlotArea& plot);
  bool OnAxis(size_t i, const PlotArea& plot) const { return x_[i] >= plot.left && x_[i] <= plot.right; }
  void DrawLegend(HDC dc, const RECT& client);
  PlotArea Plot(const RECT& client) const;
  int Scale(int design) const;
  void KeyDown(WPARAM key);

  std::function<void(int)> selected_;
  const HistoryView* view_ = nullptr;
  int marked_ = -1;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  UniquePen grid_pen_, mean_pen_, memory_pen_, marker_pen_, band_pen_;
  UniqueBrush band_brush_, background_brush_;
  // The records' x and the points of the runs drawn, kept from painting to
  // painting at the size of a full view: drawing allocates nothing.
  std::vector<int> x_;
  std::vector<POINT> upper_, lower_, line_;
  UniqueBitmap buffer_;
  SIZE buffer_size_ = {0, 0};
  HWND hwnd_ = nullptr;
};

}  // namespace zt
