#include "util/program_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zt {
namespace {

// The load line: the row of each of the 14 inner columns.
constexpr int kProgramLine[14] = {11, 10, 11, 8, 9, 6, 7, 9, 5, 4, 6, 3, 5, 4};
constexpr uint32_t kProgramFrame = 0x000080;
constexpr uint32_t kProgramLineColor = 0x00A000;

}  // namespace

uint32_t MixColors(uint32_t a, uint32_t b, double t) {
  auto ch = [&](int shift) {
    double v = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
    return static_cast<uint32_t>(v + 0.5) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

ProgramPixels DrawProgramImage() {
  // A white panel with a navy frame and a green load line: the main window
  // in miniature.
  constexpr int n = kProgramImageSize;
  ProgramPixels px(n * n, 0xFFFFFF);
  for (int i = 0; i < n; ++i) {
    px[i] = px[15 * n + i] = px[i * n] = px[i * n + 15] = kProgramFrame;
  }
  const int* ys = kProgramLine;
  for (int x = 1; x < 15; ++x) {
    const int y = ys[x - 1];
    const int prev = x > 1 ? ys[x - 2] : y;
    for (int yy = std::min(y, prev); yy <= std::max(y, prev); ++yy) px[yy * n + x] = kProgramLineColor;
    px[(y + 1) * n + x] = kProgramLineColor;
  }
  return px;
}

ProgramPixels DrawProgramImageAt(int size) {
  const int n = std::max(kProgramImageSize, size);
  const int f = std::max(1, n / kProgramImageSize);  // the frame: one design unit
  ProgramPixels px(static_cast<size_t>(n) * n, kProgramFrame);
  auto fill = [&](int left, int top, int right, int bottom, uint32_t c) {
    for (int y = std::max(0, top); y < std::min(n, bottom); ++y)
      for (int x = std::max(0, left); x < std::min(n, right); ++x) px[static_cast<size_t>(y) * n + x] = c;
  };
  fill(f, f, n - f, n - f, 0xFFFFFF);
  // The 14 inner design columns and rows spread over the inner pixels, each
  // edge on a whole pixel.
  const int inner = n - 2 * f;
  auto edge = [&](int design) {
    const int64_t scaled = (2 * static_cast<int64_t>(design - 1) * inner + 14) / 28;  // rounded
    return f + static_cast<int>(scaled);
  };
  const int* ys = kProgramLine;
  for (int x = 1; x < 15; ++x) {
    const int y = ys[x - 1];
    const int prev = x > 1 ? ys[x - 2] : y;
    // The column's run from the previous point to this one, and the row
    // below the point, as in the 16-pixel picture.
    fill(edge(x), edge(std::min(y, prev)), edge(x + 1), edge(std::max(y, prev) + 1), kProgramLineColor);
    fill(edge(x), edge(y + 1), edge(x + 1), edge(y + 2), kProgramLineColor);
  }
  return px;
}

ProgramPixels DrawProgramIconImage(int size) {
  return size <= 32 ? DrawProgramImageAt(size) : DrawProgramLogo(size);
}

ProgramPixels DrawProgramLogo(int size) {
  if (size <= 0) return {};
  const int n = size;
  const double scale = static_cast<double>(n) / kProgramImageSize;
  // The frame, the grid's step and its lines keep their share of the
  // picture at every size.
  const double k = static_cast<double>(n) / kProgramLogoSize;
  const int frame = std::max(1, static_cast<int>(std::lround(4 * k)));
  const int grid = std::max(2, static_cast<int>(std::lround(14 * k)));
  const int grid_line = std::max(1, static_cast<int>(std::lround(k)));
  ProgramPixels px(static_cast<size_t>(n) * static_cast<size_t>(n), 0xFFFFFF);
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
      uint32_t& p = px[static_cast<size_t>(y) * static_cast<size_t>(n) + static_cast<size_t>(x)];
      if (x < frame || y < frame || x >= n - frame || y >= n - frame) {
        p = kProgramFrame;
        continue;
      }
      // A faint grid, as on the graph.
      if ((x - frame) % grid >= grid - grid_line || (y - frame) % grid >= grid - grid_line) p = 0xE8ECF4;
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
      if (below > 0) p = MixColors(p, kProgramLineColor, below);
      const double cover = std::clamp(half_width + 0.5 - d, 0.0, 1.0);
      if (cover > 0) p = MixColors(p, kProgramLineColor, cover);
    }
  }
  return px;
}

}  // namespace zt
