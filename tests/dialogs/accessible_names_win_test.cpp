// What a screen reader reads in the four windows: every control has a name,
// and no two controls of one kind read alike in a window.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <oleacc.h>

#include <algorithm>

#include "dialogs/about_form_win.h"
#include "dialogs/info_form_win.h"
#include "dialogs/settings_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "cpuid/cpu_root.h"
#include "cpuid/replay.h"
#include "support/accessible_names_win.h"
#include "support/fake_shell_win.h"
#include "support/quiet_settings_target.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

using test::ControlReading;

class AccessibleNames : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void TearDown() override { CoUninitialize(); }

  // Checks the window and answers what it read, for a closer look.
  static std::vector<ControlReading> Check(HWND window) {
    const std::vector<ControlReading> controls = test::ReadControls(window);
    for (const std::wstring& fault : test::NameFaults(controls)) ADD_FAILURE() << Narrow(fault);
    return controls;
  }
  static std::wstring NameOf(const std::vector<ControlReading>& controls, HWND h) {
    const auto it = std::find_if(controls.begin(), controls.end(), [&](const ControlReading& c) { return c.hwnd == h; });
    return it == controls.end() ? L"<not read>" : it->name;
  }
};

TEST_F(AccessibleNames, SettingsDialog) {
  ResetConfigToDefaults();
  // Two sliders at one number, two CPU lines of one colour.
  GraphLength = 100;
  Rate = 100;
  GraphCPUColor2 = GraphCPUColor1.load();
  test::QuietSettingsTarget target;
  TForm_Settings form(target);
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr)));
  form.Show();
  const std::vector<ControlReading> controls = Check(form.hwnd());
  EXPECT_GE(controls.size(), 50u);
  EXPECT_EQ(NameOf(controls, form.Control(kIdColorFirst + 1)), L"CPU 1 曲线颜色");
  EXPECT_EQ(NameOf(controls, form.Control(kIdColorFirst + 4)), L"CPU 4 曲线颜色");
  EXPECT_EQ(NameOf(controls, form.Control(kIdSliderFirst)), L"更新速率：") << "a slider reads as its group";
  EXPECT_EQ(NameOf(controls, form.Control(kIdSliderLabelFirst + 1)), L"图长度： 100");
  ResetConfigToDefaults();
}

TEST_F(AccessibleNames, StatisticsWindowWithEveryFigureUnknown) {
  TForm_Statistics form([] {});
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  form.Show();  // every figure "??"
  const std::vector<ControlReading> controls = Check(form.hwnd());
  EXPECT_EQ(NameOf(controls, GetDlgItem(form.hwnd(), kIdStatisticsValue)), L"CPU使用率 最大： ??");
  EXPECT_EQ(NameOf(controls, GetDlgItem(form.hwnd(), kIdSpeedButtonReset)).rfind(L"重置统计信息", 0), 0u);
}

TEST_F(AccessibleNames, AboutWindowReadsItsLinksAsLinks) {
  TForm_About form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  const std::vector<ControlReading> controls = Check(form.hwnd());
  for (int id : {kIdLabelEmail, kIdLabelWebsite}) {
    const ControlReading link = test::ReadControl(GetDlgItem(form.hwnd(), id));
    EXPECT_EQ(link.role, ROLE_SYSTEM_LINK) << id;
    EXPECT_EQ(link.name, ControlText(link.hwnd)) << "a link reads as the address it shows";
  }
}

TEST_F(AccessibleNames, CpuInformationWindow) {
  cpuid::ScopedMachine replay(cpuid::CreateReplayMachine(cpuid::ParseDump(
      "------[ Logical CPU #0 ]------\n"
      "CPUID 00000000: 00000003-756E6547-6C65746E-49656E69\n"
      "CPUID 00000001: 00000683-00000002-00000000-0387FBFF\n")));
  cpuid::ResetCpuRoot();
  {
    TForm_Info form;
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
    const std::vector<ControlReading> controls = Check(form.hwnd());
    EXPECT_EQ(NameOf(controls, form.Control(kIdInfoActiveSet)), L"功能设置：") << "not the set it shows";
    EXPECT_EQ(NameOf(controls, form.Control(kIdInfoInformation)), L"Processor Count") << "the page it shows";
  }
  cpuid::ResetCpuRoot();
}

}  // namespace
}  // namespace zt
