// A whole file written so that its name never holds a part of it.
#include "util/file_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifdef _WIN32
#include <windows.h>

#include "util/handles_win.h"
#include "util/unicode_win.h"
#endif

namespace zt {
namespace {

namespace fs = std::filesystem;

class FileWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zt-write-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Path(const char* name) const { return (dir_ / name).u8string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t Entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
  fs::path dir_;
};

TEST_F(FileWriteTest, ANewFileAndAReplacedOneHoldExactlyTheBytesAndNothingIsLeftBeside) {
  const std::string path = Path("报告.txt");
  const std::string first = "Library\tVersion\t4.3.01\n#0\tName\tPentium\xC2\xAE\n";
  ASSERT_TRUE(WriteFileAtomically(path, first));
  EXPECT_EQ(Read(path), first);
  ASSERT_TRUE(WriteFileAtomically(path, "short\n"));
  EXPECT_EQ(Read(path), "short\n") << "a longer old content leaves nothing behind";
  EXPECT_EQ(Entries(), 1u) << "no temporary file stays";
}

TEST_F(FileWriteTest, AFailedWriteSaysWhyAndLeavesNothingUnderTheName) {
  std::string reason;
  const std::string in_missing_folder = (dir_ / "missing" / "zettrim-cpuinfo.txt").u8string();
  EXPECT_FALSE(WriteFileAtomically(in_missing_folder, "text", &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(fs::exists(fs::u8path(in_missing_folder)));

  // A folder under the name: it stays, and no temporary file is left.
  fs::create_directories(dir_ / "taken");
  std::ofstream(dir_ / "taken" / "inside.txt") << "kept";
  reason.clear();
  EXPECT_FALSE(WriteFileAtomically(Path("taken"), "text", &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
  EXPECT_EQ(Read((dir_ / "taken" / "inside.txt").u8string()), "kept");
  EXPECT_EQ(Entries(), 1u);
  EXPECT_FALSE(fs::exists(fs::u8path(TemporaryFileBeside(Path("taken")))));
}

#ifdef _WIN32
// A write refused part-way (here by a range another handle has locked, as a
// full disk refuses the rest): the file is cut back to what it held, and
// the reason is the system's.
TEST_F(FileWriteTest, AnAppendRefusedPartWayIsCutBackOff) {
  const std::string path = Path("kept.csv");
  const std::string before = "heading\r\nrow";  // no line break: one goes first
  ASSERT_TRUE(WriteFileAtomically(path, before));
  UniqueFile other(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(other);
  const DWORD locked_from = static_cast<DWORD>(before.size()) + (3u << 20) / 2;
  ASSERT_TRUE(LockFile(other.get(), locked_from, 0, 4096, 0));
  std::string reason;
  EXPECT_FALSE(AppendLines(path, "unused heading\r\n", std::string(3u << 20, 'x') + "\r\n", &reason));
  EXPECT_FALSE(reason.empty());
  UnlockFile(other.get(), locked_from, 0, 4096, 0);
  EXPECT_EQ(Read(path), before);
  ASSERT_TRUE(AppendLines(path, "unused heading\r\n", "next\r\n", &reason));
  EXPECT_EQ(Read(path), before + "\r\nnext\r\n");
}
#endif

}  // namespace
}  // namespace zt
