#include "config/config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "config/config_file.h"
#include "config/ini_file.h"
#include "config/text_encoding.h"
#include "support/fake_system_language.h"
#include "util/file_write.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

// The settings file's way of writing (SaveConfig's).
bool WriteSettingsFile(const std::string& path, const std::string& bytes) {
  return WriteFileAtomically(path, bytes, nullptr, WhenNoTemporaryFile::kRewriteInPlace);
}

// The complete text of a settings file written from the defaults after the
// first showing of the window has cleared FirstLaunch.
const char kFreshFile[] =
    "[General]\r\n"
    "FirstLaunch=0\r\n"
    "AlwaysOnTop=1\r\n"
    "Rate=500\r\n"
    "GraphLength=80\r\n"
    "AlphaBlend=1\r\n"
    "AlphaBlendValue=200\r\n"
    "Transparency=1\r\n"
    "ThickerGraph=1\r\n"
    "LockForm=0\r\n"
    "UpdateSpeed=1\r\n"
    "DisplayMemory=1\r\n"
    "MemoryAsPercentage=1\r\n"
    "HideBarGraph=0\r\n"
    "NumericTrayIcons=0\r\n"
    "HideTrayWhenVisible=0\r\n"
    "AutoHideControls=1\r\n"
    "ShowFreeMemory=0\r\n"
    "UsePhysicalMemory=1\r\n"
    "DisplayEachCPU=0\r\n"
    "AppTrayMode=0\r\n"
    "AppModeHotkey=122\r\n"
    "AppModeHotkeyModifiers=3\r\n"
    "\r\n"
    "[Location]\r\n"
    "PosX=0\r\n"
    "PosY=0\r\n"
    "PosWidth=250\r\n"
    "PosHeight=105\r\n"
    "\r\n"
    "[Colors]\r\n"
    "BackgroundColor=16777215\r\n"
    "GraphCPUColor1=8388608\r\n"
    "GraphCPUColor2=8388608\r\n"
    "GraphCPUColor3=8388608\r\n"
    "GraphCPUColor4=8388608\r\n"
    "GraphMemoryColor=15780518\r\n"
    "BarColor=8388608\r\n"
    "TextColor=0\r\n"
    "\r\n";

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigToDefaults();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("zt-config-" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    SetConfigFilePath((dir_ / "zettrim.ini").u8string());
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_ / "zettrim.ini", fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
    SetConfigFilePath("");
    ResetConfigToDefaults();
  }

  void WriteIni(const std::string& text) {
    std::ofstream out(dir_ / "zettrim.ini", std::ios::binary);
    out << text;
  }
  std::string ReadIni() {
    std::ifstream in(dir_ / "zettrim.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t FilesInDir() {
    size_t n = 0;
    for (auto it = fs::directory_iterator(dir_); it != fs::directory_iterator(); ++it) ++n;
    return n;
  }

  fs::path dir_;
};

// A file that changes every value, then the reset of a new run: nothing of
// the file may stay behind.
TEST(ConfigValues, ResetPutsBackEveryValueAFileChanged) {
  ResetConfigToDefaults();
  const std::string defaults = ComposeConfigText("").value();
  std::string changed;
  for (size_t at = 0, end; (end = defaults.find("\r\n", at)) != std::string::npos; at = end + 2) {
    std::string line = defaults.substr(at, end - at);
    const size_t eq = line.find('=');
    // Every value to one it cannot have by default: 0 where it is not 0, else 1.
    if (eq != std::string::npos) line = line.substr(0, eq + 1) + (line.substr(eq + 1) == "0" ? "1" : "0");
    changed += line + "\r\n";
  }
  ApplyConfigText(changed);
  const std::string loaded = ComposeConfigText("").value();
  size_t entries = 0, entries_changed = 0;
  for (size_t at = 0, end; (end = defaults.find("\r\n", at)) != std::string::npos; at = end + 2) {
    const std::string line = defaults.substr(at, end - at + 2);
    if (line.find('=') == std::string::npos) continue;
    ++entries;
    if (loaded.find("\n" + line) == std::string::npos) ++entries_changed;
  }
  EXPECT_GT(entries, 0u);
  EXPECT_EQ(entries_changed, entries) << "every value read from the file";
  ResetConfigToDefaults();
  EXPECT_EQ(ComposeConfigText("").value(), defaults);
  EXPECT_FALSE(ConfigSaved);
}

TEST(ConfigValues, PathBesideTheExecutable) {
  EXPECT_EQ(ConfigPathForExecutable("C:\\Tools\\zettrim.exe"), "C:\\Tools\\zettrim.ini");
  EXPECT_EQ(ConfigPathForExecutable("/opt/z/zettrim.EXE"), "/opt/z/zettrim.ini");
  EXPECT_EQ(ConfigPathForExecutable("C:\\a.b\\zettrim"), "C:\\a.b\\zettrim.ini");
  EXPECT_EQ(ConfigPathForExecutable("/a.b/zettrim"), "/a.b/zettrim.ini");
  EXPECT_EQ(ConfigPathForExecutable("C:\\x\\my.tool.exe"), "C:\\x\\my.tool.ini");
  EXPECT_EQ(ConfigPathForExecutable("zettrim.exe"), "zettrim.ini");
  EXPECT_EQ(ConfigPathForExecutable("C:zettrim.exe"), "C:zettrim.ini");
  EXPECT_EQ(ConfigPathForExecutable("/home/u/.zettrim"), "/home/u/.zettrim.ini");
  EXPECT_EQ(ConfigPathForExecutable("C:\\\xE5\xB7\xA5\xE5\x85\xB7\\z.exe"),
            "C:\\\xE5\xB7\xA5\xE5\x85\xB7\\z.ini");
  EXPECT_EQ(ConfigPathForExecutable(""), "");
  SetConfigFilePath("D:\\z.ini");
  EXPECT_EQ(ConfigFilePath(), "D:\\z.ini");
  SetConfigFilePath("");
}

// The odd values of a hand-edited file, read as the program has always read
// them: unreadable numbers keep the current value, unsigned values keep only
// their low bits, hexadecimal needs "0x" and more.
TEST(ConfigValues, ReadingOddValues) {
  ResetConfigToDefaults();
  ApplyConfigText(
      "[General]\r\n"
      "AlphaBlend=yes\r\n"
      "Transparency=2\r\n"
      "ThickerGraph=0\r\n"
      "LockForm=-1\r\n"
      "Rate=65636\r\n"
      "GraphLength=-1\r\n"
      "AlphaBlendValue=300\r\n"
      "AppModeHotkey=0x\r\n"
      "AppModeHotkeyModifiers=0x0F\r\n"
      "[Location]\r\n"
      "PosX=-100\r\n"
      "PosY=2147483648\r\n"
      "PosWidth=+300\r\n"
      "PosHeight= 0x20 \r\n"
      "[Colors]\r\n"
      "BackgroundColor=0xFF\r\n"
      "TextColor=-2147483633\r\n"
      "BarColor=0xFFFFFFFF\r\n"
      "GraphCPUColor1=4294967295\r\n");
  EXPECT_TRUE(AlphaBlend);
  EXPECT_TRUE(Transparency);
  EXPECT_FALSE(ThickerGraph);
  EXPECT_TRUE(LockForm);
  EXPECT_EQ(Rate, 100);
  EXPECT_EQ(GraphLength, 65535);
  EXPECT_EQ(AlphaBlendValue, 44);
  EXPECT_EQ(AppModeHotkey, 122);
  EXPECT_EQ(AppModeHotkeyModifiers, 15);
  EXPECT_EQ(PosX, -100);
  EXPECT_EQ(PosY, 0);
  EXPECT_EQ(PosWidth, 300);
  EXPECT_EQ(PosHeight, 32);
  EXPECT_EQ(BackgroundColor, 255u);
  EXPECT_EQ(TextColor, 0x8000000Fu);  // a system colour constant
  EXPECT_EQ(BarColor, 0xFFFFFFFFu);
  EXPECT_EQ(GraphCPUColor1, 0x800000u);  // beyond a signed 32-bit decimal

  // Colours with the top bit set go back out as negative decimals.
  std::string text = ComposeConfigText("").value();
  EXPECT_NE(text.find("TextColor=-2147483633\r\n"), std::string::npos);
  EXPECT_NE(text.find("BarColor=-1\r\n"), std::string::npos);
  EXPECT_NE(text.find("GraphLength=65535\r\n"), std::string::npos);
  ResetConfigToDefaults();
}

TEST(ConfigValues, KeysAndSectionsMatchWithoutCase) {
  ResetConfigToDefaults();
  ApplyConfigText("[general]\nrate=250\nDISPLAYEACHCPU=1\n[LOCATION]\nposx=7\n");
  EXPECT_EQ(Rate, 250);
  EXPECT_TRUE(DisplayEachCPU);
  EXPECT_EQ(PosX, 7);
  // Keys in the wrong section are not found.
  ApplyConfigText("[Colors]\nRate=1\n");
  EXPECT_EQ(Rate, 250);
  ResetConfigToDefaults();
}

TEST(ConfigValues, ReadKeepsCurrentValuesWhenAbsent) {
  ResetConfigToDefaults();
  Rate = 1000;
  ApplyConfigText("[General]\nGraphLength=5\n");
  EXPECT_EQ(Rate, 1000);
  EXPECT_EQ(GraphLength, 5);
  ResetConfigToDefaults();
  EXPECT_EQ(Rate, 500);
}

TEST_F(ConfigTest, NoFileGivesDefaultsAndFirstExitWritesTheFreshFile) {
  Rate = 42;  // LoadConfig without a file changes nothing
  LoadConfig();
  EXPECT_EQ(Rate, 42);
  ResetConfigToDefaults();
  LoadConfig();
  EXPECT_TRUE(FirstLaunch);
  FirstLaunch = false;  // the first showing clears it
  SaveConfig();
  EXPECT_TRUE(ConfigSaved);
  EXPECT_EQ(ReadIni(), kFreshFile);
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}

// The language the file asks for, or the system's; whatever the file says is
// written back as it was, after the hot key, and only a file that has it or a
// language chosen in this run gets it.
TEST_F(ConfigTest, LanguageFollowsTheFileOrTheSystemAndIsWrittenBackAsItWas) {
  struct Case {
    const char* value;
    uint16_t system;
    Language expected;
  };
  for (const Case& c : {Case{"en-US", 0x0804, Language::English}, Case{"zh-CN", 0x0409, Language::Chinese},
                        Case{"", 0x0404, Language::Chinese}, Case{"fr-FR", 0x0407, Language::English}}) {
    FakeSystemLanguage system(c.system);
    ScopedOverride<ISystemLanguage> use(system);
    ResetConfigToDefaults();
    SetCurrentLanguage(c.expected == Language::Chinese ? Language::English : Language::Chinese);
    WriteIni(std::string("[General]\r\nLanguage=") + c.value + "\r\nRate=100\r\n");
    LoadConfig();
    EXPECT_EQ(CurrentLanguage(), c.expected) << c.value << " on " << c.system;
    Rate = 200;  // a change, so the file is written
    SaveConfig();
    EXPECT_NE(ReadIni().find(std::string("Language=") + c.value + "\r\n"), std::string::npos) << ReadIni();
  }
  // Chosen in a run: written after the hot key into a file that lacked it.
  ResetConfigToDefaults();
  WriteIni("[General]\r\nRate=100\r\n");
  LoadConfig();
  SetLanguageSetting("en-US");
  EXPECT_EQ(CurrentLanguage(), Language::English);
  SaveConfig();
  EXPECT_NE(ReadIni().find("AppModeHotkeyModifiers=3\r\nLanguage=en-US\r\n"), std::string::npos) << ReadIni();
  SetCurrentLanguage(Language::Chinese);
}

// Absent from a file until it is set (the fresh file above lacks it); once
// there, it stays to say that it was turned off again.
TEST_F(ConfigTest, KeepHistoryIsWrittenOnlyOnceSet) {
  WriteIni("[General]\r\nKeepHistory=1\r\n");
  SaveConfig();
  EXPECT_NE(ReadIni().find("KeepHistory=0\r\n"), std::string::npos);
}

TEST_F(ConfigTest, ShowMoreResourcesOnceSetIsWrittenAndReadBack) {  // (left out of the fresh file above)
  ShowMoreResources = true;
  SaveConfig();
  ResetConfigToDefaults();
  LoadConfig();
  EXPECT_TRUE(ShowMoreResources) << ReadIni();
}

TEST_F(ConfigTest, OnlyTheFirstSaveOfARunWrites) {
  SaveConfig();
  std::string first = ReadIni();
  Rate = 1234;
  SaveConfig();
  EXPECT_EQ(ReadIni(), first);
  ResetConfigToDefaults();  // a new run
  Rate = 1234;
  SaveConfig();
  EXPECT_NE(ReadIni().find("Rate=1234\r\n"), std::string::npos);
}

TEST_F(ConfigTest, HandEditedFileRoundTrip) {
  WriteIni(
      "; written by hand\r\n"
      "[General]\r\n"
      "AlphaBlend=yes\r\n"
      "Rate=65636\r\n"
      "AlphaBlendValue=300\r\n"
      "Plugin=on\r\n"
      "stray line\r\n"
      "[Extra]\r\n"
      "Keep=\xC4\xE3\xBA\xC3\r\n"
      "[Colors]\r\n"
      "BackgroundColor=0xFF\r\n");
  LoadConfig();
  EXPECT_TRUE(AlphaBlend);
  EXPECT_EQ(Rate, 100);
  EXPECT_EQ(AlphaBlendValue, 44);
  EXPECT_EQ(BackgroundColor, 255u);
  SaveConfig();
  std::string text = ReadIni();
  EXPECT_EQ(text.find("; written by hand"), std::string::npos);
  // The known keys take their place, unknown lines stay where they were,
  // new keys follow in write order, a missing section comes last.
  const std::string head =
      "[General]\r\nAlphaBlend=1\r\nRate=100\r\nAlphaBlendValue=44\r\nPlugin=on\r\n"
      "stray line\r\nFirstLaunch=1\r\nAlwaysOnTop=1\r\nGraphLength=80\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_NE(text.find("\r\n\r\n[Extra]\r\nKeep=\xC4\xE3\xBA\xC3\r\n\r\n[Colors]\r\n"
                      "BackgroundColor=255\r\nGraphCPUColor1=8388608"),
            std::string::npos);
  EXPECT_NE(text.find("TextColor=0\r\n\r\n[Location]\r\nPosX=0\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
  // And the program reads back exactly what it wrote.
  ResetConfigToDefaults();
  LoadConfig();
  EXPECT_EQ(ComposeConfigText(text).value(), text);
}

TEST_F(ConfigTest, FileThatCannotBeWrittenIsKeptAndReportedOnce) {
  WriteIni("[General]\r\nRate=300\r\n");
  fs::permissions(dir_ / "zettrim.ini",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  // A read-only file that already holds every value: nothing to tell.
  LoadConfig();
  SaveConfig();
  EXPECT_EQ(TakeConfigSaveFailureMessage(), "");
  // A run that changed something: the file stays, and the loss is told once.
  ResetConfigToDefaults();
  LoadConfig();
  Rate = 900;
  SaveConfig();
  SaveConfig();
  EXPECT_TRUE(ConfigSaved);
  EXPECT_EQ(ReadIni(), "[General]\r\nRate=300\r\n");
  EXPECT_EQ(FilesInDir(), 1u);
  const std::string message = TakeConfigSaveFailureMessage();
  const std::string head = "无法保存设置文件：" + (dir_ / "zettrim.ini").u8string() + "\r\n\r\n";
  EXPECT_EQ(message.rfind(head, 0), 0u) << message;
  EXPECT_GT(message.size(), head.size() + 40) << "the system's reason and the loss follow";
  EXPECT_EQ(TakeConfigSaveFailureMessage(), "");
}

// A hot key another program held at start is no change of the user's: a
// file that cannot be written loses nothing and nothing is said.  Once the
// user picks none instead, that is a change, and its loss is told.
TEST_F(ConfigTest, AHotKeyHeldElsewhereIsNoChangeButOnePickedIs) {
  WriteIni("[General]\r\nAppModeHotkey=122\r\nAppModeHotkeyModifiers=3\r\n");
  fs::permissions(dir_ / "zettrim.ini", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  LoadConfig();
  KeepRefusedHotkey(AppModeHotkey, AppModeHotkeyModifiers);
  AppModeHotkey = 0;
  AppModeHotkeyModifiers = 0;
  SaveConfig();
  EXPECT_EQ(TakeConfigSaveFailureMessage(), "");
  ConfigSaved = false;
  NoteHotkeyPicked();
  SaveConfig();
  EXPECT_NE(TakeConfigSaveFailureMessage(), "");
}

TEST_F(ConfigTest, MissingFolderIsNotCreatedAndTheLossIsTold) {
  SetConfigFilePath((dir_ / "no such folder" / "zettrim.ini").u8string());
  LoadConfig();
  EXPECT_EQ(Rate, 500);
  SaveConfig();
  EXPECT_EQ(TakeConfigSaveFailureMessage(), "") << "the defaults are no loss";
  ResetConfigToDefaults();
  PosX = 40;
  SaveConfig();
  EXPECT_TRUE(ConfigSaved);
  EXPECT_FALSE(fs::exists(dir_ / "no such folder"));
  EXPECT_NE(TakeConfigSaveFailureMessage().find("no such folder"), std::string::npos);
}

TEST_F(ConfigTest, UnreadableTargetIsNeverOverwritten) {
  // Something that exists but cannot be read as a file: saving would lose
  // its content, so nothing is written.
  fs::create_directories(dir_ / "zettrim.ini");
  LoadConfig();
  Rate = 900;
  SaveConfig();
  EXPECT_TRUE(ConfigSaved);
  EXPECT_TRUE(fs::is_directory(dir_ / "zettrim.ini"));
  EXPECT_NE(TakeConfigSaveFailureMessage(), "");
}

// A folder that refuses new files (a prepared installation folder) but lets
// its settings file be written: no temporary file can be made beside it, so
// the file is rewritten where it is.
TEST_F(ConfigTest, FolderThatRefusesNewFilesGetsTheFileRewrittenInPlace) {
  WriteIni("[General]\r\nRate=300\r\n[Extra]\r\nKeep=" + std::string(400, 'k') + "\r\n");
  const std::string target = (dir_ / "zettrim.ini").u8string();
  fs::create_directories(fs::u8path(TemporaryFileBeside(target)));  // where the temporary file would go
  LoadConfig();
  Rate = 900;
  SaveConfig();
  std::string text = ReadIni();
  EXPECT_EQ(text.rfind("[General]\r\nRate=900\r\nFirstLaunch=1\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("[Extra]\r\nKeep=" + std::string(400, 'k') + "\r\n\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 15), "TextColor=0\r\n\r\n");
  EXPECT_EQ(TakeConfigSaveFailureMessage(), "");
  // Shorter content than before: the rest of the old file is cut off.
  ASSERT_TRUE(WriteSettingsFile(target, "[General]\r\n"));
  EXPECT_EQ(ReadIni(), "[General]\r\n");
  fs::remove(fs::u8path(TemporaryFileBeside(target)));
  EXPECT_EQ(FilesInDir(), 1u);

  // A leftover temporary file of a crashed run is simply overwritten.
  { std::ofstream(fs::u8path(TemporaryFileBeside(target)), std::ios::binary) << "half a fi"; }
  EXPECT_TRUE(WriteSettingsFile(target, "new"));
  EXPECT_EQ(ReadIni(), "new");
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ConfigTest, FileAccessResults) {
  std::string bytes = "stale";
  EXPECT_EQ(ReadWholeFile((dir_ / "missing.ini").u8string(), kMaxConfigFileBytes, &bytes), FileReadStatus::kNotFound);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(ReadWholeFile((dir_ / "no" / "x.ini").u8string(), kMaxConfigFileBytes, &bytes), FileReadStatus::kNotFound);
  EXPECT_EQ(ReadWholeFile(dir_.u8string(), kMaxConfigFileBytes, &bytes), FileReadStatus::kError);
  EXPECT_EQ(ReadWholeFile("", kMaxConfigFileBytes, &bytes), FileReadStatus::kNotFound);
  EXPECT_FALSE(WriteSettingsFile((dir_ / "no" / "x.ini").u8string(), "x"));
  EXPECT_FALSE(WriteSettingsFile("", "x"));
  std::string binary("\0\r\n\xFF\x1A", 5);
  EXPECT_TRUE(WriteSettingsFile((dir_ / "b.ini").u8string(), binary));
  EXPECT_EQ(ReadWholeFile((dir_ / "b.ini").u8string(), kMaxConfigFileBytes, &bytes), FileReadStatus::kOk);
  EXPECT_EQ(bytes, binary);
  EXPECT_TRUE(WriteSettingsFile((dir_ / "b.ini").u8string(), ""));
  EXPECT_EQ(ReadWholeFile((dir_ / "b.ini").u8string(), kMaxConfigFileBytes, &bytes), FileReadStatus::kOk);
  EXPECT_EQ(bytes, "");
}

TEST_F(ConfigTest, OversizedFileIsNeitherReadNorReplaced) {
  // Written out in full: resizing would go through the C runtime's free-space
  // check on Windows, which refuses the size on some disks.
  std::string text = "[General]\r\nRate=300\r\n";
  text.resize(kMaxConfigFileBytes + 1, ' ');
  WriteIni(text);
  LoadConfig();
  EXPECT_EQ(Rate, 500);
  SaveConfig();
  EXPECT_TRUE(ConfigSaved);
  EXPECT_EQ(fs::file_size(dir_ / "zettrim.ini"), kMaxConfigFileBytes + 1);
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ConfigTest, NonAsciiFolderNames) {
  fs::path sub = dir_ / fs::u8path("\xE8\xAE\xBE\xE7\xBD\xAE");  // two CJK characters
  fs::create_directories(sub);
  SetConfigFilePath((sub / fs::u8path("\xE7\x9B\x91.ini")).u8string());
  PosX = -5;
  SaveConfig();
  EXPECT_TRUE(fs::exists(sub / fs::u8path("\xE7\x9B\x91.ini")));
  ResetConfigToDefaults();
  LoadConfig();
  EXPECT_EQ(PosX, -5);
}

// Files saved from Notepad: "UTF-8 with BOM" starts with EF BB BF before the
// first section; "Unicode" is UTF-16 with its mark.  Both are read in full
// and written back in their own encoding.
TEST_F(ConfigTest, FileWithAUtf8MarkKeepsItsFirstSection) {
  WriteIni("\xEF\xBB\xBF[General]\r\nRate=300\r\nAlphaBlend=0\r\n[Location]\r\nPosX=12\r\n");
  LoadConfig();
  EXPECT_EQ(Rate, 300);
  EXPECT_FALSE(AlphaBlend);
  EXPECT_EQ(PosX, 12);
  Rate = 400;
  SaveConfig();
  const std::string text = ReadIni();
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF[General]\r\nRate=400\r\nAlphaBlend=0\r\n", 0), 0u) << text;
  EXPECT_EQ(text.find("\xEF\xBB\xBF", 1), std::string::npos);
}

// UTF-16 of `text` with its byte-order mark, as Notepad writes it.
std::string Utf16File(const std::u16string& text, bool big_endian) {
  std::string bytes;
  for (char16_t u : u"\uFEFF" + text) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    bytes += big_endian ? hi : lo;
    bytes += big_endian ? lo : hi;
  }
  return bytes;
}

TEST_F(ConfigTest, UnicodeFileIsReadAndWrittenBackAsUnicode) {
  for (bool big_endian : {false, true}) {
    ResetConfigToDefaults();
    WriteIni(Utf16File(u"[General]\r\nRate=300\r\n[\u5907\u6CE8]\r\n\u8BF4\u660E=\U0001F600\r\n",
                       big_endian));
    LoadConfig();
    EXPECT_EQ(Rate, 300) << big_endian;
    Rate = 400;
    SaveConfig();
    const std::string text = ReadIni();
    EXPECT_EQ(text.rfind(Utf16File(u"[General]\r\nRate=400\r\n", big_endian), 0), 0u) << big_endian;
    // The unknown section, Chinese and a character beyond 16 bits, survives.
    EXPECT_NE(text.find(Utf16File(u"[\u5907\u6CE8]\r\n\u8BF4\u660E=\U0001F600\r\n", big_endian).substr(2)),
              std::string::npos)
        << big_endian;
  }
}

TEST_F(ConfigTest, UnicodeFileThatCannotBeToldIsLeftAlone) {
  // An odd number of bytes: not UTF-16 that can be written back faithfully.
  const std::string odd = Utf16File(u"[General]\r\nRate=300\r\n", false) + "x";
  WriteIni(odd);
  LoadConfig();
  EXPECT_EQ(Rate, 500);
  Rate = 400;
  SaveConfig();
  EXPECT_EQ(ReadIni(), odd);
  // Lone surrogates, though, are carried through unchanged.
  const std::string lone = Utf16File(u"[General]\r\nRate=300\r\n[X]\r\nK=", false) + "\x00\xD8\r\x00\n\x00";
  ASSERT_TRUE(DecodeText(lone).has_value());
  EXPECT_EQ(EncodeText(DecodeText(lone)->text, TextEncoding::kUtf16LE), lone);
}

// A file the program cannot read is told once, as it is read; an exit
// that changed nothing says nothing more (the first showing's centring and
// cleared FirstLaunch are what the next start does again), one that changed
// a setting says the change is lost.  The file is never touched.
TEST_F(ConfigTest, UnreadableFileIsToldOnceAtLoadAndAnExitWithoutChangesIsQuiet) {
  const std::string path = (dir_ / "zettrim.ini").u8string();
  const std::string odd = Utf16File(u"[General]\r\nRate=300\r\n", false) + "x";
  WriteIni(odd);
  LoadConfig();
  const std::string told = TakeConfigLoadFailureMessage();
  EXPECT_EQ(told.rfind("无法读取设置文件：" + path + "\r\n\r\n文件的编码无法识别。", 0), 0u) << told;
  EXPECT_NE(told.find("本次运行使用默认设置"), std::string::npos) << told;
  EXPECT_EQ(TakeConfigLoadFailureMessage(), "") << "once";
  FirstLaunch = false;
  SaveConfig();
  EXPECT_EQ(TakeConfigSaveFailureMessage(), "");
  EXPECT_EQ(ReadIni(), odd);

  ResetConfigToDefaults();
  LoadConfig();
  PosX = 835;
  PosY = 487;
  ClearFirstLaunch();
  SaveConfig();
  EXPECT_EQ(TakeConfigSaveFailureMessage(), "") << "centred again next time";

  ResetConfigToDefaults();
  LoadConfig();
  ClearFirstLaunch();
  PosX = 40;  // dragged away
  SaveConfig();
  EXPECT_EQ(TakeConfigSaveFailureMessage().rfind("无法保存设置文件：" + path, 0), 0u);

  ResetConfigToDefaults();
  LoadConfig();
  Rate = 900;
  SaveConfig();
  EXPECT_NE(TakeConfigSaveFailureMessage(), "");
  EXPECT_EQ(ReadIni(), odd);

  // Something at the path that cannot be read as a file is told the same way.
  fs::remove(dir_ / "zettrim.ini");
  fs::create_directories(dir_ / "zettrim.ini");
  ResetConfigToDefaults();
  LoadConfig();
  EXPECT_EQ(TakeConfigLoadFailureMessage().rfind("无法读取设置文件：" + path, 0), 0u);
  // A file that is read, or none at all, is nothing to tell.
  fs::remove(dir_ / "zettrim.ini");
  ResetConfigToDefaults();
  LoadConfig();
  EXPECT_EQ(TakeConfigLoadFailureMessage(), "");
  WriteIni("[General]\r\nRate=300\r\n");
  LoadConfig();
  EXPECT_EQ(TakeConfigLoadFailureMessage(), "");
}

TEST_F(ConfigTest, GarbageFilesLoadWithoutHarmAndSaveCleanly) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes = "[General]\r\n";
    size_t len = rng() % 600;
    for (size_t i = 0; i < len; ++i) bytes += static_cast<char>(rng() % 256);
    ResetConfigToDefaults();
    ApplyConfigText(bytes);
    std::string text = ComposeConfigText(bytes).value();
    // Writing again what was written changes nothing.
    ApplyConfigText(text);
    ASSERT_EQ(ComposeConfigText(text).value(), text) << "round " << round;
  }
  ResetConfigToDefaults();
}

}  // namespace
}  // namespace zt
