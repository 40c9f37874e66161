// The main window's pop-up menu as constant data: captions, command ids,
// submenus, separators, short-cuts and the placement pictures, top to bottom.
// The Windows layer builds the menu from this table and routes short-cut key
// presses through it, so the table is the one place the menu is described.
#pragma once

#include <cstddef>
#include <cstdint>

#include "util/texts.h"

namespace zt {

// WM_COMMAND identifiers of the menu items (and of the title buttons, which
// share the same command path).
enum MenuCommand : uint16_t {
  MI_About = 1001,
  MI_Help = 1002,
  MI_Forum = 1003,
  MI_Donate = 1004,
  MI_VersionHistory = 1005,
  MI_Copyrights = 1006,
  MI_Settings = 1010,
  MI_Statistics = 1011,
  MI_CPUInformation = 1012,
  MI_History = 1013,
  MI_TopLeft = 1020,
  MI_TopRight = 1021,
  MI_BotomLeft = 1022,
  MI_BotomRight = 1023,
  MI_Center = 1024,
  MI_LockForm = 1025,
  MI_ShowHide = 1030,
  MI_Exit = 1031,
};

enum class MenuEntryKind : uint8_t {
  Item,          // a command
  Separator,     // a dividing line
  SubmenuBegin,  // opens a submenu: the entries up to the matching end belong to it
  SubmenuEnd,
};

// Which corner the 15 x 15 placement picture marks (None: no picture).
enum class MenuPicture : uint8_t { None, TopLeft, TopRight, BottomLeft, BottomRight, Center };

struct MenuEntry {
  MenuEntryKind kind;
  const char* name;     // the item's program name ("MI_About"), for tests and reading
  TextId text;          // its caption (TextId::Count for separators and ends)
  uint16_t id;          // MenuCommand, 0 for separators and submenus
  uint16_t shortcut;    // short-cut value (key | Shift 0x2000 | Ctrl 0x4000 | Alt 0x8000)
  MenuPicture picture;
};

const MenuEntry* PopupMenuEntries();
std::size_t PopupMenuEntryCount();

// The entry of a command, or nullptr.
const MenuEntry* FindMenuEntry(uint16_t id);

// The command whose short-cut matches a key press, or 0.
uint16_t MenuCommandForKey(uint16_t key, bool shift, bool ctrl, bool alt);

// Short-cut values of the items that carry one.
constexpr uint16_t kShortCutAbout = 8304;         // Shift+F1
constexpr uint16_t kShortCutHelp = 112;           // F1
constexpr uint16_t kShortCutSettings = 115;       // F4
constexpr uint16_t kShortCutStatistics = 116;     // F5
constexpr uint16_t kShortCutCPUInformation = 117; // F6
constexpr uint16_t kShortCutHistory = 118;        // F7
constexpr uint16_t kShortCutExit = 32883;         // Alt+F4
constexpr uint16_t kShortCutTopLeft = 16487;      // Ctrl + keypad 7
constexpr uint16_t kShortCutTopRight = 16489;     // Ctrl + keypad 9
constexpr uint16_t kShortCutBotomLeft = 16481;    // Ctrl + keypad 1
constexpr uint16_t kShortCutBotomRight = 16483;   // Ctrl + keypad 3
constexpr uint16_t kShortCutCenter = 16485;       // Ctrl + keypad 5

// 15 x 15 placement picture: true where the pixel is drawn black (the block)
// and, separately, where the dotted frame is.
constexpr int kMenuPictureSize = 15;
bool MenuPictureBlock(MenuPicture picture, int x, int y);
bool MenuPictureFrameDot(int x, int y);

}  // namespace zt
