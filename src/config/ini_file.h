// An in-memory INI file: the whole text is parsed at once, read and changed
// in memory, and written back as one block of bytes.  Portable; the caller
// does the file access.
//
// Text rules (the settings file depends on them, keep them stable):
//  - Lines end with CR LF, LF or a lone CR; written back with CR LF.
//  - "Blanks" are the bytes 0x00-0x20; they are trimmed from both ends of a
//    line, a section name, a key and a value.  Other bytes are passed through
//    unchanged (the text is in the system's ANSI code page and is never
//    re-encoded).
//  - A trimmed line that starts with '[' and ends with ']' begins a section;
//    its name is what lies between the brackets, trimmed.  A section named
//    again later continues the first one (its lines are appended there).
//  - Blank lines and lines whose first non-blank byte is ';' are dropped, and
//    so is every line before the first section.
//  - Inside a section, a line with '=' is an entry: key = trimmed text before
//    the first '=', value = trimmed text after it.  A line without '=' is
//    kept, trimmed, in its place and written back as it is.
//  - Section and key names are compared without regard to ASCII letter case;
//    when a key occurs twice in a section, the first one counts.
//  - Writing produces every section as "[name]", then its lines in order,
//    then one empty line.  Known keys are updated in place, new keys are
//    appended to their section and new sections to the file, in the order in
//    which they were first written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zt {

// Reads an integer the way the settings file has always stored them:
//   [+|-] decimal digits             e.g. "42", "-7", "+0012"
//   [+|-] "0x"/"0X" hexadecimal       e.g. "0xFF", "0X1a" (more than two chars)
//   [+|-] "$" hexadecimal             e.g. "$FF"
// with nothing before or after (the caller trims).  Decimal must fit a signed
// 32-bit integer; hexadecimal may use all 32 bits ("0xFFFFFFFF" is -1), and a
// negated hexadecimal magnitude may be at most 0x80000000.  Anything else -
// empty text, a lone sign or prefix, embedded blanks, trailing garbage,
// overflow - is not a number and yields nullopt.
std::optional<int32_t> ParseIniInteger(std::string_view text);

// Case-insensitive comparison of ASCII letters; other bytes compare exactly.
bool IniNamesEqual(std::string_view a, std::string_view b);

class IniFile {
 public:
  IniFile() = default;
  // Parses the bytes of a file by the rules above.  Never fails: anything
  // that is not a section or an entry is dropped or carried as described.
  explicit IniFile(std::string_view bytes);

  // The whole file as it would be written: CR LF line ends.
  std::string Serialize() const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // The value of the first entry with that key, or nullopt.
  std::optional<std::string> ReadValue(std::string_view section,
                                       std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& fallback) const;
  // The entry read as by ParseIniInteger; `fallback` when absent or unreadable.
  int32_t ReadInteger(std::string_view section, std::string_view key,
                      int32_t fallback) const;
  // Read as an integer; true when it is not 0.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Sets the first entry with that key (the key takes the spelling given
  // here) or appends a new entry; creates the section when needed.  Returns
  // false, changing nothing, when the text could not be read back as written:
  // a section name containing ']' or a line break, a key containing '=', a
  // line break or leading/trailing blanks or starting with ';' or '[', or a
  // value containing a line break or leading/trailing blanks.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int32_t value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);

  // Section names in file order, as spelled where they first appeared.
  std::vector<std::string> SectionNames() const;

 private:
  struct Line {
    std::string key;    // the whole trimmed line when !is_entry
    std::string value;
    bool is_entry = false;
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
  };

  const Section* FindSection(std::string_view name) const;
  Section& FindOrAddSection(std::string_view name);
  static const Line* FindEntry(const Section& s, std::string_view key);

  std::vector<Section> sections_;
  // ASCII-lowercased name -> index in sections_, so that files with very
  // many sections still parse in linear time.
  std::unordered_map<std::string, size_t> index_;
};

}  // namespace zt
