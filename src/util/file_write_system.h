// What the file rules (file_write_rules.h) and each system's calls
// (file_write_win.cpp, file_write_linux.cpp) hand each other.  Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zt::file_rules {

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

  // Up to `size` bytes from `offset` on; *got is 0 at the end.
  inline bool ReadAt(uint64_t offset, char* buffer, size_t size, size_t* got, int* error);
  inline bool Size(uint64_t* size, int* error);
  // The whole of bytes from `offset` on (a file opened to append takes
  // them at its end).  A write the system takes in part goes on from where
  // it stopped; one that takes nothing is a full disk.
  inline bool WriteAt(uint64_t offset, std::string_view bytes, int* error);
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

// How a file is opened.
enum class Access {
  kRead,     // an existing plain file, while others may go on reading and writing it
  kRewrite,  // an existing plain file, to be written where it is
  kAppend,   // made when missing; nobody else writes it meanwhile
};

// What the rules refuse, as each system says it (SystemFiles::CodeFor).
enum class Refusal { kNoName, kFolder, kNotAFile, kReadOnly, kTooLarge };

// What stands at the path of a file to be replaced.
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

}  // namespace zt::file_rules
