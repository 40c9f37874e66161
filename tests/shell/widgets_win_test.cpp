// The graph and gauge drawn off-screen, read back pixel by pixel.
#include "shell/widgets_win.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    HDC screen = GetDC(nullptr);
    dc_.reset(CreateCompatibleDC(screen));
    bmp_.reset(CreateCompatibleBitmap(screen, w, h));
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_.get(), bmp_.get());
  }
  ~Canvas() { SelectObject(dc_.get(), old_); }
  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
  // Rows of column x that have colour c.
  std::vector<int> RowsWith(int x, COLORREF c) const {
    std::vector<int> rows;
    for (int y = 0; y < h_; ++y) {
      if (At(x, y) == c) rows.push_back(y);
    }
    return rows;
  }

 private:
  int w_, h_;
  UniqueMemoryDc dc_;
  UniqueBitmap bmp_;
  HGDIOBJ old_ = nullptr;
};

struct Fonts {
  UniqueFont normal{CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                                FF_SWISS, L"MS Sans Serif")};
  UniqueFont bold{CreateFontW(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                              FF_SWISS, L"MS Sans Serif")};
};

TEST(ChartDrawing, LineSitsAtItsValueWithTheConfiguredWidth) {
  Fonts fonts;
  WidgetLook look;
  look.font = fonts.normal.get();
  look.bold_font = fonts.bold.get();
  look.back = RGB(255, 255, 255);
  ChartData data;
  for (int i = 1; i <= 10; ++i) data.Add(1, i, 50);
  TChart chart(look, data);
  const COLORREF green = RGB(0, 160, 0);
  chart.chart_look().line_color[1] = green;
  chart.chart_look().line_width = 1;
  Canvas canvas(210, 76);
  chart.Draw(canvas.dc(), 210, 76);
  // 50 % is halfway between the 0 and 100 grid lines; one pixel thick.
  std::vector<int> rows = canvas.RowsWith(150, green);
  ASSERT_EQ(rows.size(), 1u);
  TEXTMETRICW tm;
  {
    SelectedObject f(canvas.dc(), look.font);
    GetTextMetricsW(canvas.dc(), &tm);
  }
  SIZE sz;
  {
    SelectedObject f(canvas.dc(), look.font);
    GetTextExtentPoint32W(canvas.dc(), L"100", 3, &sz);
  }
  const ChartLayout l = ComputeChartLayout(210, 76, sz.cx, tm.tmHeight);
  EXPECT_EQ(rows[0], ValueToPixelY(50, l.plot));
  // The background stays the window colour beyond the right margin.
  EXPECT_EQ(canvas.At(209, rows[0]), RGB(255, 255, 255));
  // Thicker lines: two pixels.
  chart.chart_look().line_width = 2;
  chart.Draw(canvas.dc(), 210, 76);
  EXPECT_EQ(canvas.RowsWith(150, green).size(), 2u);
}

TEST(GaugeDrawing, FillFromTheBottomInTheBarColour) {
  Fonts fonts;
  WidgetLook look;
  look.font = fonts.normal.get();
  look.bold_font = fonts.bold.get();
  TGauge gauge(look);
  gauge.bar_color = RGB(0, 0, 128);
  Canvas canvas(32, 73);
  gauge.SetProgress(50);
  gauge.Draw(canvas.dc(), 32, 73);
  // Column 3 avoids the centred figure.
  const std::vector<int> rows = canvas.RowsWith(3, RGB(0, 0, 128));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.back(), 71);
  EXPECT_EQ(static_cast<int>(rows.size()), 36);
  gauge.SetProgress(0);
  gauge.Draw(canvas.dc(), 32, 73);
  EXPECT_TRUE(canvas.RowsWith(3, RGB(0, 0, 128)).empty());
}

}  // namespace
}  // namespace zt
