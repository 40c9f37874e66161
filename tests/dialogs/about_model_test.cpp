// The about window's texts, link targets and clipboard line.
#include "dialogs/about_model.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(AboutTexts, VersionDateAndTheCopiedLineNameThisBuild) {
  const AboutTexts t = MakeAboutTexts(TranslatorCredit());
  EXPECT_EQ(t.title, "Zettrim");
  EXPECT_EQ(t.version, "版本： 2.0");
  EXPECT_EQ(t.date, "日期： 2013-12-16");
  EXPECT_EQ(ClipboardIdentification(), "Zettrim 2.0 (2013-12-16)");
  // The mail program opens a new message with the subject "Zettrim".
  EXPECT_EQ(EmailLinkTarget(), "mailto:" + t.email + "?subject=Zettrim");
  EXPECT_EQ(WebsiteLinkTarget(), t.website);
  EXPECT_NE(t.translator, "---") << "this build's credit is a real one";
}

TEST(AboutTexts, ACreditLeftAsAPlaceholderShowsAsDashes) {
  EXPECT_EQ(MakeAboutTexts("#TRANSLATOR").translator, "---");
  EXPECT_EQ(MakeAboutTexts("#").translator, "---");
  EXPECT_EQ(MakeAboutTexts("Li Wei #1").translator, "Li Wei #1");
  EXPECT_EQ(MakeAboutTexts("").translator, "");
}

}  // namespace
}  // namespace zt
