#include "shell/tray_images_win.h"

#include <algorithm>

#include "shell/tray_logic.h"
#include "util/icons_win.h"

namespace zt {

UniqueIcon IconFromPixels(const TrayPixels& pixels) {
  return IconFromPixels(pixels, kTrayImageSize, PixelAlpha::Opaque);
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
