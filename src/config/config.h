// src/config: the live settings and the settings file, and what the program
// is beside them (program.h: title, version, addresses).  It sits below the
// shell, the sampling threads and the dialogs, which all read and write these
// values; it includes nothing of theirs.
//
// The program's settings: one variable per settings-file key, named by its
// key, holding its default from program start until LoadConfig reads the
// file.  Written only on the user-interface thread; the sampling threads read
// a few of them on each pass, so every value is a lock-free atomic of at most
// 32 bits.  Portable: the file is plain text, no OS calls but the file system.
//
// Who stores a setting: the code that decides a change writes the variable
// first (the settings dialog's model for its controls; the main window's own
// commands, drag and placement for theirs; the hot-key registration when the
// system refuses the key), then calls the main window's setter, which only
// applies what it is given or what the variables hold.  A setter never
// writes a setting.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace zt {

using Color = uint32_t;  // 0x00BBGGRR, as the system's colour values

// System colour constants (top bit set, the low byte naming the system
// colour) stand for whatever the system uses; config/color_win.h turns them
// into colours.
constexpr bool IsSystemColor(Color color) { return (color & 0x80000000u) != 0; }

// [General]
extern std::atomic<bool> FirstLaunch;             // true
extern std::atomic<bool> AlwaysOnTop;             // true
extern std::atomic<uint16_t> Rate;                // 500 ms
extern std::atomic<uint16_t> GraphLength;         // 80 points
extern std::atomic<bool> AlphaBlend;              // true
extern std::atomic<uint8_t> AlphaBlendValue;      // 200
extern std::atomic<bool> Transparency;            // true
extern std::atomic<bool> ThickerGraph;            // true
extern std::atomic<bool> LockForm;                // false
extern std::atomic<bool> UpdateSpeed;             // true
extern std::atomic<bool> DisplayMemory;           // true
extern std::atomic<bool> MemoryAsPercentage;      // true
extern std::atomic<bool> NumericTrayIcons;        // false
extern std::atomic<bool> HideTrayWhenVisible;     // false
extern std::atomic<bool> AutoHideControls;        // true
extern std::atomic<bool> HideBarGraph;            // false
extern std::atomic<bool> ShowFreeMemory;          // false
extern std::atomic<bool> UsePhysicalMemory;       // true
extern std::atomic<bool> DisplayEachCPU;          // false
extern std::atomic<bool> AppTrayMode;             // false
extern std::atomic<int32_t> AppModeHotkey;        // 122 (F11)
extern std::atomic<int32_t> AppModeHotkeyModifiers;  // 3 (Ctrl+Alt)
// Keep the per-minute history in "<exe name>.history.csv" beside the
// settings file.  Written to the file only once set.
extern std::atomic<bool> KeepHistory;             // false
// A line under the graph with the disks, the network and the graphics, and
// their lines in the tray tip.  Written to the file only once set.
extern std::atomic<bool> ShowMoreResources;       // false
// [Location]
extern std::atomic<int32_t> PosX;       // 0
extern std::atomic<int32_t> PosY;       // 0
extern std::atomic<int32_t> PosWidth;   // 250
extern std::atomic<int32_t> PosHeight;  // 105
// [Colors]
extern std::atomic<Color> BackgroundColor;   // 16777215 (white)
extern std::atomic<Color> GraphCPUColor1;    // 8388608 (navy)
extern std::atomic<Color> GraphCPUColor2;    // 8388608
extern std::atomic<Color> GraphCPUColor3;    // 8388608
extern std::atomic<Color> GraphCPUColor4;    // 8388608
extern std::atomic<Color> GraphMemoryColor;  // 15780518 (sky blue)
extern std::atomic<Color> BarColor;          // 8388608
extern std::atomic<Color> TextColor;         // 0 (black)

// [General] Language, as the file holds it: "" (also when absent) follows
// the system, "zh-CN" and "en-US" choose (util/texts.h); any other value
// follows the system and is written back as it was.  User-interface thread
// only.
// LoadConfig and SetLanguageSetting make it the current language
// (FollowLanguageSetting).
const std::string& LanguageSetting();
void SetLanguageSetting(const std::string& value);
void FollowLanguageSetting();

// Run-time state, not stored.
extern bool ConfigSaved;

// The settings file: the executable's path with its extension replaced by
// ".ini".  Fixed once at start (SetConfigFilePath); UTF-8 on every platform.
const std::string& ConfigFilePath();
void SetConfigFilePath(const std::string& path);
// "C:\\dir\\zettrim.exe" -> "C:\\dir\\zettrim.ini" (also with '/').
std::string ConfigPathForExecutable(const std::string& exe_path);

// Fills the values from ConfigFilePath(); a missing or unreadable file leaves
// the defaults.  Never raises.  When a file is there but cannot be read, or
// its text cannot be told, the failure is kept for the one message
// TakeConfigLoadFailureMessage() gives; SaveConfig never rewrites such a file.
void LoadConfig();
// Writes every value to ConfigFilePath(), at most once per run (ConfigSaved).
// Never raises; a failed write leaves the existing file untouched, and when
// it loses values the file does not hold already, the failure is kept for
// the one message TakeConfigSaveFailureMessage() gives.
void SaveConfig();

// The text of the message that tells the user this run's save failed: the
// path, the system's reason, and that the changes of this run are lost.  It
// is given once: "" when the save worked, lost nothing, was never tried, or
// the message has been taken already.
std::string TakeConfigSaveFailureMessage();

// The text of the message that tells the user, at start, that the settings
// file could not be read: the path, the reason, that the file is kept as it
// is and that this run uses the defaults.  Given once: "" when the file was
// read, was missing, or the message has been taken already.
std::string TakeConfigLoadFailureMessage();

// The first showing of the window is over: FirstLaunch is cleared, and the
// position the window was given is where any first launch puts it.  A save
// that cannot be made loses nothing by leaving out that position, so only a
// window moved since then counts as a change worth telling.
void ClearFirstLaunch();

// The hot key's registration was refused (another program held the
// combination): the run goes without one and both settings read 0, but the
// file keeps `key` and `modifiers`, so the next start asks again, unless the
// user picks a hot key (or none) in this run.
void KeepRefusedHotkey(int32_t key, int32_t modifiers);
// The user picked a hot key in the settings dialog: what the settings hold
// from now on is what the file receives.
void NoteHotkeyPicked();

// Puts every value back to its default and clears ConfigSaved and the kept
// messages (tests).
void ResetConfigToDefaults();

}  // namespace zt
