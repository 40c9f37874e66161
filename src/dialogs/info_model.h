// The CPU information window's model, portable: the texts of its controls,
// the choice of its font, the feature-set items, the splitter's limits, the
// two availability pictures, and TInfoReader, which reads pages and feature
// tables from the identification library on a worker thread so that the
// window stays responsive while a page measures the clock.  The rows
// themselves come from the page module that the `zettrim-cpuinfo` report
// prints (cpuid/info_pages.h), so window and report cannot drift apart.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cpuid/info_pages.h"
#include "util/texts.h"

namespace zt {

// The feature-set drop-down's items, in the order of the kinds.
inline constexpr std::array<TextId, 4> kInfoFeatureSetItems = {
    TextId::InfoFeaturesStandard, TextId::InfoFeaturesStandardEx, TextId::InfoFeaturesExtended,
    TextId::InfoFeaturesPower};
// The feature list's columns: the first, untitled (TextId::Count), holds only
// the picture.
inline constexpr std::array<TextId, 4> kInfoFeatureColumns = {TextId::Count, TextId::InfoColumnIndex,
                                                              TextId::InfoColumnMnemonic, TextId::InfoColumnDescription};
inline constexpr std::array<int, 4> kInfoFeatureColumnWidths = {25, 60, 90, 290};

// "Tahoma" when the font list holds it (in any case of letters), otherwise
// "Arial".
std::string InfoFormFont(const std::vector<std::string>& font_names);

// "Version: " and the library's version (4.3.01), in the current language.
std::string InfoVersionText();

// The feature-set kind of a drop-down item (kind = item + 1); nothing for a
// position outside the four items.
std::optional<cpuid::TCpuFeatureKind> FeatureKindOfItem(int item);

// Where a splitter dragged to `wanted` (its left edge in its parent) may go
// so that the panes on both sides stay at least `min_pane` wide.  In a
// parent too narrow for that, the left pane keeps its minimum.
int ClampSplitterLeft(int wanted, int parent_width, int splitter_width, int min_pane);

// The two pictures of the feature list, `size` pixels a side (16 at 96 dpi),
// 0xAARRGGBB (not premultiplied), row 0 at the top: a red disc with a white
// cross for a feature that is not available, a green disc with a white tick
// for one that is.  Drawn at the size asked for.
inline constexpr int kAvailabilityPictureSize = 16;
std::vector<uint32_t> DrawAvailabilityPicture(bool available, int size = kAvailabilityPictureSize);

struct PageReading {
  int code = 0;
  std::vector<cpuid::InfoRow> rows;
  bool failed = false;  // the library raised an error; no rows
};

struct FeatureReading {
  cpuid::TCpuFeatureKind kind = cpuid::kFeaturesStandard;
  cpuid::FeatureTable table;
  bool failed = false;
};

// A text made from the library (a page or the whole report to copy or save).
struct TextReading {
  uint64_t request = 0;  // the number RequestText answered
  std::string text;
  bool failed = false;  // the library raised an error; no text
};

// Reads pages and feature tables on one worker thread, one at a time, so
// the library is never used by two threads at once.  A request made while
// an older one of its kind still waits replaces it, and a reading finished
// after a newer request is dropped: a user moving quickly through the tree
// measures the clock at most for the page being read and the one asked for
// last, never more than once for a page shown.
class TInfoReader {
 public:
  // `ready` runs on the worker thread whenever a reading is finished; it may
  // only wake the user-interface thread (the window posts itself a message).
  explicit TInfoReader(std::function<void()> ready);
  // Lets a reading in progress finish (at most one clock measurement), drops
  // the waiting requests and ends the thread.
  ~TInfoReader();
  TInfoReader(const TInfoReader&) = delete;
  TInfoReader& operator=(const TInfoReader&) = delete;

  void RequestPage(int code);
  void RequestFeatures(cpuid::TCpuFeatureKind kind);
  // The reading of the request made last, once it is finished (once).
  std::optional<PageReading> TakePage();
  std::optional<FeatureReading> TakeFeatures();
  // Makes a text on the reader's thread.  Unlike a page, no text request
  // replaces another: each was a command of the user's (a copy, a save), and
  // each is answered, in the order asked.  Answers the request's number.
  uint64_t RequestText(std::function<std::string()> make);
  // The texts finished since the last call, oldest first.
  std::vector<TextReading> TakeTexts();
  // Whether a request has not been taken yet.
  bool Busy() const;

 private:
  template <typename Request, typename Result>
  struct Channel {
    uint64_t asked = 0;  // number of the request made last
    uint64_t taken = 0;  // number of the request whose reading was taken
    std::optional<std::pair<uint64_t, Request>> waiting;
    std::optional<std::pair<uint64_t, Result>> finished;
  };
  template <typename Request, typename Result>
  static std::optional<Result> Take(Channel<Request, Result>& channel);

  void Run();

  std::function<void()> ready_;
  mutable std::mutex lock_;
  std::condition_variable wake_;
  bool stop_ = false;
  Channel<int, PageReading> pages_;
  Channel<cpuid::TCpuFeatureKind, FeatureReading> features_;
  uint64_t texts_asked_ = 0;
  std::deque<std::pair<uint64_t, std::function<std::string()>>> texts_waiting_;
  std::vector<TextReading> texts_finished_;
  size_t texts_in_hand_ = 0;  // taken from the queue, not finished yet
  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace zt
