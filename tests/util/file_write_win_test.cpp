#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "util/file_write.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

constexpr auto kInPlace = WhenNoTemporaryFile::kRewriteInPlace;

TEST(FileWriteWin, ReadsFilesOthersHaveOpenKeepsHiddenRefusesReadOnly) {
  fs::path dir = fs::temp_directory_path() / ("zt-cfw-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const std::string target = (dir / "zettrim.ini").u8string();
  { std::ofstream(dir / "zettrim.ini", std::ios::binary) << "old"; }

  // Someone (an editor, a virus scanner) has the file open for reading.
  HANDLE reader = CreateFileW(Widen(target).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::string bytes;
  EXPECT_EQ(ReadWholeFile(target, 100, &bytes), FileReadStatus::kOk);
  EXPECT_EQ(bytes, "old");
  CloseHandle(reader);

  ASSERT_TRUE(SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_HIDDEN));
  const bool hidden_sticks =
      (GetFileAttributesW(Widen(target).c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0;
  EXPECT_TRUE(WriteFileAtomically(target, "new", nullptr, kInPlace));
  EXPECT_EQ(ReadWholeFile(target, 100, &bytes), FileReadStatus::kOk);
  EXPECT_EQ(bytes, "new");
  if (hidden_sticks) {
    EXPECT_NE(GetFileAttributesW(Widen(target).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  }

  // Rewritten in place (no temporary file can be made beside it), it stays
  // hidden as well.
  fs::create_directories(fs::u8path(TemporaryFileBeside(target)));
  EXPECT_TRUE(WriteFileAtomically(target, "in place, and longer", nullptr, kInPlace));
  fs::remove(fs::u8path(TemporaryFileBeside(target)));
  EXPECT_EQ(ReadWholeFile(target, 100, &bytes), FileReadStatus::kOk);
  EXPECT_EQ(bytes, "in place, and longer");
  if (hidden_sticks) {
    EXPECT_NE(GetFileAttributesW(Widen(target).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  }

  // A read-only file is not replaced; the system's reason comes back.
  ASSERT_TRUE(SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_READONLY));
  std::string reason;
  EXPECT_FALSE(WriteFileAtomically(target, "newer", &reason, kInPlace));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(ReadWholeFile(target, 100, &bytes), FileReadStatus::kOk);
  EXPECT_EQ(bytes, "in place, and longer");
  SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_NORMAL);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace zt
