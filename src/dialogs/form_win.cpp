#include "dialogs/form_win.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <tuple>
#include <utility>

#include "dialogs/form_placement.h"
#include "util/access_key.h"
#include "util/dpi_win.h"
#include "util/dynamic_calls_win.h"
#include "util/modeless_dialogs_win.h"
#include "util/unicode_win.h"
#include "util/window_messages.h"
#include "util/window_proc_win.h"

namespace zt {

BYTE LanguageCharset() { return CurrentLanguage() == Language::Chinese ? GB2312_CHARSET : DEFAULT_CHARSET; }
namespace {

constexpr wchar_t kPageClass[] = L"Zettrim.TabPage";

// Whether the key goes to an open drop-down list, which Esc closes first.
bool DropDownOpen(HWND focus) {
  for (HWND h = focus; h; h = GetParent(h)) {
    if (IsOfClass(h, WC_COMBOBOXW)) return SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) != 0;
  }
  return false;
}

// A child's rectangle at `dpi` from its design rectangle (left, top, width,
// height): the edges are scaled, so that children that touch in the design
// still touch.
RECT ScaledRect(const RECT& design, int dpi) {
  const int left = ScaleToDpi(design.left, dpi), top = ScaleToDpi(design.top, dpi);
  return {left, top, ScaleToDpi(design.left + design.right, dpi) - left,
          ScaleToDpi(design.top + design.bottom, dpi) - top};
}

SIZE FrameOf(HWND hwnd) {
  RECT w, c;
  GetWindowRect(hwnd, &w);
  GetClientRect(hwnd, &c);
  return {(w.right - w.left) - c.right, (w.bottom - w.top) - c.bottom};
}

}  // namespace

template <>
IMonitorScaling& Seam<IMonitorScaling>::Real() {
  class SystemMonitorScaling final : public IMonitorScaling {
   public:
    int DpiAt(const RECT& window) override { return MonitorDpi(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST)); }
  };
  static SystemMonitorScaling scaling;
  return scaling;
}

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
  caption_text_ = options.caption_text;
  charset_follows_language_ = options.charset_follows_language;
  style_ = options.style;
  ex_style_ = options.ex_style;
  design_client_ = {options.client_width, options.client_height};
  min_client_ = {options.min_client_width, options.min_client_height};
  RegisterWindowClassOnce(instance, options.class_name, ObjectWindowProc<TForm, &TForm::hwnd_, &TForm::Dispatch>,
                          GetSysColorBrush(COLOR_BTNFACE));
  RegisterWindowClassOnce(instance, kPageClass, PageProc, GetSysColorBrush(COLOR_BTNFACE));
  fonts_.clear();
  for (int weight : {FW_NORMAL, FW_BOLD}) {
    FontDesign font;
    font.points = options.font_points;
    font.weight = weight;
    if (options.font_face) font.face = options.font_face;
    font.charset = options.charset_follows_language ? LanguageCharset() : options.font_charset;
    fonts_.push_back({font, UniqueFont()});
  }
  const std::wstring caption = caption_text_ != TextId::Count ? Widen(Text(caption_text_)) : options.caption;

  RECT r = {0, 0, options.client_width, options.client_height};
  AdjustWindowRectEx(&r, options.style, FALSE, options.ex_style);
  hwnd_ = CreateWindowExW(options.ex_style, options.class_name, caption.c_str(), options.style, 0, 0,
                          r.right - r.left, r.bottom - r.top, options.owner, nullptr, instance, this);
  if (!hwnd_) return false;
  // Laid out for the monitor it was made on, the one it is centred on.
  dpi_ = WindowDpi(hwnd_);
  for (FormFont& font : fonts_) font.font = MakeFont(font.design);
  const SIZE size = WindowSizeFor(Scale(design_client_.cx), Scale(design_client_.cy));
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitClient(Scale(design_client_.cx), Scale(design_client_.cy));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
  if (options.ex_style & WS_EX_APPWINDOW) SetProgramIcons();
  CenterOnScreen();
  FormCreate();
  FormLayout(dpi_);
  PlaceTabPages();
  RegisterModelessDialog(hwnd_);
  return true;
}

int TForm::Scale(int design) const { return ScaleToDpi(design, dpi_); }

UniqueFont TForm::MakeFont(const FontDesign& design) const {
  const std::wstring face = design.face.empty() ? Widen(WindowFontFace(CurrentLanguage())) : design.face;
  return UniqueFont(CreateFontW(FontHeightForPoints(design.points, dpi_), 0, 0, 0, design.weight, FALSE,
                                design.underline ? TRUE : FALSE, FALSE, design.charset, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, design.pitch_and_family, face.c_str()));
}

int TForm::AddFont(const FontDesign& design) {
  fonts_.push_back({design, MakeFont(design)});
  return static_cast<int>(fonts_.size()) - 1;
}

HFONT TForm::FontOf(int index) const {
  return index >= 0 && static_cast<size_t>(index) < fonts_.size() ? fonts_[static_cast<size_t>(index)].font.get()
                                                                   : nullptr;
}

SIZE TForm::WindowSizeFor(int client_w, int client_h) const {
  RECT r = {0, 0, client_w, client_h};
  if (const auto adjust = User32().AdjustWindowRectExForDpi) {
    adjust(&r, style_, FALSE, ex_style_, static_cast<UINT>(dpi_));
  } else {
    AdjustWindowRectEx(&r, style_, FALSE, ex_style_);
  }
  return {r.right - r.left, r.bottom - r.top};
}

void TForm::FitClient(int client_w, int client_h) {
  // Where the system draws the frame at another size than it tells (a
  // window it keeps at the system's scaling), the client area is made
  // right by the difference.
  RECT client, window;
  GetClientRect(hwnd_, &client);
  if (client.right == client_w && client.bottom == client_h) return;
  GetWindowRect(hwnd_, &window);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + client_w - client.right,
               window.bottom - window.top + client_h - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Relayout(int dpi, const RECT* window) {
  const int previous = dpi_;
  dpi_ = dpi;
  // The new fonts first: the old ones are freed once no child shows them.
  std::vector<UniqueFont> old_fonts;
  std::vector<std::pair<HFONT, HFONT>> successors;
  for (FormFont& f : fonts_) {
    UniqueFont made = MakeFont(f.design);
    successors.emplace_back(f.font.get(), made.get());
    old_fonts.push_back(std::move(f.font));
    f.font = std::move(made);
  }

  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
  if (window) {
    SetWindowPos(hwnd_, nullptr, window->left, window->top, window->right - window->left,
                 window->bottom - window->top, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    // A fixed window gets its design size; one the user may size keeps the
    // size it had, in the new pixels.  Either keeps its centre.
    RECT now, client;
    GetWindowRect(hwnd_, &now);
    GetClientRect(hwnd_, &client);
    const bool sizable = (style_ & WS_THICKFRAME) != 0;
    const int cw = sizable ? MulDivRound(client.right, dpi, previous) : Scale(design_client_.cx);
    const int ch = sizable ? MulDivRound(client.bottom, dpi, previous) : Scale(design_client_.cy);
    const SIZE size = WindowSizeFor(cw, ch);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitClient(cw, ch);
    RECT sized;
    GetWindowRect(hwnd_, &sized);
    SetWindowPos(hwnd_, nullptr, (now.left + now.right - (sized.right - sized.left)) / 2,
                 (now.top + now.bottom - (sized.bottom - sized.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (const DesignedChild& c : designed_) {
    if (!IsWindow(c.child)) continue;
    const RECT px = ScaledRect(c.design, dpi_);
    SetWindowPos(c.child, nullptr, px.left, px.top, px.right + c.grown.cx, px.bottom + c.grown.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  struct Swap {
    const std::vector<std::pair<HFONT, HFONT>>* successors;
    static BOOL CALLBACK Each(HWND child, LPARAM lparam) {
      const auto* self = reinterpret_cast<const Swap*>(lparam);
      const auto shown = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
      for (const auto& [old_font, new_font] : *self->successors) {
        if (shown && shown == old_font) {
          SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(new_font), FALSE);
          break;
        }
      }
      return TRUE;
    }
  } swap{&successors};
  EnumChildWindows(hwnd_, Swap::Each, reinterpret_cast<LPARAM>(&swap));
  if (ex_style_ & WS_EX_APPWINDOW) SetProgramIcons();
  FormLayout(previous);
  PlaceTabPages();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TForm::WMDpiChanged(WPARAM wparam, LPARAM lparam) {
  const int dpi = HIWORD(wparam);
  const auto* suggested = reinterpret_cast<const RECT*>(lparam);
  // Already laid out for it (on its way to the monitor when it was shown):
  // the size it has is the right one.
  if (dpi <= 0 || dpi == dpi_ || !suggested) return;
  Relayout(dpi, suggested);
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
  // Each size loaded on its own: the shared cache answers every size with
  // the first one it loaded, and would never give the sizes of a new dpi.
  // The window is handed the new icon before the old one is destroyed.
  for (auto [which, metric, owned] : {std::make_tuple(ICON_BIG, SM_CXICON, &big_icon_),
                                      std::make_tuple(ICON_SMALL, SM_CXSMICON, &small_icon_)}) {
    const int size = SystemMetricForDpi(metric, dpi_);
    UniqueIcon icon(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
    if (!icon) continue;
    SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon.get()));
    *owned = std::move(icon);
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
  if (!IsWindowVisible(hwnd_)) {
    // Made hidden on one monitor, it may appear on another of a different
    // scaling (it was placed there, or the monitors changed meanwhile).
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int target = Seam<IMonitorScaling>::Get().DpiAt(r);
    if (target > 0 && target != dpi_) Relayout(target, nullptr);
  }
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
    case WM_DPICHANGED:
      WMDpiChanged(wparam, lparam);
      return 0;
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
  const RECT design = {x, y, w, h};
  const RECT px = ScaledRect(design, dpi_);
  HWND child = CreateWindowExW(ex_style, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, px.left, px.top, px.right,
                               px.bottom, parent ? parent : hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               instance_, nullptr);
  if (!child) return nullptr;
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
  // A control that makes itself larger than asked (an etched line takes its
  // border on top) does so again at every dpi.  One that makes itself
  // smaller takes the height it wants anyway (a drop-down list's field).
  RECT made;
  GetWindowRect(child, &made);
  const SIZE grown = {std::max<LONG>(0, made.right - made.left - px.right),
                      std::max<LONG>(0, made.bottom - made.top - px.bottom)};
  designed_.push_back({child, design, grown});
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

HWND TForm::Texted(HWND control, TextId text) {
  if (control) texted_.push_back({control, text});
  return control;
}

HWND TForm::AddLabel(TextId text, int x, int y, int w, int h, HWND parent, int id, DWORD align) {
  const std::string caption = Text(text);
  const DWORD prefix = AccessKeyOf(caption) ? 0 : SS_NOPREFIX;
  return Texted(AddControl(WC_STATICW, Widen(caption), align | prefix, x, y, w, h, id, parent), text);
}

HWND TForm::AddCheckBox(TextId text, int x, int y, int w, int h, int id, HWND parent) {
  return Texted(AddCheckBox(Widen(Text(text)), x, y, w, h, id, parent), text);
}

HWND TForm::AddButton(TextId text, int x, int y, int w, int h, int id, HWND parent) {
  return Texted(AddButton(Widen(Text(text)), x, y, w, h, id, parent), text);
}

HWND TForm::AddGroupBox(TextId text, int x, int y, int w, int h, HWND parent) {
  return Texted(AddGroupBox(Widen(Text(text)), x, y, w, h, parent), text);
}

void TForm::Retext() {
  if (!hwnd_) return;
  if (caption_text_ != TextId::Count) SetControlText(hwnd_, Widen(Text(caption_text_)));
  for (const TextedChild& c : texted_) {
    if (IsWindow(c.child)) SetControlText(c.child, Widen(Text(c.text)));
  }
  if (charset_follows_language_ && !fonts_.empty() && fonts_[0].design.charset != LanguageCharset()) {
    for (FormFont& f : fonts_) f.design.charset = LanguageCharset();
    // The same places at the same dpi, with the new fonts (in the new
    // language's face, where they take the windows' face).
    Relayout(dpi_, nullptr);
  }
  FormRetext();
}

HWND TForm::AddSeparator(int x, int y, int w, HWND parent) {
  return AddControl(WC_STATICW, L"", SS_ETCHEDHORZ, x, y, w, 2, -1, parent);
}

HWND TForm::AddTabPage(HWND tab) {
  // Inside the tab control, so the tab order runs from the tabs into the
  // page; the tab control passes the keyboard on to its children.
  SetWindowLongPtrW(tab, GWL_EXSTYLE, GetWindowLongPtrW(tab, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  SetWindowLongPtrW(tab, GWL_STYLE, GetWindowLongPtrW(tab, GWL_STYLE) | WS_CLIPCHILDREN);
  HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD, 0, 0, 0, 0, tab, nullptr, instance_,
                              nullptr);
  if (!page) return nullptr;
  tab_pages_.push_back({tab, page});
  PlaceTabPages();
  return page;
}

void TForm::PlaceTabPages() {
  for (const TabPage& p : tab_pages_) {
    if (!IsWindow(p.page)) continue;
    RECT r;
    GetClientRect(p.tab, &r);
    TabCtrl_AdjustRect(p.tab, FALSE, &r);
    SetWindowPos(p.page, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
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
  if (min_client_.cx <= 0 && min_client_.cy <= 0) return;
  const SIZE frame = FrameOf(hwnd_);
  if (min_client_.cx > 0) info.ptMinTrackSize.x = Scale(min_client_.cx) + frame.cx;
  if (min_client_.cy > 0) info.ptMinTrackSize.y = Scale(min_client_.cy) + frame.cy;
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
    if (!IsOfClass(sibling, WC_STATICW)) continue;
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
