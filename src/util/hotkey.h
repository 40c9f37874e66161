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
// Windows 7 and later: holding the keys down does not repeat the hot key.
constexpr uint32_t kModNoRepeat = 0x4000;

// Menu short-cut values: virtual key in the low byte plus these bits.
constexpr uint16_t kScShift = 0x2000;
constexpr uint16_t kScCtrl = 0x4000;
constexpr uint16_t kScAlt = 0x8000;

// Both swap bit 0 and bit 2 and keep bits 1 and 3 (Shift 1 <-> 4, Alt 4 <-> 1,
// Ctrl 2 <-> 2, extended 8 <-> Win 8); higher bits are dropped.  The control's
// extended flag is no modifier: callers that move a hot key between the
// control and a registration mask it (dialogs/settings_model.h).
uint32_t HotkeyFlagsToModifiers(uint32_t flags);
uint32_t ModifiersToHotkeyFlags(uint32_t modifiers);

// Keys every program needs for typing: letters, digits, space, punctuation,
// the keypad's digits and signs, Enter, Tab, Backspace, Esc, and the keys
// that move the caret (arrows, Home, End, PgUp, PgDn, Insert, Delete).  As a
// system-wide hot key, alone or with Shift alone, such a key would be taken
// from every program.  Function keys, Pause and the like are not among them.
bool IsTypingKey(uint32_t key);

// Whether a key with RegisterHotKey's modifiers may be the system-wide hot
// key: any key but 0, a typing key only with Ctrl, Alt or Win.
bool IsAllowedGlobalHotkey(uint32_t key, uint32_t modifiers);

// Registers a global hot key through `register_key(modifiers, key)` so that
// one press is one hot-key message: first with kModNoRepeat added, then,
// where the system refuses that flag (before Windows 7), as it is.  True when
// either registration was taken.
template <typename RegisterFn>
bool RegisterWithoutRepeat(uint32_t modifiers, uint32_t key, RegisterFn&& register_key) {
  return register_key(modifiers | kModNoRepeat, key) || register_key(modifiers, key);
}

// Keys the hot-key control reports with its extended flag: the navigation
// block (Insert, Delete, Home, End, PgUp, PgDn, arrows) and the keypad's '/'.
bool IsExtendedKey(uint32_t key);

// The key part of a short-cut: the value without its Shift, Ctrl, Alt bits.
uint16_t ShortCutToKeyCode(uint16_t shortcut);
uint16_t MakeShortCut(uint16_t key, bool shift, bool ctrl, bool alt);

// The text a menu shows for a short-cut: "Shift+F1", "Alt+F4", "Ctrl+Num 7".
// Empty for 0.
std::string ShortCutToText(uint16_t shortcut);

// Whether a key press with the given modifier state matches a short-cut.
bool ShortCutMatches(uint16_t shortcut, uint16_t key, bool shift, bool ctrl, bool alt);

}  // namespace zt
