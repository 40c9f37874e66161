#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <string_view>

#include "util/file_write.h"

namespace zt {
namespace {

bool Fail(std::string* reason, int code) {
  if (reason) *reason = std::strerror(code);
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string TemporaryFileBeside(const std::string& path) {
  return path + "." + std::to_string(::getpid()) + ".tmp";
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* reason) {
  if (path.empty()) return Fail(reason, ENOENT);
  struct stat existing = {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Fail(reason, EISDIR);
  const std::string temp = TemporaryFileBeside(path);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(reason, errno);
  // The name keeps the permissions it had.
  bool ok = (!exists || ::fchmod(fd, existing.st_mode & 07777) == 0) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return Fail(reason, error);
  }
  return true;
}

FileReadStatus ReadFileInPieces(const std::string& path, const std::function<void(std::string_view)>& piece,
                                std::string* reason) {
  if (path.empty()) return FileReadStatus::kNotFound;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileReadStatus::kNotFound;
    Fail(reason, errno);
    return FileReadStatus::kError;
  }
  struct stat info = {};
  FileReadStatus status = FileReadStatus::kOk;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    Fail(reason, S_ISDIR(info.st_mode) ? EISDIR : errno);
    status = FileReadStatus::kError;
  }
  std::string buffer(64 * 1024, '\0');
  while (status == FileReadStatus::kOk) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      Fail(reason, errno);
      status = FileReadStatus::kError;
    } else if (got == 0) {
      break;
    } else {
      piece(std::string_view(buffer.data(), static_cast<size_t>(got)));
    }
  }
  ::close(fd);
  return status;
}

bool AppendLines(const std::string& path, std::string_view heading, std::string_view lines, std::string* reason) {
  if (path.empty()) return Fail(reason, ENOENT);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(reason, errno);
  struct stat before = {};
  char last = '\n';
  if (::fstat(fd, &before) != 0 || (before.st_size > 0 && ::pread(fd, &last, 1, before.st_size - 1) != 1)) {
    const int error = errno;
    ::close(fd);
    return Fail(reason, error);
  }
  std::string bytes(before.st_size == 0 ? heading : std::string_view(last == '\n' ? "" : "\r\n"));
  bytes.append(lines);
  errno = 0;
  if (WriteAll(fd, bytes)) return ::close(fd) == 0 || Fail(reason, errno);
  const int error = errno != 0 ? errno : ENOSPC;
  if (::ftruncate(fd, before.st_size) != 0) {
    // Nothing more to be done: the reason to report stays the first one.
  }
  ::close(fd);
  return Fail(reason, error);
}

FileLock FileLock::Take(const std::string& path) {
  const std::string name = path + ".lock";
  const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return FileLock(State::kUnavailable);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return FileLock(held ? State::kHeldElsewhere : State::kUnavailable);
  }
  FileLock lock(State::kHeld);
  lock.handle_ = fd;
  return lock;
}

FileLock::~FileLock() {
  if (handle_ != -1) ::close(static_cast<int>(handle_));
}

FileLock::FileLock(FileLock&& other) noexcept : state_(other.state_), handle_(other.handle_) { other.handle_ = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (handle_ != -1) ::close(static_cast<int>(handle_));
    state_ = other.state_;
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

}  // namespace zt
