// The settings file on Linux: the system's calls under the portable rules
// of config_file_rules.h.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "config/config_file_system.h"

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

namespace config_rules {

static int Fd(const SystemFile& file) { return static_cast<int>(file.handle); }

SystemFile::~SystemFile() {
  if (handle >= 0) close(Fd(*this));
}

bool SystemFile::Read(char* buffer, size_t size, size_t* got, int* error) {
  for (;;) {
    const ssize_t n = read(Fd(*this), buffer, size);
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

bool SystemFile::Write(const std::string& bytes, int* error) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = pwrite(Fd(*this), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failed(error);
    }
    if (n == 0) {
      *error = EIO;
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

  static bool Open(const std::string& path, bool rewrite, SystemFile* file, int* error) {
    const int fd = open(path.c_str(), rewrite ? O_WRONLY | O_CLOEXEC | O_NOFOLLOW : O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Failed(error);
    file->handle = fd;
    if (rewrite) return true;
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

}  // namespace config_rules

}  // namespace zt

// The rules over these calls: the functions of config_file.h.
#include "config/config_file_rules.h"
