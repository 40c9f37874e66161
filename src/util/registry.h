// Registry seam.  The processor-load source (dynamic-data branch), the
// performance-counter switch and the autorun value reach the registry only
// through IRegistry, so the portable code is tested with an in-memory
// registry and the Windows implementation stays a thin layer over the
// advapi32 calls.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "util/seam.h"

namespace zt {

// LocalMachine is the machine's hive as this build sees it; on 64-bit
// Windows some of its keys (the Run key among them) are kept apart for
// 32-bit and 64-bit programs.  LocalMachineOtherView is the same hive as the
// other build sees it (the 64-bit view for the 32-bit build, the 32-bit view
// for the 64-bit one); on 32-bit Windows the two are one.
enum class RegRoot { LocalMachine, CurrentUser, DynData, LocalMachineOtherView };

// Access asked for when opening a key; the Windows layer maps these to
// KEY_READ / KEY_ALL_ACCESS.
enum class RegAccess { Read, AllAccess };

// Why a key could or could not be opened.  AccessDenied is the system
// refusing the access asked for (on Windows a user without administrator
// rights asking to write under HKEY_LOCAL_MACHINE), as opposed to a key that
// is not there or cannot be opened for another reason.
enum class RegStatus { Ok, NotFound, AccessDenied, Failed };

class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;
  // Raw value bytes, or nothing when the value is missing or unreadable.
  virtual std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) = 0;
  virtual std::optional<std::string> ReadString(const std::string& name) = 0;  // UTF-8
  virtual std::optional<uint32_t> ReadDword(const std::string& name) = 0;
  virtual bool WriteString(const std::string& name, const std::string& utf8) = 0;  // REG_SZ
  virtual bool WriteDword(const std::string& name, uint32_t value) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Opens an existing key; nullptr when it cannot be opened.  Never creates.
  virtual std::unique_ptr<IRegistryKey> OpenKey(RegRoot root, const std::string& path,
                                                RegAccess access) = 0;
  // OpenKey that also says why it failed; `status` is Ok exactly when a key
  // is returned.  A registry that cannot tell answers Failed.
  virtual std::unique_ptr<IRegistryKey> OpenKeyWithStatus(RegRoot root, const std::string& path,
                                                          RegAccess access, RegStatus& status) {
    auto key = OpenKey(root, path, access);
    status = key ? RegStatus::Ok : RegStatus::Failed;
    return key;
  }
  // Opens the key, creating it when missing; nullptr on failure.
  virtual std::unique_ptr<IRegistryKey> CreateKey(RegRoot root, const std::string& path) = 0;
  // Whether LocalMachineOtherView is a key of its own (64-bit Windows, for
  // either build).  Where it is not, it is LocalMachine again: whatever is
  // removed there is removed from this build's own view.
  virtual bool HasOtherView() = 0;
};

// The registry the program uses: the real one of this platform (on Linux an
// empty registry in which nothing can be opened or created) unless a test has
// put another in its place (ScopedOverride<IRegistry>).
template <>
IRegistry& Seam<IRegistry>::Real();
inline IRegistry& SystemRegistry() { return Seam<IRegistry>::Get(); }

}  // namespace zt
