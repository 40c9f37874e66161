// The main window's child widgets: labels, flat speed buttons, the move
// handle, the load graph and the bar gauge.  Each is a child window whose
// window text is what it shows (labels their text, buttons and the move
// handle their hint, the gauge its per-cent figure), so screen readers and
// test programs read the live figures with WM_GETTEXT.  Every widget paints
// itself off-screen first (no flicker) with objects created once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/chart_model.h"
#include "shell/line_raster.h"
#include "util/handles_win.h"

namespace zt {

// An off-screen bitmap the size of a widget, re-created only when the size
// changes.  The bitmap the memory DC was born with is selected back before
// the owned one is deleted.
class BackBuffer {
 public:
  BackBuffer() = default;
  ~BackBuffer();
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;
  // A DC holding a bitmap of at least width x height, compatible with `like`
  // (with `pixels`, a top-down 32-bit DIB section whose pixels the widget
  // may write itself).
  HDC Prepare(HDC like, int width, int height, bool pixels = false);
  // The pixels of the bitmap made with `pixels` (none otherwise).
  PixelCanvas Pixels() const;

 private:
  void Release();
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  void* bits_ = nullptr;
  HGDIOBJ original_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool pixels_ = false;
};

// A solid brush that follows a colour; re-created only when it changes.
class ColorBrush {
 public:
  HBRUSH Get(COLORREF color);

 private:
  UniqueBrush brush_;
  COLORREF color_ = CLR_INVALID;
};

// A pen that follows a colour, width and style.
class ColorPen {
 public:
  HPEN Get(COLORREF color, int width, int style = PS_SOLID);

 private:
  UniquePen pen_;
  COLORREF color_ = CLR_INVALID;
  int width_ = -1;
  int style_ = -1;
};

// Base of the custom child windows: registers the class once per kind and
// binds the C++ object to its window at WM_NCCREATE.
class TWidget {
 public:
  virtual ~TWidget();
  TWidget(const TWidget&) = delete;
  TWidget& operator=(const TWidget&) = delete;
  HWND hwnd() const { return hwnd_; }
  bool Create(HWND parent, int id, const PixelRect& r, const std::wstring& text, bool visible);
  void SetBounds(const PixelRect& r);
  void Invalidate();

 protected:
  TWidget() = default;
  virtual const wchar_t* ClassName() const = 0;
  virtual HCURSOR Cursor() const { return LoadCursorW(nullptr, IDC_ARROW); }
  virtual void Paint(HDC dc, int width, int height) = 0;
  // Whether Paint gets a back buffer whose pixels it can write
  // (BufferPixels).
  virtual bool PaintsPixels() const { return false; }
  PixelCanvas BufferPixels() const { return buffer_.Pixels(); }
  virtual LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);
  HWND hwnd_ = nullptr;

 private:
  BackBuffer buffer_;
};

// Colours, fonts and the dpi shared by the widgets; owned by the main
// window.  Every design figure a widget draws with is scaled to `dpi`.
struct WidgetLook {
  HFONT font = nullptr;       // the window font (axis labels)
  HFONT bold_font = nullptr;  // labels, gauge, splash
  COLORREF text = RGB(0, 0, 0);
  COLORREF back = RGB(255, 255, 255);
  int dpi = 96;
};

// A bold text label that sizes its width to its text.
class TLabel : public TWidget {
 public:
  // A line keeps the size it is given and is drawn in the plain face, its
  // text cut with an ellipsis where it does not fit; a label sizes itself
  // to its text in the bold face.
  explicit TLabel(const WidgetLook& look, bool line = false) : look_(look), line_(line) {}
  void SetText(const std::wstring& text);
  // Sizes the label to its text again (after a font change).
  void Refit();

 protected:
  const wchar_t* ClassName() const override { return L"Zettrim.Label"; }
  void Paint(HDC dc, int width, int height) override;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void AutoSize();
  HFONT Font() const { return line_ ? look_.font : look_.bold_font; }
  const WidgetLook& look_;
  bool line_;
};

enum class Glyph { Diamond, DownArrow, Cross, MoveArrows };

// A flat speed button (or, with clickable off, the move handle picture):
// the glyph on the window colour, a thin frame while the mouse is over it,
// a sunken one while pressed.  A click sends WM_COMMAND with its id.
class TSpeedButton : public TWidget {
 public:
  TSpeedButton(const WidgetLook& look, Glyph glyph, bool clickable)
      : look_(look), glyph_(glyph), clickable_(clickable) {}

 protected:
  const wchar_t* ClassName() const override { return L"Zettrim.SpeedButton"; }
  HCURSOR Cursor() const override;
  void Paint(HDC dc, int width, int height) override;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  LRESULT ForwardToParent(UINT msg, WPARAM wparam, LPARAM lparam);
  const WidgetLook& look_;
  Glyph glyph_;
  bool clickable_;
  bool hot_ = false;
  bool pressed_ = false;
};

// Draws a title-control glyph centred in `r` in navy, its design shape
// scaled to `dpi` edge by edge (crisp at every size).
void DrawGlyph(HDC dc, Glyph glyph, const RECT& r, int dpi = 96);

struct ChartLook {
  COLORREF line_color[kChartLines] = {};
  int line_width = 1;  // design units, drawn at the graph's dpi
};

// The load graph.  The splash text is drawn into it while `splash` (a
// transparent child window that fills the graph) is visible.
class TChart : public TWidget {
 public:
  TChart(const WidgetLook& look, const ChartData& data) : look_(look), data_(data) {}
  ChartLook& chart_look() { return chart_look_; }
  void SetSplash(HWND splash) { splash_ = splash; }
  // Draws the whole graph into `dc` (also used by the benchmark).  `pixels`,
  // when given, are the pixels of the bitmap selected into `dc` (a 32-bit
  // top-down DIB section), into which the lines wider than a pixel at a
  // scaled dpi are swept directly.
  void Draw(HDC dc, int width, int height, const PixelCanvas& pixels = {});

 protected:
  const wchar_t* ClassName() const override { return L"Zettrim.Chart"; }
  void Paint(HDC dc, int width, int height) override { Draw(dc, width, height, BufferPixels()); }
  bool PaintsPixels() const override { return true; }

 private:
  // The widest label ("100") in the window font, measured once per font.
  int LabelWidth(HDC dc);
  // The parts of a frame, each over the ones before it.
  void DrawAxisLabels(HDC dc, const ChartLayout& layout, int font_height);
  void DrawGrid(HDC dc, const ChartLayout& layout);
  void DrawAxis(HDC dc, const ChartLayout& layout);
  void DrawLines(HDC dc, const ChartLayout& layout, int width, int height, const PixelCanvas& pixels);
  // The points last mapped (mapped_) with `pen`.
  void StrokeLine(HDC dc, HPEN pen);
  void DrawSplash(HDC dc, int width, int height);

  const WidgetLook& look_;
  const ChartData& data_;
  ChartLook chart_look_;
  HWND splash_ = nullptr;
  ColorBrush back_brush_;
  ColorBrush axis_brush_;
  ColorPen grid_pen_;
  ColorBrush grid_brush_;
  ColorPen line_pens_[kChartLines];
  std::vector<int> raster_scratch_;
  std::vector<PixelPoint> mapped_;
  std::vector<POINT> points_;
  int label_width_ = -1;
  HFONT label_width_font_ = nullptr;
};

// The transparent splash label over the graph: it paints nothing itself
// (the graph draws its text) and lets every mouse message through.
class TSplashLabel : public TWidget {
 protected:
  const wchar_t* ClassName() const override { return L"Zettrim.Splash"; }
  void Paint(HDC, int, int) override {}
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) override;
};

// The vertical bar gauge, 0 to 100, with its own per-cent figure.
class TGauge : public TWidget {
 public:
  explicit TGauge(const WidgetLook& look) : look_(look) {}
  void SetProgress(int percent);
  int progress() const { return progress_; }
  COLORREF bar_color = RGB(0, 0, 128);
  void Draw(HDC dc, int width, int height);

 protected:
  const wchar_t* ClassName() const override { return L"Zettrim.Gauge"; }
  void Paint(HDC dc, int width, int height) override { Draw(dc, width, height); }

 private:
  // The figure as shown, converted once per change of progress.
  const std::wstring& Text();
  const WidgetLook& look_;
  int progress_ = 0;
  std::wstring text_;
  int text_progress_ = -1;
  ColorBrush back_brush_;
  ColorBrush bar_brush_;
  ColorBrush frame_brush_;
};

}  // namespace zt
