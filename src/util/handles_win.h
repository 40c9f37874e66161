// Owners for Win32 handles.  Each wrapper is move-only and releases its
// handle exactly once; GDI and USER objects are counted so tests can check
// that a long run does not leak (GetGuiResources is not available on every
// platform the program runs on).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <utility>

namespace zt {

// Live objects created through the wrappers below.
struct HandleCounters {
  static std::atomic<long> gdi;   // pens, brushes, fonts, bitmaps, regions, memory DCs
  static std::atomic<long> user;  // icons, menus, cursors made by the program
};

template <typename Traits>
class UniqueWinHandle {
 public:
  using Handle = typename Traits::Handle;
  UniqueWinHandle() = default;
  explicit UniqueWinHandle(Handle h) : h_(h) { Traits::Acquired(h_); }
  ~UniqueWinHandle() { reset(); }
  UniqueWinHandle(const UniqueWinHandle&) = delete;
  UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;
  UniqueWinHandle(UniqueWinHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
  UniqueWinHandle& operator=(UniqueWinHandle&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, Traits::Invalid());
    }
    return *this;
  }
  void reset(Handle h = Traits::Invalid()) {
    if (h_ != Traits::Invalid()) Traits::Close(h_);
    h_ = h;
    Traits::Acquired(h_);
  }
  Handle get() const { return h_; }
  Handle release() {
    Handle h = h_;
    if (h != Traits::Invalid()) Traits::Forgotten(h);
    h_ = Traits::Invalid();
    return h;
  }
  explicit operator bool() const { return h_ != Traits::Invalid(); }

 private:
  Handle h_ = Traits::Invalid();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
  static void Acquired(Handle) {}
  static void Forgotten(Handle) {}
};

// CreateFile reports failure as INVALID_HANDLE_VALUE, not as null.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
  static void Acquired(Handle) {}
  static void Forgotten(Handle) {}
};

struct HKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
  static void Acquired(Handle) {}
  static void Forgotten(Handle) {}
};

template <typename T>
struct GdiTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) {
    DeleteObject(h);
    --HandleCounters::gdi;
  }
  static void Acquired(Handle h) {
    if (h) ++HandleCounters::gdi;
  }
  static void Forgotten(Handle) { --HandleCounters::gdi; }
};

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) {
    DeleteDC(h);
    --HandleCounters::gdi;
  }
  static void Acquired(Handle h) {
    if (h) ++HandleCounters::gdi;
  }
  static void Forgotten(Handle) { --HandleCounters::gdi; }
};

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) {
    DestroyIcon(h);
    --HandleCounters::user;
  }
  static void Acquired(Handle h) {
    if (h) ++HandleCounters::user;
  }
  static void Forgotten(Handle) { --HandleCounters::user; }
};

struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) {
    DestroyMenu(h);
    --HandleCounters::user;
  }
  static void Acquired(Handle h) {
    if (h) ++HandleCounters::user;
  }
  static void Forgotten(Handle) { --HandleCounters::user; }
};

// An image list holds its pictures as bitmaps: counted with the GDI objects.
struct ImageListTraits {
  using Handle = HIMAGELIST;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) {
    ImageList_Destroy(h);
    --HandleCounters::gdi;
  }
  static void Acquired(Handle h) {
    if (h) ++HandleCounters::gdi;
  }
  static void Forgotten(Handle) { --HandleCounters::gdi; }
};

using UniqueHandle = UniqueWinHandle<KernelHandleTraits>;
using UniqueFile = UniqueWinHandle<FileHandleTraits>;
using UniqueHKey = UniqueWinHandle<HKeyTraits>;
using UniquePen = UniqueWinHandle<GdiTraits<HPEN>>;
using UniqueBrush = UniqueWinHandle<GdiTraits<HBRUSH>>;
using UniqueFont = UniqueWinHandle<GdiTraits<HFONT>>;
using UniqueBitmap = UniqueWinHandle<GdiTraits<HBITMAP>>;
using UniqueRegion = UniqueWinHandle<GdiTraits<HRGN>>;
using UniqueMemoryDc = UniqueWinHandle<MemoryDcTraits>;
using UniqueIcon = UniqueWinHandle<IconTraits>;
using UniqueMenu = UniqueWinHandle<MenuTraits>;
using UniqueImageList = UniqueWinHandle<ImageListTraits>;

// A DC obtained with GetDC, released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects an object into a DC and selects the previous one back on scope exit.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~SelectedObject() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace zt
