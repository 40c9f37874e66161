// Writes the program's icon file from the program's own drawing, each size
// drawn at its own pixels (util/program_picture.h):
//   program_icon OUT.ico       (res/zettrim.ico)
// The pixel pictures (up to 32) go in as 4-bit palette bitmaps, as their
// three colours need no more; the smooth logos (48 and larger) as PNG, which
// keeps the file, and so zettrim.exe, small.  Every picture is opaque.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

#include "util/program_picture.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<unsigned char>(v & 0xFF));
  out.push_back(static_cast<unsigned char>(v >> 8 & 0xFF));
}
void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A bitmap of at most 16 colours: its header (twice the height: the colour
// rows, then the transparency mask), palette, colour rows bottom up and an
// all-opaque mask.  Empty when the picture has more colours.
Bytes PaletteBitmap(const zt::ProgramPixels& px, int size) {
  std::map<uint32_t, int> index;
  for (uint32_t c : px) {
    if (!index.count(c)) {
      if (index.size() == 16) return {};
      const int next = static_cast<int>(index.size());
      index[c] = next;
    }
  }
  Bytes out;
  const int row = (size * 4 + 31) / 32 * 4, mask_row = (size + 31) / 32 * 4;
  for (uint32_t v : {40u, static_cast<uint32_t>(size), static_cast<uint32_t>(2 * size)}) Put32(out, v);
  Put16(out, 1);
  Put16(out, 4);
  for (uint32_t v : {0u, static_cast<uint32_t>(row * size), 0u, 0u, 16u, 0u}) Put32(out, v);
  std::vector<uint32_t> palette(16, 0);
  for (const auto& [color, i] : index) palette[static_cast<size_t>(i)] = color;
  for (uint32_t c : palette) Put32(out, c);  // 0x00RRGGBB is the palette's byte order
  for (int y = size - 1; y >= 0; --y) {
    Bytes line(static_cast<size_t>(row), 0);
    for (int x = 0; x < size; ++x) {
      const int i = index[px[static_cast<size_t>(y) * size + x]];
      line[static_cast<size_t>(x / 2)] |= static_cast<unsigned char>(x % 2 ? i : i << 4);
    }
    out.insert(out.end(), line.begin(), line.end());
  }
  out.insert(out.end(), static_cast<size_t>(mask_row * size), 0);
  return out;
}

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

Bytes Png(const zt::ProgramPixels& px, int size) {
  // Everything with a destructor is made before libpng may jump back.
  Bytes rgba(px.size() * 4), out;
  std::vector<png_bytep> rows(static_cast<size_t>(size));
  for (size_t i = 0; i < px.size(); ++i) {
    rgba[i * 4] = static_cast<unsigned char>(px[i] >> 16);
    rgba[i * 4 + 1] = static_cast<unsigned char>(px[i] >> 8);
    rgba[i * 4 + 2] = static_cast<unsigned char>(px[i]);
    rgba[i * 4 + 3] = 0xFF;
  }
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = &rgba[y * static_cast<size_t>(size) * 4];
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendPng, nullptr);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8, PNG_COLOR_TYPE_RGBA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: program_icon OUT.ico\n");
    return 2;
  }
  std::vector<std::pair<int, Bytes>> images;
  for (int size : zt::kProgramIconSizes) {
    const zt::ProgramPixels px = zt::DrawProgramIconImage(size);
    Bytes image = size <= 32 ? PaletteBitmap(px, size) : Png(px, size);
    if (image.empty()) {
      std::fprintf(stderr, "program_icon: the %d-pixel picture could not be written\n", size);
      return 1;
    }
    images.emplace_back(size, std::move(image));
  }
  // The directory, then the pictures in its order.
  Bytes file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, static_cast<unsigned>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const auto& [size, image] : images) {
    file.push_back(static_cast<unsigned char>(size % 256));  // 0 stands for 256
    file.push_back(static_cast<unsigned char>(size % 256));
    file.push_back(size <= 32 ? 16 : 0);  // colours of a palette picture
    file.push_back(0);
    Put16(file, 1);
    Put16(file, size <= 32 ? 4 : 32);
    Put32(file, static_cast<uint32_t>(image.size()));
    Put32(file, offset);
    offset += static_cast<uint32_t>(image.size());
  }
  for (const auto& entry : images) file.insert(file.end(), entry.second.begin(), entry.second.end());
  FILE* out = std::fopen(argv[1], "wb");
  if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
    std::fprintf(stderr, "program_icon: could not write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
