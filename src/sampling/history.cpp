#include "sampling/history.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <tuple>

namespace zt {

namespace {

constexpr size_t kBudgetBytes = 512 * 1024;

// Between two samples the local clock and the monotonic one agree within
// this; more is a clock set forward or back, or a suspend.
constexpr int64_t kClockStepMs = 2000;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int64_t WallMs(double local_days) {
  const double ms = local_days * 86400000.0;
  // Beyond any date the program can meet: the clock is nonsense, and the
  // arithmetic below must not overflow on it.
  if (!(ms > -1e15 && ms < 1e15)) return 0;
  return static_cast<int64_t>(ms < 0 ? ms - 0.5 : ms + 0.5);
}

bool SameProcess(const ProcessUse& a, const ProcessUse& b) {
  return a.id == b.id && a.created == b.created;
}

bool ProcessBefore(const ProcessUse& a, const ProcessUse& b) {
  return std::tie(a.id, a.created) < std::tie(b.id, b.created);
}

float Percent(uint64_t used_100ns, double whole_100ns) {
  if (!(whole_100ns > 0)) return 0;
  return static_cast<float>(std::min(100.0, static_cast<double>(used_100ns) / whole_100ns * 100.0));
}

}  // namespace

void BusyProcess::SetName(const std::string& text) {
  size_t n = std::min(text.size(), kNameBytes);
  // Never half a character.
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  for (size_t i = 0; i < n; ++i) {
    // A name is one field of a line: no tabs or line breaks in it.
    const auto c = static_cast<unsigned char>(text[i]);
    name[i] = c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
  }
  name[n] = '\0';
}

template <typename Record>
struct History::Ring {
  explicit Ring(size_t capacity) : records(capacity) {}
  void Push(const Record& r) {
    records[next] = r;
    next = (next + 1) % records.size();
    if (size < records.size()) ++size;
  }
  // i = 0 is the oldest.
  Record& At(size_t i) { return records[(next + records.size() - size + i) % records.size()]; }
  std::vector<Record> records;
  size_t next = 0;
  size_t size = 0;
};

struct History::Accumulator {
  int64_t key = -1;  // the second or minute being made; -1: none
  bool gap_before = false;
  int16_t utc_offset = kNoUtcOffset;
  uint32_t load_count = 0;
  double load_sum = 0, load_min = 0, load_max = 0;
  uint32_t memory_count = 0;
  double memory_percent_sum = 0, memory_mb_sum = 0;
  BusyProcess busy;  // seconds: the busiest of the latest interval
  bool has_busy = false;
  std::vector<ProcessUse> used;  // minutes: each process's time, sorted
  double whole_100ns = 0;        // the time of every processor those cover

  void Open(int64_t new_key, bool gap) {
    *this = Accumulator();
    key = new_key;
    gap_before = gap;
  }

  void Add(const HistorySample& s) {
    // A change of the offset moves the local clock by an hour or so: a
    // break, and a new record.
    if (utc_offset == kNoUtcOffset) utc_offset = static_cast<int16_t>(s.utc_offset);
    if (s.load_read) {
      load_min = load_count == 0 ? s.load : std::min(load_min, s.load);
      load_max = load_count == 0 ? s.load : std::max(load_max, s.load);
      load_sum += s.load;
      ++load_count;
    }
    if (s.memory_read) {
      memory_percent_sum += s.memory_percent;
      memory_mb_sum += s.memory_mb;
      ++memory_count;
    }
  }

  template <size_t kBusy>
  void Fill(HistoryRecordOf<kBusy>& r, int64_t seconds_per_key) const {
    r = HistoryRecordOf<kBusy>();
    r.time = key * seconds_per_key;
    r.gap_before = gap_before;
    r.utc_offset = utc_offset;
    if (load_count > 0) {
      r.load_mean = static_cast<float>(load_sum / load_count);
      r.load_min = static_cast<float>(load_min);
      r.load_max = static_cast<float>(load_max);
    }
    if (memory_count > 0) {
      r.memory_percent = static_cast<float>(memory_percent_sum / memory_count);
      r.memory_mb = static_cast<float>(memory_mb_sum / memory_count);
    }
    if (kBusy == 1) {
      if (has_busy) {
        r.busy[0] = busy;
        r.busy_count = 1;
      }
      return;
    }
    std::vector<const ProcessUse*> top;
    for (const ProcessUse& u : used) top.push_back(&u);
    const size_t n = std::min(top.size(), kBusy);
    std::partial_sort(top.begin(), top.begin() + static_cast<std::ptrdiff_t>(n), top.end(),
                      [](const ProcessUse* a, const ProcessUse* b) { return a->used_100ns > b->used_100ns; });
    for (size_t i = 0; i < n; ++i) {
      r.busy[i].SetName(top[i]->name);
      r.busy[i].percent = Percent(top[i]->used_100ns, whole_100ns);
    }
    r.busy_count = static_cast<uint8_t>(n);
  }
};

History::History()
    : seconds_(std::make_unique<Ring<SecondRecord>>(kSeconds)),
      minutes_(std::make_unique<Ring<MinuteRecord>>(kMinutes)),
      second_(std::make_unique<Accumulator>()),
      minute_(std::make_unique<Accumulator>()),
      processes_(&Seam<IProcessTimes>::Get()) {}

History::~History() = default;

size_t History::RingBytes() { return kSeconds * sizeof(SecondRecord) + kMinutes * sizeof(MinuteRecord); }

void History::SetMinuteSink(IMinuteSink* sink) { sink_ = sink; }

void History::FillMinutes(const std::vector<MinuteRecord>& records) {
  if (records.empty()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  // The run's own minutes so far (the file may be read while they are made)
  // come after those of the file; a minute both have is the run's.
  std::vector<MinuteRecord> own;
  own.reserve(minutes_->size);
  for (size_t i = 0; i < minutes_->size; ++i) own.push_back(minutes_->At(i));
  const int64_t first_own = !own.empty() ? own.front().time : minute_->key >= 0 ? minute_->key * 60 : INT64_MAX;
  minutes_->size = 0;
  minutes_->next = 0;
  for (const MinuteRecord& r : records)
    if (r.time != first_own) minutes_->Push(r);
  // The program was not running between the file's last minute and the
  // run's first.
  if (!own.empty()) own.front().gap_before = true;
  else if (minute_->key >= 0) minute_->gap_before = true;
  else gap_pending_ = true;
  for (const MinuteRecord& r : own) minutes_->Push(r);
}

void History::AddSample(const HistorySample& sample) {
  const int64_t wall_ms = WallMs(sample.local_time);
  bool gap = false;
  if (have_previous_) {
    const uint64_t elapsed = sample.tick_ms - previous_tick_;
    const uint64_t late = std::max<uint64_t>(10000, 3ull * sample.rate_ms + 2000);
    const int64_t drift = (wall_ms - previous_wall_ms_) - static_cast<int64_t>(std::min<uint64_t>(elapsed, INT64_MAX / 2));
    gap = elapsed > late || std::llabs(drift) > kClockStepMs;
  }
  have_previous_ = true;
  previous_tick_ = sample.tick_ms;
  previous_wall_ms_ = wall_ms;

  MinuteRecord finished;
  if (gap) {
    // The figures of this sample span the break (a load read across a
    // suspend would be a spike of nothing): the records end before it, and
    // the process times start afresh.
    std::lock_guard<std::mutex> lock(mutex_);
    FinishSecond();
    FinishMinute(&finished);
    gap_pending_ = true;
    intervals_.Reset();
    process_started_ = false;
  } else {
    const int64_t second = FloorDiv(wall_ms, 1000);
    const int64_t minute = FloorDiv(wall_ms, 60000);
    std::lock_guard<std::mutex> lock(mutex_);
    // A clock set back by less than a step goes on in the record open now:
    // records never go back in time without a gap.
    if (second_->key >= 0 && second > second_->key) FinishSecond();
    if (minute_->key >= 0 && minute > minute_->key) FinishMinute(&finished);
    if (second_->key < 0) second_->Open(second, gap_pending_);
    if (minute_->key < 0) minute_->Open(minute, gap_pending_);
    gap_pending_ = false;
    second_->Add(sample);
    minute_->Add(sample);
  }
  if (!gap) ReadProcesses(sample);
}

void History::FinishSecond() {
  if (second_->key < 0) return;
  SecondRecord r;
  second_->Fill(r, 1);
  seconds_->Push(r);
  ++seconds_made_;
  second_->key = -1;
}

bool History::FinishMinute(MinuteRecord* record) {
  if (minute_->key < 0) return false;
  minute_->Fill(*record, 60);
  // A minute the kept file had too (a run ended within it): the run's own
  // stands for it.
  if (minutes_->size > 0 && minutes_->At(minutes_->size - 1).time == record->time)
    minutes_->At(minutes_->size - 1) = *record;
  else
    minutes_->Push(*record);
  minute_->key = -1;
  // Handed over under the lock, so that EndMinutes cannot come between the
  // minute's end and its handing over: the last minute is kept once.
  if (sink_ && !sink_ended_) sink_->MinuteFinished(*record);
  return true;
}

void History::ReadProcesses(const HistorySample& sample) {
  if (process_started_ && sample.tick_ms - process_tick_ < kProcessIntervalMs) return;
  const uint64_t interval_ms = sample.tick_ms - process_tick_;
  const bool had_base = process_started_;
  process_started_ = true;
  process_tick_ = sample.tick_ms;
  if (!processes_->Read(reading_)) {
    // The next reading that works is a new base.
    intervals_.Reset();
    return;
  }
  if (intervals_.Next(reading_, used_) && had_base)
    AttributeInterval(used_, interval_ms, sample.processors);
}

void History::AttributeInterval(const std::vector<ProcessUse>& used, uint64_t interval_ms,
                                int32_t processors) {
  const double whole = static_cast<double>(interval_ms) * 10000.0 * std::max(1, processors);
  const ProcessUse* top = nullptr;
  for (const ProcessUse& u : used)
    if (!top || u.used_100ns > top->used_100ns) top = &u;
  BusyProcess busy;
  if (top) {
    busy.SetName(top->name);
    busy.percent = Percent(top->used_100ns, whole);
  }

  std::lock_guard<std::mutex> lock(mutex_);
  // Every second of the interval names its busiest: those finished since
  // the reading before, and the one being made.
  const uint64_t kept_from = seconds_made_ - seconds_->size;
  for (uint64_t seq = std::max(busy_from_second_, kept_from); seq < seconds_made_; ++seq) {
    SecondRecord& r = seconds_->At(static_cast<size_t>(seq - kept_from));
    r.busy[0] = busy;
    r.busy_count = top ? 1 : 0;
  }
  busy_from_second_ = seconds_made_;
  if (second_->key >= 0) {
    second_->busy = busy;
    second_->has_busy = top != nullptr;
  }
  if (minute_->key < 0) return;
  // The minute adds up each process's time over its intervals.
  std::vector<ProcessUse>& total = minute_->used;
  for (const ProcessUse& u : used) {
    auto at = std::lower_bound(total.begin(), total.end(), u, ProcessBefore);
    if (at != total.end() && SameProcess(*at, u))
      at->used_100ns += u.used_100ns;
    else
      total.insert(at, u);
  }
  minute_->whole_100ns += whole;
}

void History::EndMinutes() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (sink_ && !sink_ended_ && minute_->key >= 0) {
    MinuteRecord record;
    minute_->Fill(record, 60);
    sink_->MinuteFinished(record);
  }
  sink_ended_ = true;
}

HistoryView History::Snapshot(HistoryScale scale) const {
  HistoryView view;
  Snapshot(scale, &view);
  return view;
}

void History::Snapshot(HistoryScale scale, HistoryView* view) const {
  view->scale = scale;
  std::vector<HistoryRecord>& records = view->records;
  records.clear();
  // The whole ring and the open record: the buffer never grows again.
  records.reserve((scale == HistoryScale::kSeconds ? kSeconds : kMinutes) + 1);
  std::lock_guard<std::mutex> lock(mutex_);
  if (scale == HistoryScale::kSeconds) {
    auto add = [&records](const SecondRecord& s) {
      HistoryRecord& r = records.emplace_back();
      r.time = s.time;
      r.load_mean = s.load_mean, r.load_min = s.load_min, r.load_max = s.load_max;
      r.memory_percent = s.memory_percent, r.memory_mb = s.memory_mb;
      r.gap_before = s.gap_before;
      r.utc_offset = s.utc_offset;
      r.busy_count = s.busy_count;
      r.busy[0] = s.busy[0];
    };
    for (size_t i = 0; i < seconds_->size; ++i) add(seconds_->At(i));
    if (second_->key >= 0) {
      SecondRecord open;
      second_->Fill(open, 1);
      add(open);
    }
  } else {
    for (size_t i = 0; i < minutes_->size; ++i) records.push_back(minutes_->At(i));
    if (minute_->key >= 0) minute_->Fill(records.emplace_back(), 60);
  }
}

static_assert(History::kSeconds * sizeof(SecondRecord) + History::kMinutes * sizeof(MinuteRecord) <= kBudgetBytes,
              "the two rings stay within half a megabyte");

}  // namespace zt
