// What the settings dialog changes in the real main window, created in this
// process with its sampling threads held still.
#include "app/settings_target_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "dialogs/settings_form_win.h"
#include "shell/main_form_win.h"
#include "support/fake_shell_win.h"
#include "support/still_sampling.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

class SettingsTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    ini_ = Narrow(dir) + "zt_settings_target_test_" + std::to_string(GetCurrentProcessId()) + ".ini";
    SetConfigFilePath(ini_);
    ResetConfigToDefaults();
    AppModeHotkey = 0;  // leave the system's hot keys alone
    main_ = std::make_unique<TForm_Main>();
    ASSERT_TRUE(main_->Create(GetModuleHandleW(nullptr)));
    target_ = std::make_unique<MainFormSettingsTarget>(*main_);
    settings_ = std::make_unique<TForm_Settings>(*target_);
    ASSERT_TRUE(settings_->Create(GetModuleHandleW(nullptr), main_->hwnd()));
    Pump();
  }
  void TearDown() override {
    settings_.reset();
    target_.reset();
    main_.reset();
    std::remove(ini_.c_str());
    ResetConfigToDefaults();
  }
  std::string ini_;
  test::FakeShell shell_;
  ScopedOverride<IShell> use_shell_{shell_};
  test::StillSampling still_;
  std::unique_ptr<TForm_Main> main_;
  std::unique_ptr<MainFormSettingsTarget> target_;
  std::unique_ptr<TForm_Settings> settings_;
};

TEST_F(SettingsTargetTest, ASecondQuickClickOnThePerProcessorBoxWaitsForTheFirst) {
  DisplayEachCPU = true;
  settings_->Show();
  HWND box = settings_->Control(kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_DisplayEachCPU));
  ASSERT_TRUE(IsChecked(box));
  PostMessageW(box, BM_CLICK, 0, 0);  // the second click, already queued
  SendMessageW(box, BM_CLICK, 0, 0);  // the first one, handled now
  EXPECT_FALSE(IsChecked(box));
  EXPECT_FALSE(DisplayEachCPU);
  MSG waiting;
  EXPECT_TRUE(PeekMessageW(&waiting, box, BM_CLICK, BM_CLICK, PM_NOREMOVE)) << "the second click waits its turn";
  Pump();
  EXPECT_TRUE(DisplayEachCPU);
  EXPECT_TRUE(IsChecked(box)) << "the box shows the setting";
}

}  // namespace
}  // namespace zt
