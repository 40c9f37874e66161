// Every text a user reads, in both languages the program speaks: one table,
// a row per name, the Chinese and the English text side by side.  Windows,
// menus, message boxes, the tray tip and the clipboard texts look their texts
// up here by name and never spell them out themselves, so a new language is a
// new column and a switch of language is a matter of reading the texts again.
//
// Texts are UTF-8.  "{}" in a text stands for a value the caller fills in
// (Format), in the same order in both languages.  An access key is written
// "&X" in English and "(&X)" in Chinese (see util/access_key.h).
//
// The current language is one atomic value: the user-interface thread sets
// it, and any thread may read it (the sampling thread formats the tray tip).
// Portable; callable from every layer.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "util/seam.h"

namespace zt {

enum class Language : uint8_t { Chinese, English };
constexpr int kLanguageCount = 2;

// Names say where a text is used: the window or the thing it belongs to
// first.  The order is the table's order (texts.cpp checks it row by row).
enum class TextId : uint16_t {
  // The pop-up menu, top to bottom.
  MenuAbout,
  MenuHelp,
  MenuHelpOnline,
  MenuForum,
  MenuDonate,
  MenuVersionHistory,
  MenuCopyrights,
  MenuSettings,
  MenuStatistics,
  MenuHistory,
  MenuCpuInformation,
  MenuLocation,
  MenuTopLeft,
  MenuTopRight,
  MenuBottomLeft,
  MenuBottomRight,
  MenuCenter,
  MenuLockForm,
  MenuShowHide,
  MenuExit,
  // The main window's title controls (their tool tips and accessible names).
  MainMove,
  MainMenu,
  MainHide,
  MainClose,
  // The tray tip's two lines.
  TrayTipCpu,     // "CPU: {}%"
  TrayTipMemory,  // "Memory: {}%"
  // The line of the disks, the network and the graphics under the graph
  // (ShowMoreResources), whose labels also begin their tray tip lines, and
  // its check box on the settings dialog's Display tab.
  MoreDisk,
  MoreNetwork,
  MoreGraphics,
  SettingsShowMoreResources,
  // Message boxes: titles and buttons.
  BoxWarning,
  BoxError,
  BoxInformation,
  BoxConfirm,
  BoxYes,
  BoxNo,
  BoxOk,
  BoxCancel,
  // Messages.
  InstallPrompt,             // {} = program
  UninstallRunning,          // {} = program
  SettingsFileUnknownCoding,
  SettingsFileNotSaved,      // {} = path, {} = reason
  SettingsFileNotRead,       // {} = path, {} = reason
  PerfCountersDisabled,
  PerfCountersRefused,
  WindowNotAvailable,
  OpenDocumentFailed,        // {} = file, {} = reason, {} = code
  AutorunNoKey,              // {} = key
  AutorunNoData,             // {} = value
  // The settings dialog.
  SettingsCaption,
  SettingsTabGeneral,
  SettingsTabDisplay,
  SettingsTabColors,
  SettingsTabExtended,
  SettingsHint,
  SettingsAutoRun,
  SettingsAlwaysOnTop,
  SettingsDisplayMemory,
  SettingsShowFreeMemory,
  SettingsUsePhysicalMemory,
  SettingsMemoryAsPercentage,
  SettingsUpdateSpeed,
  SettingsDisplayEachCpu,
  SettingsTrayMode,
  SettingsTransparency,
  SettingsAlphaBlending,
  SettingsThickerGraph,
  SettingsHideBarGraph,
  SettingsAutoHideControls,
  SettingsNumericTrayIcons,
  SettingsHideTrayWhenVisible,
  SettingsLockForm,
  SettingsKeepHistory,
  SettingsAppMode,           // group
  SettingsHotkey,
  SettingsLanguage,
  SettingsLanguageSystem,
  SettingsLanguageChinese,
  SettingsLanguageEnglish,
  SettingsWindowSize,        // group
  SettingsWidth,
  SettingsHeight,
  SettingsBackgroundColor,
  SettingsCpuColor,
  SettingsCpuLineColor,      // {} = processor number (accessible name)
  SettingsMemoryColor,
  SettingsBarColor,
  SettingsTextColor,
  SettingsRate,
  SettingsRateUnit,
  SettingsGraphLength,
  SettingsGraphLengthUnit,
  SettingsAlpha,
  SettingsAlphaUnit,
  // The colour boxes' entries, in the boxes' order.
  ColorBlack,
  ColorMaroon,
  ColorGreen,
  ColorOlive,
  ColorNavy,
  ColorPurple,
  ColorTeal,
  ColorGray,
  ColorSilver,
  ColorRed,
  ColorLime,
  ColorYellow,
  ColorBlue,
  ColorFuchsia,
  ColorAqua,
  ColorWhite,
  ColorMoneyGreen,
  ColorSkyBlue,
  ColorCream,
  ColorMediumGray,
  ColorCustomEmpty,
  ColorCustom,               // {} = "#RRGGBB"
  // The statistics window.
  StatsCaption,
  StatsCpuUsage,
  StatsCpuUsageOfSome,       // {} = processors measured, {} = the machine's
  StatsMemoryUsage,
  StatsCounter,
  StatsTime,
  StatsMaximum,
  StatsAverage,
  StatsMinimum,
  StatsSamples,
  StatsActualRate,
  StatsRunning,
  StatsStarted,
  StatsReset,
  // The CPU information window.
  InfoCaption,
  InfoTabFeatures,
  InfoTabExplorer,
  InfoFeatureSet,
  InfoAvailableFeatures,
  InfoFeaturesStandard,
  InfoFeaturesStandardEx,
  InfoFeaturesExtended,
  InfoFeaturesPower,
  InfoColumnIndex,
  InfoColumnMnemonic,
  InfoColumnDescription,
  InfoColumnProperty,
  InfoColumnValue,
  InfoPoweredBy,
  InfoClose,
  InfoVersion,               // {} = library version
  InfoTree,
  InfoSplitter,
  InfoReadFailed,
  InfoAvailable,
  InfoUnavailable,
  InfoMenuCopy,
  InfoMenuSelectAll,
  InfoMenuCopyPage,
  InfoMenuCopyReport,
  InfoMenuSaveReport,
  InfoSaveFailed,            // {} = path, {} = reason
  InfoSaveTextFiles,
  InfoSaveAllFiles,
  // Names in the information pages and the report that follow the language.
  PageExtended,
  PageFeatureSets,
  PageFeatureFamilyGeneric,
  PageUnknown,
  PageCacheStandard,
  PageCacheExtended,
  PageCacheCombined,
  // The about window.
  AboutCaption,
  AboutVersion,              // {} = version
  AboutDate,                 // {} = date
  AboutAuthor,
  AboutEmail,
  AboutWebsite,
  AboutTranslator,
  AboutTranslatorCredit,
  AboutLogo,
  AboutLinkAction,
  // The history's columns, in what Ctrl+C copies and Save writes.
  HistoryColumnTime,
  HistoryColumnCpuMean,
  HistoryColumnCpuMin,
  HistoryColumnCpuMax,
  HistoryColumnMemoryPercent,
  HistoryColumnMemoryMb,
  HistoryColumnBusyName,
  HistoryColumnBusyShare,
  HistoryColumnUtcOffset,
  HistoryColumnDiskRead,
  HistoryColumnDiskWrite,
  HistoryColumnDiskActive,
  HistoryColumnNetReceived,
  HistoryColumnNetSent,
  HistoryColumnGpuLoad,
  HistoryColumnGpuMemory,
  HistoryColumnMoverName,
  HistoryColumnMoverShare,
  // The history window's disk, network and graphics figures.
  HistoryLegendGpu,
  HistoryLegendDiskRead,
  HistoryLegendDiskWrite,
  HistoryLegendNetReceived,
  HistoryLegendNetSent,
  HistoryNoRates,
  HistoryRateUnitKb,         // {} = figure
  HistoryRateUnitMb,         // {} = figure
  HistoryRateUnitGb,         // {} = figure
  HistoryReadoutListSeparator,
  HistoryReadoutGpu,         // {} = the figures
  HistoryReadoutGpuLoad,     // {} = per cent
  HistoryReadoutGpuMemory,   // {} = MB
  HistoryReadoutDisk,        // {} = the figures
  HistoryReadoutDiskRead,    // {} = rate
  HistoryReadoutDiskWrite,   // {} = rate
  HistoryReadoutDiskActive,  // {} = per cent
  HistoryReadoutNet,         // {} = the figures
  HistoryReadoutNetReceived, // {} = rate
  HistoryReadoutNetSent,     // {} = rate
  HistoryReadoutMover,       // {} = process, share
  // The history's status line.
  HistoryFileDamaged,        // {} = path
  HistoryFileUnreadable,     // {} = path
  HistoryFileUnwritable,     // {} = path
  HistoryFileOtherCopy,      // {} = path
  HistoryFileReason,         // {} = reason
  // The history window.
  HistoryCaption,
  HistoryLastHour,
  HistoryLastDay,
  HistorySave,
  HistoryGraph,
  HistoryLegendBand,
  HistoryLegendMean,
  HistoryLegendMemory,
  HistoryNoRecords,
  HistoryHint,
  HistoryReadoutLoad,        // {} = time, mean, min, max
  HistoryReadoutMemory,      // {} = per cent, MB
  HistoryReadoutNoMemory,
  HistoryReadoutBusy,        // {} = processes
  HistorySaveFailed,         // {} = path, reason
  HistorySaveCsvFiles,
  Count
};
constexpr int kTextCount = static_cast<int>(TextId::Count);

// The text in the current language.
const char* Text(TextId id);
// The text in the given language.
const char* TextIn(Language language, TextId id);

// The text in the current language with each "{}" replaced by the next value,
// in order; placeholders without a value are left out.
std::string Format(TextId id, std::initializer_list<std::string_view> values);
std::string FormatIn(Language language, TextId id, std::initializer_list<std::string_view> values);

Language CurrentLanguage();
void SetCurrentLanguage(Language language);

// The face the windows draw their texts in.  Chinese keeps "MS Sans Serif",
// for which the system links in its Chinese glyphs.  English has "Microsoft
// Sans Serif", the TrueType face of the same design and metrics: on Windows
// "MS Sans Serif" is a raster font, stepped and never smoothed at any
// scaling above 100 %.
const char* WindowFontFace(Language language);

// The setting's values (the settings file's [General] Language).
inline constexpr char kLanguageSettingChinese[] = "zh-CN";
inline constexpr char kLanguageSettingEnglish[] = "en-US";

// The language for a setting and the user's UI language (a Windows LANGID):
// "zh-CN" and "en-US" choose; anything else, empty included, follows the
// system: any Chinese (primary language 0x04, whatever the region) gives
// Chinese, everything else English.
Language LanguageFor(std::string_view setting, uint16_t user_ui_langid);

// The user's UI language, through a seam: GetUserDefaultUILanguage on
// Windows; on Linux what LC_ALL, LC_MESSAGES or LANG names (zh... Chinese,
// else English).
class ISystemLanguage {
 public:
  virtual ~ISystemLanguage() = default;
  virtual uint16_t UserUiLanguage() = 0;
};
template <>
ISystemLanguage& Seam<ISystemLanguage>::Real();
uint16_t UserUiLanguage();

}  // namespace zt
