#include "shell/menu_model.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "util/access_key.h"
#include "util/hotkey.h"

namespace zt {
namespace {

// The menu written out as it appears, one entry per line: "-" separators,
// ">" opens a submenu and "<" closes it.
std::vector<std::string> Outline() {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < PopupMenuEntryCount(); ++i) {
    const MenuEntry& e = PopupMenuEntries()[i];
    switch (e.kind) {
      case MenuEntryKind::Separator: out.push_back("-"); break;
      case MenuEntryKind::SubmenuBegin: out.push_back(std::string(">") + Text(e.text)); break;
      case MenuEntryKind::SubmenuEnd: out.push_back("<"); break;
      case MenuEntryKind::Item:
        out.push_back(std::string(Text(e.text)) + "|" + ShortCutToText(e.shortcut));
        break;
    }
  }
  return out;
}

TEST(PopupMenu, CaptionsOrderSeparatorsAndShortCuts) {
  const std::vector<std::string> expected = {
      "关于|Shift+F1", ">帮助",        "帮助（在线）|F1", "论坛（在线）|", "捐赠（在线）|",
      "-",            "版本历史记录|", "版权声明|",       "<",             "-",
      "设置|F4",      "统计|F5",       "历史|F7",         "CPU信息|F6",    "-",             ">位置",
      "左上|Ctrl+Num 7", "右上|Ctrl+Num 9", "左下|Ctrl+Num 1", "右下|Ctrl+Num 3",
      "中心|Ctrl+Num 5", "-",          "锁定窗体|",       "<",             "显示/隐藏|",
      "-",            "退出|Alt+F4"};
  EXPECT_EQ(Outline(), expected);
}

// Each menu level: in English every entry has an access key, and no two
// entries of one menu share one in either language.
TEST(PopupMenu, AccessKeysAreUniqueWithinEachMenu) {
  for (Language language : {Language::Chinese, Language::English}) {
    std::vector<std::set<char>> open = {{}};
    for (std::size_t i = 0; i < PopupMenuEntryCount(); ++i) {
      const MenuEntry& e = PopupMenuEntries()[i];
      if (e.kind == MenuEntryKind::SubmenuEnd) open.pop_back();
      if (e.kind != MenuEntryKind::Item && e.kind != MenuEntryKind::SubmenuBegin) continue;
      const char key = AccessKeyOf(TextIn(language, e.text));
      EXPECT_TRUE(key != 0 ? open.back().insert(key).second : language == Language::Chinese) << TextIn(language, e.text);
      if (e.kind == MenuEntryKind::SubmenuBegin) open.push_back({});
    }
    EXPECT_EQ(open.size(), 1u);
  }
}

TEST(PopupMenu, IdsAreUniqueAndSubmenusBalanced) {
  int depth = 0;
  std::vector<uint16_t> ids;
  for (std::size_t i = 0; i < PopupMenuEntryCount(); ++i) {
    const MenuEntry& e = PopupMenuEntries()[i];
    if (e.kind == MenuEntryKind::SubmenuBegin) ++depth;
    if (e.kind == MenuEntryKind::SubmenuEnd) --depth;
    ASSERT_GE(depth, 0);
    if (e.kind == MenuEntryKind::Item) {
      ASSERT_NE(e.id, 0);
      for (uint16_t seen : ids) EXPECT_NE(seen, e.id) << e.name;
      ids.push_back(e.id);
    }
  }
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(ids.size(), 18u);
}

TEST(PopupMenu, KeyPressesFindTheirCommands) {
  EXPECT_EQ(MenuCommandForKey(0x70, true, false, false), MI_About);
  EXPECT_EQ(MenuCommandForKey(0x70, false, false, false), MI_Help);
  EXPECT_EQ(MenuCommandForKey(0x73, false, false, false), MI_Settings);
  EXPECT_EQ(MenuCommandForKey(0x73, false, false, true), MI_Exit);
  EXPECT_EQ(MenuCommandForKey(0x65, false, true, false), MI_Center);
  EXPECT_EQ(MenuCommandForKey(0x65, false, false, false), 0);  // keypad 5 alone
  EXPECT_EQ(MenuCommandForKey(0x7A, false, true, true), 0);    // the hot key is not a menu key
}

TEST(PopupMenu, PlacementPicturesMarkTheirCorner) {
  EXPECT_TRUE(MenuPictureBlock(MenuPicture::TopLeft, 2, 2));
  EXPECT_FALSE(MenuPictureBlock(MenuPicture::TopLeft, 12, 12));
  EXPECT_TRUE(MenuPictureBlock(MenuPicture::BottomRight, 12, 12));
  EXPECT_TRUE(MenuPictureBlock(MenuPicture::TopRight, 12, 2));
  EXPECT_TRUE(MenuPictureBlock(MenuPicture::BottomLeft, 2, 12));
  EXPECT_TRUE(MenuPictureBlock(MenuPicture::Center, 7, 7));
  EXPECT_FALSE(MenuPictureBlock(MenuPicture::Center, 2, 2));
  EXPECT_EQ(FindMenuEntry(MI_BotomLeft)->picture, MenuPicture::BottomLeft);
  EXPECT_EQ(FindMenuEntry(MI_LockForm)->picture, MenuPicture::None);
  // The frame is dotted: alternate pixels along the edge.
  EXPECT_TRUE(MenuPictureFrameDot(0, 0));
  EXPECT_FALSE(MenuPictureFrameDot(1, 0));
  EXPECT_FALSE(MenuPictureFrameDot(7, 7));
}

}  // namespace
}  // namespace zt
