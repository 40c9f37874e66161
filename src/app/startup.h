// Program start-up decisions that do not need a window: the installer
// switches, the "run when Windows starts" registration and the instance mutex
// name.  Portable: the registry is reached through IRegistry.
#pragma once

#include <string>
#include <vector>

#include "util/errors.h"
#include "util/registry.h"

namespace zt {

extern const char* const kInstanceMutexName;  // "Zettrim [by quorl] @ Harnet Olvey"
extern const char* const kAutorunKey;        // SOFTWARE\Microsoft\Windows\CurrentVersion\Run
extern const char* const kAutorunValue;      // "Zettrim"

// Set once at start: another copy held the instance mutex.
extern bool InstanceRunning;

enum class StartAction { Run, Install, Uninstall };
// Only the first argument counts, and only as an exact, case-sensitive match.
StartAction ParseCommandLine(const std::vector<std::string>& args);

// Prompts of the installer switches, with the application title filled in.
std::string InstallPrompt();
std::string UninstallRunningWarning();

// Raised by SetAutorun when the registry refuses the change.
class EAutorun : public EZettrimError {
 public:
  using EZettrimError::EZettrimError;
};

// The autorun value lives in the machine's Run key where the program may
// write it (an elevated run, a system without account control), else in the
// current user's Run key (HKEY_CURRENT_USER, same key path and value name).
//
// True when the value in any of those keys (the machine's in either registry
// view, where the machine has two) names `exe_path`, quoted or not, without
// regard to letter case.
// Every failure answers false.
bool IsAutorunEnabled(IRegistry& registry, const std::string& exe_path);
// Enable writes the value (the path in double quotes, so a path with blanks
// cannot start another program) into the machine's key, or where that is
// refused into the user's; disable deletes it from every key it can (both
// views of the machine's, where it has two), leaving the keys.  Raises EAutorun with "Failed to create key %s" / "Failed to set
// data for '%s'" only when the user's key refuses too.
void SetAutorun(IRegistry& registry, bool enable, const std::string& exe_path);

// Case-insensitive comparison of two paths (ASCII letters fold).
bool SamePathIgnoringCase(const std::string& a, const std::string& b);

}  // namespace zt
