#include "util/icons_win.h"

#include <algorithm>

namespace zt {

UniqueIcon IconFromPixels(const std::vector<uint32_t>& pixels, int size, PixelAlpha alpha) {
  // Anything else would be read or written past the end of the bits.
  if (size <= 0 || pixels.size() != static_cast<std::size_t>(size) * static_cast<std::size_t>(size))
    return UniqueIcon();
  BITMAPV5HEADER bi = {};
  bi.bV5Size = sizeof(bi);
  bi.bV5Width = size;
  bi.bV5Height = -size;  // top-down
  bi.bV5Planes = 1;
  bi.bV5BitCount = 32;
  bi.bV5Compression = BI_BITFIELDS;
  bi.bV5RedMask = 0x00FF0000;
  bi.bV5GreenMask = 0x0000FF00;
  bi.bV5BlueMask = 0x000000FF;
  bi.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  UniqueBitmap color(
      CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!color || !bits) return UniqueIcon();
  auto* out = static_cast<uint32_t*>(bits);
  // The AND mask: rows padded to 16 bits, a set bit leaves the pixel out.
  const int row_bytes = (size + 15) / 16 * 2;
  std::vector<BYTE> mask_bits(static_cast<std::size_t>(row_bytes) * static_cast<std::size_t>(size), 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const uint32_t p = pixels[static_cast<std::size_t>(y * size + x)];
      if (alpha == PixelAlpha::Opaque) {
        out[y * size + x] = 0xFF000000u | (p & 0xFFFFFF);
      } else {
        out[y * size + x] = p;
        if ((p >> 24) < 128) mask_bits[static_cast<std::size_t>(y * row_bytes + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
      }
    }
  }
  UniqueBitmap mask(CreateBitmap(size, size, 1, 1, mask_bits.data()));
  if (!mask) return UniqueIcon();
  ICONINFO ii = {};
  ii.fIcon = TRUE;
  ii.hbmColor = color.get();
  ii.hbmMask = mask.get();
  // The icon keeps its own copies; ours are released on return.
  return UniqueIcon(CreateIconIndirect(&ii));
}

void DrawPixels(HDC dc, int x, int y, const std::vector<uint32_t>& pixels, int size) {
  if (size <= 0 || pixels.size() != static_cast<std::size_t>(size) * static_cast<std::size_t>(size)) return;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(size), static_cast<DWORD>(size), 0, 0, 0, static_cast<UINT>(size),
                    pixels.data(), &info, DIB_RGB_COLORS);
}

}  // namespace zt
