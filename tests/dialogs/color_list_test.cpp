// What taking an entry of a colour box does.
#include "dialogs/color_list.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(ColorList, TheCustomEntryAsksEachTimeItIsTakenANamedOneAppliesOnlyAChange) {
  const std::size_t white = ColorEntryFor(0xFFFFFF);
  ASSERT_LT(white, kNamedColorCount);
  EXPECT_EQ(TakeColorEntry(white, 0xFFFFFF), ColorTake::Keep);
  EXPECT_EQ(TakeColorEntry(white, 0x000000), ColorTake::Apply);
  // Also when it holds the colour in use: taking it again means another one.
  EXPECT_EQ(TakeColorEntry(kNamedColorCount, 0x123456), ColorTake::AskForColor);
  EXPECT_EQ(TakeColorEntry(kNamedColorCount + 1, 0), ColorTake::Keep);
}

}  // namespace
}  // namespace zt
