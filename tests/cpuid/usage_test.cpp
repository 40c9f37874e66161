#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "cpuid/usage.h"
#include "sampling/processor_load.h"

namespace zt::cpuid {
namespace {

class FakeLoad final : public IProcessorLoad {
 public:
  explicit FakeLoad(std::vector<double> loads) : loads_(std::move(loads)) {}
  void RefreshProcessorCounters() override { ++refreshes; }
  int32_t GetProcessorCount() override { return static_cast<int32_t>(loads_.size()); }
  double GetProcessorLoad(int32_t index) override {
    asked.push_back(index);
    if (index < 0 || index >= static_cast<int32_t>(loads_.size())) throw EProcessorLoad(kMsgIndexOutOfBounds);
    return loads_[index];
  }
  void ReleaseProcessorCounters() override {}

  int refreshes = 0;
  std::vector<int32_t> asked;

 private:
  std::vector<double> loads_;
};

class Usage : public ::testing::Test {
 protected:
  void Install(std::vector<double> loads) {
    use_.reset();
    source_ = std::make_unique<FakeLoad>(std::move(loads));
    load_ = source_.get();
    use_ = std::make_unique<ScopedOverride<IProcessorLoad>>(*source_);
  }
  void TearDown() override { use_.reset(); }
  FakeLoad* load_ = nullptr;
  std::unique_ptr<FakeLoad> source_;
  std::unique_ptr<ScopedOverride<IProcessorLoad>> use_;
};

TEST_F(Usage, TruncatesTheFreshFractionOfItsProcessor) {
  Install({0.25, 0.999});
  EXPECT_EQ(TProcessorUsage(1).Usage()->Value(), 99u);
  EXPECT_EQ(TProcessorUsage(0).Usage()->Value(), 25u);
  EXPECT_EQ(load_->refreshes, 2);
  EXPECT_EQ(load_->asked, (std::vector<int32_t>{1, 0}));
}

TEST_F(Usage, PassesOnTheSourceErrors) {
  Install({0.5});
  try {
    TProcessorUsage(3).Usage();
    FAIL() << "no error raised";
  } catch (const EProcessorLoad& e) {
    EXPECT_STREQ(e.what(), "CPU index out of bounds");
  }
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
