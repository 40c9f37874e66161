#include "app/startup.h"

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
}

class AutorunTest : public ::testing::Test {
 protected:
  FakeRegistry reg;
  const std::string exe = "C:\\Program Files\\Zettrim\\zettrim.exe";
  FakeRegistry::Key& RunKey(RegRoot root = RegRoot::LocalMachine) { return reg.At(root, kAutorunKey); }
  std::string Stored(RegRoot root = RegRoot::LocalMachine) {
    auto key = reg.OpenKey(root, kAutorunKey, RegAccess::Read);
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
  RunKey().read_only = true;  // both keys exist, but neither may be written
  RunKey(RegRoot::CurrentUser).read_only = true;
  EXPECT_THROW(SetAutorun(reg, true, exe), EAutorun);
  EXPECT_FALSE(IsAutorunEnabled(reg, exe));
}

// An unelevated run: the machine's key refuses writing, the user's takes the
// same quoted value; switching off removes what it can and the query tells
// what is left.
TEST_F(AutorunTest, ARefusedMachineKeyFallsBackToTheUsersKey) {
  RunKey().read_only = true;
  EXPECT_NO_THROW(SetAutorun(reg, true, exe));
  EXPECT_EQ(Stored(RegRoot::CurrentUser), "\"" + exe + "\"");
  EXPECT_EQ(Stored(), "<none>");
  EXPECT_TRUE(IsAutorunEnabled(reg, exe));
  SetAutorun(reg, false, exe);
  EXPECT_EQ(Stored(RegRoot::CurrentUser), "<none>");
  EXPECT_FALSE(IsAutorunEnabled(reg, exe));

  // A value an administrator put in the machine's key stays where this user
  // cannot delete it, and the box keeps saying so.
  RunKey().values["zettrim"] = {FakeRegistry::Value::String, {exe.begin(), exe.end()}};
  SetAutorun(reg, false, exe);
  EXPECT_TRUE(IsAutorunEnabled(reg, exe));
}

TEST_F(AutorunTest, AnElevatedSwitchUsesTheMachineKeyAndClearsTheUsersCopy) {
  RunKey().read_only = true;
  SetAutorun(reg, true, exe);  // unelevated: the user's key
  RunKey().read_only = false;
  SetAutorun(reg, true, exe);  // elevated later: one value, in the machine's key
  EXPECT_EQ(Stored(), "\"" + exe + "\"");
  EXPECT_EQ(Stored(RegRoot::CurrentUser), "<none>");

  RunKey(RegRoot::CurrentUser).values["zettrim"] = {FakeRegistry::Value::String, {exe.begin(), exe.end()}};
  SetAutorun(reg, false, exe);  // off, as /uninstall does: both keys
  EXPECT_EQ(Stored(), "<none>");
  EXPECT_EQ(Stored(RegRoot::CurrentUser), "<none>");
  EXPECT_FALSE(IsAutorunEnabled(reg, exe));
}

// On 64-bit Windows the other build sees a machine key of its own: its value
// counts here, goes with this build's "off" (and /uninstall), and gives way
// to the one this build writes in its own view.
TEST_F(AutorunTest, TheOtherBuildsViewOfTheMachineKeyIsReadAndCleared) {
  const std::string quoted = "\"" + exe + "\"";
  const FakeRegistry::Value other = {FakeRegistry::Value::String, {quoted.begin(), quoted.end()}};
  RunKey(RegRoot::LocalMachineOtherView).values["zettrim"] = other;
  EXPECT_TRUE(IsAutorunEnabled(reg, exe));
  SetAutorun(reg, false, exe);
  EXPECT_EQ(Stored(RegRoot::LocalMachineOtherView), "<none>");
  EXPECT_FALSE(IsAutorunEnabled(reg, exe));

  RunKey(RegRoot::LocalMachineOtherView).values["zettrim"] = other;
  SetAutorun(reg, true, exe);
  EXPECT_EQ(Stored(), quoted);
  EXPECT_EQ(Stored(RegRoot::LocalMachineOtherView), "<none>");
}

// On 32-bit Windows "the other view" is the one just written.
TEST_F(AutorunTest, OnAMachineWithOneViewTheWrittenValueStays) {
  reg.one_view = true;
  SetAutorun(reg, true, exe);
  EXPECT_EQ(Stored(), "\"" + exe + "\"");
  EXPECT_TRUE(IsAutorunEnabled(reg, exe));
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
    bool HasOtherView() override { return true; }
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
