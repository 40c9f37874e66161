#include "util/hotkey.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(HotkeyConversions, SwapShiftAndAltKeepCtrlAndTheFourthBit) {
  EXPECT_EQ(HotkeyFlagsToModifiers(kHotkeyFlagShift), kModShift);
  EXPECT_EQ(HotkeyFlagsToModifiers(kHotkeyFlagAlt), kModAlt);
  EXPECT_EQ(HotkeyFlagsToModifiers(kHotkeyFlagControl), kModControl);
  EXPECT_EQ(HotkeyFlagsToModifiers(kHotkeyFlagExt), kModWin);
  // Ctrl+Alt, the default hot key's modifiers.
  EXPECT_EQ(HotkeyFlagsToModifiers(kHotkeyFlagControl | kHotkeyFlagAlt), 3u);
  EXPECT_EQ(ModifiersToHotkeyFlags(3), kHotkeyFlagControl | kHotkeyFlagAlt);
  EXPECT_EQ(ModifiersToHotkeyFlags(kModShift | kModWin), kHotkeyFlagShift | kHotkeyFlagExt);
}

TEST(HotkeyConversions, RoundTripOverEveryCombination) {
  for (uint32_t v = 0; v < 16; ++v) {
    EXPECT_EQ(ModifiersToHotkeyFlags(HotkeyFlagsToModifiers(v)), v);
    EXPECT_EQ(HotkeyFlagsToModifiers(ModifiersToHotkeyFlags(v)), v);
  }
}

TEST(GlobalHotkeys, ATypingKeyNeedsCtrlAltOrWinWhileFunctionKeysMayStandAlone) {
  for (uint32_t key : {uint32_t{'A'}, uint32_t{'Z'}, uint32_t{'5'}, 0x20u /* space */, 0xBAu /* ; */,
                       0xDEu /* ' */, 0x60u /* keypad 0 */, 0x6Fu /* keypad / */, 0x0Du /* Enter */,
                       0x24u /* Home */, 0x25u /* Left */}) {
    EXPECT_FALSE(IsAllowedGlobalHotkey(key, 0)) << key;
    EXPECT_FALSE(IsAllowedGlobalHotkey(key, kModShift)) << key;
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, kModControl)) << key;
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, kModAlt | kModShift)) << key;
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, kModWin)) << key;
  }
  for (uint32_t key : {0x70u /* F1 */, 0x7Au /* F11 */, 0x87u /* F24 */, 0x13u /* Pause */, 0x91u /* Scroll */}) {
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, 0)) << key;
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, kModShift)) << key;
  }
  EXPECT_FALSE(IsAllowedGlobalHotkey(0, kModControl | kModAlt)) << "no key, no hot key";
  // Flags RegisterHotKey adds to a combination (no repeat) do not make one.
  EXPECT_FALSE(IsAllowedGlobalHotkey('A', 0x4000));
}

TEST(ShortCuts, KeyCodeDropsTheModifierBits) {
  EXPECT_EQ(ShortCutToKeyCode(8304), 0x70);    // Shift+F1
  EXPECT_EQ(ShortCutToKeyCode(32883), 0x73);   // Alt+F4
  EXPECT_EQ(ShortCutToKeyCode(16487), 0x67);   // Ctrl+keypad 7
  EXPECT_EQ(ShortCutToKeyCode(115), 115);
  EXPECT_EQ(ShortCutToKeyCode(0xE000 | 0x7A), 0x7A);
}

TEST(ShortCuts, ValuesAndTexts) {
  EXPECT_EQ(MakeShortCut(0x70, true, false, false), 8304);
  EXPECT_EQ(MakeShortCut(0x73, false, false, true), 32883);
  EXPECT_EQ(MakeShortCut(0x65, false, true, false), 16485);
  EXPECT_EQ(ShortCutToText(8304), "Shift+F1");
  EXPECT_EQ(ShortCutToText(112), "F1");
  EXPECT_EQ(ShortCutToText(32883), "Alt+F4");
  EXPECT_EQ(ShortCutToText(16489), "Ctrl+Num 9");
  EXPECT_EQ(ShortCutToText(0), "");
}

TEST(ShortCuts, MatchingNeedsTheExactModifiers) {
  EXPECT_TRUE(ShortCutMatches(8304, 0x70, true, false, false));
  EXPECT_FALSE(ShortCutMatches(8304, 0x70, false, false, false));
  EXPECT_FALSE(ShortCutMatches(112, 0x70, true, false, false));
  EXPECT_FALSE(ShortCutMatches(16487, 0x67, true, true, false));
  EXPECT_FALSE(ShortCutMatches(0, 0, false, false, false));
}

}  // namespace
}  // namespace zt
