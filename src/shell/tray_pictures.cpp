#include "shell/tray_pictures.h"

#include <algorithm>
#include <string>

#include "util/dpi.h"
#include "util/program_picture.h"

namespace zt {
namespace {

constexpr uint32_t kSquare = 0xE4E4E4;  // light grey
constexpr uint32_t kFrame = 0x808080;   // grey
constexpr uint32_t kDigit = 0x101010;   // dark digits

// A bold digit font of 5 x 9 cells.  At 16 pixels a cell is a pixel; at
// other sizes the glyph box is chosen in that size's pixels and each cell
// edge is placed on a whole pixel of it, so the strokes stay solid and
// sharp-edged (never resampled).
struct CellFont {
  int columns;
  int rows;
  const char* cells[10][9];
};

constexpr CellFont kBold = {5, 9, {
    {".###.", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", ".###."},
    {"..##.", ".###.", "####.", "..##.", "..##.", "..##.", "..##.", "..##.", "..##."},
    {".###.", "##.##", "...##", "...##", "..##.", ".##..", "##...", "##...", "#####"},
    {"####.", "...##", "...##", ".###.", "...##", "...##", "...##", "...##", "####."},
    {"...##", "..###", ".####", "##.##", "##.##", "#####", "...##", "...##", "...##"},
    {"#####", "##...", "##...", "####.", "...##", "...##", "...##", "##.##", ".###."},
    {".###.", "##...", "##...", "####.", "##.##", "##.##", "##.##", "##.##", ".###."},
    {"#####", "...##", "...##", "..##.", "..##.", ".##..", ".##..", ".##..", ".##.."},
    {".###.", "##.##", "##.##", ".###.", "##.##", "##.##", "##.##", "##.##", ".###."},
    {".###.", "##.##", "##.##", "##.##", ".####", "...##", "...##", "...##", ".###."},
}};

// The "1" of 100: two columns, so "100" fills the inner square exactly at 16.
constexpr const char* kNarrowOne[9] = {".#", "##", "##", "##", "##", "##", "##", "##", "##"};
constexpr int kNarrowOneColumns = 2;

class Canvas {
 public:
  explicit Canvas(int size, uint32_t fill) : size_(size), px_(static_cast<size_t>(size) * size, fill) {}
  int size() const { return size_; }
  void Fill(int left, int top, int right, int bottom, uint32_t c) {
    left = std::max(0, left), top = std::max(0, top);
    right = std::min(size_, right), bottom = std::min(size_, bottom);
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) px_[static_cast<size_t>(y) * size_ + x] = c;
  }
  TrayPixels Take() { return std::move(px_); }

 private:
  int size_;
  TrayPixels px_;
};

// The frame: one design unit wide, in whole pixels.
int FrameWidth(int size) { return std::max(1, size / kTrayImageSize); }

Canvas EmptySquare(int size) {
  Canvas c(size, kFrame);
  const int f = FrameWidth(size);
  c.Fill(f, f, size - f, size - f, kSquare);
  return c;
}

// The i-th of `cells` cell edges over `pixels` pixels, on a whole pixel.
int CellEdge(int i, int cells, int pixels) { return MulDivRound(i, pixels, cells); }

}  // namespace

int TrayPictureSize(int size) { return std::max(kTrayImageSize, std::min(size, 256)); }

TrayPixels DrawNumericImage(int value, int size) {
  size = TrayPictureSize(size);
  Canvas c = EmptySquare(size);
  const std::string text = std::to_string(std::min(100, std::max(0, value)));
  const bool narrow_one = text.size() == 3;
  // The glyph box in this size's pixels: five ninths of the height as at 16,
  // narrowed where "100" would not fit inside the frame.
  const int inner = size - 2 * FrameWidth(size);
  const int gap = std::max(1, size / kTrayImageSize);
  const int height = MulDivRound(kBold.rows, size, kTrayImageSize);
  int width = MulDivRound(kBold.columns, size, kTrayImageSize);
  auto narrow = [&](int w) { return MulDivRound(kNarrowOneColumns, w, kBold.columns); };
  while (width > kBold.columns && narrow(width) + 2 * width + 2 * gap > inner) --width;
  auto glyph_width = [&](char ch) { return narrow_one && ch == '1' ? narrow(width) : width; };
  int total = static_cast<int>(text.size() - 1) * gap;
  for (char ch : text) total += glyph_width(ch);
  int x = (size - total) / 2;
  const int top = (size - height) / 2;
  for (char ch : text) {
    const int w = glyph_width(ch);
    const bool one = w != width;
    const int columns = one ? kNarrowOneColumns : kBold.columns;
    for (int row = 0; row < kBold.rows; ++row) {
      const char* line = one ? kNarrowOne[row] : kBold.cells[ch - '0'][row];
      for (int col = 0; col < columns; ++col) {
        if (line[col] != '#') continue;
        c.Fill(x + CellEdge(col, columns, w), top + CellEdge(row, kBold.rows, height),
               x + CellEdge(col + 1, columns, w), top + CellEdge(row + 1, kBold.rows, height), kDigit);
      }
    }
    x += w + gap;
  }
  return c.Take();
}

TrayPixels DrawGradientImage(int level, int levels, int size) {
  size = TrayPictureSize(size);
  Canvas c = EmptySquare(size);
  const int f = FrameWidth(size);
  const int inner = size - 2 * f;  // one row per pixel: the colours run smoothly at every size
  const int steps = std::max(1, levels - 1);
  const int rows = std::min(inner, std::max(0, level) * inner / steps);
  for (int r = 0; r < rows; ++r) {
    // Row colour depends on its height, so a fuller square shows more red.
    const double t = inner > 1 ? static_cast<double>(r) / (inner - 1) : 0;
    const uint32_t green = 0x00B000, orange = 0xFF9800, red = 0xE00000;
    const uint32_t colour = t < 0.5 ? MixColors(green, orange, t * 2) : MixColors(orange, red, (t - 0.5) * 2);
    const int y = size - f - 1 - r;
    c.Fill(f, y, size - f, y + 1, colour);
  }
  return c.Take();
}

TrayPixels DrawProgramTrayImage(int size) {
  size = TrayPictureSize(size);
  if (size == kProgramImageSize) return DrawProgramImage();
  return DrawProgramImageAt(size);
}

}  // namespace zt
