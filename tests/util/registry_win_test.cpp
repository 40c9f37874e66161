// The real registry tells a missing key from one it refuses: the
// performance-counter switch skips the first and reports the second.
#include "util/registry.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(WinRegistry, TellsWhyAKeyCouldNotBeOpened) {
  IRegistry& registry = Seam<IRegistry>::Real();
  RegStatus status = RegStatus::Failed;
  auto missing = registry.OpenKeyWithStatus(
      RegRoot::LocalMachine, "SOFTWARE\\Zettrim test key that is not there", RegAccess::AllAccess,
      status);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(status, RegStatus::NotFound);

  auto present = registry.OpenKeyWithStatus(RegRoot::CurrentUser, "Software", RegAccess::Read,
                                            status);
  EXPECT_NE(present, nullptr);
  EXPECT_EQ(status, RegStatus::Ok);
}

}  // namespace
}  // namespace zt
