#include "config/config.h"

#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

#include "config/config_file.h"
#include "config/ini_file.h"
#include "config/text_encoding.h"
#include "util/caught.h"
#include "util/file_write.h"
#include "util/texts.h"

namespace zt {

// Every stored setting, one row each, in the order in which the file is
// read: section, key (also the variable's name), stored type, default.
// "bool" is stored as 0/1, the unsigned types keep only their low bits of
// what the file says, colours are the 32-bit pattern of the number.
#define ZT_CONFIG_VALUES(X)                             \
  X("General", FirstLaunch, bool, true)                 \
  X("General", AlwaysOnTop, bool, true)                 \
  X("General", Rate, uint16_t, 500)                     \
  X("General", GraphLength, uint16_t, 80)               \
  X("General", AlphaBlend, bool, true)                  \
  X("General", AlphaBlendValue, uint8_t, 200)           \
  X("General", Transparency, bool, true)                \
  X("General", ThickerGraph, bool, true)                \
  X("General", LockForm, bool, false)                   \
  X("General", UpdateSpeed, bool, true)                 \
  X("General", DisplayMemory, bool, true)               \
  X("General", MemoryAsPercentage, bool, true)          \
  X("General", NumericTrayIcons, bool, false)           \
  X("General", HideTrayWhenVisible, bool, false)        \
  X("General", AutoHideControls, bool, true)            \
  X("General", HideBarGraph, bool, false)               \
  X("General", ShowFreeMemory, bool, false)             \
  X("General", UsePhysicalMemory, bool, true)           \
  X("General", DisplayEachCPU, bool, false)             \
  X("General", AppTrayMode, bool, false)                \
  X("General", AppModeHotkey, int32_t, 122)             \
  X("General", AppModeHotkeyModifiers, int32_t, 3)      \
  X("General", KeepHistory, bool, false)                \
  X("Location", PosX, int32_t, 0)                       \
  X("Location", PosY, int32_t, 0)                       \
  X("Location", PosWidth, int32_t, 250)                 \
  X("Location", PosHeight, int32_t, 105)                \
  X("Colors", BackgroundColor, Color, 16777215)         \
  X("Colors", GraphCPUColor1, Color, 8388608)           \
  X("Colors", GraphCPUColor2, Color, 8388608)           \
  X("Colors", GraphCPUColor3, Color, 8388608)           \
  X("Colors", GraphCPUColor4, Color, 8388608)           \
  X("Colors", GraphMemoryColor, Color, 15780518)        \
  X("Colors", BarColor, Color, 8388608)                 \
  X("Colors", TextColor, Color, 0)

#define ZT_DEFINE_VALUE(section, key, type, def) std::atomic<type> key{def};
ZT_CONFIG_VALUES(ZT_DEFINE_VALUE)
#undef ZT_DEFINE_VALUE

bool ConfigSaved = false;

// The sampling threads read these without locks.
static_assert(std::atomic<bool>::is_always_lock_free, "");
static_assert(std::atomic<uint8_t>::is_always_lock_free, "");
static_assert(std::atomic<uint16_t>::is_always_lock_free, "");
static_assert(std::atomic<int32_t>::is_always_lock_free, "");
static_assert(std::atomic<Color>::is_always_lock_free, "");

namespace {

using Slot = std::variant<std::atomic<bool>*, std::atomic<uint8_t>*, std::atomic<uint16_t>*,
                          std::atomic<int32_t>*, std::atomic<uint32_t>*>;

struct Setting {
  const char* section;
  const char* key;
  Slot slot;
  int32_t default_value;
};

#define ZT_SETTING_ROW(section, key, type, def) \
  Setting{section, #key, &key, static_cast<int32_t>(def)},
const Setting kSettings[] = {ZT_CONFIG_VALUES(ZT_SETTING_ROW)};
#undef ZT_SETTING_ROW

// The order of writing; it differs from the reading order only in where
// HideBarGraph stands, and a new file gets its keys in this order.
const char* const kWriteOrder[] = {
    "FirstLaunch", "AlwaysOnTop", "Rate", "GraphLength", "AlphaBlend", "AlphaBlendValue",
    "Transparency", "ThickerGraph", "LockForm", "UpdateSpeed", "DisplayMemory",
    "MemoryAsPercentage", "HideBarGraph", "NumericTrayIcons", "HideTrayWhenVisible",
    "AutoHideControls", "ShowFreeMemory", "UsePhysicalMemory", "DisplayEachCPU", "AppTrayMode",
    "AppModeHotkey", "AppModeHotkeyModifiers", "KeepHistory",
    "PosX", "PosY", "PosWidth", "PosHeight",
    "BackgroundColor", "GraphCPUColor1", "GraphCPUColor2", "GraphCPUColor3", "GraphCPUColor4",
    "GraphMemoryColor", "BarColor", "TextColor"};
static_assert(sizeof kWriteOrder / sizeof kWriteOrder[0] == sizeof kSettings / sizeof kSettings[0],
              "every setting is written exactly once");

// The value as the file holds it: booleans 0/1, colours as signed 32-bit
// (system colour constants have the top bit set and are written negative).
int32_t Get(const Setting& s) {
  return std::visit([](auto* v) { return static_cast<int32_t>(v->load()); }, s.slot);
}

// A number from the file as a value of type T.
template <typename T>
T FromFile(int32_t n) {
  if constexpr (std::is_same_v<T, bool>) {
    return n != 0;
  } else {
    // Unsigned conversion keeps the low bits: 65636 -> 100, 300 -> 44.
    return static_cast<T>(static_cast<uint32_t>(n));
  }
}

void Set(const Setting& s, int32_t n) {
  std::visit(
      [n](auto* v) {
        using T = typename std::remove_pointer_t<decltype(v)>::value_type;
        v->store(FromFile<T>(n));
      },
      s.slot);
}

// Whether the number, read from the file, would give the value held now.
bool Holds(const Setting& s, int32_t n) {
  return std::visit(
      [n](auto* v) {
        using T = typename std::remove_pointer_t<decltype(v)>::value_type;
        return FromFile<T>(n) == v->load();
      },
      s.slot);
}

// The hot key a refused registration left in the file's keeping, until the
// user picks one (KeepRefusedHotkey, NoteHotkeyPicked).
struct KeptHotkey {
  std::optional<std::pair<int32_t, int32_t>> combination;
  bool picked = false;
};
KeptHotkey& KeptHotkeyStorage() {
  static KeptHotkey kept;
  return kept;
}

// The number the file receives for a setting: what it holds now, but for a
// refused hot key the combination it had.
int32_t ToSave(const Setting& s) {
  const auto& kept = KeptHotkeyStorage().combination;
  if (kept && std::strcmp(s.key, "AppModeHotkey") == 0) return kept->first;
  if (kept && std::strcmp(s.key, "AppModeHotkeyModifiers") == 0) return kept->second;
  return Get(s);
}

bool IsWrittenOnlyWhenSet(const Setting& s) { return std::strcmp(s.key, "KeepHistory") == 0; }

const Setting* FindSetting(const char* key) {
  for (const Setting& s : kSettings) {
    if (std::strcmp(s.key, key) == 0) return &s;
  }
  return nullptr;
}

std::string& ConfigPathStorage() {
  static std::string path;
  return path;
}

// Where the first showing of this run put the window (ClearFirstLaunch).
std::optional<std::pair<int32_t, int32_t>>& FirstLaunchPosition() {
  static std::optional<std::pair<int32_t, int32_t>> position;
  return position;
}

// A failure is kept as its parts and worded when the message is taken: the
// file is read before the language it chooses is known.
struct KeptFailure {
  std::string path;
  std::string reason;         // the system's words
  bool unknown_coding = false;  // instead: the text cannot be told
};

// This run's failed save, until its message has been taken.
std::optional<KeptFailure>& SaveFailureStorage() {
  static std::optional<KeptFailure> failure;
  return failure;
}

// A settings file that could not be read, until the message has been taken.
std::optional<KeptFailure>& LoadFailureStorage() {
  static std::optional<KeptFailure> failure;
  return failure;
}

std::string& LanguageStorage() {
  static std::string language;
  return language;
}

std::string TakeFailureText(std::optional<KeptFailure>& kept, TextId text) {
  if (!kept) return std::string();
  const std::string reason = kept->unknown_coding ? Text(TextId::SettingsFileUnknownCoding) : kept->reason;
  std::string message = Format(text, {kept->path, reason});
  kept.reset();
  return message;
}

// Whether a start that reads these bytes (from the defaults, as every start
// does) would show anything other than the program shows now.  FirstLaunch
// is bookkeeping that shows only through the window's position: a start
// that centres the window again puts it where this run's first showing did.
bool ValuesWouldBeLost(const std::string& bytes) {
  const std::optional<DecodedText> decoded = DecodeText(bytes);
  const IniFile ini(decoded ? decoded->text : std::string());
  const std::optional<std::pair<int32_t, int32_t>>& centred = FirstLaunchPosition();
  const bool next_start_centres = ini.ReadInteger("General", "FirstLaunch", 1) != 0;
  for (const Setting& s : kSettings) {
    const std::string key = s.key;
    if (key == "FirstLaunch") continue;
    if (next_start_centres && centred && (key == "PosX" || key == "PosY")) {
      if (!Holds(s, key == "PosX" ? centred->first : centred->second)) return true;
      continue;
    }
    const int32_t in_file = ini.ReadInteger(s.section, s.key, s.default_value);
    if (ToSave(s) != Get(s) ? in_file != ToSave(s) : !Holds(s, in_file)) return true;
  }
  return ini.ReadString("General", "Language", "") != LanguageStorage();
}

}  // namespace

const std::string& ConfigFilePath() { return ConfigPathStorage(); }

void SetConfigFilePath(const std::string& path) { ConfigPathStorage() = path; }

std::string ConfigPathForExecutable(const std::string& exe_path) {
  if (exe_path.empty()) return std::string();
  size_t name_start = exe_path.find_last_of("\\/:");
  name_start = (name_start == std::string::npos) ? 0 : name_start + 1;
  size_t dot = exe_path.rfind('.');
  // A dot that begins the name (".zettrim") does not start an extension.
  if (dot == std::string::npos || dot <= name_start) return exe_path + ".ini";
  return exe_path.substr(0, dot) + ".ini";
}

void ResetConfigToDefaults() {
  for (const Setting& s : kSettings) Set(s, s.default_value);
  ConfigSaved = false;
  LanguageStorage().clear();
  SaveFailureStorage().reset();
  LoadFailureStorage().reset();
  FirstLaunchPosition().reset();
  KeptHotkeyStorage() = KeptHotkey{};
}

void ApplyConfigText(const std::string& bytes) {
  const std::optional<DecodedText> decoded = DecodeText(bytes);
  if (!decoded) return;
  IniFile ini(decoded->text);
  for (const Setting& s : kSettings) {
    Set(s, ini.ReadInteger(s.section, s.key, Get(s)));
  }
  if (ini.ValueExists("General", "Language")) LanguageStorage() = ini.ReadString("General", "Language", "");
}

std::optional<std::string> ComposeConfigText(const std::string& existing) {
  const std::optional<DecodedText> decoded = DecodeText(existing);
  if (!decoded) return std::nullopt;
  IniFile ini(decoded->text);
  for (const char* key : kWriteOrder) {
    const Setting* s = FindSetting(key);
    if (s == nullptr) continue;
    // Settings added after the first release appear in a file only once
    // they are set, so a file that never used them stays as it was.
    if (IsWrittenOnlyWhenSet(*s) && Get(*s) == s->default_value && !ini.ValueExists(s->section, s->key))
      continue;
    ini.WriteInteger(s->section, s->key, ToSave(*s));
  }
  // After the hot key, and only once it has been set: a file that never had
  // it does not get it.
  if (!LanguageStorage().empty() || ini.ValueExists("General", "Language"))
    ini.WriteString("General", "Language", LanguageStorage());
  // Written back in the encoding the file came in.
  return EncodeText(ini.Serialize(), decoded->encoding);
}

void LoadConfig() {
  // Whatever happens below, the program speaks the language the file (or,
  // without it, the system) asks for.
  struct Follow {
    ~Follow() { FollowLanguageSetting(); }
  } follow;
  try {
    const std::string& path = ConfigFilePath();
    std::string bytes;
    std::string reason;
    bool unknown_coding = false;
    switch (ReadWholeFile(path, kMaxConfigFileBytes, &bytes, &reason)) {
      case FileReadStatus::kNotFound: return;
      case FileReadStatus::kError: break;
      case FileReadStatus::kOk:
        if (DecodeText(bytes)) {
          ApplyConfigText(bytes);
          return;
        }
        unknown_coding = true;
        break;
    }
    // Said now, once, rather than at every exit: the user learns why the
    // settings are the defaults while there is still something to do about
    // it, and SaveConfig leaves the file as it is.
    LoadFailureStorage() = KeptFailure{path, reason, unknown_coding};
  } catch (...) {
    RecordCaught("reading the settings");
    // A settings file that cannot be read leaves the defaults; never fatal.
  }
}

void SaveConfig() {
  if (ConfigSaved) return;
  // Set before trying, so that no failure can lead to a second attempt.
  ConfigSaved = true;
  try {
    const std::string& path = ConfigFilePath();
    std::string existing;
    std::string reason;
    bool unknown_coding = false;
    bool saved = false;
    if (ReadWholeFile(path, kMaxConfigFileBytes, &existing, &reason) == FileReadStatus::kError) {
      // A file that is there but cannot be read is left alone: rewriting it
      // would lose whatever unknown sections and keys it holds.  The next
      // start cannot read it either.
      existing.clear();
    } else if (const std::optional<std::string> text = ComposeConfigText(existing)) {
      saved = WriteFileAtomically(path, *text, &reason, WhenNoTemporaryFile::kRewriteInPlace);
    } else {
      // The same holds for text that cannot be told.
      unknown_coding = true;
    }
    // Nothing is said when the file already holds every value.
    if (!saved && ValuesWouldBeLost(existing)) SaveFailureStorage() = KeptFailure{path, reason, unknown_coding};
  } catch (...) {
    RecordCaught("saving the settings");
    // Saving is best effort; the old file stays as it was.
  }
}

std::string TakeConfigSaveFailureMessage() {
  return TakeFailureText(SaveFailureStorage(), TextId::SettingsFileNotSaved);
}

std::string TakeConfigLoadFailureMessage() {
  return TakeFailureText(LoadFailureStorage(), TextId::SettingsFileNotRead);
}

const std::string& LanguageSetting() { return LanguageStorage(); }
void SetLanguageSetting(const std::string& value) {
  LanguageStorage() = value;
  FollowLanguageSetting();
}

void FollowLanguageSetting() { SetCurrentLanguage(LanguageFor(LanguageStorage(), UserUiLanguage())); }

void ClearFirstLaunch() {
  FirstLaunch = false;
  FirstLaunchPosition() = std::make_pair(PosX.load(), PosY.load());
}

void KeepRefusedHotkey(int32_t key, int32_t modifiers) {
  KeptHotkey& kept = KeptHotkeyStorage();
  if (!kept.picked && !kept.combination) kept.combination = std::make_pair(key, modifiers);
}

void NoteHotkeyPicked() {
  KeptHotkeyStorage() = KeptHotkey{std::nullopt, true};
}

}  // namespace zt
