// Writes every tray picture (101 numeric, 15 gradient, the program icon),
// enlarged four times, as one PPM image: for looking at them and for the
// screenshots in docs/.   tray_sheet OUT.ppm
#include <cstdio>

#include "shell/tray_logic.h"
#include "shell/tray_pictures.h"
#include "util/program_picture.h"

int main(int argc, char** argv) {
  using namespace zt;
  if (argc != 2) {
    std::fprintf(stderr, "usage: tray_sheet OUT.ppm\n");
    return 2;
  }
  constexpr int kScale = 4, kCell = kTrayImageSize * kScale + 8, kColumns = 17;
  const int images = kTrayNumericImages + kTrayGradientImages + 1;
  const int rows = (kTrayNumericImages + kColumns - 1) / kColumns + 2;
  const int width = kColumns * kCell, height = rows * kCell;
  std::vector<uint32_t> sheet(static_cast<size_t>(width) * height, 0xFFFFFF);
  auto place = [&](const TrayPixels& px, int cell_x, int cell_y) {
    for (int y = 0; y < kTrayImageSize * kScale; ++y) {
      for (int x = 0; x < kTrayImageSize * kScale; ++x) {
        sheet[static_cast<size_t>(cell_y * kCell + 4 + y) * width + cell_x * kCell + 4 + x] =
            px[(y / kScale) * kTrayImageSize + x / kScale];
      }
    }
  };
  for (int i = 0; i < kTrayNumericImages; ++i) place(DrawNumericImage(i), i % kColumns, i / kColumns);
  const int gradient_row = (kTrayNumericImages + kColumns - 1) / kColumns;
  for (int i = 0; i < kTrayGradientImages; ++i) {
    place(DrawGradientImage(i, kTrayGradientImages), i, gradient_row);
  }
  place(DrawProgramImage(), 0, gradient_row + 1);
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(f, "P6\n%d %d\n255\n", width, height);
  for (uint32_t p : sheet) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p)};
    std::fwrite(rgb, 1, 3, f);
  }
  std::fclose(f);
  std::printf("%d pictures written to %s\n", images, argv[1]);
  return 0;
}
