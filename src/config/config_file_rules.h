// The settings file's read and replace rules, written once: when to go
// through a temporary file, when to rewrite in place, what to refuse.  They
// know no system call.  Each system's file (config_file_win.cpp,
// config_file_linux.cpp) supplies only its calls, as the static members of
// one class `Os` (open, read, write, flush, rename, replace...), and makes
// the functions of config_file.h from these templates; the calls are small
// and used once, so they fold into the rules as if written there (the
// templates are static for that: each system's file has its own copy).
// Portable.
//
// What `Os` offers (error codes are the system's own, paths UTF-8):
//   Os::File: an open file, closed when it goes; Read, Size, Write (the
//     whole of the bytes, from the first byte on), Reserve (grow, taking the
//     space now), Truncate, Flush, Close (a delayed write error surfaces
//     here), each false with the code in *error.
//   Open(path, rewrite, &file, &error): an existing plain file, for reading
//     while others may have it open, or to be written where it is.
//   Inspect(path, &target, &error): what stands at the path (Target).
//   CreateReplacement(temp, target, &file, &error): a new file at temp (a
//     leftover there goes first), already carrying what it takes over from
//     the target; nothing is left at temp when it fails.
//   MoveIntoPlace(temp, target, &lost, &error): the closed temp takes the
//     target's place, so the path holds the old content or the new.  On
//     failure temp is still there, except where lost is set: the system has
//     removed the target already and the new content waits under temp.
//   Remove(path), ProcessId(), CodeFor(Refusal), ErrorText(code),
//   IsNotFound(code).
#pragma once

#include <cstdint>
#include <string>

#include "config/config_file.h"

namespace zt::config_rules {

// What the rules refuse, as each system says it (Os::CodeFor).
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
static inline void AppendDecimal(std::string& text, uint32_t value) {
  char digits[10];
  char* first = digits + sizeof digits;
  do {
    *--first = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  text.append(first, digits + sizeof digits);
}

template <typename Os>
static std::string TemporaryPathFor(const std::string& path) {
  std::string temp = path;
  temp += '.';
  AppendDecimal(temp, Os::ProcessId());
  temp += ".tmp";
  return temp;
}

// Records the system's words for `code` (when asked for) and answers false.
template <typename Os>
static bool Fail(std::string* reason, int code) {
  if (reason) *reason = Os::ErrorText(code);
  return false;
}

template <typename Os>
static FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes, std::string* reason) {
  bytes->clear();
  if (path.empty()) return FileReadStatus::kNotFound;
  typename Os::File file;
  int error = 0;
  if (!Os::Open(path, false, &file, &error)) {
    if (Os::IsNotFound(error)) return FileReadStatus::kNotFound;
    Fail<Os>(reason, error);
    return FileReadStatus::kError;
  }
  uint64_t size = 0;
  if (!file.Size(&size, &error)) {
    Fail<Os>(reason, error);
    return FileReadStatus::kError;
  }
  // The file may also grow while it is read.
  bool too_large = size > kMaxConfigFileBytes;
  std::string data;
  char buffer[16384];
  while (!too_large) {
    size_t got = 0;
    if (!file.Read(buffer, sizeof buffer, &got, &error)) {
      Fail<Os>(reason, error);
      return FileReadStatus::kError;
    }
    if (got == 0) break;
    too_large = data.size() + got > kMaxConfigFileBytes;
    data.append(buffer, got);
  }
  if (too_large) {
    Fail<Os>(reason, Os::CodeFor(Refusal::kTooLarge));
    return FileReadStatus::kError;
  }
  *bytes = std::move(data);
  return FileReadStatus::kOk;
}

// The new content in a temporary file beside the target, flushed to the disk
// before it takes the target's place.  False (with the temporary file gone)
// when either step cannot be done, except where *target_lost is set.
template <typename Os>
static bool ReplaceThroughTemporaryFile(const Target& target, const std::string& bytes, int* error, bool* target_lost) {
  const std::string temp = TemporaryPathFor<Os>(target.path);
  typename Os::File file;
  if (!Os::CreateReplacement(temp, target, &file, error)) return false;
  bool ok = file.Write(bytes, error) && file.Flush(error);
  int close_error = 0;
  const bool closed = file.Close(&close_error);
  if (ok && !closed) *error = close_error;
  ok = ok && closed && Os::MoveIntoPlace(temp, target, target_lost, error);
  if (!ok && !*target_lost) Os::Remove(temp);
  return ok;
}

// Rewrites an existing file where it is.  The file first takes its new size
// (a full disk refuses that before any byte has changed), then the bytes are
// written and the size is settled.
template <typename Os>
static bool RewriteInPlace(const std::string& path, const std::string& bytes, int* error) {
  typename Os::File file;
  if (!Os::Open(path, true, &file, error)) return false;
  uint64_t size = 0;
  if (!file.Size(&size, error)) return false;
  if (size < bytes.size() && !file.Reserve(bytes.size(), error)) {
    // Back to the old size, should part of the space have been taken; the
    // error to report stays the first one.
    int ignored = 0;
    file.Truncate(size, &ignored);
    return false;
  }
  const bool written = file.Write(bytes, error) && file.Truncate(bytes.size(), error) && file.Flush(error);
  int close_error = 0;
  const bool closed = file.Close(&close_error);
  if (written && !closed) *error = close_error;
  return written && closed;
}

template <typename Os>
static bool WriteSettingsFile(const std::string& requested, const std::string& bytes, std::string* reason) {
  if (requested.empty()) return Fail<Os>(reason, Os::CodeFor(Refusal::kNoName));
  Target target;
  int error = 0;
  if (!Os::Inspect(requested, &target, &error)) return Fail<Os>(reason, error);
  if (target.exists) {
    if (target.folder) return Fail<Os>(reason, Os::CodeFor(Refusal::kFolder));
    if (!target.regular) return Fail<Os>(reason, Os::CodeFor(Refusal::kNotAFile));
    // A file without write permission is read-only even for a user who
    // could replace it through its folder.
    if (target.read_only) return Fail<Os>(reason, Os::CodeFor(Refusal::kReadOnly));
  }

  bool target_lost = false;
  if (ReplaceThroughTemporaryFile<Os>(target, bytes, &error, &target_lost)) return true;
  if (target_lost || !target.exists) return Fail<Os>(reason, error);
  // A folder that refuses new files (a prepared installation folder) may
  // still let its existing file be written.
  int in_place_error = 0;
  if (RewriteInPlace<Os>(target.path, bytes, &in_place_error)) return true;
  return Fail<Os>(reason, in_place_error != 0 ? in_place_error : error);
}

}  // namespace zt::config_rules
