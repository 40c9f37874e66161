#include "dialogs/form_win.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "dialogs/form_placement.h"
#include "util/modeless_dialogs_win.h"
#include "util/window_messages.h"
#include "util/window_proc_win.h"

namespace zt {
namespace {

constexpr wchar_t kPageClass[] = L"Zettrim.TabPage";

// Whether the key goes to an open drop-down list, which Esc closes first.
bool DropDownOpen(HWND focus) {
  for (HWND h = focus; h; h = GetParent(h)) {
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    if (lstrcmpiW(cls, WC_COMBOBOXW) == 0) return SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) != 0;
  }
  return false;
}

}  // namespace

void RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(instance, name, &wc)) return;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

void MakeOrdinaryWindow(FormOptions& options, HWND main_window) {
  options.owner = nullptr;
  options.ex_style |= WS_EX_APPWINDOW;
  options.keep_clear_of = main_window;
}

TForm::~TForm() {
  if (hwnd_) {
    UnregisterModelessDialog(hwnd_);
    HWND h = hwnd_;
    hwnd_ = nullptr;
    UnbindWindow(h);
    DestroyWindow(h);
  }
}

bool TForm::Create(HINSTANCE instance, const FormOptions& options) {
  instance_ = instance;
  keep_clear_of_ = options.keep_clear_of;
  RegisterWindowClassOnce(instance, options.class_name, ObjectWindowProc<TForm, &TForm::hwnd_, &TForm::Dispatch>,
                          GetSysColorBrush(COLOR_BTNFACE));
  RegisterWindowClassOnce(instance, kPageClass, PageProc, GetSysColorBrush(COLOR_BTNFACE));
  auto make_font = [&](int weight) {
    return UniqueFont(CreateFontW(-options.font_height, 0, 0, 0, weight, FALSE, FALSE, FALSE, options.font_charset,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, options.font_face));
  };
  font_ = make_font(FW_NORMAL);
  bold_font_ = make_font(FW_BOLD);

  RECT r = {0, 0, options.client_width, options.client_height};
  AdjustWindowRectEx(&r, options.style, FALSE, options.ex_style);
  if (options.min_client_width > 0 || options.min_client_height > 0) {
    RECT m = {0, 0, options.min_client_width, options.min_client_height};
    AdjustWindowRectEx(&m, options.style, FALSE, options.ex_style);
    min_window_ = {m.right - m.left, m.bottom - m.top};
  }
  hwnd_ = CreateWindowExW(options.ex_style, options.class_name, options.caption.c_str(), options.style, 0, 0,
                          r.right - r.left, r.bottom - r.top, options.owner, nullptr, instance, this);
  if (!hwnd_) return false;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (options.ex_style & WS_EX_APPWINDOW) SetProgramIcons();
  CenterOnScreen();
  FormCreate();
  RegisterModelessDialog(hwnd_);
  return true;
}

void TForm::CenterOnScreen() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetProgramIcons() {
  // The executable's icon, shared: the system keeps it for the process.
  for (auto [which, metric] : {std::make_pair(ICON_BIG, SM_CXICON), std::make_pair(ICON_SMALL, SM_CXSMICON)}) {
    const int size = GetSystemMetrics(metric);
    if (HANDLE icon = LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED))
      SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
}

void TForm::MoveClearOfCover() {
  // Only a window in the topmost band stays above this one whatever the
  // user clicks; any other it can be brought in front of.
  HWND cover = keep_clear_of_;
  if (!cover || !IsWindowVisible(cover) || !(GetWindowLongPtrW(cover, GWL_EXSTYLE) & WS_EX_TOPMOST)) return;
  RECT w, c;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!GetWindowRect(hwnd_, &w) || !GetWindowRect(cover, &c) ||
      !GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor))
    return;
  const RECT& work = monitor.rcWork;
  const PixelRect placed = PlaceClearOf({w.left, w.top, w.right, w.bottom}, {c.left, c.top, c.right, c.bottom},
                                        {work.left, work.top, work.right, work.bottom});
  if (placed.left != w.left || placed.top != w.top)
    SetWindowPos(hwnd_, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  if (!hwnd_) return;
  FormShow();
  MoveClearOfCover();
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void TForm::Hide() {
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  ShowWindow(hwnd_, SW_HIDE);
  FormHide();
}

bool TForm::FormKeyPreview(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE) return false;
  if (DropDownOpen(msg.hwnd)) return false;
  Hide();
  return true;
}

LRESULT TForm::Handle(UINT msg, WPARAM wparam, LPARAM lparam) { return Default(msg, wparam, lparam); }

LRESULT TForm::Dispatch(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_NCDESTROY:
      // Destroyed from outside (its owner went first): out of the loop's list.
      UnregisterModelessDialog(hwnd_);
      return Default(msg, wparam, lparam);
    case WM_CLOSE: Hide(); return 0;
    case WM_ACTIVATE: return FormActivate(wparam, lparam);
    case WM_NEXTDLGCTL: NextControl(wparam, lparam); return 0;
    case WM_KEYPREVIEW: return FormKeyPreview(*reinterpret_cast<const MSG*>(lparam)) ? TRUE : FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Labels and check boxes on the dialog face, also on the tab pages.
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      const LRESULT own = Handle(msg, wparam, lparam);
      return own ? own : reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SIZE:
      if (wparam != SIZE_MINIMIZED) ApplyAnchors();
      return Handle(msg, wparam, lparam);
    case WM_GETMINMAXINFO:
      LimitTrackSize(*reinterpret_cast<MINMAXINFO*>(lparam));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL && lparam == 0) {  // Esc through the dialog navigation
        Hide();
        return 0;
      }
      return Handle(msg, wparam, lparam);
    default: return Handle(msg, wparam, lparam);
  }
}

LRESULT CALLBACK TForm::PageProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      // The page's controls belong to the form.
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wparam, lparam);
    default:
      return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

HWND TForm::AddControl(const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w, int h,
                       int id, HWND parent, DWORD ex_style) {
  HWND child = CreateWindowExW(ex_style, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                               parent ? parent : hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               instance_, nullptr);
  if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return child;
}

HWND TForm::AddLabel(const std::wstring& text, int x, int y, int w, int h, HWND parent, int id, DWORD align) {
  return AddControl(WC_STATICW, text, align | SS_NOPREFIX, x, y, w, h, id, parent);
}

HWND TForm::AddCheckBox(const std::wstring& text, int x, int y, int w, int h, int id, HWND parent) {
  return AddControl(WC_BUTTONW, text, BS_AUTOCHECKBOX | WS_TABSTOP, x, y, w, h, id, parent);
}

HWND TForm::AddButton(const std::wstring& text, int x, int y, int w, int h, int id, HWND parent) {
  return AddControl(WC_BUTTONW, text, BS_PUSHBUTTON | WS_TABSTOP, x, y, w, h, id, parent);
}

HWND TForm::AddGroupBox(const std::wstring& text, int x, int y, int w, int h, HWND parent) {
  return AddControl(WC_BUTTONW, text, BS_GROUPBOX, x, y, w, h, -1, parent);
}

HWND TForm::AddSeparator(int x, int y, int w, HWND parent) {
  return AddControl(WC_STATICW, L"", SS_ETCHEDHORZ, x, y, w, 2, -1, parent);
}

HWND TForm::AddTabPage(HWND tab) {
  // Inside the tab control, so the tab order runs from the tabs into the
  // page; the tab control passes the keyboard on to its children.
  SetWindowLongPtrW(tab, GWL_EXSTYLE, GetWindowLongPtrW(tab, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  SetWindowLongPtrW(tab, GWL_STYLE, GetWindowLongPtrW(tab, GWL_STYLE) | WS_CLIPCHILDREN);
  RECT r;
  GetClientRect(tab, &r);
  TabCtrl_AdjustRect(tab, FALSE, &r);
  HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, tab, nullptr, instance_, nullptr);
  if (page) Anchor(page, kAnchorAll);
  return page;
}

void TForm::Anchor(HWND child, unsigned anchors) {
  HWND parent = GetParent(child);
  RECT parent_client, r;
  GetClientRect(parent, &parent_client);
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  AnchoredChild a;
  a.child = child;
  a.anchors = anchors;
  a.margins = {r.left, r.top, parent_client.right - r.right, parent_client.bottom - r.bottom};
  a.size = {r.right - r.left, r.bottom - r.top};
  anchored_.push_back(a);
}

void TForm::ApplyAnchors() {
  for (const AnchoredChild& a : anchored_) {
    if (!IsWindow(a.child)) continue;
    RECT parent_client;
    GetClientRect(GetParent(a.child), &parent_client);
    auto place = [](unsigned anchors, unsigned near_edge, unsigned far_edge, LONG near_margin, LONG far_margin,
                    LONG size, LONG extent, int& pos, int& length) {
      length = size;
      if ((anchors & near_edge) && (anchors & far_edge)) {
        pos = near_margin;
        length = std::max<LONG>(0, extent - near_margin - far_margin);
      } else if (anchors & far_edge) {
        pos = extent - far_margin - size;
      } else {
        pos = near_margin;
      }
    };
    int x, y, w, h;
    place(a.anchors, kAnchorLeft, kAnchorRight, a.margins.left, a.margins.right, a.size.cx, parent_client.right, x, w);
    place(a.anchors, kAnchorTop, kAnchorBottom, a.margins.top, a.margins.bottom, a.size.cy, parent_client.bottom, y, h);
    SetWindowPos(a.child, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT TForm::FormActivate(WPARAM wparam, LPARAM lparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) focus_ = focus;
    return Handle(WM_ACTIVATE, wparam, lparam);
  }
  // The system would give the focus to the window itself, leaving the
  // keyboard user nowhere.
  if (!HIWORD(wparam) && focus_ && IsChild(hwnd_, focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_)) {
    SetFocus(focus_);
    return 0;
  }
  return Handle(WM_ACTIVATE, wparam, lparam);
}

void TForm::NextControl(WPARAM wparam, LPARAM lparam) {
  // As a dialog does: the control named, or the next (wparam 0) or the
  // previous Tab stop.  The dialog navigation moves the focus this way when
  // a label's access key is pressed: to the label, then on to its field.
  HWND target = nullptr;
  if (LOWORD(lparam)) {
    target = reinterpret_cast<HWND>(wparam);
  } else {
    HWND focus = GetFocus();
    target = GetNextDlgTabItem(hwnd_, focus && IsChild(hwnd_, focus) ? focus : nullptr, wparam != 0);
  }
  if (target && IsChild(hwnd_, target)) SetFocus(target);
}

void TForm::FocusOnActivation(HWND control) {
  focus_ = control;
  if (control && GetActiveWindow() == hwnd_ && IsWindowVisible(hwnd_)) SetFocus(control);
}

void TForm::FocusFirstControlOf(HWND container) {
  if (HWND first = FirstTabStop(container)) FocusOnActivation(first);
}

void TForm::LimitTrackSize(MINMAXINFO& info) const {
  if (min_window_.cx > 0) info.ptMinTrackSize.x = min_window_.cx;
  if (min_window_.cy > 0) info.ptMinTrackSize.y = min_window_.cy;
}

std::wstring ControlText(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(control, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

void SetControlText(HWND control, const std::wstring& text) {
  if (ControlText(control) != text) SetWindowTextW(control, text.c_str());
}

HWND FirstTabStop(HWND container) {
  for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if ((style & WS_VISIBLE) == 0 || (style & WS_DISABLED) != 0) continue;
    if (style & WS_TABSTOP) return child;
    if (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
      if (HWND inner = FirstTabStop(child)) return inner;
    }
  }
  return nullptr;
}

HWND LabelLeftOf(HWND control) {
  RECT c;
  if (!GetWindowRect(control, &c)) return nullptr;
  const LONG middle = (c.top + c.bottom) / 2;
  HWND label = nullptr;
  LONG label_right = LONG_MIN;
  for (HWND sibling = GetWindow(GetParent(control), GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    RECT r;
    if (sibling == control || !GetWindowRect(sibling, &r)) continue;
    wchar_t cls[16] = {};
    GetClassNameW(sibling, cls, 16);
    if (lstrcmpiW(cls, WC_STATICW) != 0) continue;
    if (r.top <= middle && middle < r.bottom && r.right <= c.left && r.right > label_right) {
      label = sibling;
      label_right = r.right;
    }
  }
  return label;
}

bool IsChecked(HWND check_box) { return SendMessageW(check_box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND check_box, bool checked) {
  SendMessageW(check_box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace zt
