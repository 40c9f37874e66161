#include "shell/widgets_win.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <initializer_list>

#include "shell/form_layout.h"
#include "util/control_text_win.h"
#include "util/dpi.h"
#include "util/unicode_win.h"
#include "util/window_proc_win.h"

namespace zt {

// ---------------------------------------------------------------------------
// Drawing objects

BackBuffer::~BackBuffer() { Release(); }

void BackBuffer::Release() {
  if (dc_ && original_) SelectObject(dc_.get(), original_);
  original_ = nullptr;
  bitmap_.reset();
  bits_ = nullptr;
}

PixelCanvas BackBuffer::Pixels() const {
  if (!bits_) return {};
  return {static_cast<uint32_t*>(bits_), width_, height_, width_};
}

HDC BackBuffer::Prepare(HDC like, int width, int height, bool pixels) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (!dc_) dc_.reset(CreateCompatibleDC(like));
  if (!dc_) return nullptr;
  if (!bitmap_ || width != width_ || height != height_ || pixels != pixels_) {
    Release();
    if (pixels) {
      BITMAPINFO bi = {};
      bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
      bi.bmiHeader.biWidth = width;
      bi.bmiHeader.biHeight = -height;  // top-down
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      bi.bmiHeader.biCompression = BI_RGB;
      void* bits = nullptr;
      bitmap_.reset(CreateDIBSection(like, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
      if (bitmap_) bits_ = bits;
    } else {
      bitmap_.reset(CreateCompatibleBitmap(like, width, height));
    }
    if (!bitmap_) return nullptr;
    original_ = SelectObject(dc_.get(), bitmap_.get());
    width_ = width;
    height_ = height;
    pixels_ = pixels;
  }
  return dc_.get();
}

HBRUSH ColorBrush::Get(COLORREF color) {
  if (!brush_ || color != color_) {
    brush_.reset(CreateSolidBrush(color));
    color_ = color;
  }
  return brush_.get();
}

HPEN ColorPen::Get(COLORREF color, int width, int style) {
  if (!pen_ || color != color_ || width != width_ || style != style_) {
    pen_.reset(CreatePen(style, width, color));
    color_ = color;
    width_ = width;
    style_ = style;
  }
  return pen_.get();
}

// ---------------------------------------------------------------------------
// TWidget

TWidget::~TWidget() {
  if (hwnd_) {
    UnbindWindow(hwnd_);
    DestroyWindow(hwnd_);
  }
}

bool TWidget::Create(HWND parent, int id, const PixelRect& r, const std::wstring& text, bool visible) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ObjectWindowProc<TWidget, &TWidget::hwnd_, &TWidget::Handle>;
  wc.hInstance = instance;
  wc.lpszClassName = ClassName();
  wc.hCursor = nullptr;  // WM_SETCURSOR decides
  // A second registration of the same kind fails harmlessly.
  RegisterClassExW(&wc);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
  HWND h = CreateWindowExW(0, ClassName(), text.c_str(), style, r.left, r.top, r.Width(), r.Height(),
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  return h != nullptr;
}

void TWidget::SetBounds(const PixelRect& r) {
  if (hwnd_) SetWindowPos(hwnd_, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWidget::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT TWidget::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // everything is painted from the back buffer
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT rc;
      GetClientRect(hwnd_, &rc);
      HDC mem = buffer_.Prepare(dc, rc.right, rc.bottom, PaintsPixels());
      if (mem) {
        Paint(mem, rc.right, rc.bottom);
        BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
      }
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT) {
        SetCursor(Cursor());
        return TRUE;
      }
      break;
  }
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

// ---------------------------------------------------------------------------
// TLabel

void TLabel::SetText(const std::wstring& text) {
  if (!hwnd_) return;
  SetControlText(hwnd_, text);
}

void TLabel::Refit() {
  if (!hwnd_) return;
  AutoSize();
  Invalidate();
}

void TLabel::AutoSize() {
  if (line_) return;
  const std::wstring text = ControlText(hwnd_);
  WindowDc dc(hwnd_);
  SelectedObject font(dc.get(), look_.bold_font);
  SIZE sz = {};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &sz);
  RECT r;
  GetClientRect(hwnd_, &r);
  if (sz.cx != r.right) {
    SetWindowPos(hwnd_, nullptr, 0, 0, std::max<LONG>(1, sz.cx), r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT TLabel::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_SETTEXT) {
    LRESULT r = DefWindowProcW(hwnd_, msg, wparam, lparam);
    AutoSize();
    Invalidate();
    return r;
  }
  if (msg == WM_SIZE) Invalidate();
  // Like a standard control, the label tells the font its text is drawn in.
  if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(Font());
  return TWidget::Handle(msg, wparam, lparam);
}

void TLabel::Paint(HDC dc, int width, int height) {
  static ColorBrush back;  // one brush for every label, kept for the run
  RECT rc = {0, 0, width, height};
  FillRect(dc, &rc, back.Get(look_.back));
  const std::wstring text = ControlText(hwnd_);
  SelectedObject font(dc, Font());
  SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, look_.text);
  const UINT fit = line_ ? DT_VCENTER | DT_END_ELLIPSIS : DT_TOP | DT_NOCLIP;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | fit);
}

// ---------------------------------------------------------------------------
// Glyphs and speed buttons

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);

HBRUSH NavyBrush() {
  static UniqueBrush brush(CreateSolidBrush(kNavy));
  return brush.get();
}

HPEN NavyPen() {
  static UniquePen pen(CreatePen(PS_SOLID, 1, kNavy));
  return pen.get();
}

// A glyph's design shape around the centre (cx, cy): offsets and sizes in
// design units, each edge scaled on its own so that neighbouring blocks meet
// exactly at every scaling.
struct GlyphPainter {
  HDC dc;
  int cx, cy, dpi;
  int X(int dx) const { return cx + ScaleToDpi(dx, dpi); }
  int Y(int dy) const { return cy + ScaleToDpi(dy, dpi); }
  void Block(int dx, int dy, int w, int h) const {
    RECT r = {X(dx), Y(dy), X(dx + w), Y(dy + h)};
    FillRect(dc, &r, NavyBrush());
  }
  // A filled polygon through design points (outlined by a one-pixel pen, as
  // at 96 dpi).
  void Polygon(std::initializer_list<POINT> design) const {
    POINT pts[8];
    int n = 0;
    for (const POINT& p : design) pts[n++] = {X(p.x), Y(p.y)};
    SelectedObject pen(dc, NavyPen());
    SelectedObject brush(dc, NavyBrush());
    ::Polygon(dc, pts, n);
  }
};

}  // namespace

void DrawGlyph(HDC dc, Glyph glyph, const RECT& r, int dpi) {
  const GlyphPainter g{dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2, dpi};
  switch (glyph) {
    case Glyph::Diamond:  // 12 x 14
      g.Polygon({{0, -7}, {5, -1}, {0, 6}, {-6, -1}});
      break;
    case Glyph::DownArrow:  // 12 x 14: a stem and a head
      g.Block(-2, -6, 4, 6);
      g.Polygon({{-6, 0}, {5, 0}, {0, 6}, {-1, 6}});
      break;
    case Glyph::Cross:  // 16 x 16, two strokes two units wide
      for (int i = 0; i < 11; ++i) {
        g.Block(-6 + i, -6 + i, 2, 2);
        g.Block(4 - i, -6 + i, 2, 2);
      }
      break;
    case Glyph::MoveArrows:  // 16 x 16 four-way cross
      g.Block(-6, 0, 13, 1);
      g.Block(0, -6, 1, 13);
      for (int i = 1; i <= 3; ++i) {
        g.Block(-7 + i, -i, 1, 2 * i + 1);  // left head
        g.Block(7 - i, -i, 1, 2 * i + 1);   // right head
        g.Block(-i, -7 + i, 2 * i + 1, 1);  // top head
        g.Block(-i, 7 - i, 2 * i + 1, 1);   // bottom head
      }
      break;
  }
}

HCURSOR TSpeedButton::Cursor() const {
  return LoadCursorW(nullptr, clickable_ ? IDC_ARROW : IDC_SIZEALL);
}

void TSpeedButton::Paint(HDC dc, int width, int height) {
  static ColorBrush back;
  static ColorBrush highlight;
  static ColorBrush shadow;
  RECT rc = {0, 0, width, height};
  FillRect(dc, &rc, back.Get(look_.back));
  RECT glyph_rect = rc;
  if (clickable_ && (hot_ || pressed_)) {
    // Flat button: a bevel one unit wide appears under the mouse.
    const int b = std::max(1, ScaleToDpi(1, look_.dpi));
    HBRUSH light = highlight.Get(GetSysColor(COLOR_BTNHIGHLIGHT));
    HBRUSH dark = shadow.Get(GetSysColor(COLOR_BTNSHADOW));
    HBRUSH tl = pressed_ ? dark : light;
    HBRUSH br = pressed_ ? light : dark;
    RECT top = {0, 0, width, b}, left = {0, 0, b, height};
    RECT bottom = {0, height - b, width, height}, right = {width - b, 0, width, height};
    FillRect(dc, &top, tl);
    FillRect(dc, &left, tl);
    FillRect(dc, &bottom, br);
    FillRect(dc, &right, br);
    if (pressed_) OffsetRect(&glyph_rect, b, b);
  }
  DrawGlyph(dc, glyph_, glyph_rect, look_.dpi);
}

LRESULT TSpeedButton::ForwardToParent(UINT msg, WPARAM wparam, LPARAM lparam) {
  POINT pt = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  HWND parent = GetParent(hwnd_);
  MapWindowPoints(hwnd_, parent, &pt, 1);
  return SendMessageW(parent, msg, wparam, MAKELPARAM(pt.x, pt.y));
}

LRESULT TSpeedButton::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (!clickable_) {
    // The move handle drags the window exactly like its surface does.
    switch (msg) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_MBUTTONUP:
      case WM_MOUSEMOVE:
        return ForwardToParent(msg, wparam, lparam);
      case WM_RBUTTONUP:
        ForwardToParent(msg, wparam, lparam);
        break;  // and on to the context menu
    }
    return TWidget::Handle(msg, wparam, lparam);
  }
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&tme);
        Invalidate();
      }
      break;
    case WM_MOUSELEAVE:
      hot_ = false;
      Invalidate();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      SetCapture(hwnd_);
      Invalidate();
      return 0;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        ReleaseCapture();
        Invalidate();
        RECT rc;
        GetClientRect(hwnd_, &rc);
        POINT pt = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        if (PtInRect(&rc, pt)) {
          SendMessageW(GetParent(hwnd_), WM_COMMAND,
                       MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
        }
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (pressed_) {
        pressed_ = false;
        Invalidate();
      }
      break;
  }
  return TWidget::Handle(msg, wparam, lparam);
}

// ---------------------------------------------------------------------------
// TChart

namespace {

// The axis labels never change: converted once, not on every frame.
const std::array<std::wstring, kAxisLabelCount>& AxisLabels() {
  static const std::array<std::wstring, kAxisLabelCount> labels = [] {
    std::array<std::wstring, kAxisLabelCount> texts;
    for (int i = 0; i < kAxisLabelCount; ++i) texts[i] = Widen(AxisLabelText(kAxisMin + i * kAxisStep));
    return texts;
  }();
  return labels;
}

}  // namespace

void TChart::Draw(HDC dc, int width, int height, const PixelCanvas& pixels) {
  RECT rc = {0, 0, width, height};
  FillRect(dc, &rc, back_brush_.Get(look_.back));
  SelectedObject font(dc, look_.font);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  const ChartLayout layout = ComputeChartLayout(width, height, LabelWidth(dc), tm.tmHeight, look_.dpi);
  DrawAxisLabels(dc, layout, tm.tmHeight);
  DrawGrid(dc, layout);
  DrawAxis(dc, layout);
  DrawLines(dc, layout, width, height, pixels);
  DrawSplash(dc, width, height);
}

int TChart::LabelWidth(HDC dc) {
  if (label_width_ < 0 || label_width_font_ != look_.font) {
    SIZE sz = {};
    GetTextExtentPoint32W(dc, L"100", 3, &sz);
    label_width_ = sz.cx;
    label_width_font_ = look_.font;
  }
  return label_width_;
}

void TChart::DrawAxisLabels(HDC dc, const ChartLayout& layout, int font_height) {
  // Right-aligned and centred on their grid line.
  SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, look_.text);
  for (int i = 0; i < kAxisLabelCount; ++i) {
    const std::wstring& text = AxisLabels()[i];
    RECT r = {0, layout.grid_y[i] - font_height / 2, layout.label_right,
              layout.grid_y[i] - font_height / 2 + font_height};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  }
}

void TChart::DrawGrid(HDC dc, const ChartLayout& layout) {
  const COLORREF grey = RGB(128, 128, 128);
  if (layout.axis_width == 1) {
    SetBkMode(dc, TRANSPARENT);
    SelectedObject pen(dc, grid_pen_.Get(grey, 1, PS_DOT));
    for (int i = 1; i < kAxisLabelCount; ++i) {
      MoveToEx(dc, layout.plot.left, layout.grid_y[i], nullptr);
      LineTo(dc, layout.plot.right, layout.grid_y[i]);
    }
    return;
  }
  // Scaled: the dots of the one-pixel dotted pen, as long and as thick as
  // the scaling makes them, laid once and copied to the other lines (the
  // plot holds nothing else yet).
  const int dot = ScaleToDpi(kGridDotLength, look_.dpi);
  const int w = layout.axis_width;
  const int first = layout.grid_y[kAxisLabelCount - 1];
  HBRUSH brush = grid_brush_.Get(grey);
  for (int x = layout.plot.left; x < layout.plot.right; x += 2 * dot) {
    RECT r = {x, first, std::min(x + dot, layout.plot.right), first + w};
    FillRect(dc, &r, brush);
  }
  for (int i = 1; i < kAxisLabelCount - 1; ++i) {
    BitBlt(dc, layout.plot.left, layout.grid_y[i], layout.plot.right - layout.plot.left, w, dc, layout.plot.left,
           first, SRCCOPY);
  }
}

void TChart::DrawAxis(HDC dc, const ChartLayout& layout) {
  // In the text colour: a black line would vanish into a black colour key.
  HBRUSH axis = axis_brush_.Get(look_.text);
  const int w = layout.axis_width;
  RECT line = {layout.axis_x, layout.plot.top, layout.axis_x + w, layout.plot.bottom + w};
  FillRect(dc, &line, axis);
  for (int i = 0; i < kAxisLabelCount; ++i) {
    RECT tick = {layout.axis_x - layout.tick_length, layout.grid_y[i], layout.axis_x, layout.grid_y[i] + w};
    FillRect(dc, &tick, axis);
  }
}

void TChart::DrawLines(HDC dc, const ChartLayout& layout, int width, int height, const PixelCanvas& pixels) {
  double min_x = 0, max_x = 0;
  if (!data_.XRange(&min_x, &max_x)) return;
  const int line_width = std::max(1, ScaleToDpi(chart_look_.line_width, look_.dpi));
  // At 96 dpi the lines are the pens' own (a thicker one two pixels wide).
  // Scaled and wider, they are swept into the back buffer's pixels where it
  // has them (a bitmap of another kind gets the pen).
  const bool scaled_lines = look_.dpi > kDesignDpi && line_width > 1;
  PixelCanvas canvas = scaled_lines ? pixels : PixelCanvas{};
  canvas.width = std::min(canvas.width, width);
  canvas.height = std::min(canvas.height, height);
  if (canvas.pixels) {
    // GDI's pending drawing lands in the pixels before they are written.
    GdiFlush();
  }
  // Memory first, so the processor lines stay on top.
  for (int k = 0; k < kChartLines; ++k) {
    const auto& line = data_.Line(k);
    if (line.empty()) continue;
    MapLinePoints(line, min_x, max_x, layout.plot, &mapped_);
    const COLORREF c = chart_look_.line_color[k];
    if (canvas.pixels) {
      // Written straight into the pixels: a wide pen costs many times a
      // one-pixel line.
      DrawThickPolyline(canvas, mapped_, line_width,
                        (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c),
                        &raster_scratch_);
    } else {
      StrokeLine(dc, line_pens_[k].Get(c, line_width));
    }
  }
}

void TChart::StrokeLine(HDC dc, HPEN pen) {
  points_.resize(mapped_.size());
  for (std::size_t i = 0; i < mapped_.size(); ++i) points_[i] = {mapped_[i].x, mapped_[i].y};
  SelectedObject selected(dc, pen);
  if (points_.size() == 1) {
    MoveToEx(dc, points_[0].x, points_[0].y, nullptr);
    LineTo(dc, points_[0].x + 1, points_[0].y);
  } else {
    Polyline(dc, points_.data(), static_cast<int>(points_.size()));
  }
}

void TChart::DrawSplash(HDC dc, int width, int height) {
  // Over everything, right of the spacer.
  if (!splash_ || !IsWindowVisible(splash_)) return;
  const std::wstring text = ControlText(splash_);
  PixelRect s = SplashRect(width, height, look_.dpi);
  RECT r = {s.left, s.top, s.right, s.bottom};
  SelectedObject bold(dc, look_.bold_font);
  SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, look_.text);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---------------------------------------------------------------------------
// TSplashLabel

LRESULT TSplashLabel::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_PAINT: {
      ValidateRect(hwnd_, nullptr);
      return 0;
    }
    case WM_SHOWWINDOW:
      // The graph draws the text: repaint it when the splash comes or goes.
      InvalidateRect(GetParent(hwnd_), nullptr, FALSE);
      break;
  }
  return TWidget::Handle(msg, wparam, lparam);
}

// ---------------------------------------------------------------------------
// TGauge

void TGauge::SetProgress(int percent) {
  percent = ClampPercent(percent);
  if (percent == progress_) return;
  progress_ = percent;
  if (hwnd_) {
    SetWindowTextW(hwnd_, Text().c_str());
    Invalidate();
  }
}

const std::wstring& TGauge::Text() {
  if (text_progress_ != progress_) {
    text_ = Widen(GaugeText(progress_));
    text_progress_ = progress_;
  }
  return text_;
}

void TGauge::Draw(HDC dc, int width, int height) {
  RECT rc = {0, 0, width, height};
  FillRect(dc, &rc, back_brush_.Get(look_.back));
  const GaugeGeometry g = ComputeGauge(width, height, progress_, look_.dpi);
  RECT frame = {g.frame.left, g.frame.top, g.frame.right, g.frame.bottom};
  for (int i = 0; i < g.frame_width; ++i) {
    FrameRect(dc, &frame, frame_brush_.Get(look_.text));
    InflateRect(&frame, -1, -1);
  }
  RECT fill = {g.fill.left, g.fill.top, g.fill.right, g.fill.bottom};
  if (fill.bottom > fill.top) FillRect(dc, &fill, bar_brush_.Get(bar_color));

  // The figure reads in the text colour over the empty part and in the
  // window colour over the bar, so it stays legible as the bar passes it.
  const std::wstring& text = Text();
  SelectedObject font(dc, look_.bold_font);
  SIZE sz = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  const int x = (width - sz.cx) / 2;
  const int y = (height - sz.cy) / 2;
  SetBkMode(dc, TRANSPARENT);
  RECT empty = {g.inner.left, g.inner.top, g.inner.right, g.fill.top};
  ::SetTextColor(dc, look_.text);
  ExtTextOutW(dc, x, y, ETO_CLIPPED, &empty, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  ::SetTextColor(dc, look_.back);
  ExtTextOutW(dc, x, y, ETO_CLIPPED, &fill, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

}  // namespace zt
