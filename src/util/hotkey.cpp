#include "util/hotkey.h"

namespace zt {
namespace {

uint32_t SwapBits0And2(uint32_t v) {
  return ((v & 1u) << 2) | ((v & 4u) >> 2) | (v & 0xAu);
}

// Names of the keys the program's short-cuts and hot keys use; others are
// written as their virtual-key number.
std::string KeyName(uint16_t key) {
  if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x70 + 1);  // F1..F24
  if (key >= 0x60 && key <= 0x69) return "Num " + std::to_string(key - 0x60);  // keypad digits
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  switch (key) {
    case 0x08: return "BkSp";
    case 0x09: return "Tab";
    case 0x0D: return "Enter";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x21: return "PgUp";
    case 0x22: return "PgDn";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2D: return "Ins";
    case 0x2E: return "Del";
    case 0x6A: return "Num *";
    case 0x6B: return "Num +";
    case 0x6D: return "Num -";
    case 0x6E: return "Num Del";
    case 0x6F: return "Num /";
    default: return "#" + std::to_string(key);
  }
}

}  // namespace

uint32_t HotkeyFlagsToModifiers(uint32_t flags) { return SwapBits0And2(flags); }
uint32_t ModifiersToHotkeyFlags(uint32_t modifiers) { return SwapBits0And2(modifiers); }

bool IsTypingKey(uint32_t key) {
  switch (key) {
    case 0x08:  // Backspace
    case 0x09:  // Tab
    case 0x0D:  // Enter
    case 0x1B:  // Esc
    case 0x20:  // Space
      return true;
    default: break;
  }
  return (key >= 0x21 && key <= 0x28) ||  // PgUp, PgDn, End, Home, arrows
         key == 0x2D || key == 0x2E ||    // Insert, Delete
         (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
         (key >= 0x60 && key <= 0x6F) ||  // keypad digits and signs
         (key >= 0xBA && key <= 0xC0) ||  // ; = , - . / `
         (key >= 0xDB && key <= 0xDF) ||  // [ \ ] ' and the eighth OEM key
         key == 0xE2;                     // the extra key of 102-key boards
}

bool IsAllowedGlobalHotkey(uint32_t key, uint32_t modifiers) {
  if (key == 0) return false;
  return !IsTypingKey(key) || (modifiers & (kModAlt | kModControl | kModWin)) != 0;
}

bool IsExtendedKey(uint32_t key) {
  return (key >= 0x21 && key <= 0x28) || key == 0x2D || key == 0x2E || key == 0x6F;
}

uint16_t ShortCutToKeyCode(uint16_t shortcut) {
  return static_cast<uint16_t>(shortcut & ~(kScShift | kScCtrl | kScAlt));
}

uint16_t MakeShortCut(uint16_t key, bool shift, bool ctrl, bool alt) {
  uint16_t v = static_cast<uint16_t>(key & 0xFF);
  if (shift) v |= kScShift;
  if (ctrl) v |= kScCtrl;
  if (alt) v |= kScAlt;
  return v;
}

std::string ShortCutToText(uint16_t shortcut) {
  if (shortcut == 0) return {};
  std::string text;
  if (shortcut & kScShift) text += "Shift+";
  if (shortcut & kScCtrl) text += "Ctrl+";
  if (shortcut & kScAlt) text += "Alt+";
  return text + KeyName(ShortCutToKeyCode(shortcut));
}

bool ShortCutMatches(uint16_t shortcut, uint16_t key, bool shift, bool ctrl, bool alt) {
  return shortcut != 0 && ShortCutToKeyCode(shortcut) == key &&
         ((shortcut & kScShift) != 0) == shift && ((shortcut & kScCtrl) != 0) == ctrl &&
         ((shortcut & kScAlt) != 0) == alt;
}

}  // namespace zt
