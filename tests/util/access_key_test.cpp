#include "util/access_key.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(AccessKey, TheMarkerGoesBeforeAClosingColonAndComesOffWhole) {
  EXPECT_EQ(WithAccessKey("在启动时自动运行", 'r'), "在启动时自动运行(&R)");
  EXPECT_EQ(WithAccessKey("快速切换热键：", 'K'), "快速切换热键(&K)：");
  EXPECT_EQ(WithAccessKey("Width:", 'W'), "Width(&W):");
  for (const char* caption : {"在启动时自动运行", "快速切换热键：", "alpha混合", "总在最前（需要重新启动）"}) {
    const std::string marked = WithAccessKey(caption, 'A');
    EXPECT_EQ(WithoutAccessKey(marked), caption);
    EXPECT_EQ(AccessKeyOf(marked), 'A');
  }
  EXPECT_EQ(WithoutAccessKey("&Yes"), "Yes");
  EXPECT_EQ(AccessKeyOf("&Yes"), 'Y');
  // "&&" is a plain "&", no marker.
  EXPECT_EQ(WithoutAccessKey("R&&D"), "R&D");
  EXPECT_EQ(AccessKeyOf("R&&D"), 0);
  EXPECT_EQ(WithoutAccessKey("R&&D(&X)"), "R&D");
  EXPECT_EQ(AccessKeyOf("R&&D(&X)"), 'X');
  EXPECT_EQ(AccessKeyOf("关闭"), 0);
}

}  // namespace
}  // namespace zt
