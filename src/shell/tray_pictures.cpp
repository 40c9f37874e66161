#include "shell/tray_pictures.h"

#include <algorithm>
#include <cmath>
#include <string>

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

// The program icon's load line: the row of each of the 14 inner columns.
constexpr int kProgramLine[14] = {11, 10, 11, 8, 9, 6, 7, 9, 5, 4, 6, 3, 5, 4};
constexpr uint32_t kProgramFrame = 0x000080;
constexpr uint32_t kProgramLineColor = 0x00A000;

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  auto ch = [&](int shift) {
    double v = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
    return static_cast<uint32_t>(v + 0.5) << shift;
  };
  return ch(16) | ch(8) | ch(0);
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
    const uint32_t c = t < 0.5 ? Mix(green, orange, t * 2) : Mix(orange, red, (t - 0.5) * 2);
    const int y = kTrayImageSize - 2 - r;
    for (int x = 1; x < kTrayImageSize - 1; ++x) px[y * kTrayImageSize + x] = c;
  }
  return px;
}

TrayPixels DrawProgramImage() {
  // A white panel with a navy frame and a green load line: the main window
  // in miniature.
  TrayPixels px(kTrayImageSize * kTrayImageSize, 0xFFFFFF);
  for (int i = 0; i < kTrayImageSize; ++i) {
    px[i] = px[15 * kTrayImageSize + i] = px[i * kTrayImageSize] = px[i * kTrayImageSize + 15] = kProgramFrame;
  }
  const int* ys = kProgramLine;
  for (int x = 1; x < 15; ++x) {
    const int y = ys[x - 1];
    const int prev = x > 1 ? ys[x - 2] : y;
    for (int yy = std::min(y, prev); yy <= std::max(y, prev); ++yy) px[yy * kTrayImageSize + x] = kProgramLineColor;
    px[(y + 1) * kTrayImageSize + x] = kProgramLineColor;
  }
  return px;
}

TrayPixels DrawProgramLogo() {
  constexpr int n = kProgramLogoSize;
  constexpr double scale = static_cast<double>(n) / kTrayImageSize;
  constexpr int frame = 4;
  TrayPixels px(n * n, 0xFFFFFF);
  // The icon's line through the middle of its pixels, scaled up.
  double lx[14], ly[14];
  for (int i = 0; i < 14; ++i) {
    lx[i] = (i + 1.5) * scale;
    ly[i] = (kProgramLine[i] + 1.0) * scale;
  }
  // The line runs from frame to frame, as the icon's does.
  lx[0] = frame;
  lx[13] = n - frame;
  const double half_width = 0.6 * scale;
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      uint32_t& p = px[y * n + x];
      if (x < frame || y < frame || x >= n - frame || y >= n - frame) {
        p = kProgramFrame;
        continue;
      }
      // A faint grid, as on the graph.
      if ((x - frame) % 14 == 13 || (y - frame) % 14 == 13) p = 0xE8ECF4;
      // Distance from the pixel's centre to the line, for a smooth edge.
      const double cx = x + 0.5, cy = y + 0.5;
      double d = 1e9;
      for (int i = 0; i + 1 < 14; ++i) {
        const double vx = lx[i + 1] - lx[i], vy = ly[i + 1] - ly[i];
        const double t = std::clamp(((cx - lx[i]) * vx + (cy - ly[i]) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
        d = std::min(d, std::hypot(cx - (lx[i] + t * vx), cy - (ly[i] + t * vy)));
      }
      // Below the line a light wash of its colour.
      double below = 0;
      const double fx = std::clamp((cx - lx[0]) / (lx[13] - lx[0]), 0.0, 1.0) * 13;
      const int i = std::min(12, static_cast<int>(fx));
      const double line_y = ly[i] + (ly[i + 1] - ly[i]) * (fx - i);
      if (cx >= lx[0] && cx <= lx[13] && cy > line_y) below = 0.18;
      if (below > 0) p = Mix(p, kProgramLineColor, below);
      const double cover = std::clamp(half_width + 0.5 - d, 0.0, 1.0);
      if (cover > 0) p = Mix(p, kProgramLineColor, cover);
    }
  }
  return px;
}

}  // namespace zt
