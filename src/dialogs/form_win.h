// src/dialogs: the settings, statistics, processor information and about
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
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "util/handles_win.h"

namespace zt {

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
  // Font height in pixels (11 is 8 point at 96 dpi), face and character
  // set (GB2312_CHARSET lets the system find Chinese glyphs the face lacks).
  int font_height = 11;
  const wchar_t* font_face = L"MS Sans Serif";
  BYTE font_charset = DEFAULT_CHARSET;
};

// Options for a window that takes its turn among the other programs'
// windows, as the statistics, settings and CPU information windows do: in
// front when shown, behind whatever the user clicks next, found again in the
// task bar and with Alt+Tab while it is shown, and moved out from under the
// main window when shown.  Owned by the main window, which stays on top, it
// would float above every other program.
void MakeOrdinaryWindow(FormOptions& options, HWND main_window);

// Edges of its parent a child keeps its distance to when the form is
// resized; a child anchored on two opposite edges grows with its parent.
enum Anchors : unsigned {
  kAnchorLeft = 1,
  kAnchorTop = 2,
  kAnchorRight = 4,
  kAnchorBottom = 8,
  kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom,
};

class TForm {
 public:
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  // Creates the window hidden and runs FormCreate.  False when the window
  // could not be made.
  bool Create(HINSTANCE instance, const FormOptions& options);
  // Not modal: FormShow, then visible and in front (again in front when it
  // already is visible), clear of the window it keeps clear of.
  void Show();
  // Hidden; FormHide runs.  The window and its contents stay.
  void Hide();
  HWND hwnd() const { return hwnd_; }
  bool visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

 protected:
  TForm() = default;

  // The children are made here, after the window exists.
  virtual void FormCreate() {}
  // Before the window becomes visible / after it has been hidden.
  virtual void FormShow() {}
  virtual void FormHide() {}
  // Keys (going down and coming up, and their characters) before the
  // focused control sees them; true when taken.  By default Esc closes the
  // window (unless it closes an open drop-down list).
  virtual bool FormKeyPreview(const MSG& msg);
  // Messages the base does not handle itself (WM_COMMAND, WM_NOTIFY,
  // WM_HSCROLL, WM_TIMER, ...), also those of the tab pages' children.
  virtual LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT msg, WPARAM wparam, LPARAM lparam) { return DefWindowProcW(hwnd_, msg, wparam, lparam); }

  // Children.  `parent` null means the form; x, y are in the parent's client
  // coordinates.  Each gets the form's font.
  HWND AddControl(const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w, int h,
                  int id = -1, HWND parent = nullptr, DWORD ex_style = 0);
  HWND AddLabel(const std::wstring& text, int x, int y, int w, int h, HWND parent = nullptr, int id = -1,
                DWORD align = SS_LEFT);
  HWND AddCheckBox(const std::wstring& text, int x, int y, int w, int h, int id, HWND parent = nullptr);
  HWND AddButton(const std::wstring& text, int x, int y, int w, int h, int id, HWND parent = nullptr);
  HWND AddGroupBox(const std::wstring& text, int x, int y, int w, int h, HWND parent = nullptr);
  // A horizontal separator line.
  HWND AddSeparator(int x, int y, int w, HWND parent = nullptr);
  // A page of a tab control: a container laid over the tab's display area
  // whose children talk to the form as if they were its own.  It follows the
  // tab control when that is resized.
  HWND AddTabPage(HWND tab);
  // From now on, when the form is resized, `child` keeps its present
  // distances to the given edges of its parent (kAnchorLeft | kAnchorTop is
  // where it is anyway).  Anchor parents before their children.
  void Anchor(HWND child, unsigned anchors);

  // The control that gets the focus when the window is next activated (the
  // control that had it, by default); at once when the window is active.
  void FocusOnActivation(HWND control);
  // The focus into the first control of `container` (a tab page) that the
  // Tab key stops at.
  void FocusFirstControlOf(HWND container);

  HINSTANCE instance() const { return instance_; }
  HFONT font() const { return font_.get(); }
  HFONT bold_font() const { return bold_font_.get(); }

 private:
  static LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT Dispatch(UINT msg, WPARAM wparam, LPARAM lparam);
  void CenterOnScreen();
  void MoveClearOfCover();
  void SetProgramIcons();
  void ApplyAnchors();
  void LimitTrackSize(MINMAXINFO& info) const;
  LRESULT FormActivate(WPARAM wparam, LPARAM lparam);
  void NextControl(WPARAM wparam, LPARAM lparam);

  struct AnchoredChild {
    HWND child;
    unsigned anchors;
    RECT margins;  // distances to the parent's client edges when anchored
    SIZE size;
  };
  std::vector<AnchoredChild> anchored_;
  SIZE min_window_ = {0, 0};
  HWND keep_clear_of_ = nullptr;
  HWND focus_ = nullptr;  // given back on activation
  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
  UniqueFont font_;
  UniqueFont bold_font_;
};

// Registers a window class of this program once (later calls do nothing):
// arrow cursor, the given background.
void RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HBRUSH background);

// Control helpers shared by the views.
std::wstring ControlText(HWND control);
void SetControlText(HWND control, const std::wstring& text);  // only when it differs (no flicker)
bool IsChecked(HWND check_box);
// The first control below `container`, in the Tab order, that the Tab key
// stops at (visible, enabled, WS_TABSTOP); null when there is none.
HWND FirstTabStop(HWND container);
// The label on the left of `control` on its row (its caption), among its
// siblings; null when there is none.
HWND LabelLeftOf(HWND control);
void SetChecked(HWND check_box, bool checked);

}  // namespace zt
