// Drawing one full frame of the main window's graph (five lines of 100
// points) and its gauge into an off-screen bitmap, as every sample does, at
// the display scalings the window is drawn at.  Prints the time per frame
// and each scaling's cost against 96 dpi; a plain timing loop, since the
// Windows build has no benchmark library.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <functional>
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
  double thick_us = 0;  // graph and gauge, ThickerGraph on (the default)
  double thin_us = 0;   // graph and gauge, ThickerGraph off
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
  TGauge gauge(look);
  const int cw = s(210), ch = s(76), gw = s(32), gh = s(73);

  // The widgets' own back buffers: the graph's holds pixels it may write.
  HDC screen = GetDC(nullptr);
  BackBuffer chart_buffer, gauge_buffer;
  struct Dc {
    HDC h;
    HDC get() const { return h; }
  };
  const Dc chart_dc{chart_buffer.Prepare(screen, cw, ch, true)};
  const Dc gauge_dc{gauge_buffer.Prepare(screen, gw, gh)};
  ReleaseDC(nullptr, screen);

  Scaled out{dpi};
  // The best of several batches: other work on the machine only ever adds.
  auto run = [&](const char* what, const std::function<void(int)>& frame) {
    for (int i = 0; i < 100; ++i) frame(i);  // warm-up: pens and brushes made here
    GdiFlush();
    const long gdi_before = HandleCounters::gdi;
    const int batches = 7, frames = 300;
    double best = 1e30;
    for (int b = 0; b < batches; ++b) {
      const double t0 = Seconds();
      for (int i = 0; i < frames; ++i) frame(b * frames + i);
      GdiFlush();
      best = std::min(best, (Seconds() - t0) / frames * 1e6);
    }
    std::printf("%3d dpi  %-48s %8.1f us per frame (best of %d x %d, %ld GDI objects made)\n", dpi, what, best,
                batches, frames, HandleCounters::gdi - gdi_before);
    return best;
  };
  auto graph_and_gauge = [&](int i) {
    chart.Draw(chart_dc.get(), cw, ch, chart_buffer.Pixels());
    gauge.SetProgress(i % 101);  // no window: only the figure changes
    gauge.Draw(gauge_dc.get(), gw, gh);
  };
  char title[80];
  std::snprintf(title, sizeof title, "graph %dx%d, 5 x 100 points, thick (default) + gauge", cw, ch);
  chart.chart_look().line_width = 2;  // ThickerGraph, in design units
  out.thick_us = run(title, graph_and_gauge);
  chart.chart_look().line_width = 1;
  out.thin_us = run("the same with thin lines", graph_and_gauge);
  out.gauge_us = run("gauge only", [&](int i) {
    gauge.SetProgress(i % 101);
    gauge.Draw(gauge_dc.get(), gw, gh);
  });
  ChartData empty;
  TChart bare(look, empty);
  out.bare_us = run("graph without lines (axis, grid, labels)", [&](int) { bare.Draw(chart_dc.get(), cw, ch, chart_buffer.Pixels()); });
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
    const Scaled& base = results.front();
    std::printf("%3d dpi against %d dpi: thick x%.2f, thin x%.2f, gauge x%.2f, graph without lines x%.2f\n", r.dpi,
                base.dpi, r.thick_us / base.thick_us, r.thin_us / base.thin_us, r.gauge_us / base.gauge_us,
                r.bare_us / base.bare_us);
  }
  return 0;
}
