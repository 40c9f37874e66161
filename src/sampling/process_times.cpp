#include "sampling/process_times.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "util/unicode.h"

namespace zt {

namespace {

bool Before(const ProcessTime& a, const ProcessTime& b) {
  return std::tie(a.id, a.created) < std::tie(b.id, b.created);
}

uint64_t Read64(const unsigned char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

uint32_t Read32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint64_t ReadPointer(const unsigned char* p, size_t pointer_size) {
  return pointer_size == 8 ? Read64(p) : Read32(p);
}

// UTF-16 little-endian to UTF-8; a unit that does not pair up becomes U+FFFD.
std::string Utf8FromUtf16(const unsigned char* p, size_t units) {
  std::u16string text(units, u'\0');
  for (size_t i = 0; i < units; ++i) text[i] = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
  return Utf8(text);
}

}  // namespace

bool ProcessIntervals::Next(std::vector<ProcessTime>& now, std::vector<ProcessUse>& used) {
  used.clear();
  std::sort(now.begin(), now.end(), Before);
  const bool had_base = have_base_;
  if (had_base) {
    auto old = previous_.begin();
    for (const ProcessTime& p : now) {
      while (old != previous_.end() && Before(*old, p)) ++old;
      const bool seen = old != previous_.end() && old->id == p.id && old->created == p.created;
      // A process not in the reading before started since: all its time is
      // new.  A count that went back (it cannot) gives nothing.
      const uint64_t before = seen ? old->cpu_100ns : 0;
      const uint64_t io_before = seen ? old->io_bytes : 0;
      const uint64_t cpu = p.cpu_100ns > before ? p.cpu_100ns - before : 0;
      const uint64_t io = p.io_bytes > io_before ? p.io_bytes - io_before : 0;
      if (cpu > 0 || io > 0) used.push_back({p.id, p.created, cpu, p.name, io});
    }
  }
  previous_.swap(now);
  have_base_ = true;
  return had_base;
}

void ParseSystemProcessList(const unsigned char* buffer, size_t size, size_t pointer_size,
                            uint64_t base, std::vector<ProcessTime>& out) {
  out.clear();
  if (pointer_size != 4 && pointer_size != 8) return;
  // The fixed part: the times from byte 32 on, then the name (a length in
  // bytes and a pointer), the priority and the process id.
  const size_t name_at = 56;
  const size_t buffer_at = name_at + pointer_size;
  const size_t id_at = pointer_size == 8 ? 80 : 68;
  const size_t entry_size = id_at + pointer_size;
  // Further on, after the memory figures: the read, write and other
  // transfer counts, the last fields of the fixed part.
  const size_t transfers_at = pointer_size == 8 ? 232 : 160;
  size_t offset = 0;
  for (;;) {
    if (offset > size || size - offset < entry_size) return;
    const unsigned char* e = buffer + offset;
    ProcessTime p;
    p.id = static_cast<uint32_t>(ReadPointer(e + id_at, pointer_size));
    p.created = Read64(e + 32);
    p.cpu_100ns = Read64(e + 40) + Read64(e + 48);
    if (size - offset >= transfers_at + 24)
      p.io_bytes = Read64(e + transfers_at) + Read64(e + transfers_at + 8) + Read64(e + transfers_at + 16);
    const size_t name_bytes = static_cast<size_t>(e[name_at] | e[name_at + 1] << 8) & ~size_t{1};
    const uint64_t name_pointer = ReadPointer(e + buffer_at, pointer_size);
    if (name_pointer >= base && name_pointer - base <= size && size - (name_pointer - base) >= name_bytes)
      p.name = Utf8FromUtf16(buffer + (name_pointer - base), name_bytes / 2);
    // Process 0 is the idle time of the processors, not a process.
    if (p.id != 0) {
      if (p.name.empty()) p.name = "System";
      out.push_back(std::move(p));
    }
    const uint32_t next = Read32(e);
    if (next == 0) return;
    offset += next;
  }
}

bool ParseProcStat(const std::string& line, uint64_t ticks_per_second, ProcessTime* out) {
  // "pid (name) state ppid ...": the name may hold blanks and brackets, so
  // it ends at the last ')'.
  const size_t open = line.find('(');
  const size_t close = line.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open || ticks_per_second == 0)
    return false;
  out->id = static_cast<uint32_t>(std::strtoul(line.c_str(), nullptr, 10));
  out->name = line.substr(open + 1, close - open - 1);
  // After the name: field 3 (state) is the first; utime and stime are
  // fields 14 and 15, the start time field 22.
  std::vector<uint64_t> fields;
  const char* p = line.c_str() + close + 1;
  for (int field = 3; field <= 22 && *p; ++field) {
    while (*p == ' ') ++p;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(p, &end, 10);
    fields.push_back(end == p ? 0 : v);
    p = end == p ? p + std::strcspn(p, " ") : end;
  }
  if (fields.size() < 20) return false;
  const uint64_t ticks = fields[14 - 3] + fields[15 - 3];
  out->cpu_100ns = ticks * 10000000u / ticks_per_second;
  out->created = fields[22 - 3];
  return true;
}

}  // namespace zt
