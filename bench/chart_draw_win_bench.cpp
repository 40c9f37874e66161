// Drawing one full frame of the main window's graph (five lines of 100
// points) and its gauge into an off-screen bitmap, as every sample does.
// Prints the time per frame; a plain timing loop, since the Windows build has
// no benchmark library.
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "shell/chart_model.h"
#include "shell/widgets_win.h"
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

}  // namespace

int main() {
  using namespace zt;
  UniqueFont font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                              FF_SWISS, L"MS Sans Serif"));
  UniqueFont bold(CreateFontW(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                              FF_SWISS, L"MS Sans Serif"));
  WidgetLook look;
  look.font = font.get();
  look.bold_font = bold.get();
  ChartData data;
  for (int i = 1; i <= 100; ++i) {
    for (int line = 0; line < kChartLines; ++line) {
      data.Add(line, i, 50 + 45 * std::sin(i * 0.1 + line));
    }
  }
  TChart chart(look, data);
  for (int k = 0; k < kChartLines; ++k) chart.chart_look().line_color[k] = RGB(0, 40 * k, 128);
  chart.chart_look().line_width = 2;
  TGauge gauge(look);

  HDC screen = GetDC(nullptr);
  UniqueMemoryDc chart_dc(CreateCompatibleDC(screen));
  UniqueMemoryDc gauge_dc(CreateCompatibleDC(screen));
  UniqueBitmap chart_bmp(CreateCompatibleBitmap(screen, 210, 76));
  UniqueBitmap gauge_bmp(CreateCompatibleBitmap(screen, 32, 73));
  ReleaseDC(nullptr, screen);
  SelectedObject keep_chart(chart_dc.get(), chart_bmp.get());
  SelectedObject keep_gauge(gauge_dc.get(), gauge_bmp.get());

  auto run = [&](const char* what, bool draw_chart, bool draw_gauge) {
    auto frame = [&](int i) {
      if (draw_chart) chart.Draw(chart_dc.get(), 210, 76);
      gauge.SetProgress(i % 101);  // no window: only the figure changes
      if (draw_gauge) gauge.Draw(gauge_dc.get(), 32, 73);
    };
    for (int i = 0; i < 100; ++i) frame(i);  // warm-up: pens and brushes made here
    GdiFlush();
    const long gdi_before = HandleCounters::gdi;
    const int frames = 2000;
    const double t0 = Seconds();
    for (int i = 0; i < frames; ++i) frame(i);
    GdiFlush();
    const double t1 = Seconds();
    std::printf("%-44s %8.1f us per frame (%d frames, %ld GDI objects made)\n", what,
                (t1 - t0) / frames * 1e6, frames, HandleCounters::gdi - gdi_before);
  };
  run("graph 210x76, 5 lines x 100 points + gauge", true, true);
  run("graph only", true, false);
  run("gauge only", false, true);
  chart.chart_look().line_width = 1;
  run("graph only, 1-pixel lines", true, false);
  ChartData empty;
  TChart bare(look, empty);
  for (int i = 0; i < 1; ++i) {
    auto t0 = Seconds();
    for (int f = 0; f < 2000; ++f) bare.Draw(chart_dc.get(), 210, 76);
    GdiFlush();
    std::printf("%-44s %8.1f us per frame\n", "graph without lines (axis, grid, labels)", (Seconds() - t0) / 2000 * 1e6);
  }
  return 0;
}
