#include "dialogs/about_form_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include "dialogs/link_label_win.h"
#include "util/accessible_win.h"
#include "util/clipboard_win.h"
#include "util/icons_win.h"
#include "util/open_document_win.h"
#include "util/unicode_win.h"
#include "util/window_messages.h"
#include "util/caught.h"

namespace zt {
namespace {

constexpr wchar_t kHeaderClass[] = L"Zettrim.AboutHeader";

// Layout in design units (util/dpi.h), shown at the window's dpi.
constexpr int kClientWidth = 337;
constexpr int kClientHeight = 215;
constexpr int kHeaderHeight = 97;
constexpr int kBevelHeight = 9;  // the bottom-line bevel along the header's lower edge
constexpr int kImageX = 24, kImageY = 8, kImageSize = 81;
constexpr int kTextX = 128;
// The title as wide as the lines below it and as high as its font's line:
// a serif face wider than Times New Roman is not cut off.
constexpr int kTitleY = 16, kTitleWidth = kClientWidth - kTextX - 8, kTitleHeight = 40;
constexpr int kTitleFontPoints = 24;  // 32 pixels high at 96 dpi
constexpr int kVersionY = 56, kDateY = 72;
constexpr int kCaptionX = 32, kValueX = 112;
constexpr int kRowY[4] = {112, 136, 160, 184};
constexpr int kRowHeight = 14;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

}  // namespace

TForm_About::~TForm_About() {
  // The header outlives this object by a moment: the base destroys the window.
  if (hwnd() && panel_header_) SetWindowLongPtrW(panel_header_, GWLP_USERDATA, 0);
}

bool TForm_About::Create(HINSTANCE instance, HWND owner, const std::string& translator_credit) {
  translator_credit_ = translator_credit;
  RegisterWindowClassOnce(instance, kHeaderClass, HeaderProc,
                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FormOptions options;
  options.class_name = kAboutFormClass;
  options.caption_text = TextId::AboutCaption;
  options.client_width = kClientWidth;
  options.client_height = kClientHeight;
  options.owner = owner;
  options.charset_follows_language = true;
  options.ex_style |= WS_EX_TOPMOST;
  return TForm::Create(instance, options);
}

void TForm_About::FormCreate() {
  const AboutTexts texts = MakeAboutTexts(translator_credit_.empty() ? TranslatorCredit() : translator_credit_);
  hand_cursor_ = LoadCursorW(nullptr, IDC_HAND);
  CreateHeader(texts);
  AddRow(kRowY[0], TextId::AboutAuthor, texts.author, kIdLabelAuthor, false);
  AddRow(kRowY[1], TextId::AboutEmail, texts.email, kIdLabelEmail, true);
  AddRow(kRowY[2], TextId::AboutWebsite, texts.website, kIdLabelWebsite, true);
  AddRow(kRowY[3], TextId::AboutTranslator, texts.translator, kIdLabelTranslator, false);
  SetUpKeyboardAndNames();
}

void TForm_About::FormRetext() {
  const AboutTexts texts = MakeAboutTexts(translator_credit_.empty() ? TranslatorCredit() : translator_credit_);
  SetControlText(GetDlgItem(panel_header_, kIdLabelVersion), Widen(texts.version));
  SetControlText(GetDlgItem(panel_header_, kIdLabelDate), Widen(texts.date));
  SetControlText(GetDlgItem(hwnd(), kIdLabelTranslator), Widen(texts.translator));
  SetUpKeyboardAndNames();
}

void TForm_About::CreateHeader(const AboutTexts& texts) {
  panel_header_ = AddControl(kHeaderClass, L"", WS_CLIPCHILDREN, 0, 0, kClientWidth, kHeaderHeight, kIdPanelHeader);
  if (!panel_header_) return;
  SetWindowLongPtrW(panel_header_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // The header's labels and picture take their own mouse messages
  // (SS_NOTIFY): a click on them is not a click on the header.
  AddControl(WC_STATICW, L"", SS_OWNERDRAW | SS_NOTIFY, kImageX, kImageY, kImageSize, kImageSize, kIdImage,
             panel_header_);
  FontDesign title_font;
  title_font.points = kTitleFontPoints;
  title_font.face = L"Times New Roman";
  title_font.pitch_and_family = DEFAULT_PITCH | FF_ROMAN;
  const int title_font_index = AddFont(title_font);
  HWND title = AddControl(WC_STATICW, Widen(texts.title), SS_LEFT | SS_NOPREFIX | SS_NOTIFY, kTextX, kTitleY,
                          kTitleWidth, kTitleHeight, kIdLabelTitle, panel_header_);
  SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(title_font_index)), FALSE);
  const int text_width = kClientWidth - kTextX - 8;
  AddControl(WC_STATICW, Widen(texts.version), SS_LEFT | SS_NOPREFIX | SS_NOTIFY, kTextX, kVersionY, text_width,
             kRowHeight, kIdLabelVersion, panel_header_);
  AddControl(WC_STATICW, Widen(texts.date), SS_LEFT | SS_NOPREFIX | SS_NOTIFY, kTextX, kDateY, text_width,
             kRowHeight, kIdLabelDate, panel_header_);
}

void TForm_About::AddRow(int y, TextId caption, const std::string& value, int id, bool link) {
  HWND caption_label = AddLabel(caption, kCaptionX, y, kValueX - kCaptionX - 4, kRowHeight);
  SendMessageW(caption_label, WM_SETFONT, reinterpret_cast<WPARAM>(bold_font()), FALSE);
  AddControl(WC_STATICW, Widen(value), SS_LEFT | SS_NOPREFIX | (link ? SS_NOTIFY : 0), kValueX, y,
             kClientWidth - kValueX - 8, kRowHeight, id);
}

void TForm_About::FormLayout(int) {
  // The logo drawn at the size it is shown, never a smaller one stretched.
  const int size = Scale(kProgramLogoSize);
  if (logo_size_ != size) {
    logo_ = DrawProgramLogo(size);
    logo_size_ = size;
  }
}

void TForm_About::FormShow() { PostMessageW(hwnd(), WM_AFTERSHOW, 0, 0); }

void TForm_About::WMAfterShow() {
  // No control keeps the focus: the window itself has it.
  if (visible()) SetFocus(hwnd());
}

void TForm_About::Label_EmailClick() { OpenDocument(hwnd(), EmailLinkTarget()); }

void TForm_About::Label_WebsiteClick() { OpenDocument(hwnd(), WebsiteLinkTarget()); }

void TForm_About::Panel_HeaderMouseUp(UINT button_message) {
  if (button_message != WM_RBUTTONUP) return;
  CopyTextToClipboard(hwnd(), Widen(ClipboardIdentification()));
}

bool TForm_About::IsLink(HWND control) const {
  return control && (control == GetDlgItem(hwnd(), kIdLabelEmail) || control == GetDlgItem(hwnd(), kIdLabelWebsite));
}

LRESULT TForm_About::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_AFTERSHOW: WMAfterShow(); return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == STN_CLICKED) {
        if (LOWORD(wparam) == kIdLabelEmail) Label_EmailClick();
        if (LOWORD(wparam) == kIdLabelWebsite) Label_WebsiteClick();
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // The links are blue; the base gives them the dialog face.
      if (IsLink(reinterpret_cast<HWND>(lparam))) SetTextColor(reinterpret_cast<HDC>(wparam), kLinkColor);
      return 0;
    case WM_SETCURSOR:
      if (IsLink(reinterpret_cast<HWND>(wparam)) && hand_cursor_) {
        SetCursor(hand_cursor_);
        return TRUE;
      }
      break;
    default: break;
  }
  return Default(msg, wparam, lparam);
}

void TForm_About::Image_Draw(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int n = logo_size_;
  const int x = item.rcItem.left + (item.rcItem.right - item.rcItem.left - n) / 2;
  const int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - n) / 2;
  DrawPixels(dc, x, y, logo_, n);
}

LRESULT TForm_About::HeaderHandle(HWND header, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(header, &ps);
      // The bottom-line bevel: a shadow line over a highlight line.
      RECT bevel;
      GetClientRect(header, &bevel);
      bevel.top = bevel.bottom - Scale(kBevelHeight);
      DrawEdge(dc, &bevel, EDGE_ETCHED, BF_BOTTOM);
      EndPaint(header, &ps);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, RGB(255, 255, 255));
      SetTextColor(dc, RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID == kIdImage) {
        Image_Draw(*item);
        return TRUE;
      }
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      Panel_HeaderMouseUp(msg);
      return 0;
    default: break;
  }
  return DefWindowProcW(header, msg, wparam, lparam);
}

LRESULT CALLBACK TForm_About::HeaderProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  auto* self = reinterpret_cast<TForm_About*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wparam, lparam);
  try {
    return self->HeaderHandle(hwnd, msg, wparam, lparam);
  } catch (...) {
    RecordCaught("about header procedure");
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

void TForm_About::SetUpKeyboardAndNames() {
  MakeKeyboardLink(GetDlgItem(hwnd(), kIdLabelEmail));
  MakeKeyboardLink(GetDlgItem(hwnd(), kIdLabelWebsite));
  // The header reads as the identification it copies; the logo as a picture.
  if (panel_header_) SetWindowTextW(panel_header_, Widen(ClipboardIdentification()).c_str());
  AccessibleOverride logo;
  logo.name = [] { return Widen(Text(TextId::AboutLogo)); };
  logo.role = ROLE_SYSTEM_GRAPHIC;
  SetAccessibleOverride(GetDlgItem(panel_header_, kIdImage), std::move(logo));
}

}  // namespace zt
