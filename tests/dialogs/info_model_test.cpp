// The CPU information window's model: its font, its bounds, and the reader
// that keeps the window responsive while a page measures the clock.
#include "dialogs/info_model.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>

#include "cpuid/cpu_root.h"
#include "support/fake_machine.h"
#include "cpuid/replay.h"

namespace zt {
namespace {

using cpuid::testing::IntelCpu;
using cpuid::testing::ScopedFake;

TEST(InfoModel, TahomaWhenTheFontListHasItOtherwiseArial) {
  EXPECT_EQ(InfoFormFont({"Arial", "SimSun", "tahoma", "Verdana"}), "Tahoma");
  EXPECT_EQ(InfoFormFont({"Arial", "Tahoma Bold", "SimSun"}), "Arial");
  EXPECT_EQ(InfoFormFont({}), "Arial");
}

TEST(InfoModel, DropDownItemsSplitterAndVersion) {
  EXPECT_EQ(FeatureKindOfItem(0), std::optional<cpuid::TCpuFeatureKind>(cpuid::kFeaturesStandard));
  EXPECT_EQ(FeatureKindOfItem(3), std::optional<cpuid::TCpuFeatureKind>(cpuid::kFeaturesPower));
  EXPECT_FALSE(FeatureKindOfItem(-1)) << "no item chosen";
  EXPECT_FALSE(FeatureKindOfItem(4));
  // A 513 wide page, a 5 wide bar, panes of at least 30.
  EXPECT_EQ(ClampSplitterLeft(230, 513, 5, 30), 230);
  EXPECT_EQ(ClampSplitterLeft(-40, 513, 5, 30), 30);
  EXPECT_EQ(ClampSplitterLeft(500, 513, 5, 30), 478);
  EXPECT_EQ(ClampSplitterLeft(50, 40, 5, 30), 30) << "too narrow for both: the left pane keeps its minimum";
  EXPECT_EQ(InfoVersionText(), "版本： 4.3.01");
}

TEST(InfoModel, PicturesAreRoundMarksOfTheirOwnColour) {
  for (bool available : {false, true}) {
    const std::vector<uint32_t> p = DrawAvailabilityPicture(available);
    ASSERT_EQ(p.size(), 256u);
    EXPECT_EQ(p[0] >> 24, 0u) << "corners see through";
    const uint32_t rim = p[8 * 16 + 1];  // left edge of the disc, middle row
    EXPECT_EQ(rim >> 24, 255u);
    const int red = (rim >> 16) & 0xFF, green = (rim >> 8) & 0xFF;
    EXPECT_EQ(available, green > red);
  }
}

// At 200 % the pictures are drawn at 32 pixels: the same marks, with edges
// as smooth as at 16, not a 16-pixel picture doubled.
TEST(InfoModel, PicturesAreDrawnAtTheSizeAskedFor) {
  for (bool available : {false, true}) {
    const std::vector<uint32_t> small = DrawAvailabilityPicture(available, 16);
    const std::vector<uint32_t> large = DrawAvailabilityPicture(available, 32);
    ASSERT_EQ(large.size(), 32u * 32u);
    EXPECT_EQ(large[0] >> 24, 0u);
    EXPECT_EQ(large[16 * 32 + 2] >> 24, 255u) << "the disc's left edge, middle row";
    EXPECT_EQ(large[5 * 32 + 17], small[2 * 16 + 8]) << "the disc's own colour, between the rim and the mark";
    double small_cover = 0, large_cover = 0;
    for (uint32_t p : small) small_cover += p >> 24;
    for (uint32_t p : large) large_cover += p >> 24;
    EXPECT_NEAR(large_cover / small_cover, 4.0, 0.2) << "the disc covers the same share";
    // A doubled picture would hold each value in 2 x 2 blocks.
    bool smooth = false;
    for (int y = 0; y < 32; y += 2) {
      for (int x = 0; x < 32; x += 2) smooth |= large[y * 32 + x] != large[y * 32 + x + 1];
    }
    EXPECT_TRUE(smooth);
  }
}

// Collects what the reader hands over, as the window does on each wake-up.
class ReaderHarness {
 public:
  ReaderHarness() : reader([this] { Wake(); }) {}
  // Takes every finished reading until nothing is outstanding.
  bool DrainUntilIdle() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (reader.Busy()) {
      std::unique_lock<std::mutex> hold(lock_);
      if (!woken_.wait_until(hold, deadline, [this] { return wakes_ > 0; })) return false;
      wakes_ = 0;
      hold.unlock();
      if (auto page = reader.TakePage()) pages.push_back(*page);
      if (auto features = reader.TakeFeatures()) feature_tables.push_back(*features);
      for (TextReading& text : reader.TakeTexts()) texts.push_back(std::move(text));
    }
    return true;
  }
  TInfoReader reader;
  std::vector<PageReading> pages;
  std::vector<FeatureReading> feature_tables;
  std::vector<TextReading> texts;

 private:
  void Wake() {
    std::lock_guard<std::mutex> hold(lock_);
    ++wakes_;
    woken_.notify_all();
  }
  std::mutex lock_;
  std::condition_variable woken_;
  int wakes_ = 0;
};

const char kTwoProcessors[] =
    "------[ Logical CPU #0 ]------\n"
    "CPUID 00000000: 00000001-68747541-444D4163-69746E65\n"
    "CPUID 00000001: 00000681-00000000-00000000-0383FBFF\n"
    "CPUID 80000000: 80000006-68747541-444D4163-69746E65\n"
    "CPUID 80000001: 00000781-00000000-00000000-C1C3FBFF\n"
    "CPUID 80000006: 00000000-41004100-01008140-00000000\n"
    "------[ Logical CPU #1 ]------\n"
    "CPUID 00000000: 00000001-68747541-444D4163-69746E65\n"
    "CPUID 00000001: 00000681-00000000-00000000-0383FBFF\n"
    "CPUID 80000000: 80000006-68747541-444D4163-69746E65\n"
    "CPUID 80000001: 00000781-00000000-00000000-C1C3FBFF\n"
    "CPUID 80000006: 00000000-41004100-02008140-00000000\n";

TEST(InfoReader, HandsOverThePagesAndTablesOfTheLibrary) {
  cpuid::ScopedMachine replay(cpuid::CreateReplayMachine(cpuid::ParseDump(kTwoProcessors)));
  cpuid::ResetCpuRoot();
  ReaderHarness harness;
  harness.reader.RequestPage(153);
  harness.reader.RequestFeatures(cpuid::kFeaturesPower);
  ASSERT_TRUE(harness.DrainUntilIdle());
  harness.reader.RequestFeatures(cpuid::kFeaturesStandard);
  ASSERT_TRUE(harness.DrainUntilIdle());

  ASSERT_EQ(harness.pages.size(), 1u);
  EXPECT_EQ(harness.pages[0].code, 153);
  EXPECT_FALSE(harness.pages[0].failed);
  EXPECT_EQ(harness.pages[0].rows, cpuid::PageRows(153)) << "processor 1's level 2 cache";
  ASSERT_EQ(harness.feature_tables.size(), 2u);
  EXPECT_EQ(harness.feature_tables[0].table.label, "Feature Set Unavailable.");
  const cpuid::FeatureTable standard = cpuid::BuildFeatureTable(cpuid::kFeaturesStandard);
  EXPECT_EQ(harness.feature_tables[1].table.label, standard.label);
  EXPECT_EQ(harness.feature_tables[1].table.rows.size(), standard.rows.size());
  cpuid::ResetCpuRoot();
}

// While one summary page measures the clock, the user moves on through two
// more processors: the one passed over is never read, the last one is read
// once, and nothing waits for the measurement but the reader.
TEST(InfoReader, PagesPassedOverWhileMeasuringAreNeverRead) {
  ScopedFake fake({IntelCpu(), IntelCpu(), IntelCpu()});
  std::mutex gate_lock;
  std::condition_variable gate_changed;
  bool gate_open = false, measuring = false;
  fake->on_sleep = [&](uint32_t ms) {
    if (ms != 200) return;  // only the clock measurement is held
    std::unique_lock<std::mutex> hold(gate_lock);
    measuring = true;
    gate_changed.notify_all();
    gate_changed.wait(hold, [&] { return gate_open; });
  };
  ReaderHarness harness;
  harness.reader.RequestPage(10);
  {
    std::unique_lock<std::mutex> hold(gate_lock);
    ASSERT_TRUE(gate_changed.wait_for(hold, std::chrono::seconds(10), [&] { return measuring; }));
  }
  harness.reader.RequestPage(110);
  harness.reader.RequestPage(210);
  EXPECT_TRUE(harness.reader.Busy());
  {
    std::lock_guard<std::mutex> hold(gate_lock);
    gate_open = true;
  }
  gate_changed.notify_all();
  ASSERT_TRUE(harness.DrainUntilIdle());

  ASSERT_EQ(harness.pages.size(), 1u) << "only the page asked for last is handed over";
  EXPECT_EQ(harness.pages[0].code, 210);
  EXPECT_EQ(harness.pages[0].rows.at(0).caption, "Name");
  EXPECT_EQ(fake->raise_calls, 2) << "pages 10 and 210 measured, 110 never";
  EXPECT_EQ(fake->restore_calls, 2);
}

// Texts are commands of the user's (a copy, a save): unlike pages, a later
// one replaces none before it, and each is answered in turn, also one whose
// making failed.
TEST(InfoReader, EveryTextAskedForIsMadeInTurnAndNoneReplacesAnother) {
  cpuid::ScopedMachine replay(cpuid::CreateReplayMachine(cpuid::ParseDump(kTwoProcessors)));
  cpuid::ResetCpuRoot();
  ReaderHarness harness;
  const uint64_t first = harness.reader.RequestText([] { return cpuid::PageRows(90).at(0).value; });
  harness.reader.RequestPage(90);
  const uint64_t failing = harness.reader.RequestText([]() -> std::string { throw std::runtime_error("no"); });
  const uint64_t last = harness.reader.RequestText([] { return std::string("last"); });
  EXPECT_TRUE(harness.reader.Busy());
  ASSERT_TRUE(harness.DrainUntilIdle());
  ASSERT_EQ(harness.texts.size(), 3u);
  EXPECT_EQ(harness.texts[0].request, first);
  EXPECT_EQ(harness.texts[0].text, "2") << "two available processors";
  EXPECT_EQ(harness.texts[1].request, failing);
  EXPECT_TRUE(harness.texts[1].failed);
  EXPECT_EQ(harness.texts[2].request, last);
  EXPECT_EQ(harness.texts[2].text, "last");
  EXPECT_EQ(harness.pages.size(), 1u) << "pages are read beside the texts";
  EXPECT_FALSE(harness.reader.Busy());
  cpuid::ResetCpuRoot();
}

}  // namespace
}  // namespace zt
