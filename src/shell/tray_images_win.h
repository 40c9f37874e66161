// The tray icon's pictures, drawn once at start-up: 101 numeric images (the
// load 0..100 in dark digits on a light grey square with a grey frame) and 15
// gradient images (the same square filled from the bottom, green through
// orange to red), plus the program's own icon.  Each image is kept as a
// ready icon, so a sample only picks a handle and never creates one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "shell/tray_pictures.h"
#include "util/handles_win.h"

namespace zt {

// A fully opaque square icon from size x size pixels.  Empty for pixels of
// any other count.
UniqueIcon IconFromPixels(const TrayPixels& pixels, int size = kTrayImageSize);

class TrayImageList {
 public:
  int Count() const { return static_cast<int>(icons_.size()); }
  HICON Icon(int index) const;
  void Add(UniqueIcon icon) { icons_.push_back(std::move(icon)); }
  // The side of its pictures in pixels.
  int size() const { return size_; }
  void set_size(int size) { size_ = size; }

 private:
  std::vector<UniqueIcon> icons_;
  int size_ = kTrayImageSize;
};

// The lists drawn at `size` pixels a side (the notification area's).
void BuildNumericTrayImages(TrayImageList* list, int size = kTrayImageSize);
void BuildGradientTrayImages(TrayImageList* list, int size = kTrayImageSize);

}  // namespace zt
