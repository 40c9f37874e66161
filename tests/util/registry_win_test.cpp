// The real registry tells a missing key from one it refuses: the
// performance-counter switch skips the first and reports the second.
#include "util/registry.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

namespace zt {
namespace {

TEST(WinRegistry, TellsWhyAKeyCouldNotBeOpened) {
  IRegistry& registry = Seam<IRegistry>::Real();
  RegStatus status = RegStatus::Failed;
  auto missing = registry.OpenKeyWithStatus(
      RegRoot::LocalMachine, "SOFTWARE\\Zettrim test key that is not there", RegAccess::AllAccess,
      status);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(status, RegStatus::NotFound);

  auto present = registry.OpenKeyWithStatus(RegRoot::CurrentUser, "Software", RegAccess::Read,
                                            status);
  EXPECT_NE(present, nullptr);
  EXPECT_EQ(status, RegStatus::Ok);
}

// The machine's software keys are two on 64-bit Windows: a value written in
// this build's view is not in the other's, and each view removes its own.
TEST(WinRegistry, TheOtherViewOfTheMachineIsAnotherKey) {
  SYSTEM_INFO info = {};
  GetNativeSystemInfo(&info);
  ASSERT_NE(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL) << "a 64-bit system has two views";
  IRegistry& registry = Seam<IRegistry>::Real();
  EXPECT_TRUE(registry.HasOtherView());
  const std::string path = "SOFTWARE\\Zettrim view test " + std::to_string(GetCurrentProcessId());
  for (RegRoot view : {RegRoot::LocalMachine, RegRoot::LocalMachineOtherView}) {
    auto key = registry.CreateKey(view, path);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->WriteDword("view", static_cast<uint32_t>(view)));
  }
  for (RegRoot view : {RegRoot::LocalMachine, RegRoot::LocalMachineOtherView}) {
    auto key = registry.OpenKey(view, path, RegAccess::AllAccess);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadDword("view"), static_cast<uint32_t>(view));
    key->DeleteValue("view");
  }
  const std::wstring wpath(path.begin(), path.end());
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, wpath.c_str(), view, 0);
}

}  // namespace
}  // namespace zt
