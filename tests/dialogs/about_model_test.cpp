// The about window's translator credit. Its texts, link targets and
// clipboard line are checked on the window itself.
#include "dialogs/about_model.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(AboutTexts, ACreditLeftAsAPlaceholderShowsAsDashes) {
  EXPECT_EQ(MakeAboutTexts("#TRANSLATOR").translator, "---");
  EXPECT_EQ(MakeAboutTexts("#").translator, "---");
  EXPECT_EQ(MakeAboutTexts("Li Wei #1").translator, "Li Wei #1");
  EXPECT_EQ(MakeAboutTexts("").translator, "");
  EXPECT_NE(MakeAboutTexts(TranslatorCredit()).translator, "---") << "this build's credit is a real one";
}

}  // namespace
}  // namespace zt
