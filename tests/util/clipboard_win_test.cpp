// The clipboard copy: Unicode text in, and the clipboard closed afterwards,
// also when another window holds it.
#include "util/clipboard_win.h"

#include <gtest/gtest.h>

#include "support/clipboard_text_win.h"

#include <atomic>
#include <thread>

namespace zt {
namespace {

using test::ClipboardText;

TEST(Clipboard, CopiesUnicodeTextAndClosesTheClipboard) {
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"Zettrim 2.0 统计"));
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(ClipboardText(), L"Zettrim 2.0 统计");
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L""));
  EXPECT_EQ(ClipboardText(), L"");
}

TEST(Clipboard, AClipboardHeldByAnotherWindowIsNeitherChangedNorClosed) {
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"before"));
  std::atomic<HWND> holder{nullptr};
  std::atomic<bool> ready{false};
  std::atomic<bool> release{false};
  std::thread other([&] {
    HWND w = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const bool opened = w && OpenClipboard(w);
    if (opened) holder = w;
    ready = true;
    while (!release) Sleep(5);
    if (opened) CloseClipboard();
    if (w) DestroyWindow(w);
  });
  while (!ready) Sleep(5);
  if (!holder) {
    release = true;
    other.join();
    FAIL() << "the other thread could not open the clipboard";
  }
  EXPECT_FALSE(CopyTextToClipboard(nullptr, L"after"));
  EXPECT_EQ(GetOpenClipboardWindow(), holder.load()) << "still open for its holder";
  release = true;
  other.join();
  EXPECT_EQ(ClipboardText(), L"before");
}

}  // namespace
}  // namespace zt
