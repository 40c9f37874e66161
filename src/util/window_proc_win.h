// The one window procedure of every window class whose windows are C++
// objects (the main window, its widgets, the dialogs).  The object passes
// itself to CreateWindowExW as the creation parameter; the procedure binds it
// at WM_NCCREATE, hands it every later message, and unbinds it after
// WM_NCDESTROY, the last message a window gets.
//
//   wc.lpfnWndProc = ObjectWindowProc<TForm, &TForm::hwnd_, &TForm::Dispatch>;
//
// `Window` is the object's handle member: set at binding, cleared at
// unbinding.  An object that clears it itself (and the slot, with
// UnbindWindow) before destroying its window hears nothing more from it.
// Nothing may unwind into the system: a handler's exception leaves the
// message to the default procedure.
#pragma once

#include <windows.h>

#include "util/caught.h"

namespace zt {

template <class T, HWND T::*Window, LRESULT (T::*Handler)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  T* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    if (self) self->*Window = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self || !(self->*Window)) return DefWindowProcW(hwnd, msg, wparam, lparam);
  LRESULT result = 0;
  try {
    result = (self->*Handler)(msg, wparam, lparam);
  } catch (...) {
    RecordCaught("window procedure");
    result = DefWindowProcW(hwnd, msg, wparam, lparam);
  }
  if (msg == WM_NCDESTROY) {
    // Destroyed with its parent or owner: the object forgets the window.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->*Window = nullptr;
  }
  return result;
}

// Detaches an object from its window before the object destroys it.
inline void UnbindWindow(HWND hwnd) { SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); }

}  // namespace zt
