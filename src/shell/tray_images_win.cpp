#include "shell/tray_images_win.h"

#include <algorithm>

#include "shell/tray_logic.h"

namespace zt {

UniqueIcon IconFromPixels(const TrayPixels& pixels) {
  // Anything larger would be written past the end of the bitmap's bits.
  if (pixels.size() != static_cast<std::size_t>(kTrayImageSize * kTrayImageSize)) return UniqueIcon();
  BITMAPV5HEADER bi = {};
  bi.bV5Size = sizeof(bi);
  bi.bV5Width = kTrayImageSize;
  bi.bV5Height = -kTrayImageSize;  // top-down
  bi.bV5Planes = 1;
  bi.bV5BitCount = 32;
  bi.bV5Compression = BI_BITFIELDS;
  bi.bV5RedMask = 0x00FF0000;
  bi.bV5GreenMask = 0x0000FF00;
  bi.bV5BlueMask = 0x000000FF;
  bi.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  UniqueBitmap color(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits,
                                      nullptr, 0));
  UniqueBitmap mask(CreateBitmap(kTrayImageSize, kTrayImageSize, 1, 1, nullptr));
  if (!color || !mask || !bits) return UniqueIcon();
  auto* out = static_cast<uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels.size(); ++i) out[i] = 0xFF000000u | (pixels[i] & 0xFFFFFF);
  // The AND mask must be all zero (opaque) for the colour image to show.
  const WORD zeros[kTrayImageSize] = {};
  SetBitmapBits(mask.get(), sizeof(zeros), zeros);
  ICONINFO ii = {};
  ii.fIcon = TRUE;
  ii.hbmColor = color.get();
  ii.hbmMask = mask.get();
  // The icon keeps its own copies; ours are released on return.
  return UniqueIcon(CreateIconIndirect(&ii));
}

HICON TrayImageList::Icon(int index) const {
  if (icons_.empty()) return nullptr;
  index = std::min(Count() - 1, std::max(0, index));
  return icons_[index].get();
}

void BuildNumericTrayImages(TrayImageList* list) {
  for (int i = 0; i < kTrayNumericImages; ++i) list->Add(IconFromPixels(DrawNumericImage(i)));
}

void BuildGradientTrayImages(TrayImageList* list) {
  for (int i = 0; i < kTrayGradientImages; ++i) {
    list->Add(IconFromPixels(DrawGradientImage(i, kTrayGradientImages)));
  }
}

}  // namespace zt
