#include "util/dynamic_calls_win.h"

#include <string>
#include <type_traits>

namespace zt {
namespace {

// From the system folder by its full path, never from the program's folder
// or the current one.
HMODULE SystemLibrary(const wchar_t* name) {
  if (HMODULE loaded = GetModuleHandleW(name)) return loaded;
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

// A list, looked up on the first call in the library `module()` answers
// (a static of its own for each list, as each is asked for in one place).
template <typename Calls, typename Module>
const Calls& Resolved(Module module) {
  static const Calls calls = [&] {
    Calls list;
    if (HMODULE library = module()) {
      list.Fill([library](const char* name, auto& entry) {
        // Through a plain function pointer: the compiler warns of a cast
        // between function types that do not match, which every one here is.
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
      });
    }
    return list;
  }();
  return calls;
}

}  // namespace

const Kernel32Calls& Kernel32() { return Resolved<Kernel32Calls>([] { return GetModuleHandleW(L"kernel32.dll"); }); }
const User32Calls& User32() { return Resolved<User32Calls>([] { return GetModuleHandleW(L"user32.dll"); }); }
const NtdllCalls& Ntdll() { return Resolved<NtdllCalls>([] { return GetModuleHandleW(L"ntdll.dll"); }); }
const ShcoreCalls& Shcore() { return Resolved<ShcoreCalls>([] { return SystemLibrary(L"shcore.dll"); }); }
const PdhCalls& Pdh() { return Resolved<PdhCalls>([] { return SystemLibrary(L"pdh.dll"); }); }
const IphlpapiCalls& Iphlpapi() { return Resolved<IphlpapiCalls>([] { return SystemLibrary(L"iphlpapi.dll"); }); }

}  // namespace zt
