// The real registry, over the advapi32 wide-character calls.
#include <windows.h>

#include "util/dynamic_calls_win.h"
#include "util/handles_win.h"
#include "util/registry.h"
#include "util/unicode_win.h"

namespace zt {

namespace {

HKEY RootHandle(RegRoot root) {
  switch (root) {
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::DynData: return HKEY_DYN_DATA;
    case RegRoot::LocalMachineOtherView: return HKEY_LOCAL_MACHINE;
  }
  return HKEY_LOCAL_MACHINE;
}

// The view flag a root asks for; none for this build's own view.
REGSAM ViewOf(RegRoot root) {
  if (root != RegRoot::LocalMachineOtherView) return 0;
  return sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

// A 64-bit build runs on 64-bit Windows only; a 32-bit one there runs under
// WOW64.  On 32-bit Windows the system ignores the view flags.
bool MachineHasTwoViews() {
  if (sizeof(void*) == 8) return true;
  const Kernel32Calls& kernel = Kernel32();
  // The older call answers FALSE for an x86 program on ARM64 Windows, which
  // keeps the two views all the same; the newer one (Windows 10 1709 on)
  // tells every emulated program apart.
  if (kernel.IsWow64Process2) {
    USHORT process = IMAGE_FILE_MACHINE_UNKNOWN, native = IMAGE_FILE_MACHINE_UNKNOWN;
    if (kernel.IsWow64Process2(GetCurrentProcess(), &process, &native)) return process != IMAGE_FILE_MACHINE_UNKNOWN;
  }
  // Before Windows XP there was no 64-bit Windows, nor this call.
  BOOL wow64 = FALSE;
  return kernel.IsWow64Process && kernel.IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

class WinKey : public IRegistryKey {
 public:
  explicit WinKey(HKEY key) : key_(key) {}

  std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) override {
    std::wstring wname = Widen(name);
    DWORD size = 0;
    if (RegQueryValueExW(key_.get(), wname.c_str(), nullptr, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    std::vector<uint8_t> data(size);
    if (RegQueryValueExW(key_.get(), wname.c_str(), nullptr, nullptr, data.data(), &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    data.resize(size);
    return data;
  }

  std::optional<std::string> ReadString(const std::string& name) override {
    std::wstring wname = Widen(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key_.get(), wname.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
      return std::nullopt;
    std::wstring buf(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key_.get(), wname.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buf.data()), &bytes) != ERROR_SUCCESS)
      return std::nullopt;
    buf.resize(bytes / sizeof(wchar_t));
    while (!buf.empty() && buf.back() == L'\0') buf.pop_back();
    return Narrow(buf);
  }

  std::optional<uint32_t> ReadDword(const std::string& name) override {
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExW(key_.get(), Widen(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
      return std::nullopt;
    return value;
  }

  bool WriteString(const std::string& name, const std::string& utf8) override {
    std::wstring data = Widen(utf8);
    return RegSetValueExW(key_.get(), Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
  }

  bool WriteDword(const std::string& name, uint32_t value) override {
    DWORD v = value;
    return RegSetValueExW(key_.get(), Widen(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&v), sizeof(v)) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueW(key_.get(), Widen(name).c_str()) == ERROR_SUCCESS;
  }

 private:
  UniqueHKey key_;
};

class WinRegistry : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> OpenKey(RegRoot root, const std::string& path,
                                        RegAccess access) override {
    RegStatus status;
    return OpenKeyWithStatus(root, path, access, status);
  }

  std::unique_ptr<IRegistryKey> OpenKeyWithStatus(RegRoot root, const std::string& path,
                                                  RegAccess access, RegStatus& status) override {
    HKEY key = nullptr;
    const REGSAM sam = (access == RegAccess::AllAccess ? KEY_ALL_ACCESS : KEY_READ) | ViewOf(root);
    const LONG rc = RegOpenKeyExW(RootHandle(root), Widen(path).c_str(), 0, sam, &key);
    switch (rc) {
      case ERROR_SUCCESS: status = RegStatus::Ok; break;
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND: status = RegStatus::NotFound; break;
      case ERROR_ACCESS_DENIED: status = RegStatus::AccessDenied; break;
      default: status = RegStatus::Failed; break;
    }
    if (rc != ERROR_SUCCESS) return nullptr;
    return std::make_unique<WinKey>(key);
  }

  std::unique_ptr<IRegistryKey> CreateKey(RegRoot root, const std::string& path) override {
    HKEY key = nullptr;
    if (RegCreateKeyExW(RootHandle(root), Widen(path).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | ViewOf(root), nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return nullptr;
    return std::make_unique<WinKey>(key);
  }

  bool HasOtherView() override {
    static const bool two_views = MachineHasTwoViews();
    return two_views;
  }
};

}  // namespace

ZT_SEAM_REAL(IRegistry, WinRegistry)

}  // namespace zt
