// UTF-8 and UTF-16 at their edges: pairs, units that do not pair up, and
// bytes that are no UTF-8.
#include "util/unicode.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(Unicode, UnitsThatDoNotPairUpAreReplacedOrKeptForTheWayBack) {
  const struct {
    std::u16string units;
    std::string kept, replaced;
  } rows[] = {
      {u"\xD83D\xDE00", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},  // a pair
      {u"\xD83D" u"a", "\xED\xA0\xBD" "a", "\xEF\xBF\xBD" "a"},   // a high one before another unit
      {u"a\xDE00", "a\xED\xB8\x80", "a\xEF\xBF\xBD"},             // a low one alone
      {u"a\xD83D", "a\xED\xA0\xBD", "a\xEF\xBF\xBD"},             // a high one last
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Utf8(row.units), row.replaced);
    EXPECT_EQ(Utf8(row.units, LoneSurrogates::kKeep), row.kept);
    EXPECT_EQ(Utf16(row.kept, LoneSurrogates::kKeep), row.units);
  }
}

TEST(Unicode, EachByteOfWhatIsNoUtf8ReadsAsOneReplacement) {
  // Cut short, too long for its value, a kept surrogate, beyond U+10FFFF.
  EXPECT_EQ(Utf16("\xE5\x86\x85 \xF0\x9F\x98\x80 \xC0\xAF \xE5\x86 \xED\xA0\xBD \xF4\x90\x80\x80"),
            u"\u5185 \U0001F600 \uFFFD\uFFFD \uFFFD\uFFFD \uFFFD\uFFFD\uFFFD \uFFFD\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace zt
