#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "config/config_file.h"

namespace zt {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether the close itself succeeded (a delayed
  // write error can surface only here).
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Records the system's words for `code` (when asked for) and answers false.
bool Fail(std::string* reason, int code) {
  if (reason) *reason = std::strerror(code);
  return false;
}

bool WriteAllAt(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The new content in a temporary file beside the target, which then takes
// its place by rename.  False, with errno set and no temporary file left,
// when either step cannot be done.
bool ReplaceThroughTemporaryFile(const std::string& path, const std::string& bytes, bool existed,
                                 mode_t mode) {
  const std::string temp = TemporaryPathFor(path);
  // A leftover of a crashed run is removed, so the file made here is new and
  // ours alone.
  unlink(temp.c_str());
  Fd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
  if (fd.get() < 0) return false;
  bool ok = WriteAll(fd.get(), bytes);
  if (ok && existed) ok = fchmod(fd.get(), mode) == 0;
  ok = ok && fsync(fd.get()) == 0;
  ok = fd.Close() && ok;
  ok = ok && rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    const int saved = errno;
    unlink(temp.c_str());
    errno = saved;
  }
  return ok;
}

// Rewrites an existing file where it is.  The file first takes its new size
// (a full disk refuses that before any byte has changed), then the bytes are
// written and the size is settled.  False with errno set on failure.
bool RewriteInPlace(const std::string& path, const std::string& bytes) {
  Fd fd(open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
  if (fd.get() < 0) return false;
  struct stat st;
  if (fstat(fd.get(), &st) != 0) return false;
  const auto new_size = static_cast<off_t>(bytes.size());
  if (st.st_size < new_size) {
    const int r = posix_fallocate(fd.get(), 0, new_size);
    if (r != 0) {
      // Back to the old size, should part of the space have been taken; the
      // error to report stays the first one.
      const bool restored = ftruncate(fd.get(), st.st_size) == 0;
      static_cast<void>(restored);
      errno = r;
      return false;
    }
  }
  const bool written =
      WriteAllAt(fd.get(), bytes) && ftruncate(fd.get(), new_size) == 0 && fsync(fd.get()) == 0;
  const int saved = errno;
  const bool closed = fd.Close();
  if (!written) errno = saved;
  return written && closed;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::string TemporaryPathFor(const std::string& path) {
  return path + "." + std::to_string(getpid()) + ".tmp";
}

FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes, std::string* reason) {
  bytes->clear();
  if (path.empty()) return FileReadStatus::kNotFound;
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileReadStatus::kNotFound;
    Fail(reason, errno);
    return FileReadStatus::kError;
  }
  struct stat st;
  if (fstat(fd.get(), &st) != 0) {
    Fail(reason, errno);
    return FileReadStatus::kError;
  }
  if (!S_ISREG(st.st_mode)) {
    Fail(reason, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    return FileReadStatus::kError;
  }
  std::string data;
  char buf[16384];
  for (;;) {
    ssize_t n = read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(reason, errno);
      return FileReadStatus::kError;
    }
    if (n == 0) break;
    if (data.size() + static_cast<size_t>(n) > kMaxConfigFileBytes) {
      Fail(reason, EFBIG);
      return FileReadStatus::kError;
    }
    data.append(buf, static_cast<size_t>(n));
  }
  *bytes = std::move(data);
  return FileReadStatus::kOk;
}

bool WriteSettingsFile(const std::string& requested, const std::string& bytes, std::string* reason) {
  if (requested.empty()) return Fail(reason, EINVAL);
  std::string path = requested;
  struct stat st;
  mode_t mode = 0666;
  bool existed = false;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    // Replace what the link points to, not the link itself.
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return Fail(reason, errno);
    path = resolved;
  }
  if (stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return Fail(reason, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    // A file without any write permission is read-only even for a user who
    // could replace it through its folder.
    if ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0) return Fail(reason, EACCES);
    mode = st.st_mode & 07777;
    existed = true;
  } else if (errno != ENOENT) {
    return Fail(reason, errno);
  }

  if (ReplaceThroughTemporaryFile(path, bytes, existed, mode)) {
    // Make the new directory entry itself durable; the data already is.
    Fd dir(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) fsync(dir.get());
    return true;
  }
  const int error = errno;
  if (!existed) return Fail(reason, error);
  // A folder that refuses new files may still let its existing file be
  // written.
  if (RewriteInPlace(path, bytes)) return true;
  return Fail(reason, errno != 0 ? errno : error);
}

}  // namespace zt
