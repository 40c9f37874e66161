#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "util/file_write.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

constexpr auto kInPlace = WhenNoTemporaryFile::kRewriteInPlace;

class FileWriteLinux : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zt-cfl-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    target_ = (dir_ / "zettrim.ini").string();
    std::ofstream(target_, std::ios::binary) << "[General]\r\nRate=300\r\n";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
  std::string target_;
};

// A write that stops half-way (the disk fills up) must not leave a
// truncated settings file: the file size limit makes write() fail the same
// way a full disk does.
TEST_F(FileWriteLinux, DiskFullLeavesTheOldFile) {
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string reason;
  bool ok = WriteFileAtomically(target_, std::string(100000, 'x'), &reason, kInPlace);
  // The same when no temporary file can be made and the file is rewritten
  // where it is.
  fs::create_directories(TemporaryFileBeside(target_));
  bool in_place_ok = WriteFileAtomically(target_, std::string(100000, 'x'), nullptr, kInPlace);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  fs::remove(TemporaryFileBeside(target_));
  EXPECT_FALSE(ok);
  EXPECT_FALSE(in_place_ok);
  EXPECT_EQ(reason, std::strerror(EFBIG));
  EXPECT_EQ(Read(target_), "[General]\r\nRate=300\r\n");
  EXPECT_FALSE(fs::exists(TemporaryFileBeside(target_)));
}

TEST_F(FileWriteLinux, KeepsPermissionsAndFollowsLinks) {
  ASSERT_EQ(chmod(target_.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(target_, "one", nullptr, kInPlace));
  struct stat st;
  ASSERT_EQ(stat(target_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  // Rewritten in place, it is the same file.
  fs::create_directories(TemporaryFileBeside(target_));
  ASSERT_TRUE(WriteFileAtomically(target_, "one, longer", nullptr, kInPlace));
  fs::remove(TemporaryFileBeside(target_));
  struct stat again;
  ASSERT_EQ(stat(target_.c_str(), &again), 0);
  EXPECT_EQ(again.st_ino, st.st_ino);
  EXPECT_EQ(again.st_mode & 07777, 0640u);
  EXPECT_EQ(Read(target_), "one, longer");

  // A settings file that is a link: the file it points to is replaced and
  // the link stays a link.
  const std::string link = (dir_ / "link.ini").string();
  ASSERT_EQ(symlink(target_.c_str(), link.c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(link, "two", nullptr, kInPlace));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(target_), "two");
}

}  // namespace
}  // namespace zt
