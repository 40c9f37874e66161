// The base of the program's windows: closing hides, Esc closes from any
// control, and the window keeps its contents between showings.
#include "dialogs/form_win.h"

#include <gtest/gtest.h>

#include "util/modeless_dialogs_win.h"

namespace zt {
namespace {

class CountingForm : public TForm {
 public:
  HWND check = nullptr;
  HWND combo = nullptr;
  int shows = 0;
  int hides = 0;

 protected:
  void FormCreate() override {
    check = AddCheckBox(L"一个", 8, 8, 100, 16, 10);
    combo = AddControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_TABSTOP, 8, 30, 100, 100, 11);
  }
  void FormShow() override { ++shows; }
  void FormHide() override { ++hides; }
};

MSG KeyFor(HWND target, WPARAM key) {
  MSG msg = {};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  return msg;
}

TEST(Form, EscFromAControlAndTheCloseBoxOnlyHideTheWindow) {
  CountingForm form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), FormOptions{L"Zettrim.TestForm", L"测试", 200, 120}));
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 120);
  EXPECT_FALSE(form.visible()) << "created hidden";

  form.Show();
  EXPECT_TRUE(form.visible());
  SetChecked(form.check, true);
  MSG esc = KeyFor(form.check, VK_ESCAPE);
  EXPECT_TRUE(IsModelessDialogMessage(esc));
  EXPECT_FALSE(form.visible());

  form.Show();
  SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.visible());
  EXPECT_TRUE(IsWindow(form.hwnd()));
  EXPECT_TRUE(IsChecked(form.check)) << "contents kept";
  EXPECT_EQ(form.shows, 2);
  EXPECT_EQ(form.hides, 2);

  // Other keys go on to the control.
  form.Show();
  MSG other = KeyFor(form.check, 'A');
  IsModelessDialogMessage(other);
  EXPECT_TRUE(form.visible());
}

TEST(Form, KeysOfAnotherWindowAreNotTaken) {
  CountingForm form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), FormOptions{L"Zettrim.TestForm", L"测试", 200, 120}));
  form.Show();
  CountingForm other;
  ASSERT_TRUE(other.Create(GetModuleHandleW(nullptr), FormOptions{L"Zettrim.TestForm", L"别的", 200, 120}));
  other.Show();
  MSG esc = KeyFor(other.hwnd(), VK_ESCAPE);
  EXPECT_TRUE(IsModelessDialogMessage(esc));
  EXPECT_FALSE(other.visible());
  EXPECT_TRUE(form.visible()) << "Esc closes only the window it was pressed in";
}

// English is drawn in the TrueType face (the raster one is stepped when
// scaled), Chinese as it always was; a switch of language follows.
TEST(Form, ItsTextTakesTheFaceOfTheLanguage) {
  LOGFONTW font = {};
  const auto face = [&](HWND control) {
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::wstring(font.lfFaceName);
  };
  SetCurrentLanguage(Language::English);
  CountingForm form;
  FormOptions options{L"Zettrim.TestForm", L"测试", 200, 120};
  options.charset_follows_language = true;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), options));
  EXPECT_EQ(face(form.check), L"Microsoft Sans Serif");
  SetCurrentLanguage(Language::Chinese);
  form.Retext();
  EXPECT_EQ(face(form.check), L"MS Sans Serif");
}

}  // namespace
}  // namespace zt
