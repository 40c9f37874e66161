#include "shell/menu_model.h"

#include "util/hotkey.h"

namespace zt {
namespace {

using K = MenuEntryKind;
using P = MenuPicture;
using T = TextId;

constexpr MenuEntry kEntries[] = {
    {K::Item, "MI_About", T::MenuAbout, MI_About, kShortCutAbout, P::None},
    {K::SubmenuBegin, "MI_HelpMenu", T::MenuHelp, 0, 0, P::None},
    {K::Item, "MI_Help", T::MenuHelpOnline, MI_Help, kShortCutHelp, P::None},
    {K::Item, "MI_Forum", T::MenuForum, MI_Forum, 0, P::None},
    {K::Item, "MI_Donate", T::MenuDonate, MI_Donate, 0, P::None},
    {K::Separator, "", T::Count, 0, 0, P::None},
    {K::Item, "MI_VersionHistory", T::MenuVersionHistory, MI_VersionHistory, 0, P::None},
    {K::Item, "MI_Copyrights", T::MenuCopyrights, MI_Copyrights, 0, P::None},
    {K::SubmenuEnd, "", T::Count, 0, 0, P::None},
    {K::Separator, "", T::Count, 0, 0, P::None},
    {K::Item, "MI_Settings", T::MenuSettings, MI_Settings, kShortCutSettings, P::None},
    {K::Item, "MI_Statistics", T::MenuStatistics, MI_Statistics, kShortCutStatistics, P::None},
    {K::Item, "MI_History", T::MenuHistory, MI_History, kShortCutHistory, P::None},
    {K::Item, "MI_CPUInformation", T::MenuCpuInformation, MI_CPUInformation, kShortCutCPUInformation, P::None},
    {K::Separator, "", T::Count, 0, 0, P::None},
    {K::SubmenuBegin, "MI_Location", T::MenuLocation, 0, 0, P::None},
    {K::Item, "MI_TopLeft", T::MenuTopLeft, MI_TopLeft, kShortCutTopLeft, P::TopLeft},
    {K::Item, "MI_TopRight", T::MenuTopRight, MI_TopRight, kShortCutTopRight, P::TopRight},
    {K::Item, "MI_BotomLeft", T::MenuBottomLeft, MI_BotomLeft, kShortCutBotomLeft, P::BottomLeft},
    {K::Item, "MI_BotomRight", T::MenuBottomRight, MI_BotomRight, kShortCutBotomRight, P::BottomRight},
    {K::Item, "MI_Center", T::MenuCenter, MI_Center, kShortCutCenter, P::Center},
    {K::Separator, "", T::Count, 0, 0, P::None},
    {K::Item, "MI_LockForm", T::MenuLockForm, MI_LockForm, 0, P::None},
    {K::SubmenuEnd, "", T::Count, 0, 0, P::None},
    {K::Item, "MI_ShowHide", T::MenuShowHide, MI_ShowHide, 0, P::None},
    {K::Separator, "", T::Count, 0, 0, P::None},
    {K::Item, "MI_Exit", T::MenuExit, MI_Exit, kShortCutExit, P::None},
};
static_assert(sizeof(kEntries) / sizeof(kEntries[0]) == 27, "menu table changed size");

// The block: 7 x 7 pixels inside the frame, in the named corner or centred.
bool InBlock(int x, int y, int left, int top) { return x >= left && x < left + 7 && y >= top && y < top + 7; }

}  // namespace

const MenuEntry* PopupMenuEntries() { return kEntries; }
std::size_t PopupMenuEntryCount() { return sizeof(kEntries) / sizeof(kEntries[0]); }

const MenuEntry* FindMenuEntry(uint16_t id) {
  if (id == 0) return nullptr;
  for (const MenuEntry& e : kEntries) {
    if (e.kind == K::Item && e.id == id) return &e;
  }
  return nullptr;
}

uint16_t MenuCommandForKey(uint16_t key, bool shift, bool ctrl, bool alt) {
  for (const MenuEntry& e : kEntries) {
    if (e.kind == K::Item && ShortCutMatches(e.shortcut, key, shift, ctrl, alt)) return e.id;
  }
  return 0;
}

bool MenuPictureFrameDot(int x, int y) {
  const int last = kMenuPictureSize - 1;
  const bool on_edge = x == 0 || y == 0 || x == last || y == last;
  return on_edge && ((x + y) % 2 == 0);
}

bool MenuPictureBlock(MenuPicture picture, int x, int y) {
  // Two pixels of air between the dotted frame and the block.
  switch (picture) {
    case P::TopLeft: return InBlock(x, y, 2, 2);
    case P::TopRight: return InBlock(x, y, 6, 2);
    case P::BottomLeft: return InBlock(x, y, 2, 6);
    case P::BottomRight: return InBlock(x, y, 6, 6);
    case P::Center: return InBlock(x, y, 4, 4);
    case P::None: break;
  }
  return false;
}

}  // namespace zt
