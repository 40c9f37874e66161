// Drawing one full frame of the main window's graph (five lines of 100
// points) and its gauge into an off-screen bitmap, as every sample does, at
// the display scalings the window is drawn at.  Prints the time per frame
// and each scaling's cost against 96 dpi; a plain timing loop, since the
// Windows build has no benchmark library.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell/chart_model.h"
#include "shell/widgets_win.h"
#include "util/dpi.h"
#include "util/handles_win.h"

namespace {

double Seconds() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}


// One frame of graph and gauge at `dpi`: the default window's graph and
// gauge sizes, fonts and line width scaled as the main window scales them.
struct Scaled {
  int dpi;
  double graph_and_gauge_us = 0;
  double graph_us = 0;
  double gauge_us = 0;
  double bare_us = 0;
};

Scaled Measure(int dpi) {
  using namespace zt;
  auto s = [dpi](int design) { return ScaleToDpi(design, dpi); };
  const int height = FontHeightForPoints(8, dpi);
  UniqueFont font(CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                              FF_SWISS, L"MS Sans Serif"));
  UniqueFont bold(CreateFontW(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                              FF_SWISS, L"MS Sans Serif"));
  WidgetLook look;
  look.font = font.get();
  look.bold_font = bold.get();
  look.dpi = dpi;
  ChartData data;
  for (int i = 1; i <= 100; ++i) {
    for (int line = 0; line < kChartLines; ++line) {
      data.Add(line, i, 50 + 45 * std::sin(i * 0.1 + line));
    }
  }
  TChart chart(look, data);
  for (int k = 0; k < kChartLines; ++k) chart.chart_look().line_color[k] = RGB(0, 40 * k, 128);
  chart.chart_look().line_width = 2;  // ThickerGraph, in design units
  TGauge gauge(look);
  const int cw = s(210), ch = s(76), gw = s(32), gh = s(73);

  HDC screen = GetDC(nullptr);
  UniqueMemoryDc chart_dc(CreateCompatibleDC(screen));
  UniqueMemoryDc gauge_dc(CreateCompatibleDC(screen));
  UniqueBitmap chart_bmp(CreateCompatibleBitmap(screen, cw, ch));
  UniqueBitmap gauge_bmp(CreateCompatibleBitmap(screen, gw, gh));
  ReleaseDC(nullptr, screen);
  SelectedObject keep_chart(chart_dc.get(), chart_bmp.get());
  SelectedObject keep_gauge(gauge_dc.get(), gauge_bmp.get());

  Scaled out{dpi};
  auto run = [&](const char* what, bool draw_chart, bool draw_gauge) {
    auto frame = [&](int i) {
      if (draw_chart) chart.Draw(chart_dc.get(), cw, ch);
      gauge.SetProgress(i % 101);  // no window: only the figure changes
      if (draw_gauge) gauge.Draw(gauge_dc.get(), gw, gh);
    };
    for (int i = 0; i < 100; ++i) frame(i);  // warm-up: pens and brushes made here
    GdiFlush();
    const long gdi_before = HandleCounters::gdi;
    const int frames = 2000;
    const double t0 = Seconds();
    for (int i = 0; i < frames; ++i) frame(i);
    GdiFlush();
    const double us = (Seconds() - t0) / frames * 1e6;
    std::printf("%3d dpi  %-44s %8.1f us per frame (%d frames, %ld GDI objects made)\n", dpi, what, us, frames,
                HandleCounters::gdi - gdi_before);
    return us;
  };
  char title[64];
  std::snprintf(title, sizeof title, "graph %dx%d, 5 lines x 100 points + gauge", cw, ch);
  out.graph_and_gauge_us = run(title, true, true);
  out.graph_us = run("graph only", true, false);
  out.gauge_us = run("gauge only", false, true);
  ChartData empty;
  TChart bare(look, empty);
  const double t0 = Seconds();
  for (int f = 0; f < 2000; ++f) bare.Draw(chart_dc.get(), cw, ch);
  GdiFlush();
  out.bare_us = (Seconds() - t0) / 2000 * 1e6;
  std::printf("%3d dpi  %-44s %8.1f us per frame\n", dpi, "graph without lines (axis, grid, labels)", out.bare_us);
  return out;
}

}  // namespace

// bench [DPI...]: each frame at the given scalings (default 96 144 192),
// then each scaling's cost against 96 dpi.
int main(int argc, char** argv) {
  std::vector<int> dpis;
  for (int i = 1; i < argc; ++i) dpis.push_back(std::atoi(argv[i]));
  if (dpis.empty()) dpis = {96, 144, 192};
  std::vector<Scaled> results;
  for (int dpi : dpis) results.push_back(Measure(dpi));
  for (const Scaled& r : results) {
    std::printf("%3d dpi against %d dpi: graph and gauge x%.2f, graph x%.2f, gauge x%.2f\n", r.dpi,
                results.front().dpi, r.graph_and_gauge_us / results.front().graph_and_gauge_us,
                r.graph_us / results.front().graph_us, r.gauge_us / results.front().gauge_us);
  }
  return 0;
}
