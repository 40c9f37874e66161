// What the settings file's rules (config_file_rules.h) and each system's
// calls (config_file_win.cpp, config_file_linux.cpp) hand each other.
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::config_rules {

// An open file of the system, closed when it goes.  Each system's file
// defines the members, and is the only file that uses them (with the rules
// it includes), so they are inline: they fold into the rules.  Every call
// answers false with the system's code in *error.
class SystemFile {
 public:
  SystemFile() = default;
  inline ~SystemFile();
  SystemFile(const SystemFile&) = delete;
  SystemFile& operator=(const SystemFile&) = delete;

  inline bool Read(char* buffer, size_t size, size_t* got, int* error);
  inline bool Size(uint64_t* size, int* error);
  // The whole of bytes, from the first byte of the file on (the file is
  // new, or rewritten whole).
  inline bool Write(const std::string& bytes, int* error);
  // Grows the file to size, taking the space now (a full disk refuses here).
  inline bool Reserve(uint64_t size, int* error);
  // Ends the file at size.
  inline bool Truncate(uint64_t size, int* error);
  // To the disk.
  inline bool Flush(int* error);
  // Closes now: a delayed write error can surface only here.
  inline bool Close(int* error);

  intptr_t handle = -1;  // a HANDLE or a descriptor: -1 is none on both
};

// What the rules refuse, as each system says it (SystemFiles::CodeFor).
enum class Refusal { kNoName, kFolder, kNotAFile, kReadOnly, kTooLarge };

// What stands at the settings file's path.
struct Target {
  std::string path;  // where to write: the path asked for, or where its link points
  bool exists = false;
  bool folder = false;
  bool regular = false;  // a plain file
  bool read_only = false;
  // What a replacement takes over from it (Windows: the attributes a user
  // sets, such as hidden; Linux: the permissions).
  uint32_t kept = 0;
};

// Appends a number in decimal.
inline void AppendDecimal(std::string& text, uint32_t value) {
  char digits[10];
  char* first = digits + sizeof digits;
  do {
    *--first = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  text.append(first, digits + sizeof digits);
}

}  // namespace zt::config_rules
