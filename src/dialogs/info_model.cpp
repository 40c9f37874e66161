#include "dialogs/info_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "cpuid/cpu_root.h"
#include "util/caught.h"

namespace zt {

namespace {

bool SameLetters(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Distance from (x, y) to the segment from (ax, ay) to (bx, by).
double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  double t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy);
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(x - (ax + t * dx), y - (ay + t * dy));
}

struct Rgb {
  double r, g, b;
};

}  // namespace

std::string InfoFormFont(const std::vector<std::string>& font_names) {
  for (const std::string& name : font_names) {
    if (SameLetters(name, "Tahoma")) return "Tahoma";
  }
  return "Arial";
}

std::string InfoVersionText() { return Format(TextId::InfoVersion, {cpuid::CpuRoot().Version()->AsVersion()}); }

std::optional<cpuid::TCpuFeatureKind> FeatureKindOfItem(int item) {
  if (item < 0 || item >= static_cast<int>(kInfoFeatureSetItems.size())) return std::nullopt;
  return static_cast<cpuid::TCpuFeatureKind>(item + 1);
}

int ClampSplitterLeft(int wanted, int parent_width, int splitter_width, int min_pane) {
  const int highest = parent_width - splitter_width - min_pane;
  return std::max(min_pane, std::min(wanted, highest));
}

std::vector<uint32_t> DrawAvailabilityPicture(bool available, int size) {
  if (size <= 0) return {};
  const int kSize = size;
  // The shapes are laid out on a 16-unit square, sampled at the pixels'
  // own size.
  const double unit = static_cast<double>(kAvailabilityPictureSize) / size;
  constexpr int kSub = 4;  // 4 x 4 samples a pixel smooth the edges
  const Rgb face = available ? Rgb{46, 160, 67} : Rgb{214, 48, 49};
  const Rgb rim = available ? Rgb{30, 112, 46} : Rgb{150, 30, 32};
  const Rgb mark = {255, 255, 255};
  std::vector<uint32_t> pixels(static_cast<size_t>(kSize) * static_cast<size_t>(kSize));
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      Rgb sum = {0, 0, 0};
      int covered = 0;
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          const double px = (x + (sx + 0.5) / kSub) * unit, py = (y + (sy + 0.5) / kSub) * unit;
          const double r = std::hypot(px - 8.0, py - 8.0);
          if (r > 7.6) continue;
          const double to_mark =
              available ? std::min(SegmentDistance(px, py, 4.2, 8.4, 6.9, 11.0), SegmentDistance(px, py, 6.9, 11.0, 11.8, 5.4))
                        : std::min(SegmentDistance(px, py, 5.3, 5.3, 10.7, 10.7),
                                   SegmentDistance(px, py, 10.7, 5.3, 5.3, 10.7));
          const Rgb& c = to_mark <= 1.15 ? mark : r > 6.7 ? rim : face;
          sum.r += c.r;
          sum.g += c.g;
          sum.b += c.b;
          ++covered;
        }
      }
      if (covered == 0) continue;
      auto channel = [&](double v) { return static_cast<uint32_t>(std::lround(v / covered)); };
      const uint32_t alpha = static_cast<uint32_t>(std::lround(255.0 * covered / (kSub * kSub)));
      pixels[static_cast<size_t>(y) * static_cast<size_t>(kSize) + static_cast<size_t>(x)] = alpha << 24 | channel(sum.r) << 16 | channel(sum.g) << 8 | channel(sum.b);
    }
  }
  return pixels;
}

TInfoReader::TInfoReader(std::function<void()> ready) : ready_(std::move(ready)), thread_([this] { Run(); }) {}

TInfoReader::~TInfoReader() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void TInfoReader::RequestPage(int code) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    pages_.waiting.emplace(++pages_.asked, code);
  }
  wake_.notify_all();
}

void TInfoReader::RequestFeatures(cpuid::TCpuFeatureKind kind) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    features_.waiting.emplace(++features_.asked, kind);
  }
  wake_.notify_all();
}

template <typename Request, typename Result>
std::optional<Result> TInfoReader::Take(Channel<Request, Result>& channel) {
  if (!channel.finished) return std::nullopt;
  std::pair<uint64_t, Result> finished = std::move(*channel.finished);
  channel.finished.reset();
  // A reading overtaken by a newer request is of no use any more.
  if (finished.first != channel.asked) return std::nullopt;
  channel.taken = finished.first;
  return std::move(finished.second);
}

std::optional<PageReading> TInfoReader::TakePage() {
  std::lock_guard<std::mutex> hold(lock_);
  return Take(pages_);
}

std::optional<FeatureReading> TInfoReader::TakeFeatures() {
  std::lock_guard<std::mutex> hold(lock_);
  return Take(features_);
}

uint64_t TInfoReader::RequestText(std::function<std::string()> make) {
  uint64_t number = 0;
  {
    std::lock_guard<std::mutex> hold(lock_);
    number = ++texts_asked_;
    texts_waiting_.emplace_back(number, std::move(make));
  }
  wake_.notify_all();
  return number;
}

std::vector<TextReading> TInfoReader::TakeTexts() {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<TextReading> texts;
  texts.swap(texts_finished_);
  return texts;
}

bool TInfoReader::Busy() const {
  std::lock_guard<std::mutex> hold(lock_);
  return pages_.taken != pages_.asked || features_.taken != features_.asked || !texts_waiting_.empty() ||
         texts_in_hand_ > 0 || !texts_finished_.empty();
}

void TInfoReader::Run() {
  for (;;) {
    std::unique_lock<std::mutex> hold(lock_);
    wake_.wait(hold, [this] { return stop_ || pages_.waiting || features_.waiting || !texts_waiting_.empty(); });
    if (stop_) return;
    // The feature table is quick; a page may have to measure the clock; a
    // text (the whole report) may measure it once for every processor.
    if (!features_.waiting && !pages_.waiting) {
      std::pair<uint64_t, std::function<std::string()>> job = std::move(texts_waiting_.front());
      texts_waiting_.pop_front();
      ++texts_in_hand_;
      hold.unlock();
      TextReading reading;
      reading.request = job.first;
      try {
        reading.text = job.second();
      } catch (...) {
        RecordCaught("processor information text");
        reading.text.clear();
        reading.failed = true;
      }
      hold.lock();
      --texts_in_hand_;
      texts_finished_.push_back(std::move(reading));
    } else if (features_.waiting) {
      const auto [number, kind] = *features_.waiting;
      features_.waiting.reset();
      hold.unlock();
      FeatureReading reading;
      reading.kind = kind;
      try {
        reading.table = cpuid::BuildFeatureTable(kind);
      } catch (...) {
        RecordCaught("processor feature table");
        reading.table = {};
        reading.failed = true;
      }
      hold.lock();
      features_.finished.emplace(number, std::move(reading));
    } else {
      const auto [number, code] = *pages_.waiting;
      pages_.waiting.reset();
      hold.unlock();
      PageReading reading;
      reading.code = code;
      try {
        reading.rows = cpuid::PageRows(code);
      } catch (...) {
        RecordCaught("processor information page");
        reading.rows.clear();
        reading.failed = true;
      }
      hold.lock();
      pages_.finished.emplace(number, std::move(reading));
    }
    hold.unlock();
    if (ready_) ready_();
  }
}

}  // namespace zt
