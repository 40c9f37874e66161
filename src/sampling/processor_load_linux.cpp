#include "sampling/processor_load_linux.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace zt {

namespace {

// 100-ns intervals from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochIn100ns = 116444736000000000LL;

// Far above any processor number a kernel gives; below LONG_MAX / 10.
constexpr long kMaxCpuNumber = 100000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Clock ticks to 100-ns units without overflowing for any realistic count.
int64_t TicksTo100ns(uint64_t ticks, uint64_t ticks_per_second) {
  return static_cast<int64_t>((ticks / ticks_per_second) * 10000000u +
                              (ticks % ticks_per_second) * 10000000u / ticks_per_second);
}

// Reads an unsigned decimal number after optional blanks; false at the end
// of the line.
bool NextNumber(const char*& p, const char* end, uint64_t& value) {
  while (p < end && *p == ' ') ++p;
  if (p >= end || !IsDigit(*p)) return false;
  uint64_t v = 0;
  while (p < end && IsDigit(*p)) {
    v = v * 10 + static_cast<uint64_t>(*p - '0');
    ++p;
  }
  value = v;
  return true;
}

}  // namespace

ProcStatIdleSource::ProcStatIdleSource(std::string path)
    : path_(std::move(path)), buffer_(16384), ticks_per_second_(sysconf(_SC_CLK_TCK)) {
  if (ticks_per_second_ <= 0) ticks_per_second_ = 100;
}

ProcStatIdleSource::~ProcStatIdleSource() {
  if (fd_ >= 0) close(fd_);
}

size_t ProcStatIdleSource::ReadFile() {
  if (fd_ < 0) {
    fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw EProcessorLoad(kMsgNoProcessorObject);
  }
  for (;;) {
    // The kernel builds the text afresh when it is read from the start.
    if (lseek(fd_, 0, SEEK_SET) != 0) throw EProcessorLoad(kMsgNoProcessorObject);
    size_t used = 0;
    while (used < buffer_.size()) {
      const ssize_t got = read(fd_, buffer_.data() + used, buffer_.size() - used);
      if (got < 0) {
        if (errno == EINTR) continue;
        throw EProcessorLoad(kMsgNoProcessorObject);
      }
      if (got == 0) return used;
      used += static_cast<size_t>(got);
    }
    // Full buffer: grow (once, in practice) and read the whole text again.
    buffer_.resize(buffer_.size() * 2);
  }
}

void ProcStatIdleSource::Parse(const char* text, size_t size, std::vector<int64_t>& idle) {
  idle.clear();
  const bool first = cpu_numbers_.empty();
  const char* p = text;
  const char* const end = text + size;
  uint64_t aggregate = 0;
  bool have_aggregate = false;
  size_t processors = 0;
  size_t slot_hint = 0;
  while (p < end) {
    const char* line_end = p;
    while (line_end < end && *line_end != '\n') ++line_end;
    if (line_end - p < 3 || p[0] != 'c' || p[1] != 'p' || p[2] != 'u') break;
    const char* q = p + 3;
    long number = -1;
    if (q < line_end && IsDigit(*q)) {
      number = 0;
      // Saturates: an absurdly long number must not overflow.
      for (; q < line_end && IsDigit(*q); ++q)
        if (number < kMaxCpuNumber) number = number * 10 + (*q - '0');
    }
    // user nice system idle [iowait ...]
    uint64_t fields[5] = {0, 0, 0, 0, 0};
    int count = 0;
    while (count < 5 && NextNumber(q, line_end, fields[count])) ++count;
    p = line_end < end ? line_end + 1 : end;
    if (count < 4) continue;
    const uint64_t ticks = fields[3] + fields[4];
    if (number < 0) {
      aggregate = ticks;
      have_aggregate = true;
      continue;
    }
    ++processors;
    const int64_t value = TicksTo100ns(ticks, static_cast<uint64_t>(ticks_per_second_));
    if (first) {
      cpu_numbers_.push_back(number);
      idle.push_back(value);
      continue;
    }
    if (idle.empty()) idle.assign(cpu_numbers_.size(), kIdleTimeMissing);
    // Processors normally come in the same order every time.
    size_t slot = slot_hint < cpu_numbers_.size() && cpu_numbers_[slot_hint] == number
                      ? slot_hint
                      : cpu_numbers_.size();
    if (slot == cpu_numbers_.size()) {
      for (size_t j = 0; j < cpu_numbers_.size(); ++j)
        if (cpu_numbers_[j] == number) slot = j;
    }
    if (slot < cpu_numbers_.size()) {
      idle[slot] = value;
      slot_hint = slot + 1;
    }
  }
  if (cpu_numbers_.empty() || !have_aggregate || processors == 0) {
    idle.clear();
    if (first) cpu_numbers_.clear();
    throw EProcessorLoad(kMsgNoProcessorObject);
  }
  if (idle.empty()) idle.assign(cpu_numbers_.size(), kIdleTimeMissing);
  // The aggregate as the mean idle time of the processors present.
  idle.push_back(TicksTo100ns(aggregate, static_cast<uint64_t>(ticks_per_second_)) /
                 static_cast<int64_t>(processors));
}

void ProcStatIdleSource::ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) {
  const size_t size = ReadFile();
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  Parse(buffer_.data(), size, idle);
  time_100ns = kUnixEpochIn100ns + static_cast<int64_t>(now.tv_sec) * 10000000 + now.tv_nsec / 100;
}

std::unique_ptr<IProcessorLoad> CreatePlatformProcessorLoad() {
  return std::make_unique<IdleTimeProcessorLoad>(std::make_unique<ProcStatIdleSource>());
}

}  // namespace zt
