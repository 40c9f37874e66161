#include "util/dynamic_calls_win.h"

#include <string>

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

template <typename Fn>
void LookUp(HMODULE module, const char* name, Fn& entry) {
  // Through a plain function pointer: the compiler warns of a cast between
  // function types that do not match, which every one here is.
  entry = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

template <typename Calls, typename Fill>
Calls Filled(HMODULE module, Fill fill) {
  Calls calls;
  if (module) fill(module, calls);
  return calls;
}

}  // namespace

#define ZT_LOOK_UP(name, result, arguments) LookUp(module, #name, calls.name);

const Kernel32Calls& Kernel32() {
  static const auto list = Filled<Kernel32Calls>(
      GetModuleHandleW(L"kernel32.dll"), [](HMODULE module, Kernel32Calls& calls) { ZT_KERNEL32_CALLS(ZT_LOOK_UP) });
  return list;
}

const User32Calls& User32() {
  static const auto list = Filled<User32Calls>(
      GetModuleHandleW(L"user32.dll"), [](HMODULE module, User32Calls& calls) { ZT_USER32_CALLS(ZT_LOOK_UP) });
  return list;
}

const NtdllCalls& Ntdll() {
  static const auto list = Filled<NtdllCalls>(
      GetModuleHandleW(L"ntdll.dll"), [](HMODULE module, NtdllCalls& calls) { ZT_NTDLL_CALLS(ZT_LOOK_UP) });
  return list;
}

const ShcoreCalls& Shcore() {
  static const auto list = Filled<ShcoreCalls>(
      SystemLibrary(L"shcore.dll"), [](HMODULE module, ShcoreCalls& calls) { ZT_SHCORE_CALLS(ZT_LOOK_UP) });
  return list;
}

const PdhCalls& Pdh() {
  static const auto list =
      Filled<PdhCalls>(SystemLibrary(L"pdh.dll"), [](HMODULE module, PdhCalls& calls) { ZT_PDH_CALLS(ZT_LOOK_UP) });
  return list;
}

#undef ZT_LOOK_UP

}  // namespace zt
