#include "util/hotkey.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace zt {
namespace {

TEST(HotkeyConversions, RoundTripOverEveryCombination) {
  for (uint32_t v = 0; v < 16; ++v) {
    EXPECT_EQ(ModifiersToHotkeyFlags(HotkeyFlagsToModifiers(v)), v);
    EXPECT_EQ(HotkeyFlagsToModifiers(ModifiersToHotkeyFlags(v)), v);
  }
}

TEST(GlobalHotkeys, ATypingKeyNeedsCtrlAltOrWinWhileFunctionKeysMayStandAlone) {
  // Each range at both its ends.
  for (uint32_t key : {uint32_t{'A'}, uint32_t{'Z'}, uint32_t{'0'}, uint32_t{'9'}, 0x08u /* BkSp */, 0x09u,
                       0x0Du, 0x1Bu, 0x20u /* space */, 0x21u /* PgUp */, 0x28u /* Down */, 0x2Du, 0x2Eu,
                       0x60u /* keypad 0 */, 0x6Fu /* keypad / */, 0xBAu /* ; */, 0xC0u /* ` */, 0xDBu /* [ */,
                       0xDFu, 0xE2u}) {
    EXPECT_FALSE(IsAllowedGlobalHotkey(key, 0)) << key;
    EXPECT_FALSE(IsAllowedGlobalHotkey(key, kModShift)) << key;
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, kModControl)) << key;
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, kModAlt | kModShift)) << key;
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, kModWin)) << key;
  }
  // And the keys just beside each range.
  for (uint32_t key : {0x70u /* F1 */, 0x7Au /* F11 */, 0x87u /* F24 */, 0x13u /* Pause */, 0x91u /* Scroll */,
                       0x07u, 0x0Au, 0x1Au, 0x1Cu, 0x29u, 0x2Cu, 0x2Fu, 0x3Au, 0x40u, 0x5Bu, 0x5Fu, 0xB9u, 0xC1u,
                       0xDAu, 0xE0u, 0xE1u, 0xE3u}) {
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, 0)) << key;
    EXPECT_TRUE(IsAllowedGlobalHotkey(key, kModShift)) << key;
  }
  EXPECT_FALSE(IsAllowedGlobalHotkey(0, kModControl | kModAlt)) << "no key, no hot key";
  // Flags RegisterHotKey adds to a combination (no repeat) do not make one.
  EXPECT_FALSE(IsAllowedGlobalHotkey('A', 0x4000));
}

// Every key with every combination of Shift, Ctrl and Alt: the key comes
// back out, the short-cut matches exactly its own key press, and no two
// presses share a short-cut.
TEST(ShortCuts, EachKeyPressHasItsOwnShortCut) {
  std::set<uint16_t> seen;
  for (uint16_t key = 1; key < 256; ++key) {
    for (int mods = 0; mods < 8; ++mods) {
      const bool shift = mods & 1, ctrl = mods & 2, alt = mods & 4;
      const uint16_t sc = MakeShortCut(key, shift, ctrl, alt);
      EXPECT_TRUE(seen.insert(sc).second) << key << " " << mods;
      EXPECT_EQ(ShortCutToKeyCode(sc), key);
      for (int other = 0; other < 8; ++other) {
        EXPECT_EQ(ShortCutMatches(sc, key, other & 1, other & 2, other & 4), other == mods) << key << " " << mods;
      }
      EXPECT_FALSE(ShortCutMatches(sc, static_cast<uint16_t>(key ^ 1), shift, ctrl, alt));
    }
  }
  EXPECT_FALSE(ShortCutMatches(0, 0, false, false, false)) << "no short-cut matches nothing";
}

TEST(ShortCuts, TextsNameTheModifiersBeforeTheKey) {
  EXPECT_EQ(ShortCutToText(MakeShortCut(0x70, true, false, false)), "Shift+F1");
  EXPECT_EQ(ShortCutToText(MakeShortCut(0x70, false, false, false)), "F1");
  EXPECT_EQ(ShortCutToText(MakeShortCut(0x73, false, false, true)), "Alt+F4");
  EXPECT_EQ(ShortCutToText(MakeShortCut(0x69, false, true, false)), "Ctrl+Num 9");
  EXPECT_EQ(ShortCutToText(MakeShortCut(0x41, true, true, true)), "Shift+Ctrl+Alt+A");
  EXPECT_EQ(ShortCutToText(0), "");
}

}  // namespace
}  // namespace zt

namespace zt {
namespace {

// What the system was asked, and what it answered: Windows 7 and later take
// the no-repeat flag, older systems refuse it, a combination another program
// owns is refused either way.
struct RecordingSystem {
  bool knows_no_repeat = true;
  bool taken = false;
  std::vector<uint32_t> asked;
  bool operator()(uint32_t modifiers, uint32_t key) {
    asked.push_back(modifiers);
    (void)key;
    if (taken) return false;
    return knows_no_repeat || (modifiers & kModNoRepeat) == 0;
  }
};

TEST(GlobalHotkeys, OnePressIsOneToggleWhereTheSystemKnowsHowAndTheKeyStillWorksWhereNot) {
  const uint32_t ctrl_alt = kModControl | kModAlt;
  RecordingSystem modern;
  EXPECT_TRUE(RegisterWithoutRepeat(ctrl_alt, 0x7A, std::ref(modern)));
  EXPECT_EQ(modern.asked, (std::vector<uint32_t>{ctrl_alt | kModNoRepeat}));

  RecordingSystem vista;
  vista.knows_no_repeat = false;
  EXPECT_TRUE(RegisterWithoutRepeat(ctrl_alt, 0x7A, std::ref(vista)));
  EXPECT_EQ(vista.asked, (std::vector<uint32_t>{ctrl_alt | kModNoRepeat, ctrl_alt}));

  RecordingSystem owned;
  owned.taken = true;
  EXPECT_FALSE(RegisterWithoutRepeat(ctrl_alt, 0x7A, std::ref(owned)));
}

}  // namespace
}  // namespace zt
