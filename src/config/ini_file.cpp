#include "config/ini_file.h"

#include <limits>

namespace zt {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trim(std::string_view s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerKey(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::optional<int32_t> ParseIniInteger(std::string_view text) {
  std::string_view s = text;
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;

  bool hex = false;
  if (s[0] == '$') {
    hex = true;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;

  // The magnitude is gathered in 64 bits and checked after every digit, so
  // any number of leading zeros is fine and no digit string can overflow.
  uint64_t magnitude = 0;
  const uint64_t limit = hex ? 0xFFFFFFFFull : 0x80000000ull;
  for (char c : s) {
    int d = hex ? HexDigit(c) : ((c >= '0' && c <= '9') ? c - '0' : -1);
    if (d < 0) return std::nullopt;
    magnitude = magnitude * (hex ? 16u : 10u) + static_cast<unsigned>(d);
    if (magnitude > limit) return std::nullopt;
  }

  if (negative) {
    if (magnitude > 0x80000000ull) return std::nullopt;
    return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  }
  if (!hex && magnitude > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    return std::nullopt;
  }
  // Hexadecimal uses all 32 bits: 0xFFFFFFFF is the bit pattern of -1.
  return static_cast<int32_t>(static_cast<uint32_t>(magnitude));
}

IniFile::IniFile(std::string_view bytes) {
  Section* current = nullptr;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = Trim(bytes.substr(pos, end - pos));
    // CR LF is one line end; a lone CR or LF is one as well.
    pos = end;
    if (pos < bytes.size()) {
      pos += (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') ? 2 : 1;
    }

    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = &FindOrAddSection(Trim(line.substr(1, line.size() - 2)));
      continue;
    }
    if (current == nullptr) continue;  // before the first section

    Line l;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      l.key = std::string(line);
    } else {
      l.key = std::string(Trim(line.substr(0, eq)));
      l.value = std::string(Trim(line.substr(eq + 1)));
      l.is_entry = true;
    }
    current->lines.push_back(std::move(l));
  }
}

std::string IniFile::Serialize() const {
  std::string out;
  for (const Section& s : sections_) {
    out += '[';
    out += s.name;
    out += "]\r\n";
    for (const Line& l : s.lines) {
      out += l.key;
      if (l.is_entry) {
        out += '=';
        out += l.value;
      }
      out += "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  auto it = index_.find(LowerKey(name));
  return it == index_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section& IniFile::FindOrAddSection(std::string_view name) {
  auto inserted = index_.emplace(LowerKey(name), sections_.size());
  if (inserted.second) {
    sections_.push_back(Section{std::string(name), {}});
  }
  return sections_[inserted.first->second];
}

const IniFile::Line* IniFile::FindEntry(const Section& s, std::string_view key) {
  for (const Line& l : s.lines) {
    if (l.is_entry && IniNamesEqual(l.key, key)) return &l;
  }
  return nullptr;
}

bool IniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  return ReadValue(section, key).has_value();
}

std::optional<std::string> IniFile::ReadValue(std::string_view section,
                                              std::string_view key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return std::nullopt;
  const Line* l = FindEntry(*s, key);
  if (l == nullptr) return std::nullopt;
  return l->value;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                const std::string& fallback) const {
  std::optional<std::string> v = ReadValue(section, key);
  return v ? *v : fallback;
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t fallback) const {
  std::optional<std::string> v = ReadValue(section, key);
  if (!v) return fallback;
  std::optional<int32_t> n = ParseIniInteger(*v);
  return n ? *n : fallback;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) {
  if (section.find(']') != std::string_view::npos || HasLineBreak(section) ||
      Trim(section).size() != section.size()) {
    return false;
  }
  if (key.find('=') != std::string_view::npos || HasLineBreak(key) ||
      Trim(key).size() != key.size() || (!key.empty() && (key[0] == ';' || key[0] == '['))) {
    return false;
  }
  if (HasLineBreak(value) || Trim(value).size() != value.size()) return false;

  Section& s = FindOrAddSection(section);
  for (Line& l : s.lines) {
    if (l.is_entry && IniNamesEqual(l.key, key)) {
      l.key = std::string(key);
      l.value = std::string(value);
      return true;
    }
  }
  s.lines.push_back(Line{std::string(key), std::string(value), true});
  return true;
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const Section& s : sections_) names.push_back(s.name);
  return names;
}

}  // namespace zt
