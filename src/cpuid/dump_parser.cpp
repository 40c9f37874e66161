#include "cpuid/dump_parser.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <utility>

#include "cpuid/cpu_values.h"

namespace zt::cpuid {

namespace {

std::string Describe(size_t line, const std::string& reason) {
  if (line == 0) return reason;
  return "line " + std::to_string(line) + ": " + reason;
}

// A short, printable excerpt of hostile text for an error message.
std::string Excerpt(std::string_view text) {
  std::string out;
  for (char c : text.substr(0, 40)) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      out.push_back(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
    }
  }
  if (text.size() > 40) out += "...";
  return out;
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

uint32_t HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  return static_cast<uint32_t>(c - 'A' + 10);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// Reads one line's fields left to right; every failure names what was
// expected there.
class Cursor {
 public:
  Cursor(std::string_view text, size_t line) : text_(text), line_(line) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  std::string_view Rest() const { return text_.substr(pos_); }

  size_t SkipBlanks() {
    size_t n = 0;
    while (!AtEnd() && IsBlank(text_[pos_])) {
      ++pos_;
      ++n;
    }
    return n;
  }

  void RequireBlanks(const char* what) {
    if (AtEnd()) Fail(std::string("the line ends before ") + what + " (cut short?)");
    if (SkipBlanks() == 0) Fail(std::string("expected a blank before ") + what);
  }

  void Expect(std::string_view literal, const char* what) {
    if (Rest().substr(0, literal.size()) != literal) {
      Fail(std::string("expected ") + what + " but found '" + Excerpt(Rest()) + "'");
    }
    pos_ += literal.size();
  }

  uint32_t Hex(size_t min_digits, size_t max_digits, const char* what) {
    size_t start = pos_;
    uint32_t value = 0;
    while (!AtEnd() && IsHex(text_[pos_])) {
      if (pos_ - start == max_digits) {
        Fail(std::string(what) + " has more than " + std::to_string(max_digits) +
             " hex digits");
      }
      value = (value << 4) | HexValue(text_[pos_]);
      ++pos_;
    }
    size_t digits = pos_ - start;
    if (digits < min_digits) {
      if (min_digits == max_digits) {
        Fail(std::string(what) + " must be " + std::to_string(min_digits) +
             " hex digits, found '" + Excerpt(text_.substr(start, digits)) + "'");
      }
      Fail(std::string("expected ") + what + " (hex digits) but found '" +
           Excerpt(text_.substr(start)) + "'");
    }
    return value;
  }

  [[noreturn]] void Fail(const std::string& reason) const { throw EDumpError(line_, reason); }

 private:
  std::string_view text_;
  size_t line_;
  size_t pos_ = 0;
};

// "CPUID 00000004: 1C004121-01C0003F-0000003F-00000000 [SL 00] [comment]"
CpuidRecord ParseAidaRecord(std::string_view text, size_t line) {
  Cursor c(text, line);
  CpuidRecord r;
  r.line = line;
  c.Expect("CPUID", "'CPUID'");
  c.RequireBlanks("the leaf");
  r.leaf = c.Hex(8, 8, "the leaf");
  c.Expect(":", "':' after the leaf");
  c.RequireBlanks("the registers");
  r.regs.eax = c.Hex(8, 8, "EAX");
  c.Expect("-", "'-' after EAX");
  r.regs.ebx = c.Hex(8, 8, "EBX");
  c.Expect("-", "'-' after EBX");
  r.regs.ecx = c.Hex(8, 8, "ECX");
  c.Expect("-", "'-' after ECX");
  r.regs.edx = c.Hex(8, 8, "EDX");
  if (c.AtEnd()) return r;
  c.RequireBlanks("the subleaf tag");
  if (c.AtEnd()) return r;
  if (c.Rest().substr(0, 4) == "[SL ") {
    c.Expect("[SL ", "'[SL '");
    r.subleaf = c.Hex(1, 8, "the subleaf");
    c.Expect("]", "']' after the subleaf");
    r.tagged = true;
    if (c.AtEnd()) return r;
    c.RequireBlanks("a comment");
    if (c.AtEnd()) return r;
  }
  // Whatever follows is the dumping program's note on the leaf, always in
  // brackets ("[GenuineIntel]", "[L1D: 32 KB]").
  if (c.Peek() != '[') {
    c.Fail("unexpected text after the registers: '" + Excerpt(c.Rest()) + "'");
  }
  return r;
}

// "   0x00000004 0x00: eax=0x1c004121 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000"
CpuidRecord ParseToolRecord(std::string_view text, size_t line) {
  Cursor c(text, line);
  CpuidRecord r;
  r.line = line;
  r.tagged = true;
  c.SkipBlanks();
  c.Expect("0x", "'0x' before the leaf");
  r.leaf = c.Hex(1, 8, "the leaf");
  c.RequireBlanks("the subleaf");
  c.Expect("0x", "'0x' before the subleaf");
  r.subleaf = c.Hex(1, 8, "the subleaf");
  c.Expect(":", "':' after the subleaf");
  static constexpr const char* kNames[4] = {"eax=0x", "ebx=0x", "ecx=0x", "edx=0x"};
  uint32_t* targets[4] = {&r.regs.eax, &r.regs.ebx, &r.regs.ecx, &r.regs.edx};
  for (int i = 0; i < 4; ++i) {
    c.RequireBlanks(kNames[i]);
    c.Expect(kNames[i], kNames[i]);
    *targets[i] = c.Hex(1, 8, kNames[i] + 0);
  }
  c.SkipBlanks();
  if (!c.AtEnd()) c.Fail("unexpected text after the registers: '" + Excerpt(c.Rest()) + "'");
  return r;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return false;
  }
  return true;
}

// Headers that open the block of one logical processor in AIDA64/InstLatx64
// dumps: "------[ Logical CPU #0 ]------", "------[ CPUID Registers /
// Logical CPU #12 ]------", "CPUID Registers (CPU #1):",
// "CPU#000 AffMask: 0x0000000000000001".
bool IsAidaCpuHeader(std::string_view s) {
  if (StartsWith(s, "------[")) {
    size_t at = s.find("CPU #");
    if (at == std::string_view::npos) return false;
    size_t digits = at + 5;
    return digits < s.size() && s[digits] >= '0' && s[digits] <= '9';
  }
  if (StartsWith(s, "CPUID Registers (CPU #")) return true;
  if (StartsWith(s, "CPU#")) {
    size_t colon = s.find(" AffMask:");
    return colon != std::string_view::npos && AllDigits(s.substr(4, colon - 4));
  }
  return false;
}

bool IsAidaRecord(std::string_view s) {
  // "CPUID" and a run of hex digits that ends the word: "CPUID CPU Name :"
  // and the other CPU-info lines are prose.
  if (!StartsWith(s, "CPUID") || s.size() < 6 || !IsBlank(s[5])) return false;
  std::string_view rest = TrimBlanks(s.substr(5));
  size_t n = 0;
  while (n < rest.size() && IsHex(rest[n])) ++n;
  if (n == 0) return false;
  return n == rest.size() || rest[n] == ':' || IsBlank(rest[n]) || rest[n] == '-';
}

// "CPU:" or "CPU 3:"
bool IsToolHeader(std::string_view s) {
  if (s == "CPU:") return true;
  if (!StartsWith(s, "CPU ") || s.back() != ':') return false;
  return AllDigits(s.substr(4, s.size() - 5));
}

bool IsToolRecord(std::string_view s) { return StartsWith(TrimBlanks(s), "0x"); }

class Parser {
 public:
  CpuidDump Run(std::string_view text) {
    if (text.size() > kMaxDumpBytes) {
      throw EDumpError(0, "the dump is larger than " + std::to_string(kMaxDumpBytes / 1048576) +
                              " MB");
    }
    if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    size_t line_no = 0;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      pos = end + 1;
      ++line_no;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.size() > kMaxDumpLineLength) {
        throw EDumpError(line_no, "line longer than " + std::to_string(kMaxDumpLineLength) +
                                      " characters");
      }
      if (line.find('\0') != std::string_view::npos) {
        throw EDumpError(line_no, "unexpected NUL byte (not a text file?)");
      }
      Line(line, line_no);
    }
    Finish(line_no);
    return std::move(dump_);
  }

 private:
  void Line(std::string_view raw, size_t line_no) {
    std::string_view s = TrimBlanks(raw);
    if (s.empty()) return;
    if (!layout_known_) {
      if (IsAidaRecord(s) || IsAidaCpuHeader(s)) {
        SetLayout(DumpLayout::kAida);
      } else if (IsToolRecord(s) || IsToolHeader(s)) {
        SetLayout(DumpLayout::kCpuidTool);
      } else {
        // Prose ahead of the registers (program versions, CPU summary).
        return;
      }
    }
    if (dump_.layout == DumpLayout::kAida) {
      if (IsAidaCpuHeader(s)) {
        OpenBlock(std::string(s), line_no);
      } else if (IsAidaRecord(s)) {
        AddRecord(ParseAidaRecord(s, line_no));
      } else if (IsToolRecord(s) || IsToolHeader(s)) {
        throw EDumpError(line_no, "a `cpuid -r` line in an AIDA64 dump: '" + Excerpt(s) + "'");
      }
      // Any other line is a section title or prose of the report.
    } else {
      if (s.front() == '#') return;
      if (IsToolHeader(s)) {
        OpenBlock(std::string(s), line_no);
      } else if (IsToolRecord(s)) {
        AddRecord(ParseToolRecord(raw, line_no));
      } else {
        throw EDumpError(line_no, "expected 'CPU n:' or a register line '0xLEAF 0xSUB: eax=0x... "
                                  "ebx=0x... ecx=0x... edx=0x...' but found '" +
                                      Excerpt(s) + "'");
      }
    }
  }

  void SetLayout(DumpLayout layout) {
    dump_.layout = layout;
    layout_known_ = true;
  }

  void OpenBlock(std::string header, size_t line_no) {
    CloseBlock();
    if (dump_.cpus.size() >= kMaxDumpCpus) {
      throw EDumpError(line_no, "more than " + std::to_string(kMaxDumpCpus) + " CPU blocks");
    }
    CpuBlock block;
    block.header = std::move(header);
    block.line = line_no;
    dump_.cpus.push_back(std::move(block));
    open_ = true;
    implied_.clear();
    seen_.clear();
  }

  void CloseBlock() {
    if (open_ && dump_.cpus.back().records.empty()) {
      const CpuBlock& b = dump_.cpus.back();
      throw EDumpError(b.line, "CPU block '" + Excerpt(b.header) + "' has no CPUID lines");
    }
    open_ = false;
  }

  void AddRecord(CpuidRecord r) {
    if (!open_) {
      OpenBlock(std::string(), r.line);
    }
    CpuBlock& block = dump_.cpus.back();
    if (block.records.size() >= kMaxRecordsPerCpu) {
      throw EDumpError(r.line, "more than " + std::to_string(kMaxRecordsPerCpu) +
                                   " CPUID lines in one CPU block");
    }
    // Untagged repeats of a leaf are its successive subleaves (or, for
    // leaf 2, successive calls).
    uint32_t& next = implied_[r.leaf];
    if (!r.tagged) r.subleaf = next;
    next = r.subleaf + 1;
    // Leaf 2 answers by call, not by subleaf: its repeats are kept in order.
    if (r.leaf != 2) {
      auto key = std::make_pair(r.leaf, r.subleaf);
      auto found = seen_.find(key);
      if (found != seen_.end()) {
        throw EDumpError(r.line, "leaf " + Hex8(r.leaf) + " subleaf " + Hex8(r.subleaf) +
                                     " given twice in one CPU block (first on line " +
                                     std::to_string(found->second) + ")");
      }
      seen_.emplace(key, r.line);
    }
    block.records.push_back(r);
  }

  void Finish(size_t last_line) {
    if (!layout_known_ || dump_.cpus.empty()) {
      throw EDumpError(0, "no CPUID register lines found (expected AIDA64 lines such as "
                          "'CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69' or "
                          "`cpuid -r` lines such as '   0x00000000 0x00: eax=0x0000000d ...')");
    }
    (void)last_line;
    CloseBlock();
  }

  CpuidDump dump_;
  bool layout_known_ = false;
  bool open_ = false;
  std::map<uint32_t, uint32_t> implied_;
  std::map<std::pair<uint32_t, uint32_t>, size_t> seen_;
};

}  // namespace

EDumpError::EDumpError(size_t line, const std::string& reason)
    : EZettrimError(Describe(line, reason)), line_(line), reason_(reason) {}

CpuidDump ParseDump(std::string_view text) { return Parser().Run(text); }

CpuidDump ParseDumpFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EDumpError(0, "cannot open '" + path + "'");
  std::string text;
  char buf[65536];
  while (in) {
    in.read(buf, sizeof buf);
    text.append(buf, static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxDumpBytes) {
      throw EDumpError(0, "'" + path + "' is larger than " +
                              std::to_string(kMaxDumpBytes / 1048576) + " MB");
    }
  }
  if (in.bad()) throw EDumpError(0, "cannot read '" + path + "'");
  return ParseDump(text);
}

}  // namespace zt::cpuid
