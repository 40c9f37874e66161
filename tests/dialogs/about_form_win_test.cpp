// The about window: its texts, links, and the header's clipboard copy.
#include "dialogs/about_form_win.h"

#include <gtest/gtest.h>

#include "support/clipboard_text_win.h"
#include "support/message_box_watch_win.h"

#include <string>

#include "support/fake_shell_win.h"
#include "support/key_press_win.h"
#include "util/clipboard_win.h"

namespace zt {
namespace {

using test::ClipboardText;

void Click(HWND control) {
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

TEST(AboutForm, OnlyARightButtonReleaseOnTheHeaderItselfCopiesTheIdentification) {
  TForm_About form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  HWND header = GetDlgItem(form.hwnd(), kIdPanelHeader);
  ASSERT_NE(header, nullptr);
  HWND version = GetDlgItem(header, kIdLabelVersion);
  EXPECT_EQ(ControlText(version), L"版本： 2.0");
  EXPECT_EQ(ControlText(GetDlgItem(header, kIdLabelDate)), L"日期： 2013-12-16");

  // The labels and the picture take their own mouse messages, so a click on
  // them never reaches the header.
  for (int id : {kIdLabelTitle, kIdLabelVersion, kIdLabelDate, kIdImage}) {
    HWND child = GetDlgItem(header, id);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(SendMessageW(child, WM_NCHITTEST, 0, MAKELPARAM(r.left + 2, r.top + 2)), HTCLIENT) << id;
  }

  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"before"));
  SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(300, 10));
  SendMessageW(version, WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(ClipboardText(), L"before");
  SendMessageW(header, WM_RBUTTONUP, 0, MAKELPARAM(300, 10));
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr) << "closed again";
  EXPECT_EQ(ClipboardText(), L"Zettrim 2.0 (2013-12-16)");
}

TEST(AboutForm, TheLinksOpenTheirAddressesAndAPlaceholderCreditShowsDashes) {
  test::FakeShell shell;
  const ScopedOverride<IShell> use(shell);
  TForm_About form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr, "#TRANSLATOR"));
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, 337);
  EXPECT_EQ(client.bottom, 215);
  EXPECT_NE(GetWindowLongPtrW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "stays on top";
  EXPECT_EQ(ControlText(GetDlgItem(form.hwnd(), kIdLabelTranslator)), L"---");

  Click(GetDlgItem(form.hwnd(), kIdLabelAuthor));
  Click(GetDlgItem(form.hwnd(), kIdLabelEmail));
  Click(GetDlgItem(form.hwnd(), kIdLabelWebsite));
  ASSERT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(shell.opened[0], L"mailto:support@quorl.net?subject=Zettrim");
  EXPECT_EQ(shell.opened[1], L"https://zettrim.quorl.net/");
  EXPECT_EQ(shell.owners, (std::vector<HWND>{form.hwnd(), form.hwnd()}));
}

// The about window stays on top: the box that says a link could not be
// opened must be owned by it, or it opens underneath and the window looks
// hung.
TEST(AboutForm, AFailingLinkIsToldInABoxOwnedByTheAboutWindow) {
  test::FakeShell shell;
  shell.open_result = SE_ERR_NOASSOC;
  const ScopedOverride<IShell> use(shell);
  TForm_About form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  form.Show();
  std::vector<test::BoxWatcher::Box> boxes;
  {
    test::BoxWatcher watcher;
    Click(GetDlgItem(form.hwnd(), kIdLabelEmail));
    boxes = watcher.boxes();
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, L"Warning");
  EXPECT_EQ(boxes[0].text.rfind(L"Could not open the following file:\r\rmailto:", 0), 0u);
  EXPECT_EQ(boxes[0].owner, form.hwnd());
}


// The window opens with nothing focused; Tab reaches the two links, and
// Enter or Space opens them, as a click does.
TEST(AboutForm, TabReachesTheLinksAndEnterOrSpaceOpensThem) {
  test::FakeShell shell;
  const ScopedOverride<IShell> use(shell);
  TForm_About form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  form.Show();
  test::PumpMessages();
  EXPECT_EQ(GetFocus(), form.hwnd()) << "no control focused";
  HWND email = GetDlgItem(form.hwnd(), kIdLabelEmail);
  HWND website = GetDlgItem(form.hwnd(), kIdLabelWebsite);
  test::PressKey(form.hwnd(), VK_TAB);
  ASSERT_EQ(GetFocus(), email);
  test::PressKey(email, VK_RETURN);
  EXPECT_TRUE(form.visible()) << "Enter is the link's, not the window's";
  test::PressKey(email, VK_TAB);
  ASSERT_EQ(GetFocus(), website);
  test::PressKey(website, VK_SPACE);
  ASSERT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(shell.opened[0], L"mailto:support@quorl.net?subject=Zettrim");
  EXPECT_EQ(shell.opened[1], L"https://zettrim.quorl.net/");
  test::PressKey(website, VK_TAB);
  EXPECT_EQ(GetFocus(), email) << "nothing else takes the focus";
}
}  // namespace
}  // namespace zt
