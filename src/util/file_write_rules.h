// The file rules, written once: when to go through a temporary file, when
// to rewrite in place, what to refuse, how a read or an append ends.  They
// know no system call, and they are the functions of file_write.h.  Each
// system's file (file_write_win.cpp, file_write_linux.cpp) defines only its
// calls, as the static members of file_rules::SystemFiles, and then
// includes this file, once: the rules are compiled with that system's calls,
// which are small and used once and so fold into them as if written there.
// Portable.
//
// What SystemFiles offers (error codes are the system's own, paths UTF-8;
// SystemFile, the open file, is in file_write_system.h):
//   Open(path, access, &file, &error): a file opened for `access`.
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

#include "util/file_write.h"
#include "util/file_write_system.h"

namespace zt {

std::string TemporaryFileBeside(const std::string& path) {
  std::string temp = path;
  temp += '.';
  file_rules::AppendDecimal(temp, file_rules::SystemFiles::ProcessId());
  temp += ".tmp";
  return temp;
}

}  // namespace zt

namespace zt::file_rules {

// Records the system's words for `code` (when asked for) and answers false.
static bool Fail(std::string* reason, int code) {
  if (reason) *reason = SystemFiles::ErrorText(code);
  return false;
}

// The new content in a temporary file beside the target, flushed to the disk
// before it takes the target's place.  False (with the temporary file gone)
// when either step cannot be done, except where *target_lost is set.
static bool ReplaceThroughTemporaryFile(const Target& target, const std::string& bytes, int* error, bool* target_lost) {
  const std::string temp = TemporaryFileBeside(target.path);
  SystemFile file;
  if (!SystemFiles::CreateReplacement(temp, target, &file, error)) return false;
  bool ok = file.WriteAt(0, bytes, error) && file.Flush(error);
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
  if (!SystemFiles::Open(path, Access::kRewrite, &file, error)) return false;
  uint64_t size = 0;
  if (!file.Size(&size, error)) return false;
  if (size < bytes.size() && !file.Reserve(bytes.size(), error)) {
    // Back to the old size, should part of the space have been taken; the
    // error to report stays the first one.
    int ignored = 0;
    file.Truncate(size, &ignored);
    return false;
  }
  const bool written = file.WriteAt(0, bytes, error) && file.Truncate(bytes.size(), error) && file.Flush(error);
  int close_error = 0;
  const bool closed = file.Close(&close_error);
  if (written && !closed) *error = close_error;
  return written && closed;
}

// Opens an existing file to be read: kOk, or what the read answers.
static FileReadStatus OpenToRead(const std::string& path, SystemFile* file, std::string* reason) {
  if (path.empty()) return FileReadStatus::kNotFound;
  int error = 0;
  if (SystemFiles::Open(path, Access::kRead, file, &error)) return FileReadStatus::kOk;
  if (SystemFiles::IsNotFound(error)) return FileReadStatus::kNotFound;
  Fail(reason, error);
  return FileReadStatus::kError;
}

// Hands the bytes of an open file to `piece` until its end: kOk or kError.
template <typename Piece>
static FileReadStatus ReadToTheEnd(SystemFile& file, Piece piece, std::string* reason) {
  std::string buffer(64 * 1024, '\0');
  uint64_t offset = 0;
  for (;;) {
    size_t got = 0;
    int error = 0;
    if (!file.ReadAt(offset, buffer.data(), buffer.size(), &got, &error)) {
      Fail(reason, error);
      return FileReadStatus::kError;
    }
    if (got == 0) return FileReadStatus::kOk;
    offset += got;
    if (!piece(std::string_view(buffer.data(), got))) return FileReadStatus::kOk;
  }
}

}  // namespace zt::file_rules

namespace zt {

bool WriteFileAtomically(const std::string& requested, const std::string& bytes, std::string* reason,
                         WhenNoTemporaryFile fallback) {
  using namespace file_rules;
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
  if (target_lost || !target.exists || fallback != WhenNoTemporaryFile::kRewriteInPlace) return Fail(reason, error);
  int in_place_error = 0;
  if (RewriteInPlace(target.path, bytes, &in_place_error)) return true;
  return Fail(reason, in_place_error != 0 ? in_place_error : error);
}

FileReadStatus ReadWholeFile(const std::string& path, size_t max_bytes, std::string* bytes, std::string* reason) {
  using namespace file_rules;
  bytes->clear();
  SystemFile file;
  if (const FileReadStatus opened = OpenToRead(path, &file, reason); opened != FileReadStatus::kOk) return opened;
  uint64_t size = 0;
  int error = 0;
  if (!file.Size(&size, &error)) {
    Fail(reason, error);
    return FileReadStatus::kError;
  }
  // The file may also grow while it is read.
  bool too_large = size > max_bytes;
  std::string data;
  const auto keep = [&](std::string_view piece) {
    too_large = data.size() + piece.size() > max_bytes;
    if (!too_large) data.append(piece);
    return !too_large;
  };
  if (const FileReadStatus read = too_large ? FileReadStatus::kOk : ReadToTheEnd(file, keep, reason);
      read != FileReadStatus::kOk)
    return read;
  if (too_large) {
    Fail(reason, SystemFiles::CodeFor(Refusal::kTooLarge));
    return FileReadStatus::kError;
  }
  *bytes = std::move(data);
  return FileReadStatus::kOk;
}

FileReadStatus ReadFileInPieces(const std::string& path, const std::function<void(std::string_view)>& piece,
                                std::string* reason) {
  using namespace file_rules;
  SystemFile file;
  if (const FileReadStatus opened = OpenToRead(path, &file, reason); opened != FileReadStatus::kOk) return opened;
  return ReadToTheEnd(file, [&](std::string_view bytes) {
    piece(bytes);
    return true;
  }, reason);
}

bool AppendLines(const std::string& path, std::string_view heading, std::string_view lines, std::string* reason) {
  using namespace file_rules;
  if (path.empty()) return Fail(reason, SystemFiles::CodeFor(Refusal::kNoName));
  SystemFile file;
  int error = 0;
  uint64_t size = 0;
  if (!SystemFiles::Open(path, Access::kAppend, &file, &error) || !file.Size(&size, &error)) return Fail(reason, error);
  std::string bytes;
  if (size == 0) {
    bytes = heading;
  } else {
    char last = 0;
    size_t got = 0;
    if (!file.ReadAt(size - 1, &last, 1, &got, &error)) return Fail(reason, error);
    if (got == 1 && last != '\n') bytes = "\r\n";
  }
  bytes.append(lines);
  if (!file.WriteAt(size, bytes, &error)) {
    // Cut back to where it ended; the reason to report stays the write's.
    int ignored = 0;
    file.Truncate(size, &ignored);
    return Fail(reason, error);
  }
  return file.Close(&error) || Fail(reason, error);
}

}  // namespace zt
