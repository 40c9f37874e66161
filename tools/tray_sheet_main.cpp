// Writes every tray picture (101 numeric, 15 gradient, the program icon)
// as one PPM image, each pixel shown as a square block: for looking at them
// and for the screenshots in docs/.
//   tray_sheet OUT.ppm [SIZE]
// SIZE is the pictures' side in pixels (16 at 100 %, 20, 24, 32 at 200 %);
// the 16-pixel pictures are enlarged four times, larger ones less.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "shell/tray_logic.h"
#include "shell/tray_pictures.h"

int main(int argc, char** argv) {
  using namespace zt;
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: tray_sheet OUT.ppm [SIZE]\n");
    return 2;
  }
  const int size = TrayPictureSize(argc == 3 ? std::atoi(argv[2]) : kTrayImageSize);
  const int scale = std::max(1, 64 / size), kColumns = 17;
  const int cell = size * scale + 8;
  const int images = kTrayNumericImages + kTrayGradientImages + 1;
  const int rows = (kTrayNumericImages + kColumns - 1) / kColumns + 2;
  const int width = kColumns * cell, height = rows * cell;
  std::vector<uint32_t> sheet(static_cast<size_t>(width) * height, 0xFFFFFF);
  auto place = [&](const TrayPixels& px, int cell_x, int cell_y) {
    for (int y = 0; y < size * scale; ++y) {
      for (int x = 0; x < size * scale; ++x) {
        sheet[static_cast<size_t>(cell_y * cell + 4 + y) * width + cell_x * cell + 4 + x] =
            px[static_cast<size_t>((y / scale) * size + x / scale)];
      }
    }
  };
  for (int i = 0; i < kTrayNumericImages; ++i) place(DrawNumericImage(i, size), i % kColumns, i / kColumns);
  const int gradient_row = (kTrayNumericImages + kColumns - 1) / kColumns;
  for (int i = 0; i < kTrayGradientImages; ++i) {
    place(DrawGradientImage(i, kTrayGradientImages, size), i, gradient_row);
  }
  place(DrawProgramTrayImage(size), 0, gradient_row + 1);
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
