#include "support/gui_objects_win.h"

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <type_traits>
#include <unordered_map>
#include <vector>

// The program calls the system through its import pointers (__imp_Name, on
// 32-bit __imp__Name@bytes).  The link wraps each of them: references to the
// pointer reach __wrap_<pointer>, defined here as a pointer to a counting
// function, and __real_<pointer> is the system's own.  The 32-bit names carry
// the leading underscore of that platform's symbols and the stdcall byte
// count, which must match the list in tests/CMakeLists.txt.
#if defined(__i386__)
#define ZT_WRAP_NAME(name, bytes) "___wrap__imp__" #name "@" #bytes
#define ZT_REAL_NAME(name, bytes) "___real__imp__" #name "@" #bytes
#else
#define ZT_WRAP_NAME(name, bytes) "__wrap___imp_" #name
#define ZT_REAL_NAME(name, bytes) "__real___imp_" #name
#endif

namespace zt::test {
namespace {

enum class Kind { Gdi, User };

struct Registry {
  std::mutex mutex;
  std::unordered_map<uintptr_t, Kind> live;
  std::unordered_map<uintptr_t, long> invalidations;
};

Registry& Objects() {
  static Registry* registry = new Registry;  // used until the very end of the process
  return *registry;
}

void Made(const void* handle, Kind kind) {
  if (!handle) return;
  Registry& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.live[reinterpret_cast<uintptr_t>(handle)] = kind;
}

void Released(const void* handle) {
  if (!handle) return;
  Registry& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.live.erase(reinterpret_cast<uintptr_t>(handle));
}

void Invalidated(HWND window) {
  Registry& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  ++r.invalidations[reinterpret_cast<uintptr_t>(window)];
}

// The stdcall byte count of a function type, to check the names above.
template <typename F>
struct ArgumentBytes;
template <typename R, typename... A>
struct ArgumentBytes<R(WINAPI*)(A...)> {
  static constexpr int value = (0 + ... + static_cast<int>((sizeof(A) + 3) / 4 * 4));
};

// Menus attached to `menu`, at any depth: DestroyMenu takes them along.
void CollectSubmenus(HMENU menu, std::vector<HMENU>* out) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      out->push_back(sub);
      CollectSubmenus(sub, out);
    }
  }
}

}  // namespace

GuiObjectCounts LiveGuiObjects() {
  Registry& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  GuiObjectCounts counts;
  for (const auto& entry : r.live) ++(entry.second == Kind::Gdi ? counts.gdi : counts.user);
  return counts;
}

long InvalidationsOf(HWND window) {
  Registry& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  const auto it = r.invalidations.find(reinterpret_cast<uintptr_t>(window));
  return it == r.invalidations.end() ? 0 : it->second;
}

}  // namespace zt::test

using zt::test::Kind;

// One wrapped function: the system's pointer, the counting function and the
// pointer the program's calls now go through.
#define ZT_COUNTED(ret, name, bytes, params, args, after)                                   \
  extern "C" ret(WINAPI* const zt_real_##name) params asm(ZT_REAL_NAME(name, bytes));       \
  static_assert(sizeof(void*) != 4 || ArgumentBytesOf<decltype(zt_real_##name)>() == bytes, \
                #name " takes another number of argument bytes");                          \
  static ret WINAPI zt_counted_##name params {                                              \
    ret result = zt_real_##name args;                                                       \
    after;                                                                                  \
    return result;                                                                          \
  }                                                                                         \
  extern "C" ret(WINAPI* zt_wrap_##name) params asm(ZT_WRAP_NAME(name, bytes));             \
  ret(WINAPI* zt_wrap_##name) params = zt_counted_##name;

template <typename F>
constexpr int ArgumentBytesOf() {
  return zt::test::ArgumentBytes<std::remove_const_t<F>>::value;
}

#define ZT_MADE(kind) zt::test::Made(result, kind)
#define ZT_RELEASED(handle) \
  if (result) zt::test::Released(handle)

// GDI objects.
ZT_COUNTED(HBRUSH, CreateSolidBrush, 4, (COLORREF c), (c), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HBRUSH, CreateBrushIndirect, 4, (const LOGBRUSH* b), (b), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HPEN, CreatePen, 12, (int style, int width, COLORREF c), (style, width, c), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HFONT, CreateFontW, 56,
           (int h, int w, int esc, int orient, int weight, DWORD italic, DWORD underline, DWORD strike,
            DWORD charset, DWORD out_precision, DWORD clip_precision, DWORD quality, DWORD pitch,
            LPCWSTR face),
           (h, w, esc, orient, weight, italic, underline, strike, charset, out_precision, clip_precision, quality,
            pitch, face),
           ZT_MADE(Kind::Gdi))
ZT_COUNTED(HFONT, CreateFontIndirectW, 4, (const LOGFONTW* f), (f), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HBITMAP, CreateCompatibleBitmap, 12, (HDC dc, int w, int h), (dc, w, h), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HBITMAP, CreateBitmap, 20, (int w, int h, UINT planes, UINT bits, const void* data),
           (w, h, planes, bits, data), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HBITMAP, CreateDIBSection, 24,
           (HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset),
           (dc, info, usage, bits, section, offset), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HRGN, CreateRectRgn, 16, (int l, int t, int r, int b), (l, t, r, b), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HDC, CreateCompatibleDC, 4, (HDC dc), (dc), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HDC, GetDC, 4, (HWND hwnd), (hwnd), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HDC, GetWindowDC, 4, (HWND hwnd), (hwnd), ZT_MADE(Kind::Gdi))
ZT_COUNTED(HDC, GetDCEx, 12, (HWND hwnd, HRGN clip, DWORD flags), (hwnd, clip, flags), ZT_MADE(Kind::Gdi))
ZT_COUNTED(BOOL, DeleteObject, 4, (HGDIOBJ object), (object), ZT_RELEASED(object))
ZT_COUNTED(BOOL, DeleteDC, 4, (HDC dc), (dc), ZT_RELEASED(dc))
ZT_COUNTED(int, ReleaseDC, 8, (HWND hwnd, HDC dc), (hwnd, dc), ZT_RELEASED(dc))

// USER objects.
ZT_COUNTED(HICON, CreateIconIndirect, 4, (PICONINFO info), (info), ZT_MADE(Kind::User))
ZT_COUNTED(HICON, CopyIcon, 4, (HICON icon), (icon), ZT_MADE(Kind::User))
// Icons loaded without the shared cache are the loader's to destroy.
ZT_COUNTED(HANDLE, LoadImageW, 24, (HINSTANCE m, LPCWSTR name, UINT type, int w, int h, UINT flags),
           (m, name, type, w, h, flags), if (type == IMAGE_ICON && !(flags & LR_SHARED)) ZT_MADE(Kind::User))
ZT_COUNTED(BOOL, DestroyIcon, 4, (HICON icon), (icon), ZT_RELEASED(icon))
ZT_COUNTED(HMENU, CreateMenu, 0, (), (), ZT_MADE(Kind::User))
ZT_COUNTED(HMENU, CreatePopupMenu, 0, (), (), ZT_MADE(Kind::User))

// Repainting asked for.
ZT_COUNTED(BOOL, InvalidateRect, 12, (HWND hwnd, const RECT* rect, BOOL erase), (hwnd, rect, erase),
           zt::test::Invalidated(hwnd))

// DestroyMenu takes the attached menus along, so they are gathered first.
extern "C" BOOL(WINAPI* const zt_real_DestroyMenu)(HMENU) asm(ZT_REAL_NAME(DestroyMenu, 4));
static BOOL WINAPI zt_counted_DestroyMenu(HMENU menu) {
  std::vector<HMENU> attached;
  if (menu && IsMenu(menu)) zt::test::CollectSubmenus(menu, &attached);
  const BOOL result = zt_real_DestroyMenu(menu);
  if (result) {
    zt::test::Released(menu);
    for (HMENU sub : attached) zt::test::Released(sub);
  }
  return result;
}
extern "C" BOOL(WINAPI* zt_wrap_DestroyMenu)(HMENU) asm(ZT_WRAP_NAME(DestroyMenu, 4));
BOOL(WINAPI* zt_wrap_DestroyMenu)(HMENU) = zt_counted_DestroyMenu;
