// The settings dialog's rules, without a window: what a change stores and
// which operation of the program it calls.
#include "dialogs/settings_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "util/access_key.h"
#include "util/hotkey.h"

namespace zt {
namespace {

class FakeTarget : public ISettingsTarget {
 public:
  int WindowWidth() override { return width; }
  int WindowHeight() override { return height; }
  int SetWindowWidth(int w) override {
    calls.push_back("width " + std::to_string(w));
    return width = std::min(w, max_width);
  }
  int SetWindowHeight(int h) override { calls.push_back("height " + std::to_string(h)); return height = h; }
  // The window's operations apply what they are given; the model has stored
  // it before (noted otherwise in `unstored`).
  void SetDisplayMemory(bool on) override { Applied("memory", DisplayMemory == on); }
  void SetTrayMode(bool on, bool startup) override {
    Applied(std::string("tray ") + (on ? "on" : "off") + (startup ? " startup" : ""), AppTrayMode == on);
  }
  void SetHideBarGraph(bool hide) override { Applied("bar", HideBarGraph == hide); }
  void SetShowMoreResources(bool on) override { Applied("more", ShowMoreResources == on); }
  void SetAutoHideControls(bool on) override { Applied("autohide", AutoHideControls == on); }
  void SetTextColor(Color color) override { Applied("text colour", TextColor == color); }
  void ApplyColors() override { calls.push_back("colours"); }
  void ApplyTranslucency() override { calls.push_back("translucency"); }
  void ClearProcessorLines() override { calls.push_back("clear lines 2-4"); }
  void RegisterAppModeHotkey() override { calls.push_back("hot key"); }
  bool IsAutorunEnabled() override { return autorun; }
  void SetAutorun(bool enable) override {
    if (refuse_autorun) throw std::runtime_error("Failed to create key SOFTWARE\\...\\Run");
    if (enable || !keep_value) autorun = enable;
  }
  void LanguageChanged() override { calls.push_back("language " + std::string(Text(TextId::SettingsCaption))); }

  void Applied(const std::string& call, bool as_stored) {
    calls.push_back(call);
    if (!as_stored) unstored.push_back(call);
  }

  int width = 250, height = 105, max_width = 10000;
  bool autorun = false, refuse_autorun = false, keep_value = false;
  std::vector<std::string> calls;
  std::vector<std::string> unstored;
};

class SettingsModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetConfigToDefaults(); }
  void TearDown() override { ResetConfigToDefaults(); }
  FakeTarget target;
};

TEST_F(SettingsModelTest, OpeningReadsEverythingAndChangesNothing) {
  AppModeHotkey = 0x7A;
  AppModeHotkeyModifiers = kModControl | kModAlt;
  target.autorun = true;
  const SettingsView v = ReadSettingsView(target);
  EXPECT_TRUE(target.calls.empty());
  EXPECT_TRUE(v.check(SettingsCheck::CheckBox_AutoRun));
  EXPECT_TRUE(v.check(SettingsCheck::CheckBox_AlwaysOnTop));
  EXPECT_FALSE(v.check(SettingsCheck::CheckBox_LockForm));
  EXPECT_EQ(v.rate, 500);
  EXPECT_EQ(v.width, 250);
  EXPECT_EQ(HotkeyFromField(v.hotkey).key, 0x7A);
  EXPECT_EQ(HotkeyFromField(v.hotkey).modifiers, static_cast<int32_t>(kModControl | kModAlt));
}

TEST_F(SettingsModelTest, SizeFieldsChangeTheWindowOnlyForAcceptableTexts) {
  for (const char16_t* text : {u"", u"1", u"17", u"169", u"1001", u"3a0", u"99999"}) {
    EXPECT_FALSE(ApplySizeField(SettingsSize::SpinEdit_MainWindowWidth, text, target));
  }
  EXPECT_TRUE(target.calls.empty());
  EXPECT_EQ(PosWidth, 250);
  // The setting takes the size the window really took.
  target.max_width = 280;
  EXPECT_TRUE(ApplySizeField(SettingsSize::SpinEdit_MainWindowWidth, u"300", target));
  EXPECT_EQ(PosWidth, 280);
  EXPECT_TRUE(ApplySizeField(SettingsSize::SpinEdit_MainWindowHeight, u"70", target));
  EXPECT_EQ(PosHeight, 70);
  EXPECT_TRUE(ApplySizeField(SettingsSize::SpinEdit_MainWindowHeight, u"1000", target));
  EXPECT_EQ(PosHeight, 1000);
}

TEST_F(SettingsModelTest, AutorunBoxShowsWhatTheRegistryHolds) {
  CheckResult r = ApplyCheck(SettingsCheck::CheckBox_AutoRun, true, target);
  EXPECT_TRUE(r.checked);
  EXPECT_TRUE(r.error.empty());
  // A delete that did not happen shows as a ticked box again.
  target.keep_value = true;
  r = ApplyCheck(SettingsCheck::CheckBox_AutoRun, false, target);
  EXPECT_TRUE(r.checked);
  // A refused write (no right to the machine's key): the error, and the box
  // shows the real state, not the one asked for.
  target.autorun = false;
  target.refuse_autorun = true;
  r = ApplyCheck(SettingsCheck::CheckBox_AutoRun, true, target);
  EXPECT_FALSE(r.checked);
  EXPECT_NE(r.error.find("Failed to create key"), std::string::npos);
}

TEST_F(SettingsModelTest, EachChangeStoresAndAppliesAtOnce) {
  ApplyCheck(SettingsCheck::CheckBox_DisplayEachCPU, true, target);
  EXPECT_TRUE(DisplayEachCPU);
  ApplyCheck(SettingsCheck::CheckBox_DisplayEachCPU, false, target);
  ApplyCheck(SettingsCheck::CheckBox_HideTrayWhenVisible, true, target);
  ApplyCheck(SettingsCheck::CheckBox_LockForm, true, target);
  EXPECT_TRUE(LockForm);
  ApplyColor(SettingsColor::ColorBox_BackgroundColor, 0x123456, target);
  EXPECT_EQ(BackgroundColor, 0x123456u);
  EXPECT_EQ(ApplySlider(SettingsSlider::TrackBar_AlphaBlending, 300, target), "255");
  EXPECT_EQ(AlphaBlendValue, 255);
  EXPECT_EQ(ApplySlider(SettingsSlider::TrackBar_Rate, 2000, target), "2000");
  EXPECT_EQ(Rate, 2000);
  const std::vector<std::string> expected = {"clear lines 2-4", "tray off", "colours", "translucency",
                                             "translucency"};
  EXPECT_EQ(target.calls, expected) << "only turning the per-processor lines off clears them; the colour key "
                                       "follows the background colour";
}

// One rule for every box and colour: the setting is stored, then the main
// window applies it; its operations store nothing themselves.
TEST_F(SettingsModelTest, EverySettingIsStoredBeforeTheWindowAppliesIt) {
  for (SettingsCheck check : {SettingsCheck::CheckBox_DisplayMemory, SettingsCheck::CheckBox_TrayMode,
                              SettingsCheck::CheckBox_HideBarGraph, SettingsCheck::CheckBox_AutoHideControls}) {
    for (bool on : {false, true, false}) {
      EXPECT_EQ(ApplyCheck(check, on, target).checked, on);
    }
  }
  ApplyColor(SettingsColor::ColorBox_TextColor, 0x00FF00, target);
  EXPECT_EQ(target.calls.size(), 13u);
  EXPECT_TRUE(target.unstored.empty()) << target.unstored.front();
  EXPECT_FALSE(DisplayMemory);
  EXPECT_FALSE(AppTrayMode);
  EXPECT_FALSE(AutoHideControls);
  EXPECT_EQ(TextColor, 0x00FF00u);
}

TEST_F(SettingsModelTest, HotkeyFieldStoresKeyAndModifiersAndRegistersOnHide) {
  ApplyHotkeyField(static_cast<uint16_t>('K' | ((kHotkeyFlagShift | kHotkeyFlagControl) << 8)));
  EXPECT_EQ(AppModeHotkey, 'K');
  EXPECT_EQ(AppModeHotkeyModifiers, static_cast<int32_t>(kModShift | kModControl));
  EXPECT_TRUE(target.calls.empty()) << "registration waits until the dialog hides";
  // Modifiers without a key are no hot key.
  ApplyHotkeyField(static_cast<uint16_t>(kHotkeyFlagAlt << 8));
  EXPECT_EQ(AppModeHotkey, 0);
  EXPECT_EQ(AppModeHotkeyModifiers, 0);
  SettingsDialogHidden(target);
  EXPECT_EQ(target.calls, std::vector<std::string>{"hot key"});
}

TEST_F(SettingsModelTest, HotkeyFieldMakesABareTypingKeyCtrlAltPlusTheKey) {
  const uint16_t ctrl_alt = (kHotkeyFlagControl | kHotkeyFlagAlt) << 8;
  EXPECT_EQ(ApplyHotkeyField('A'), 'A' | ctrl_alt) << "the field shows what is stored";
  EXPECT_EQ(AppModeHotkey, 'A');
  EXPECT_EQ(AppModeHotkeyModifiers, static_cast<int32_t>(kModControl | kModAlt));
  ApplyHotkeyField(static_cast<uint16_t>(' ' | (kHotkeyFlagShift << 8)));
  EXPECT_EQ(AppModeHotkey, ' ');
  EXPECT_EQ(AppModeHotkeyModifiers, static_cast<int32_t>(kModControl | kModAlt | kModShift));
  // A combination that is already one, and a function key, stay as typed.
  EXPECT_EQ(ApplyHotkeyField(static_cast<uint16_t>('K' | (kHotkeyFlagAlt << 8))), 'K' | (kHotkeyFlagAlt << 8));
  EXPECT_EQ(AppModeHotkeyModifiers, static_cast<int32_t>(kModAlt));
  EXPECT_EQ(ApplyHotkeyField(0x78), 0x78);
  EXPECT_EQ(AppModeHotkey, 0x78);
  EXPECT_EQ(AppModeHotkeyModifiers, 0);
  // The field's rules for a press say the same.
  EXPECT_NE(HotkeyFieldRulesFor('A').invalid_combinations, 0u);
  EXPECT_EQ(HotkeyFieldRulesFor('A').default_flags, kHotkeyFlagControl | kHotkeyFlagAlt);
  EXPECT_EQ(HotkeyFieldRulesFor(0x78).invalid_combinations, 0u);
}

TEST_F(SettingsModelTest, AHandEditedBareKeyShowsAsNoHotKeyAndKeepsItsValues) {
  AppModeHotkey = 'A';
  AppModeHotkeyModifiers = kModShift;
  const SettingsView v = ReadSettingsView(target);
  EXPECT_EQ(v.hotkey, 0);
  EXPECT_EQ(AppModeHotkey, 'A');
  EXPECT_EQ(AppModeHotkeyModifiers, static_cast<int32_t>(kModShift));
  EXPECT_EQ(HotkeyFieldValue(0x7A, 0), 0x7A) << "F11 may stand alone";
}

TEST_F(SettingsModelTest, TheFieldsExtendedFlagIsNoModifier) {
  const uint32_t ctrl_alt = kHotkeyFlagControl | kHotkeyFlagAlt;
  // Ctrl+Alt+Home as the field reports it: stored as Ctrl+Alt, and shown
  // again with the flag that names Home.
  const auto home = static_cast<uint16_t>(0x24 | ((ctrl_alt | kHotkeyFlagExt) << 8));
  ApplyHotkeyField(home);
  EXPECT_EQ(AppModeHotkey, 0x24);
  EXPECT_EQ(AppModeHotkeyModifiers, static_cast<int32_t>(kModControl | kModAlt));
  EXPECT_EQ(HotkeyFieldValue(AppModeHotkey, AppModeHotkeyModifiers), home);
  // The default Ctrl+Alt+F11 has no flag to add.
  const auto f11 = static_cast<uint16_t>(0x7A | (ctrl_alt << 8));
  EXPECT_EQ(HotkeyFieldValue(0x7A, kModControl | kModAlt), f11);
  ApplyHotkeyField(f11);
  EXPECT_EQ(AppModeHotkey, 0x7A);
  EXPECT_EQ(AppModeHotkeyModifiers, static_cast<int32_t>(kModControl | kModAlt));
  // A Win bit from a hand-edited file cannot be shown by the field.
  EXPECT_EQ(HotkeyFieldValue(0x7A, kModControl | kModAlt | kModWin), f11);
}

// Alt and a letter reaches one check box of the tab shown: no two check
// boxes of a tab share a key, and none is without one, in either language
// (with the labels and groups: the dialog's own test).
TEST(SettingsModel, EveryCheckBoxHasAnAccessKeyOfItsOwnInItsTab) {
  for (Language language : {Language::Chinese, Language::English}) {
    std::map<SettingsTab, std::set<char>> taken;
    auto take = [&](SettingsTab tab, TextId text) {
      const std::string caption = TextIn(language, text);
      const char key = AccessKeyOf(caption);
      EXPECT_NE(key, 0) << caption;
      EXPECT_TRUE(taken[tab].insert(key).second) << caption;
    };
    for (int i = 0; i < kSettingsCheckCount; ++i) {
      const SettingsCheckRow& row = CheckRow(static_cast<SettingsCheck>(i));
      take(row.tab, row.text);
    }
  }
}

}  // namespace
}  // namespace zt
