// The settings file's read and replace rules, written once: when to go
// through a temporary file, when to rewrite in place, what to refuse.  They
// know no system call, and they are the functions of config_file.h.  Each
// system's file (config_file_win.cpp, config_file_linux.cpp) defines only
// its calls, as the static members of config_rules::SystemFiles, and then
// includes this file, once: the rules are compiled with that system's calls,
// which are small and used once and so fold into them as if written there.
// Portable.
//
// What SystemFiles offers (error codes are the system's own, paths UTF-8;
// SystemFile, the open file, is in config_file_system.h):
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
#include "config/config_file_system.h"

namespace zt {

std::string TemporaryPathFor(const std::string& path) {
  std::string temp = path;
  temp += '.';
  config_rules::AppendDecimal(temp, config_rules::SystemFiles::ProcessId());
  temp += ".tmp";
  return temp;
}

}  // namespace zt

namespace zt::config_rules {

// Records the system's words for `code` (when asked for) and answers false.
static bool Fail(std::string* reason, int code) {
  if (reason) *reason = SystemFiles::ErrorText(code);
  return false;
}

// The new content in a temporary file beside the target, flushed to the disk
// before it takes the target's place.  False (with the temporary file gone)
// when either step cannot be done, except where *target_lost is set.
static bool ReplaceThroughTemporaryFile(const Target& target, const std::string& bytes, int* error, bool* target_lost) {
  const std::string temp = TemporaryPathFor(target.path);
  SystemFile file;
  if (!SystemFiles::CreateReplacement(temp, target, &file, error)) return false;
  bool ok = file.Write(bytes, error) && file.Flush(error);
  int close_error = 0;
  const bool closed = file.Close(&close_error);
  if (ok && !closed) *error = close_error;
  ok = ok && closed && SystemFiles::MoveIntoPlace(temp, target, target_lost, error);
  if (!ok && !*target_lost) SystemFiles::Remove(temp);
  return ok;
}

// Rewrites an existing file where it is.  The file first takes its new size
// (a full disk refuses that before any byte has changed), then the bytes are
// written and the size is settled.
static bool RewriteInPlace(const std::string& path, const std::string& bytes, int* error) {
  SystemFile file;
  if (!SystemFiles::Open(path, true, &file, error)) return false;
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

static bool WriteSettingsFile(const std::string& requested, const std::string& bytes, std::string* reason) {
  if (requested.empty()) return Fail(reason, SystemFiles::CodeFor(Refusal::kNoName));
  Target target;
  int error = 0;
  if (!SystemFiles::Inspect(requested, &target, &error)) return Fail(reason, error);
  if (target.exists) {
    if (target.folder) return Fail(reason, SystemFiles::CodeFor(Refusal::kFolder));
    if (!target.regular) return Fail(reason, SystemFiles::CodeFor(Refusal::kNotAFile));
    // A file without write permission is read-only even for a user who
    // could replace it through its folder.
    if (target.read_only) return Fail(reason, SystemFiles::CodeFor(Refusal::kReadOnly));
  }

  bool target_lost = false;
  if (ReplaceThroughTemporaryFile(target, bytes, &error, &target_lost)) return true;
  if (target_lost || !target.exists) return Fail(reason, error);
  // A folder that refuses new files (a prepared installation folder) may
  // still let its existing file be written.
  int in_place_error = 0;
  if (RewriteInPlace(target.path, bytes, &in_place_error)) return true;
  return Fail(reason, in_place_error != 0 ? in_place_error : error);
}

}  // namespace zt::config_rules

namespace zt {

FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes, std::string* reason) {
  bytes->clear();
  if (path.empty()) return FileReadStatus::kNotFound;
  config_rules::SystemFile file;
  int error = 0;
  if (!config_rules::SystemFiles::Open(path, false, &file, &error)) {
    if (config_rules::SystemFiles::IsNotFound(error)) return FileReadStatus::kNotFound;
    config_rules::Fail(reason, error);
    return FileReadStatus::kError;
  }
  uint64_t size = 0;
  if (!file.Size(&size, &error)) {
    config_rules::Fail(reason, error);
    return FileReadStatus::kError;
  }
  // The file may also grow while it is read.
  bool too_large = size > kMaxConfigFileBytes;
  std::string data;
  char buffer[16384];
  while (!too_large) {
    size_t got = 0;
    if (!file.Read(buffer, sizeof buffer, &got, &error)) {
      config_rules::Fail(reason, error);
      return FileReadStatus::kError;
    }
    if (got == 0) break;
    too_large = data.size() + got > kMaxConfigFileBytes;
    data.append(buffer, got);
  }
  if (too_large) {
    config_rules::Fail(reason, config_rules::SystemFiles::CodeFor(config_rules::Refusal::kTooLarge));
    return FileReadStatus::kError;
  }
  *bytes = std::move(data);
  return FileReadStatus::kOk;
}

bool WriteSettingsFile(const std::string& path, const std::string& bytes, std::string* reason) {
  return config_rules::WriteSettingsFile(path, bytes, reason);
}

}  // namespace zt
