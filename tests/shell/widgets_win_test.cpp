// The graph and gauge drawn off-screen, read back pixel by pixel.
#include "shell/widgets_win.h"

#include "shell/menu_model.h"
#include "shell/popup_menu_win.h"
#include "util/dpi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zt {
namespace {

class Canvas {
 public:
  // With `pixels`, a 32-bit top-down DIB section, as the graph's own back
  // buffer is.
  Canvas(int w, int h, bool pixels = false) : w_(w), h_(h) {
    HDC screen = GetDC(nullptr);
    dc_.reset(CreateCompatibleDC(screen));
    if (pixels) {
      BITMAPINFO bi = {};
      bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
      bi.bmiHeader.biWidth = w;
      bi.bmiHeader.biHeight = -h;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      bmp_.reset(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0));
    } else {
      bmp_.reset(CreateCompatibleBitmap(screen, w, h));
    }
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_.get(), bmp_.get());
  }
  ~Canvas() { SelectObject(dc_.get(), old_); }
  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
  PixelCanvas Pixels() const { return {static_cast<uint32_t*>(bits_), w_, h_, w_}; }
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
  void* bits_ = nullptr;
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

// Where the gauge's figure lands, measured with the font it is drawn in: the
// face the system picks for a font name, and so the figure's width, depends
// on the fonts installed.  A pixel of slack on each side for overhangs.
RECT FigureBox(HDC dc, HFONT font, const std::wstring& text, int width, int height) {
  SelectedObject f(dc, font);
  SIZE sz = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  const int x = (width - sz.cx) / 2;
  const int y = (height - sz.cy) / 2;
  return {x - 1, y - 1, x + sz.cx + 1, y + sz.cy + 1};
}

TEST(GaugeDrawing, FillFromTheBottomInTheBarColour) {
  Fonts fonts;
  WidgetLook look;
  look.font = fonts.normal.get();
  look.bold_font = fonts.bold.get();
  TGauge gauge(look);
  const COLORREF bar = RGB(0, 0, 128);
  gauge.bar_color = bar;
  const int w = 32, h = 73;
  Canvas canvas(w, h);
  // Inside the one-pixel frame are rows 1..71 (71 rows); the bar fills the
  // rounded share of them from the bottom.  The tops lie clear of the
  // centred figure, so each is seen in every column.
  struct Case {
    int percent;
    int top;  // first bar row; h - 1 when nothing is filled
  };
  for (const Case c : {Case{0, 72}, Case{25, 54}, Case{75, 19}, Case{100, 1}}) {
    SCOPED_TRACE(c.percent);
    gauge.SetProgress(c.percent);
    gauge.Draw(canvas.dc(), w, h);
    const RECT figure =
        FigureBox(canvas.dc(), look.bold_font, std::to_wstring(c.percent) + L"%", w, h);
    int edge_seen = 0;  // columns where the top row and the one above were checked
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) {
        const POINT p = {x, y};
        if (PtInRect(&figure, p)) continue;  // the figure's own pixels
        const bool inner = x >= 1 && x <= w - 2 && y >= 1 && y <= h - 2;
        const bool filled = inner && y >= c.top;
        ASSERT_EQ(canvas.At(x, y) == bar, filled) << "pixel " << x << "," << y;
      }
      const POINT top = {x, c.top}, above = {x, c.top - 1};
      if (x >= 1 && x <= w - 2 && !PtInRect(&figure, top) && !PtInRect(&figure, above)) ++edge_seen;
    }
    // The figure must leave room to see the bar's top edge.
    EXPECT_GT(edge_seen, 0);
  }
}

// At 200 % the graph's lines, axis and ticks and the gauge's frame are
// twice as thick, and the title glyphs twice as large.
TEST(ChartDrawing, FiguresFollowTheScaling) {
  UniqueFont normal(CreateFontW(-21, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                                FF_SWISS, L"MS Sans Serif"));
  WidgetLook look;
  look.font = look.bold_font = normal.get();
  look.dpi = 192;
  ChartData data;
  for (int i = 1; i <= 10; ++i) data.Add(1, i, 50);
  TChart chart(look, data);
  const COLORREF green = RGB(0, 160, 0);
  chart.chart_look().line_color[1] = green;
  chart.chart_look().line_width = 1;  // design units
  Canvas canvas(420, 152, true);
  chart.Draw(canvas.dc(), 420, 152, canvas.Pixels());
  EXPECT_EQ(canvas.RowsWith(300, green).size(), 2u);
  chart.chart_look().line_width = 2;  // ThickerGraph
  chart.Draw(canvas.dc(), 420, 152, canvas.Pixels());
  EXPECT_EQ(canvas.RowsWith(300, green).size(), 4u);
  // The axis: a black column two pixels wide over the plot's height.
  int axis_columns = 0;
  for (int x = 0; x < 100; ++x) axis_columns += canvas.RowsWith(x, RGB(0, 0, 0)).size() > 100;
  EXPECT_EQ(axis_columns, 2);

  TGauge gauge(look);
  Canvas g(64, 146);
  gauge.Draw(g.dc(), 64, 146);
  EXPECT_EQ(g.At(0, 70), RGB(0, 0, 0));
  EXPECT_EQ(g.At(1, 70), RGB(0, 0, 0));
  EXPECT_EQ(g.At(2, 70), look.back);

  // The close glyph: its ink spans twice as many columns at 200 %.
  auto ink_columns = [](int dpi, int side) {
    Canvas c(side, side);
    RECT r = {0, 0, side, side};
    FillRect(c.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawGlyph(c.dc(), Glyph::Cross, r, dpi);
    int columns = 0;
    for (int x = 0; x < side; ++x) columns += !c.RowsWith(x, RGB(0, 0, 128)).empty();
    return columns;
  };
  EXPECT_EQ(ink_columns(192, 40), 2 * ink_columns(96, 20));
}

// The pop-up menu's placement pictures are measured and drawn at the
// owner's dpi: at 200 % every stroke twice as long, nothing stretched.
TEST(MenuPictures, AreDrawnAtTheOwnersScaling) {
  auto black_in_row = [](int dpi, int design_row) {
    MEASUREITEMSTRUCT mi = {};
    mi.CtlType = ODT_MENU;
    mi.itemID = MI_TopLeft;
    EXPECT_TRUE(TPopupMenu::MeasureItem(mi, dpi));
    EXPECT_EQ(mi.itemHeight, static_cast<UINT>(ScaleToDpi(15, dpi)));
    EXPECT_EQ(mi.itemWidth, static_cast<UINT>(ScaleToDpi(19, dpi)));
    const int side = ScaleToDpi(15, dpi);
    Canvas c(side, side);
    RECT r = {0, 0, side, side};
    FillRect(c.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT di = {};
    di.CtlType = ODT_MENU;
    di.itemID = MI_TopLeft;
    di.hDC = c.dc();
    di.rcItem = r;
    EXPECT_TRUE(TPopupMenu::DrawItem(di, dpi));
    int black = 0;
    const int y = ScaleToDpi(design_row, dpi);
    for (int x = 0; x < side; ++x) black += c.At(x, y) == RGB(0, 0, 0);
    return black;
  };
  EXPECT_EQ(black_in_row(96, 5), 7);  // the block, 7 units wide
  EXPECT_EQ(black_in_row(192, 5), 14);
  EXPECT_EQ(black_in_row(192, 0), 2 * black_in_row(96, 0));  // the dotted frame
}

}  // namespace
}  // namespace zt
