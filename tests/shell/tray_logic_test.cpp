#include "shell/tray_logic.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

// Loads 25 and 75 fall on exact halves (3.5, 10.5) and go to the even image.
TEST(TrayImageIndex, GradientListFollowsTheLoadTable) {
  struct Row { int from, to, image; };
  const Row table[] = {{0, 3, 0},    {4, 10, 1},   {11, 17, 2},  {18, 24, 3},  {25, 32, 4},
                       {33, 39, 5},  {40, 46, 6},  {47, 53, 7},  {54, 60, 8},  {61, 67, 9},
                       {68, 75, 10}, {76, 82, 11}, {83, 89, 12}, {90, 96, 13}, {97, 100, 14}};
  for (const Row& r : table) {
    for (int load = r.from; load <= r.to; ++load) {
      EXPECT_EQ(TrayImageIndex(load, kTrayGradientImages), r.image) << "load " << load;
    }
  }
}

TEST(TrayImageIndex, NumericListIsTheLoadItself) {
  for (int load = 0; load <= 100; ++load) EXPECT_EQ(TrayImageIndex(load, kTrayNumericImages), load);
}

TEST(TrayImageIndex, OutOfRangeLoadsShowTheFirstOrLastImage) {
  EXPECT_EQ(TrayImageIndex(-1, kTrayGradientImages), 0);
  EXPECT_EQ(TrayImageIndex(-1000, kTrayNumericImages), 0);
  EXPECT_EQ(TrayImageIndex(101, kTrayNumericImages), 100);
  EXPECT_EQ(TrayImageIndex(250, kTrayGradientImages), 14);
  EXPECT_EQ(TrayImageIndex(2147483647, kTrayGradientImages), 14);
  EXPECT_EQ(TrayImageIndex(-2147483647 - 1, kTrayGradientImages), 0);
}

TEST(TrayTipText, OneLineWithoutMemoryTwoWithIt) {
  EXPECT_EQ(TrayTipText(0, -1), u"CPU: 0%");
  EXPECT_EQ(TrayTipText(100, -1), u"CPU: 100%");
  EXPECT_EQ(TrayTipText(37, 52), u"CPU: 37%\r内存: 52%");
  EXPECT_EQ(TrayTipText(3, 0), u"CPU: 3%\r内存: 0%");
}

TEST(LimitTrayTip, KeepsTheShellsHundredTwentySevenUnitsAndWholeSurrogatePairs) {
  std::u16string shortTip = u"CPU: 4%";
  EXPECT_EQ(LimitTrayTip(shortTip), shortTip);
  std::u16string longTip(160, u'x');
  EXPECT_EQ(LimitTrayTip(longTip).size(), 127u);
  std::u16string exact(127, u'y');
  EXPECT_EQ(LimitTrayTip(exact), exact);
  // A pair straddling the limit is dropped whole rather than cut in half.
  std::u16string pair = std::u16string(126, u'z') + u"\U0001F600" + u"tail";
  std::u16string limited = LimitTrayTip(pair);
  EXPECT_EQ(limited, std::u16string(126, u'z'));
}

TEST(TrayShellCopy, OnlyWhatTheShellDoesNotHoldIsSent) {
  TrayShellCopy shell;
  EXPECT_TRUE(shell.Differs(1, u"CPU: 3%")) << "nothing known before the shell took anything";
  shell.Took(1, u"CPU: 3%");
  EXPECT_FALSE(shell.Differs(1, u"CPU: 3%"));
  EXPECT_TRUE(shell.Differs(2, u"CPU: 3%")) << "another picture, same tip";
  EXPECT_TRUE(shell.Differs(1, u"CPU: 4%")) << "same picture, another tip";
  EXPECT_TRUE(shell.Differs(1, u"CPU: 3%\r内存: 52%"));
  shell.Took(2, u"CPU: 4%");
  EXPECT_TRUE(shell.Differs(1, u"CPU: 3%"));
  EXPECT_FALSE(shell.Differs(2, u"CPU: 4%"));
  // A refused call or a removed icon: the next update goes out unchanged.
  shell.Forget();
  EXPECT_TRUE(shell.Differs(2, u"CPU: 4%"));
}

}  // namespace
}  // namespace zt
