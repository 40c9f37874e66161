// A whole file written so that its name never holds a part of it.
#include "util/file_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>

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

// Where no temporary file can be made beside it, a file is rewritten where
// it stands only for the caller that asks for it (the settings file);
// anyone else's save fails and leaves the old content whole.
TEST_F(FileWriteTest, OnlyTheCallerThatAsksForItGetsARewriteInPlace) {
  const std::string path = Path("history.csv");
  ASSERT_TRUE(WriteFileAtomically(path, "old"));
  fs::create_directories(fs::u8path(TemporaryFileBeside(path)));
  EXPECT_FALSE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(Read(path), "old");
  EXPECT_TRUE(WriteFileAtomically(path, "newer", nullptr, WhenNoTemporaryFile::kRewriteInPlace));
  EXPECT_EQ(Read(path), "newer");
}

#ifdef _WIN32
// Run with the size of a file limited (tests/CMakeLists.txt): an append that
// reaches the limit is written in part, then refused, as on a full disk.
// The file is cut back to what it held, and the reason is the refusal's,
// not a success's.
TEST_F(FileWriteTest, AnAppendRefusedPartWayIsCutBackOffUnderAFileSizeLimit) {
  const char* limit = std::getenv("ZT_FILE_SIZE_LIMIT");
  ASSERT_NE(limit, nullptr) << "run by util_tests.file_size_limit";
  const std::string path = Path("kept.csv");
  const std::string before = "heading\r\nrow";  // no line break: one goes first
  ASSERT_TRUE(WriteFileAtomically(path, before));
  std::string reason;
  EXPECT_FALSE(AppendLines(path, "", std::string(std::strtoul(limit, nullptr, 10) + (1u << 20), 'x'), &reason));
  // Not what the calls before the write left behind: the append's opening
  // of an existing file, or a success.
  for (DWORD stale : {ERROR_SUCCESS, ERROR_ALREADY_EXISTS}) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, stale, 0, text, 512, nullptr);
    EXPECT_EQ(Narrow(text).find(reason), std::string::npos) << reason;
  }
  EXPECT_TRUE(Read(path) == before) << "cut back to " << before.size() << " bytes, not " << Read(path).size();
  ASSERT_TRUE(AppendLines(path, "", "next\r\n", &reason));
  EXPECT_EQ(Read(path), before + "\r\nnext\r\n");
}
#endif

}  // namespace
}  // namespace zt
