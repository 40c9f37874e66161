#include "shell/tray_pictures.h"

#include <algorithm>
#include <string>

#include "util/program_picture.h"

namespace zt {
namespace {

constexpr uint32_t kSquare = 0xE4E4E4;  // light grey
constexpr uint32_t kFrame = 0x808080;   // grey
constexpr uint32_t kDigit = 0x101010;   // dark digits

// A bold 5 x 9 pixel font: crisp at 16 x 16 whatever fonts the system has.
struct PixelFont {
  int width;
  int height;
  const char* rows[10][9];
};

constexpr PixelFont kBold = {5, 9, {
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

// The "1" of 100: two columns, so "100" fills the 14 inner columns exactly.
constexpr const char* kNarrowOne[9] = {".#", "##", "##", "##", "##", "##", "##", "##", "##"};
constexpr int kNarrowOneWidth = 2;

TrayPixels EmptySquare() {
  TrayPixels px(kTrayImageSize * kTrayImageSize, kSquare);
  for (int i = 0; i < kTrayImageSize; ++i) {
    px[i] = px[(kTrayImageSize - 1) * kTrayImageSize + i] = kFrame;
    px[i * kTrayImageSize] = px[i * kTrayImageSize + kTrayImageSize - 1] = kFrame;
  }
  return px;
}

}  // namespace

TrayPixels DrawNumericImage(int value) {
  TrayPixels px = EmptySquare();
  const std::string text = std::to_string(std::min(100, std::max(0, value)));
  const bool narrow_one = text.size() == 3;
  auto glyph_width = [&](char c) { return narrow_one && c == '1' ? kNarrowOneWidth : kBold.width; };
  int width = static_cast<int>(text.size()) - 1;
  for (char c : text) width += glyph_width(c);
  int x = (kTrayImageSize - width) / 2;
  const int y0 = (kTrayImageSize - kBold.height) / 2;
  for (char c : text) {
    const int w = glyph_width(c);
    for (int row = 0; row < kBold.height; ++row) {
      const char* line = w == kNarrowOneWidth ? kNarrowOne[row] : kBold.rows[c - '0'][row];
      for (int col = 0; col < w; ++col) {
        if (line[col] == '#') px[(y0 + row) * kTrayImageSize + x + col] = kDigit;
      }
    }
    x += w + 1;
  }
  return px;
}

TrayPixels DrawGradientImage(int level, int levels) {
  TrayPixels px = EmptySquare();
  const int inner = kTrayImageSize - 2;  // 14 rows, one per level step
  const int steps = std::max(1, levels - 1);
  const int rows = std::min(inner, std::max(0, level) * inner / steps);
  for (int r = 0; r < rows; ++r) {
    // Row colour depends on its height, so a fuller square shows more red.
    const double t = static_cast<double>(r) / (inner - 1);
    const uint32_t green = 0x00B000, orange = 0xFF9800, red = 0xE00000;
    const uint32_t c = t < 0.5 ? MixColors(green, orange, t * 2) : MixColors(orange, red, (t - 0.5) * 2);
    const int y = kTrayImageSize - 2 - r;
    for (int x = 1; x < kTrayImageSize - 1; ++x) px[y * kTrayImageSize + x] = c;
  }
  return px;
}

}  // namespace zt
