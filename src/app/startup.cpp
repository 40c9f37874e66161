#include "app/startup.h"

#include <cctype>

#include "config/program.h"
#include "util/caught.h"
#include "util/texts.h"

namespace zt {

const char* const kInstanceMutexName = "Zettrim [by quorl] @ Harnet Olvey";
const char* const kAutorunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kAutorunValue = "Zettrim";

bool InstanceRunning = false;

StartAction ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return StartAction::Run;
  if (args[0] == "/install") return StartAction::Install;
  if (args[0] == "/uninstall") return StartAction::Uninstall;
  return StartAction::Run;
}

std::string InstallPrompt() { return Format(TextId::InstallPrompt, {kApplicationTitle}); }

std::string UninstallRunningWarning() { return Format(TextId::UninstallRunning, {kApplicationTitle}); }

bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x < 0x80 && y < 0x80) {
      if (std::tolower(x) != std::tolower(y)) return false;
    } else if (x != y) {
      return false;
    }
  }
  return true;
}

namespace {

// The machine's Run key starts the program for every user; it needs
// administrator rights to change, and with user account control an
// unelevated process is refused even for an administrator.  On 64-bit
// Windows the 32-bit and the 64-bit build see two different machine keys:
// a value the other build wrote is read and removed in its view too.  The
// user's own Run key needs no rights and is one for both.
constexpr RegRoot kAutorunRoots[] = {RegRoot::LocalMachine, RegRoot::LocalMachineOtherView,
                                     RegRoot::CurrentUser};

// On 32-bit Windows the other view is this build's own key: clearing it
// after a write would take back the value just written.
bool IsKeyOfItsOwn(IRegistry& registry, RegRoot root) {
  return root != RegRoot::LocalMachineOtherView || registry.HasOtherView();
}

bool AutorunValueNames(IRegistry& registry, RegRoot root, const std::string& exe_path) {
  try {
    // Reading needs read access only: a user without administrator rights
    // may read the machine's autorun key but not change it.
    auto key = registry.OpenKey(root, kAutorunKey, RegAccess::Read);
    if (!key) return false;
    auto value = key->ReadString(kAutorunValue);
    if (!value) return false;
    std::string data = *value;
    if (data.size() >= 2 && data.front() == '"' && data.back() == '"')
      data = data.substr(1, data.size() - 2);
    return SamePathIgnoringCase(data, exe_path);
  } catch (...) {
    RecordCaught("reading the autorun value");
    return false;
  }
}

enum class WriteResult { Written, NoKey, NoData };

WriteResult WriteAutorunValue(IRegistry& registry, RegRoot root, const std::string& exe_path) {
  auto key = registry.CreateKey(root, kAutorunKey);
  if (!key) return WriteResult::NoKey;
  return key->WriteString(kAutorunValue, "\"" + exe_path + "\"") ? WriteResult::Written
                                                                  : WriteResult::NoData;
}

// Best effort: a key that cannot be opened for writing keeps its value.
void DeleteAutorunValue(IRegistry& registry, RegRoot root) {
  auto key = registry.OpenKey(root, kAutorunKey, RegAccess::AllAccess);
  if (key) key->DeleteValue(kAutorunValue);
}

}  // namespace

bool IsAutorunEnabled(IRegistry& registry, const std::string& exe_path) {
  for (RegRoot root : kAutorunRoots)
    if (IsKeyOfItsOwn(registry, root) && AutorunValueNames(registry, root, exe_path)) return true;
  return false;
}

void SetAutorun(IRegistry& registry, bool enable, const std::string& exe_path) {
  if (!enable) {
    for (RegRoot root : kAutorunRoots)
      if (IsKeyOfItsOwn(registry, root)) DeleteAutorunValue(registry, root);
    return;
  }
  if (WriteAutorunValue(registry, RegRoot::LocalMachine, exe_path) == WriteResult::Written) {
    // One start at log-on: a value an earlier unelevated run left in the
    // user's key, or the other build in its view, would start a second copy.
    if (IsKeyOfItsOwn(registry, RegRoot::LocalMachineOtherView))
      DeleteAutorunValue(registry, RegRoot::LocalMachineOtherView);
    DeleteAutorunValue(registry, RegRoot::CurrentUser);
    return;
  }
  switch (WriteAutorunValue(registry, RegRoot::CurrentUser, exe_path)) {
    case WriteResult::Written: return;
    case WriteResult::NoKey: throw EAutorun(Format(TextId::AutorunNoKey, {kAutorunKey}));
    case WriteResult::NoData: throw EAutorun(Format(TextId::AutorunNoData, {kAutorunValue}));
  }
}

}  // namespace zt
