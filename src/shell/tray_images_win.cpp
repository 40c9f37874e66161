#include "shell/tray_images_win.h"

#include <algorithm>

#include "shell/tray_logic.h"
#include "util/icons_win.h"

namespace zt {

UniqueIcon IconFromPixels(const TrayPixels& pixels, int size) {
  return IconFromPixels(pixels, size, PixelAlpha::Opaque);
}

HICON TrayImageList::Icon(int index) const {
  if (icons_.empty()) return nullptr;
  index = std::min(Count() - 1, std::max(0, index));
  return icons_[index].get();
}

void BuildNumericTrayImages(TrayImageList* list, int size) {
  size = TrayPictureSize(size);
  list->set_size(size);
  for (int i = 0; i < kTrayNumericImages; ++i) list->Add(IconFromPixels(DrawNumericImage(i, size), size));
}

void BuildGradientTrayImages(TrayImageList* list, int size) {
  size = TrayPictureSize(size);
  list->set_size(size);
  for (int i = 0; i < kTrayGradientImages; ++i) {
    list->Add(IconFromPixels(DrawGradientImage(i, kTrayGradientImages, size), size));
  }
}

}  // namespace zt
