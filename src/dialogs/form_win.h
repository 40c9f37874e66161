// src/dialogs: the settings, statistics, history, processor information and about
// windows.  Each is a portable model (what every control shows, what a change
// stores and calls, the text of every figure), tested natively, and a thin
// Win32 view built on TForm below that only moves data between the controls
// and the model.  The program's top floor (src/app) creates them and hands
// each what it needs of the main window as a narrow interface
// (ISettingsTarget, the statistics reset's graph clearing); nothing here
// includes the shell, and nothing in the shell, the sampling threads or the
// settings includes anything from here.
//
// TForm: the base of those windows.  A top-level window created in code (no
// dialog templates), hidden until shown, centred on the primary screen, with
// the system's standard controls as children.  Closing hides it; Esc closes
// it wherever the focus is; Tab, Shift+Tab, the arrow keys, Enter and the
// access keys (Alt and the underlined letter) work as in any dialog (the
// message loop serves it through modeless_dialogs_win.h).  As a dialog does,
// it gives the focus back to the control that had it when the user returns
// to the window.
//
// Every figure a form is given (client size, a child's place and size, font
// sizes) is in design units, pixels at 96 dpi (util/dpi.h); the form shows
// them at its own dpi.  It keeps each child's design rectangle and each
// font's design, so when its dpi changes (WM_DPICHANGED, or a window shown on
// a monitor of another scaling than the one it was laid out for) it places
// every child and makes every font again without the view's help; what is
// not a fixed rectangle the view sets in FormLayout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "util/control_text_win.h"
#include "util/handles_win.h"
#include "util/seam.h"
#include "util/texts.h"

namespace zt {

// The dpi of the monitor a window appears on, told by its rectangle in
// screen pixels; tests put a fake in its place (the system here has one
// monitor).
class IMonitorScaling {
 public:
  virtual ~IMonitorScaling() = default;
  virtual int DpiAt(const RECT& window) = 0;
};
template <>
IMonitorScaling& Seam<IMonitorScaling>::Real();

// A font of a form, in points, so that it has the height the system gives a
// font of that size at the form's dpi.  Without a face of its own it has the
// windows' face for the current language (WindowFontFace).
struct FontDesign {
  int points = 8;
  int weight = FW_NORMAL;
  bool underline = false;
  std::wstring face;
  BYTE charset = DEFAULT_CHARSET;
  BYTE pitch_and_family = DEFAULT_PITCH | FF_SWISS;
};

struct FormOptions {
  const wchar_t* class_name = nullptr;
  std::wstring caption;
  int client_width = 0;
  int client_height = 0;
  // A fixed dialog border with a close box.
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  // An owned window stays above its owner, and so above every other program
  // when the owner is topmost.  A window without one takes its turn among
  // the other programs' windows; with WS_EX_APPWINDOW it also has a task-bar
  // button and an Alt+Tab entry (with the program's icon) while it is shown.
  HWND owner = nullptr;
  // A topmost window of the program (the main window) that would cover this
  // one: each showing moves this window out from under it.
  HWND keep_clear_of = nullptr;
  // A window with a sizing border (WS_THICKFRAME in style) may be given the
  // smallest client area it can be dragged to; 0 sets no limit.
  int min_client_width = 0;
  int min_client_height = 0;
  // The font's size (8 point is 11 pixels high at 96 dpi), face (none: the
  // windows' face for the language) and character set (GB2312_CHARSET lets
  // the system find Chinese glyphs the face lacks).
  int font_points = 8;
  const wchar_t* font_face = nullptr;
  BYTE font_charset = DEFAULT_CHARSET;
  // The caption's text, when it follows the language (instead of caption).
  TextId caption_text = TextId::Count;
  // Fonts whose character set follows the language (LanguageCharset): for
  // Chinese the system then finds Chinese glyphs the face lacks, for
  // English the face's own Latin glyphs are drawn.  The fonts without a face
  // of their own are made again in the new language's face too.
  bool charset_follows_language = false;
};

// GB2312_CHARSET for Chinese, DEFAULT_CHARSET for English.
BYTE LanguageCharset();

// Options for a window that takes its turn among the other programs'
// windows, as the statistics, settings and CPU information windows do: in
// front when shown, behind whatever the user clicks next, found again in the
// task bar and with Alt+Tab while it is shown, and moved out from under the
// main window when shown.  Owned by the main window, which stays on top, it
// would float above every other program.
void MakeOrdinaryWindow(FormOptions& options, HWND main_window);

class TForm {
 public:
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  // Creates the window hidden and runs FormCreate.  False when the window
  // could not be made.
  bool Create(HINSTANCE instance, const FormOptions& options);
  // Not modal: FormShow, then visible and in front (again in front when it
  // already is visible), clear of the window it keeps clear of.  A window
  // about to appear on a monitor whose dpi is not the one it is laid out
  // for is laid out again first.
  void Show();
  // Hidden; FormHide runs.  The window and its contents stay.
  void Hide();
  HWND hwnd() const { return hwnd_; }
  bool visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  // The dpi the window is laid out for, and a design value at it.
  int dpi() const { return dpi_; }
  int Scale(int design) const;
  // The language changed: the caption and every control made with a named
  // text read their texts again, fonts that follow the language are made
  // again, then FormRetext.  Places, sizes, contents, the page shown and the
  // focus stay as they are.
  void Retext();

 protected:
  TForm() = default;

  // The children are made here, after the window exists.
  virtual void FormCreate() {}
  // After FormCreate, and after every change of dpi once the children are
  // back at their design rectangles with the new fonts: whatever is not a
  // fixed rectangle (sizes measured from text, list columns, item heights,
  // pictures) is set here for dpi().  `previous_dpi` is the dpi the window
  // was laid out for before (dpi() itself the first time), for what the user
  // may have changed, such as a column's width.
  virtual void FormLayout(int previous_dpi) { (void)previous_dpi; }
  // Before the window becomes visible / after it has been hidden.
  virtual void FormShow() {}
  virtual void FormHide() {}
  // What Retext cannot do alone: texts made from parts, lists, tabs, names
  // for screen readers.
  virtual void FormRetext() {}
  // Keys (going down and coming up, and their characters) before the
  // focused control sees them; true when taken.  By default Esc closes the
  // window (unless it closes an open drop-down list).
  virtual bool FormKeyPreview(const MSG& msg);
  // Messages the base does not handle itself (WM_COMMAND, WM_NOTIFY,
  // WM_HSCROLL, WM_TIMER, ...), also those of the tab pages' children.
  virtual LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT msg, WPARAM wparam, LPARAM lparam) { return DefWindowProcW(hwnd_, msg, wparam, lparam); }

  // Children.  `parent` null means the form; x, y are in the parent's client
  // coordinates; x, y, w, h in design units.  Each gets the form's font.
  HWND AddControl(const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w, int h,
                  int id = -1, HWND parent = nullptr, DWORD ex_style = 0);
  HWND AddLabel(const std::wstring& text, int x, int y, int w, int h, HWND parent = nullptr, int id = -1,
                DWORD align = SS_LEFT);
  HWND AddCheckBox(const std::wstring& text, int x, int y, int w, int h, int id, HWND parent = nullptr);
  HWND AddButton(const std::wstring& text, int x, int y, int w, int h, int id, HWND parent = nullptr);
  HWND AddGroupBox(const std::wstring& text, int x, int y, int w, int h, HWND parent = nullptr);
  // The same with a named text, which Retext sets again; a label whose text
  // carries an access key shows it.
  HWND AddLabel(TextId text, int x, int y, int w, int h, HWND parent = nullptr, int id = -1, DWORD align = SS_LEFT);
  HWND AddCheckBox(TextId text, int x, int y, int w, int h, int id, HWND parent = nullptr);
  HWND AddButton(TextId text, int x, int y, int w, int h, int id, HWND parent = nullptr);
  HWND AddGroupBox(TextId text, int x, int y, int w, int h, HWND parent = nullptr);
  // A control made otherwise whose text Retext sets from `text`.
  HWND Texted(HWND control, TextId text);
  // A horizontal separator line.
  HWND AddSeparator(int x, int y, int w, HWND parent = nullptr);
  // A page of a tab control: a container laid over the tab's display area
  // whose children talk to the form as if they were its own.
  HWND AddTabPage(HWND tab);
  // The pages over their tab controls' display areas, once a tab control
  // has been moved or its tabs have changed size.
  void PlaceTabPages();
  // A further font of the form, made again at every change of dpi; the
  // children showing it are given the new one.  Ask for the handle each
  // time it is used: it changes with the dpi.
  int AddFont(const FontDesign& design);
  HFONT FontOf(int index) const;

  // The control that gets the focus when the window is next activated (the
  // control that had it, by default); at once when the window is active.
  void FocusOnActivation(HWND control);
  // The focus into the first control of `container` (a tab page) that the
  // Tab key stops at.
  void FocusFirstControlOf(HWND container);

  HINSTANCE instance() const { return instance_; }
  HFONT font() const { return FontOf(kNormalFont); }
  HFONT bold_font() const { return FontOf(kBoldFont); }

 private:
  static constexpr int kNormalFont = 0;
  static constexpr int kBoldFont = 1;

  static LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT Dispatch(UINT msg, WPARAM wparam, LPARAM lparam);
  void CenterOnScreen();
  void MoveClearOfCover();
  void SetProgramIcons();
  void LimitTrackSize(MINMAXINFO& info) const;
  // The window's size for a client area of client_w x client_h pixels at
  // dpi().
  SIZE WindowSizeFor(int client_w, int client_h) const;
  void FitClient(int client_w, int client_h);
  // Everything at `dpi`: the fonts made again, each child at its design
  // rectangle, FormLayout, the tab pages, a repaint.  The window takes
  // `window` (screen pixels) when given, else keeps its centre.
  void Relayout(int dpi, const RECT* window);
  void WMDpiChanged(WPARAM wparam, LPARAM lparam);
  UniqueFont MakeFont(const FontDesign& design) const;
  LRESULT FormActivate(WPARAM wparam, LPARAM lparam);
  void NextControl(WPARAM wparam, LPARAM lparam);

  struct DesignedChild {
    HWND child;
    RECT design;  // left, top, width, height in design units
    SIZE grown;   // pixels the control added to the size it was made with
  };
  struct FormFont {
    FontDesign design;
    UniqueFont font;
  };
  struct TabPage {
    HWND tab;
    HWND page;
  };
  struct TextedChild {
    HWND child;
    TextId text;
  };
  std::vector<TextedChild> texted_;
  TextId caption_text_ = TextId::Count;
  bool charset_follows_language_ = false;
  std::vector<DesignedChild> designed_;
  std::vector<FormFont> fonts_;
  std::vector<TabPage> tab_pages_;
  // The caption's and the task bar's pictures, each loaded at its own size
  // for the window's dpi; destroyed after the window.
  UniqueIcon big_icon_;
  UniqueIcon small_icon_;
  SIZE design_client_ = {0, 0};
  SIZE min_client_ = {0, 0};
  DWORD style_ = 0;
  DWORD ex_style_ = 0;
  int dpi_ = 96;
  HWND keep_clear_of_ = nullptr;
  HWND focus_ = nullptr;  // given back on activation
  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
};

// Registers a window class of this program once (later calls do nothing):
// arrow cursor, the given background.
void RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HBRUSH background);

// Control helpers shared by the views.
bool IsChecked(HWND check_box);
// The first control below `container`, in the Tab order, that the Tab key
// stops at (visible, enabled, WS_TABSTOP); null when there is none.
HWND FirstTabStop(HWND container);
// The label on the left of `control` on its row (its caption), among its
// siblings; null when there is none.
HWND LabelLeftOf(HWND control);
void SetChecked(HWND check_box, bool checked);

}  // namespace zt
