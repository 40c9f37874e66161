// Files on Linux: the system's calls under the portable rules of
// file_write_rules.h, and the lock.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "util/file_write.h"
#include "util/file_write_system.h"

namespace zt {

namespace {

bool Failed(int* error) {
  *error = errno;
  return false;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

namespace file_rules {

static int Fd(const SystemFile& file) { return static_cast<int>(file.handle); }

SystemFile::~SystemFile() {
  if (handle >= 0) close(Fd(*this));
}

bool SystemFile::ReadAt(uint64_t offset, char* buffer, size_t size, size_t* got, int* error) {
  for (;;) {
    const ssize_t n = pread(Fd(*this), buffer, size, static_cast<off_t>(offset));
    if (n >= 0) {
      *got = static_cast<size_t>(n);
      return true;
    }
    if (errno != EINTR) return Failed(error);
  }
}

bool SystemFile::Size(uint64_t* size, int* error) {
  struct stat st;
  if (fstat(Fd(*this), &st) != 0) return Failed(error);
  *size = static_cast<uint64_t>(st.st_size);
  return true;
}

// On a file opened to append, the system puts every write at its end,
// whatever the offset says.
bool SystemFile::WriteAt(uint64_t offset, std::string_view bytes, int* error) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = pwrite(Fd(*this), bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failed(error);
    }
    if (n == 0) {
      *error = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool SystemFile::Reserve(uint64_t size, int* error) {
  const int r = posix_fallocate(Fd(*this), 0, static_cast<off_t>(size));
  if (r != 0) *error = r;
  return r == 0;
}

bool SystemFile::Truncate(uint64_t size, int* error) {
  return ftruncate(Fd(*this), static_cast<off_t>(size)) == 0 ? true : Failed(error);
}

bool SystemFile::Flush(int* error) { return fsync(Fd(*this)) == 0 ? true : Failed(error); }

bool SystemFile::Close(int* error) {
  const int fd = Fd(*this);
  handle = -1;
  return fd < 0 || close(fd) == 0 ? true : Failed(error);
}

// The calls the rules are written over.
struct SystemFiles {
  static int CodeFor(Refusal refusal) {
    switch (refusal) {
      case Refusal::kFolder: return EISDIR;
      case Refusal::kReadOnly: return EACCES;
      case Refusal::kTooLarge: return EFBIG;
      case Refusal::kNoName:
      case Refusal::kNotAFile: break;
    }
    return EINVAL;
  }

  static std::string ErrorText(int code) { return std::strerror(code); }

  static bool IsNotFound(int code) { return code == ENOENT || code == ENOTDIR; }

  static uint32_t ProcessId() { return static_cast<uint32_t>(getpid()); }

  static bool Inspect(const std::string& requested, Target* target, int* error) {
    target->path = requested;
    struct stat st;
    if (lstat(requested.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      // Replace what the link points to, not the link itself.
      char resolved[PATH_MAX];
      if (realpath(requested.c_str(), resolved) == nullptr) return Failed(error);
      target->path = resolved;
    }
    if (stat(target->path.c_str(), &st) != 0) return errno == ENOENT ? true : Failed(error);
    target->exists = true;
    target->folder = S_ISDIR(st.st_mode);
    target->regular = S_ISREG(st.st_mode);
    target->read_only = (st.st_mode & 0222) == 0 || access(target->path.c_str(), W_OK) != 0;
    target->kept = st.st_mode & 07777;
    return true;
  }

  static bool Open(const std::string& path, Access access, SystemFile* file, int* error) {
    const int flags = access == Access::kRead      ? O_RDONLY
                      : access == Access::kRewrite ? O_WRONLY | O_NOFOLLOW
                                                   : O_RDWR | O_CREAT | O_APPEND;
    const int fd = open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) return Failed(error);
    file->handle = fd;
    if (access != Access::kRead) return true;
    struct stat st;
    if (fstat(fd, &st) != 0) return Failed(error);
    if (S_ISREG(st.st_mode)) return true;
    *error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }

  static bool CreateReplacement(const std::string& temp, const Target& target, SystemFile* file, int* error) {
    // A leftover of a crashed run is removed, so the file made here is new
    // and ours alone.
    unlink(temp.c_str());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return Failed(error);
    file->handle = fd;
    if (!target.exists || fchmod(fd, static_cast<mode_t>(target.kept)) == 0) return true;
    Failed(error);
    int ignored = 0;
    file->Close(&ignored);
    Remove(temp);
    return false;
  }

  static bool MoveIntoPlace(const std::string& temp, const Target& target, bool*, int* error) {
    if (rename(temp.c_str(), target.path.c_str()) != 0) return Failed(error);
    // Make the new directory entry itself durable; the data already is.
    const int dir = open(FolderOf(target.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
    return true;
  }

  static void Remove(const std::string& path) {
    const int saved = errno;
    unlink(path.c_str());
    errno = saved;
  }
};

}  // namespace file_rules

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

// The rules over these calls: the functions of file_write.h.
#include "util/file_write_rules.h"
