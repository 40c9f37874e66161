#include "shell/startup.h"

#include <gtest/gtest.h>

#include "support/fake_registry.h"

namespace zt {
namespace {

TEST(CommandLine, OnlyTheExactFirstArgumentCounts) {
  EXPECT_EQ(ParseCommandLine({}), StartAction::Run);
  EXPECT_EQ(ParseCommandLine({"/install"}), StartAction::Install);
  EXPECT_EQ(ParseCommandLine({"/uninstall"}), StartAction::Uninstall);
  EXPECT_EQ(ParseCommandLine({"/install", "/uninstall", "x"}), StartAction::Install);
  EXPECT_EQ(ParseCommandLine({"/INSTALL"}), StartAction::Run);
  EXPECT_EQ(ParseCommandLine({"-install"}), StartAction::Run);
  EXPECT_EQ(ParseCommandLine({"/install "}), StartAction::Run);
  EXPECT_EQ(ParseCommandLine({"x", "/install"}), StartAction::Run);
  EXPECT_EQ(ParseCommandLine({""}), StartAction::Run);
}

TEST(Texts, PromptsCarryTheTitle) {
  EXPECT_EQ(InstallPrompt(), "在Windows启动时运行Zettrim吗？");
  EXPECT_EQ(UninstallRunningWarning(),
            "看来，Zettrim当前正在运行。\r\n\r\n请关闭它，然后才能继续......");
  EXPECT_EQ(ProgramVersion(), "2.0");
  EXPECT_EQ(BuildDate(), "2013-12-16");
  EXPECT_STREQ(kInstanceMutexName, "Zettrim [by quorl] @ Harnet Olvey");
}

class AutorunTest : public ::testing::Test {
 protected:
  FakeRegistry reg;
  const std::string exe = "C:\\Program Files\\Zettrim\\zettrim.exe";
  FakeRegistry::Key& RunKey() { return reg.At(RegRoot::LocalMachine, kAutorunKey); }
  std::string Stored() {
    auto key = reg.OpenKey(RegRoot::LocalMachine, kAutorunKey, RegAccess::Read);
    auto v = key ? key->ReadString("Zettrim") : std::nullopt;
    return v ? *v : "<none>";
  }
};

TEST_F(AutorunTest, EnableWritesTheQuotedPathAndCreatesTheKey) {
  EXPECT_FALSE(reg.HasKey(RegRoot::LocalMachine, kAutorunKey));
  EXPECT_FALSE(IsAutorunEnabled(reg, exe));
  SetAutorun(reg, true, exe);
  EXPECT_EQ(Stored(), "\"" + exe + "\"");
  EXPECT_TRUE(IsAutorunEnabled(reg, exe));
}

TEST_F(AutorunTest, QueryAcceptsQuotedOrUnquotedAndIgnoresCase) {
  SetAutorun(reg, true, exe);
  RunKey().values["zettrim"].bytes.assign(exe.begin(), exe.end());  // old unquoted form
  EXPECT_TRUE(IsAutorunEnabled(reg, exe));
  EXPECT_TRUE(IsAutorunEnabled(reg, "c:\\PROGRAM FILES\\zettrim\\ZETTRIM.EXE"));
  EXPECT_FALSE(IsAutorunEnabled(reg, "D:\\moved\\zettrim.exe"));
  EXPECT_FALSE(IsAutorunEnabled(reg, "\"" + exe));
}

// A user without administrator rights may read the machine's key but not
// write it: the value that is there still counts.
TEST_F(AutorunTest, QueryNeedsOnlyReadAccess) {
  SetAutorun(reg, true, exe);
  RunKey().read_only = true;
  EXPECT_TRUE(IsAutorunEnabled(reg, exe));
}

TEST_F(AutorunTest, DisableRemovesOnlyTheValueAndIsSilentWhenAbsent) {
  EXPECT_NO_THROW(SetAutorun(reg, false, exe));  // no key at all
  SetAutorun(reg, true, exe);
  RunKey().values["other"] = FakeRegistry::Value{};
  SetAutorun(reg, false, exe);
  EXPECT_EQ(Stored(), "<none>");
  EXPECT_TRUE(reg.HasKey(RegRoot::LocalMachine, kAutorunKey));
  EXPECT_EQ(RunKey().values.count("other"), 1u);
  EXPECT_NO_THROW(SetAutorun(reg, false, exe));  // value already gone
}

TEST_F(AutorunTest, RefusedWritesRaiseTheirMessages) {
  reg.refuse_create = true;
  try {
    SetAutorun(reg, true, exe);
    FAIL() << "expected EAutorun";
  } catch (const EAutorun& e) {
    EXPECT_STREQ(e.what(), "Failed to create key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  }
  reg.refuse_create = false;
  RunKey();  // the key exists, but is read-only
  RunKey().read_only = true;
  EXPECT_THROW(SetAutorun(reg, true, exe), EAutorun);
  EXPECT_FALSE(IsAutorunEnabled(reg, exe));
}

TEST_F(AutorunTest, ReadOnlyKeyGivesSetDataMessage) {
  // The key opens for creation but the value cannot be written.
  class NoWriteKey : public IRegistryKey {
   public:
    std::optional<std::vector<uint8_t>> ReadBinary(const std::string&) override { return {}; }
    std::optional<std::string> ReadString(const std::string&) override { return {}; }
    std::optional<uint32_t> ReadDword(const std::string&) override { return {}; }
    bool WriteString(const std::string&, const std::string&) override { return false; }
    bool WriteDword(const std::string&, uint32_t) override { return false; }
    bool DeleteValue(const std::string&) override { return false; }
  };
  class NoWriteRegistry : public IRegistry {
   public:
    std::unique_ptr<IRegistryKey> OpenKey(RegRoot, const std::string&, RegAccess) override {
      return std::make_unique<NoWriteKey>();
    }
    std::unique_ptr<IRegistryKey> CreateKey(RegRoot, const std::string&) override {
      return std::make_unique<NoWriteKey>();
    }
  } no_write;
  try {
    SetAutorun(no_write, true, exe);
    FAIL() << "expected EAutorun";
  } catch (const EAutorun& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'Zettrim'");
  }
}

}  // namespace
}  // namespace zt
