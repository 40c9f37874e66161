#include <gtest/gtest.h>

#include "cpuid/processor_count.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

FakeCpu Logical(bool htt, uint32_t logical) {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 2).Signature(0x00000F29, logical << 16, 0, htt ? (1u << 28) : 0);
  return cpu;
}

TEST(ProcessorCount, OneProcessorWithoutHtt) {
  ScopedFake fake({Logical(false, 2)});
  const TProcessorCount count;
  EXPECT_EQ(count.AvailableProcessors()->Value(), 1u);
  EXPECT_EQ(count.VirtualProcessors()->Value(), 1u);
  EXPECT_TRUE(fake->set_affinity_masks.empty());
}

TEST(ProcessorCount, VirtualProcessorsSumWhatEachProcessorAnswersForItself) {
  ScopedFake fake({Logical(true, 8), Logical(false, 8), Logical(true, 0)});
  // 8 from the first, 1 from the one without HTT, 0 as the third reports.
  EXPECT_EQ(TProcessorCount().VirtualProcessors()->Value(), 9u);
}

TEST(ProcessorCount, HugeCountsStopAtTheLastIndex) {
  ScopedFake fake({Logical(false, 0)});
  fake->reported_count = 256;
  EXPECT_EQ(TProcessorCount().AvailableProcessors()->Value(), 256u);
  // Indexes 0 to 255, every one counted once; the 257th has no index.
  EXPECT_EQ(TProcessorCount().VirtualProcessors()->Value(), 256u);
  fake->reported_count = 257;
  EXPECT_EQ(TProcessorCount().VirtualProcessors()->Value(), 256u);
}

}  // namespace
}  // namespace zt::cpuid
