#include "shell/tray_pictures.h"

#include <algorithm>
#include <string>

namespace zt {
namespace {

constexpr uint32_t kSquare = 0xE4E4E4;  // light grey
constexpr uint32_t kFrame = 0x808080;   // grey
constexpr uint32_t kDigit = 0x101010;   // dark digits

// A 4 x 7 pixel font: crisp at 16 x 16 whatever fonts the system has.
constexpr const char* kDigits[10][7] = {
    {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."},
    {"..#.", ".##.", "..#.", "..#.", "..#.", "..#.", ".###"},
    {".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"},
    {"###.", "...#", "...#", ".##.", "...#", "...#", "###."},
    {"..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."},
    {"####", "#...", "###.", "...#", "...#", "#..#", ".##."},
    {".##.", "#...", "#...", "###.", "#..#", "#..#", ".##."},
    {"####", "...#", "..#.", "..#.", ".#..", ".#..", ".#.."},
    {".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."},
    {".##.", "#..#", "#..#", ".###", "...#", "...#", ".##."},
};
// The "1" of 100 drops its empty first column so three digits fit.
constexpr int kDigitWidth = 4;
constexpr int kDigitHeight = 7;

TrayPixels EmptySquare() {
  TrayPixels px(kTrayImageSize * kTrayImageSize, kSquare);
  for (int i = 0; i < kTrayImageSize; ++i) {
    px[i] = px[(kTrayImageSize - 1) * kTrayImageSize + i] = kFrame;
    px[i * kTrayImageSize] = px[i * kTrayImageSize + kTrayImageSize - 1] = kFrame;
  }
  return px;
}

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
  int width = 0;
  for (char c : text) width += (narrow_one && c == '1') ? kDigitWidth - 1 : kDigitWidth;
  width += static_cast<int>(text.size()) - 1;
  int x = (kTrayImageSize - width) / 2;
  const int y0 = (kTrayImageSize - kDigitHeight) / 2;
  for (char c : text) {
    const int d = c - '0';
    const int skip = (narrow_one && c == '1') ? 1 : 0;
    for (int row = 0; row < kDigitHeight; ++row) {
      for (int col = skip; col < kDigitWidth; ++col) {
        if (kDigits[d][row][col] == '#') px[(y0 + row) * kTrayImageSize + x + col - skip] = kDigit;
      }
    }
    x += kDigitWidth - skip + 1;
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
    px[i] = px[15 * kTrayImageSize + i] = px[i * kTrayImageSize] = px[i * kTrayImageSize + 15] = 0x000080;
  }
  const int ys[14] = {11, 10, 11, 8, 9, 6, 7, 9, 5, 4, 6, 3, 5, 4};
  for (int x = 1; x < 15; ++x) {
    const int y = ys[x - 1];
    const int prev = x > 1 ? ys[x - 2] : y;
    for (int yy = std::min(y, prev); yy <= std::max(y, prev); ++yy) px[yy * kTrayImageSize + x] = 0x00A000;
    px[(y + 1) * kTrayImageSize + x] = 0x00A000;
  }
  return px;
}

}  // namespace zt
