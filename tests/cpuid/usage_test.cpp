#include "cpuid/usage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>


namespace zt::cpuid {
namespace {

class FakeLoad final : public IProcessorLoadSource {
 public:
  explicit FakeLoad(std::vector<double> loads) : loads_(std::move(loads)) {}
  void RefreshProcessorCounters() override { ++refreshes; }
  double GetProcessorLoad(int32_t index) override {
    asked.push_back(index);
    if (index < 0 || index >= static_cast<int32_t>(loads_.size())) throw std::out_of_range("CPU index out of bounds");
    return loads_[index];
  }

  int refreshes = 0;
  std::vector<int32_t> asked;

 private:
  std::vector<double> loads_;
};

// The source handed in for one test.
class Usage : public ::testing::Test {
 protected:
  void Install(FakeLoad& load) { SetProcessorLoadSource(&load); }
  void TearDown() override { SetProcessorLoadSource(nullptr); }
};

TEST_F(Usage, TruncatesTheFreshFractionOfItsProcessor) {
  FakeLoad load({0.25, 0.999});
  Install(load);
  EXPECT_EQ(TProcessorUsage(1).Usage()->Value(), 99u);
  EXPECT_EQ(TProcessorUsage(0).Usage()->Value(), 25u);
  EXPECT_EQ(load.refreshes, 2);
  EXPECT_EQ(load.asked, (std::vector<int32_t>{1, 0}));
}

TEST_F(Usage, PassesOnTheSourceErrors) {
  FakeLoad load({0.5});
  Install(load);
  try {
    TProcessorUsage(3).Usage();
    FAIL() << "no error raised";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "CPU index out of bounds");
  }
}

TEST_F(Usage, WithoutASourceItReadsZero) {
  FakeLoad load({0.5});
  Install(load);
  SetProcessorLoadSource(nullptr);
  EXPECT_EQ(TProcessorUsage(0).Usage()->Value(), 0u);
  EXPECT_EQ(load.refreshes, 0);
}

TEST(UsagePercent, OutOfRangeFractionsAreClamped) {
  EXPECT_EQ(LoadFractionToPercent(0.999), 99u);
  EXPECT_EQ(LoadFractionToPercent(1.0), 100u);
  EXPECT_EQ(LoadFractionToPercent(1.5), 150u);
  EXPECT_EQ(LoadFractionToPercent(-0.2), 0u);
  EXPECT_EQ(LoadFractionToPercent(std::nan("")), 0u);
  EXPECT_EQ(LoadFractionToPercent(1e300), 4294967295u);
  EXPECT_EQ(LoadFractionToPercent(std::numeric_limits<double>::infinity()), 4294967295u);
}

}  // namespace
}  // namespace zt::cpuid
