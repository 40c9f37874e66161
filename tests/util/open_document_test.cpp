#include "util/open_document.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(OpenDocumentErrorText, EnglishMessageWithBareCarriageReturns) {
  EXPECT_EQ(OpenDocumentErrorText("History.txt", "The system cannot find the file specified.\r\n", 2),
            "Could not open the following file:\r\rHistory.txt\r\rError: The system cannot find the file "
            "specified (2).");
  // No system text: the code still says what happened.
  EXPECT_EQ(OpenDocumentErrorText("https://example.invalid/", "", 31),
            "Could not open the following file:\r\rhttps://example.invalid/\r\rError:  (31).");
}

}  // namespace
}  // namespace zt
