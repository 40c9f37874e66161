#include "config/config.h"

#include <array>
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
// read: section, key (also the variable's name), stored type, default, its
// place in the order of writing, and when it is written.  "bool" is stored
// as 0/1, the unsigned types keep only their low bits of what the file
// says, colours are the 32-bit pattern of the number.  The order of writing
// differs from the reading order only in where HideBarGraph stands, and a
// new file gets its keys in that order.  kAlways: written at every save;
// kOnceSet: a setting added after the first release, written only once it
// is set or once the file holds it, so a file that never used it stays as
// it was.
#define ZT_CONFIG_VALUES(X)                                      \
  X("General", FirstLaunch, bool, true, 0, kAlways)              \
  X("General", AlwaysOnTop, bool, true, 1, kAlways)              \
  X("General", Rate, uint16_t, 500, 2, kAlways)                  \
  X("General", GraphLength, uint16_t, 80, 3, kAlways)            \
  X("General", AlphaBlend, bool, true, 4, kAlways)               \
  X("General", AlphaBlendValue, uint8_t, 200, 5, kAlways)        \
  X("General", Transparency, bool, true, 6, kAlways)             \
  X("General", ThickerGraph, bool, true, 7, kAlways)             \
  X("General", LockForm, bool, false, 8, kAlways)                \
  X("General", UpdateSpeed, bool, true, 9, kAlways)              \
  X("General", DisplayMemory, bool, true, 10, kAlways)           \
  X("General", MemoryAsPercentage, bool, true, 11, kAlways)      \
  X("General", NumericTrayIcons, bool, false, 13, kAlways)       \
  X("General", HideTrayWhenVisible, bool, false, 14, kAlways)    \
  X("General", AutoHideControls, bool, true, 15, kAlways)        \
  X("General", HideBarGraph, bool, false, 12, kAlways)           \
  X("General", ShowFreeMemory, bool, false, 16, kAlways)         \
  X("General", UsePhysicalMemory, bool, true, 17, kAlways)       \
  X("General", DisplayEachCPU, bool, false, 18, kAlways)         \
  X("General", AppTrayMode, bool, false, 19, kAlways)            \
  X("General", AppModeHotkey, int32_t, 122, 20, kAlways)         \
  X("General", AppModeHotkeyModifiers, int32_t, 3, 21, kAlways)  \
  X("General", KeepHistory, bool, false, 22, kOnceSet)           \
  X("General", ShowMoreResources, bool, false, 23, kOnceSet)     \
  X("Location", PosX, int32_t, 0, 24, kAlways)                   \
  X("Location", PosY, int32_t, 0, 25, kAlways)                   \
  X("Location", PosWidth, int32_t, 250, 26, kAlways)             \
  X("Location", PosHeight, int32_t, 105, 27, kAlways)            \
  X("Colors", BackgroundColor, Color, 16777215, 28, kAlways)     \
  X("Colors", GraphCPUColor1, Color, 8388608, 29, kAlways)       \
  X("Colors", GraphCPUColor2, Color, 8388608, 30, kAlways)       \
  X("Colors", GraphCPUColor3, Color, 8388608, 31, kAlways)       \
  X("Colors", GraphCPUColor4, Color, 8388608, 32, kAlways)       \
  X("Colors", GraphMemoryColor, Color, 15780518, 33, kAlways)    \
  X("Colors", BarColor, Color, 8388608, 34, kAlways)             \
  X("Colors", TextColor, Color, 0, 35, kAlways)

#define ZT_DEFINE_VALUE(section, key, type, def, write_place, written) std::atomic<type> key{def};
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

enum Written { kAlways, kOnceSet };

struct Setting {
  const char* section;
  const char* key;
  Slot slot;
  int32_t default_value;
  Written written;
};

#define ZT_SETTING_ROW(section, key, type, def, write_place, written) \
  Setting{section, #key, &key, static_cast<int32_t>(def), written},
const Setting kSettings[] = {ZT_CONFIG_VALUES(ZT_SETTING_ROW)};
#undef ZT_SETTING_ROW

#define ZT_WRITE_PLACE(section, key, type, def, write_place, written) write_place,
constexpr int kWritePlaces[] = {ZT_CONFIG_VALUES(ZT_WRITE_PLACE)};
#undef ZT_WRITE_PLACE
constexpr int kSettingCount = static_cast<int>(sizeof kWritePlaces / sizeof kWritePlaces[0]);

constexpr bool EveryPlaceTakenOnce() {
  for (int place = 0; place < kSettingCount; ++place) {
    int takers = 0;
    for (int taken : kWritePlaces) takers += taken == place ? 1 : 0;
    if (takers != 1) return false;
  }
  return true;
}
static_assert(EveryPlaceTakenOnce(), "every setting is written exactly once, at a place of its own");

// The rows' indices in the order of writing.
constexpr std::array<int, kSettingCount> WriteOrder() {
  std::array<int, kSettingCount> order{};
  for (int row = 0; row < kSettingCount; ++row) order[kWritePlaces[row]] = row;
  return order;
}
constexpr std::array<int, kSettingCount> kWriteOrder = WriteOrder();

// Whether the row is the setting `value`.
template <typename T>
bool Is(const Setting& s, std::atomic<T>& value) {
  return s.slot == Slot(&value);
}

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
  if (kept && Is(s, AppModeHotkey)) return kept->first;
  if (kept && Is(s, AppModeHotkeyModifiers)) return kept->second;
  return Get(s);
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
    if (Is(s, FirstLaunch)) continue;
    if (next_start_centres && centred && (Is(s, PosX) || Is(s, PosY))) {
      if (!Holds(s, Is(s, PosX) ? centred->first : centred->second)) return true;
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
  for (int row : kWriteOrder) {
    const Setting& s = kSettings[row];
    if (s.written == kOnceSet && Get(s) == s.default_value && !ini.ValueExists(s.section, s.key)) continue;
    ini.WriteInteger(s.section, s.key, ToSave(s));
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
