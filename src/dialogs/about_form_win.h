// TForm_About: the modeless about window.  A white header with the logo,
// the program's name, version and build date (a right click on it copies a
// one-line identification), and four caption/value rows: author, e-mail and
// web site (blue links) and the translation credit.  Stays above other
// windows; its texts come from about_model.h.  The links are reached with
// Tab and opened with Enter or Space as well (link_label_win.h); the window
// still opens with no control focused.
#pragma once

#include <windows.h>

#include <string>

#include "dialogs/about_model.h"
#include "dialogs/form_win.h"
#include "util/handles_win.h"
#include "util/program_picture.h"

namespace zt {

constexpr wchar_t kAboutFormClass[] = L"TForm_About";

// Control ids (GetDlgItem on the window, or on the header for its own).
enum AboutControl : int {
  kIdPanelHeader = 301,
  kIdImage = 302,
  kIdLabelTitle = 303,
  kIdLabelVersion = 304,
  kIdLabelDate = 305,
  kIdLabelAuthor = 310,
  kIdLabelEmail = 311,
  kIdLabelWebsite = 312,
  kIdLabelTranslator = 313,
};

class TForm_About : public TForm {
 public:
  TForm_About() = default;
  ~TForm_About() override;
  // Hidden until shown.  `translator_credit` is the translation's credit;
  // empty: the credit of the language shown (TranslatorCredit()).
  bool Create(HINSTANCE instance, HWND owner, const std::string& translator_credit = std::string());

 protected:
  void FormCreate() override;
  void FormLayout(int previous_dpi) override;
  void FormShow() override;
  void FormRetext() override;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void CreateHeader(const AboutTexts& texts);
  void AddRow(int y, TextId caption, const std::string& value, int id, bool link);
  void SetUpKeyboardAndNames();
  void WMAfterShow();
  void Label_EmailClick();
  void Label_WebsiteClick();
  void Panel_HeaderMouseUp(UINT button_message);
  void Image_Draw(const DRAWITEMSTRUCT& item);
  bool IsLink(HWND control) const;
  LRESULT HeaderHandle(HWND header, UINT msg, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept;

  std::string translator_credit_;
  HWND panel_header_ = nullptr;
  ProgramPixels logo_;
  int logo_size_ = 0;
  HCURSOR hand_cursor_ = nullptr;
};

}  // namespace zt
