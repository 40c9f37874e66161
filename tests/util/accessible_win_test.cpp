// A control named where the system's annotation service takes the name keeps
// the system's own accessible object; the name is cleared as it goes.
#include "util/accessible_win.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

namespace zt {
namespace {

struct RecordingAnnotation : IAccessibleAnnotation {
  bool SetName(HWND control, const std::wstring& name) override {
    named.push_back({control, name});
    return true;
  }
  void ClearName(HWND control) override { cleared.push_back(control); }
  std::vector<std::pair<HWND, std::wstring>> named;
  std::vector<HWND> cleared;
};

TEST(AccessibleName, TheAnnotationNamesTheControlAndLeavesItsObjectToTheSystem) {
  RecordingAnnotation annotation;
  ScopedOverride<IAccessibleAnnotation> use(annotation);
  HWND slider = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(slider, nullptr);
  EXPECT_TRUE(SetAccessibleName(slider, L"刷新速度"));
  EXPECT_EQ(annotation.named, (std::vector<std::pair<HWND, std::wstring>>{{slider, L"刷新速度"}}));
  // Left unanswered here, the request gets the system's own slider object.
  EXPECT_EQ(SendMessageW(slider, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
  DestroyWindow(slider);
  EXPECT_EQ(annotation.cleared, std::vector<HWND>{slider});
}

}  // namespace
}  // namespace zt
