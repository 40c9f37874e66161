#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util/file_write.h"

namespace zt {
namespace {

bool Fail(std::string* reason, int code) {
  if (reason) *reason = std::strerror(code);
  return false;
}

bool WriteAll(int fd, const std::string& bytes) {
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

bool AppendToFile(const std::string& path, const std::string& bytes, std::string* reason) {
  if (path.empty()) return Fail(reason, ENOENT);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(reason, errno);
  struct stat before = {};
  if (::fstat(fd, &before) != 0) {
    const int error = errno;
    ::close(fd);
    return Fail(reason, error);
  }
  errno = 0;
  if (WriteAll(fd, bytes)) return ::close(fd) == 0 || Fail(reason, errno);
  const int error = errno != 0 ? errno : ENOSPC;
  if (::ftruncate(fd, before.st_size) != 0) {
    // Nothing more to be done: the reason to report stays the first one.
  }
  ::close(fd);
  return Fail(reason, error);
}

}  // namespace zt
