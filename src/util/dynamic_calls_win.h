// The system calls the program uses only where the system has them.  Each
// library's calls are one list below; a list is looked up by name once, on
// its first use, and an entry the system lacks stays null: every caller has
// its way for an older system.  Nothing else in the program asks the system
// for an entry point by name.  Windows only.
#pragma once

#include <windows.h>
#include <pdh.h>

namespace zt {

// Each entry: name, result, arguments; the comment names the first Windows
// that has it.
#define ZT_KERNEL32_CALLS(X)                                          \
  X(GlobalMemoryStatusEx, BOOL, (LPMEMORYSTATUSEX))  /* 2000 */       \
  X(SetThreadAffinityMask, DWORD_PTR, (HANDLE, DWORD_PTR))  /* NT */  \
  X(IsWow64Process, BOOL, (HANDLE, PBOOL))  /* XP */                  \
  X(IsWow64Process2, BOOL, (HANDLE, USHORT*, USHORT*))  /* 10 1709 */ \
  X(GetActiveProcessorGroupCount, WORD, ())  /* 7 */                  \
  X(GetActiveProcessorCount, DWORD, (WORD))  /* 7 */

#define ZT_USER32_CALLS(X)                                                         \
  X(ChangeWindowMessageFilterEx, BOOL, (HWND, UINT, DWORD, void*))  /* 7 */       \
  X(GetDpiForWindow, UINT, (HWND))  /* 10 1607 */                                  \
  X(GetDpiForSystem, UINT, ())  /* 10 1607 */                                      \
  X(GetSystemMetricsForDpi, int, (int, UINT))  /* 10 1607 */                       \
  X(AdjustWindowRectExForDpi, BOOL, (RECT*, DWORD, BOOL, DWORD, UINT))  /* 10 1607 */

#define ZT_NTDLL_CALLS(X)                                               \
  X(NtQuerySystemInformation, LONG, (ULONG, void*, ULONG, ULONG*))      \
  X(NtQuerySystemInformationEx, LONG, (ULONG, void*, ULONG, void*, ULONG, ULONG*))  /* 7 */

// Loaded from the system folder when first asked for (8.1).
#define ZT_SHCORE_CALLS(X) X(GetDpiForMonitor, HRESULT, (HMONITOR, int, UINT*, UINT*))

// The performance-data helper, loaded from the system folder when first
// asked for; the English counter names came with Vista.
#define ZT_PDH_CALLS(X)                                                                        \
  X(PdhOpenQueryW, PDH_STATUS, (LPCWSTR, DWORD_PTR, PDH_HQUERY*))                              \
  X(PdhAddEnglishCounterW, PDH_STATUS, (PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER*))        \
  X(PdhCollectQueryData, PDH_STATUS, (PDH_HQUERY))                                             \
  X(PdhGetFormattedCounterValue, PDH_STATUS, (PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE)) \
  X(PdhGetFormattedCounterArrayW, PDH_STATUS,                                                  \
    (PDH_HCOUNTER, DWORD, LPDWORD, LPDWORD, PPDH_FMT_COUNTERVALUE_ITEM_W))                     \
  X(PdhCloseQuery, PDH_STATUS, (PDH_HQUERY))

// The network interfaces' table (Vista), loaded from the system folder when
// first asked for; the table is a MIB_IF_TABLE2.
#define ZT_IPHLPAPI_CALLS(X)                      \
  X(GetIfTable2, DWORD, (void**))  /* Vista */    \
  X(FreeMibTable, void, (void*))   /* Vista */

// Each list is a struct of pointers named after its calls, which can also
// hand each pointer with its name to the look-up.
#define ZT_CALL_ENTRY(name, result, arguments) result(WINAPI* name) arguments = nullptr;
#define ZT_CALL_NAMED(name, result, arguments) look_up(#name, name);
#define ZT_CALL_LIST(Type, LIST)    \
  struct Type {                     \
    LIST(ZT_CALL_ENTRY)             \
    template <typename LookUp>      \
    void Fill(LookUp look_up) {     \
      LIST(ZT_CALL_NAMED)           \
    }                               \
  };
ZT_CALL_LIST(Kernel32Calls, ZT_KERNEL32_CALLS)
ZT_CALL_LIST(User32Calls, ZT_USER32_CALLS)
ZT_CALL_LIST(NtdllCalls, ZT_NTDLL_CALLS)
ZT_CALL_LIST(ShcoreCalls, ZT_SHCORE_CALLS)
ZT_CALL_LIST(PdhCalls, ZT_PDH_CALLS)
ZT_CALL_LIST(IphlpapiCalls, ZT_IPHLPAPI_CALLS)
#undef ZT_CALL_LIST
#undef ZT_CALL_NAMED
#undef ZT_CALL_ENTRY

// The lists, looked up on first use (safe from any thread).  The libraries
// stay loaded for the life of the process, so an entry never goes stale.
const Kernel32Calls& Kernel32();
const User32Calls& User32();
const NtdllCalls& Ntdll();
const ShcoreCalls& Shcore();
const PdhCalls& Pdh();
const IphlpapiCalls& Iphlpapi();

}  // namespace zt
