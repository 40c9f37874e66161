// Hot-key and short-cut conversions shared by the main window (global hot
// key, menu short-cuts) and the settings dialog's hot-key field.  Portable.
#pragma once

#include <cstdint>
#include <string>

namespace zt {

// Flags of the system's hot-key control (HKM_GETHOTKEY high byte).
constexpr uint32_t kHotkeyFlagShift = 1;
constexpr uint32_t kHotkeyFlagControl = 2;
constexpr uint32_t kHotkeyFlagAlt = 4;
constexpr uint32_t kHotkeyFlagExt = 8;
// Modifiers of RegisterHotKey.
constexpr uint32_t kModAlt = 1;
constexpr uint32_t kModControl = 2;
constexpr uint32_t kModShift = 4;
constexpr uint32_t kModWin = 8;

// Menu short-cut values: virtual key in the low byte plus these bits.
constexpr uint16_t kScShift = 0x2000;
constexpr uint16_t kScCtrl = 0x4000;
constexpr uint16_t kScAlt = 0x8000;

// Both swap bit 0 and bit 2 and keep bits 1 and 3 (Shift 1 <-> 4, Alt 4 <-> 1,
// Ctrl 2 <-> 2, extended 8 <-> Win 8); higher bits are dropped.
uint32_t HotkeyFlagsToModifiers(uint32_t flags);
uint32_t ModifiersToHotkeyFlags(uint32_t modifiers);

// The key part of a short-cut: the value without its Shift, Ctrl, Alt bits.
uint16_t ShortCutToKeyCode(uint16_t shortcut);
uint16_t MakeShortCut(uint16_t key, bool shift, bool ctrl, bool alt);

// The text a menu shows for a short-cut: "Shift+F1", "Alt+F4", "Ctrl+Num 7".
// Empty for 0.
std::string ShortCutToText(uint16_t shortcut);

// Whether a key press with the given modifier state matches a short-cut.
bool ShortCutMatches(uint16_t shortcut, uint16_t key, bool shift, bool ctrl, bool alt);

}  // namespace zt
