#include "util/texts.h"

#include <atomic>


namespace zt {
namespace {

struct TextRow {
  TextId id;
  const char* chinese;
  const char* english;
};

using T = TextId;

// One row per name, in the names' order.  The Chinese column is what the
// program has always shown; keep it byte for byte, or windows change.
constexpr TextRow kTexts[] = {
    {T::MenuAbout, "关于", "&About"},
    {T::MenuHelp, "帮助", "&Help"},
    {T::MenuHelpOnline, "帮助（在线）", "&Help (online)"},
    {T::MenuForum, "论坛（在线）", "&Forum (online)"},
    {T::MenuDonate, "捐赠（在线）", "&Donate (online)"},
    {T::MenuVersionHistory, "版本历史记录", "&Version history"},
    {T::MenuCopyrights, "版权声明", "&Copyright notices"},
    {T::MenuSettings, "设置", "&Settings"},
    {T::MenuStatistics, "统计", "S&tatistics"},
    {T::MenuHistory, "历史", "H&istory"},
    {T::MenuCpuInformation, "CPU信息", "&CPU information"},
    {T::MenuLocation, "位置", "&Location"},
    {T::MenuTopLeft, "左上", "&Top left"},
    {T::MenuTopRight, "右上", "Top &right"},
    {T::MenuBottomLeft, "左下", "&Bottom left"},
    {T::MenuBottomRight, "右下", "Bottom ri&ght"},
    {T::MenuCenter, "中心", "&Center"},
    {T::MenuLockForm, "锁定窗体", "&Lock window"},
    {T::MenuShowHide, "显示/隐藏", "Sh&ow/Hide"},
    {T::MenuExit, "退出", "E&xit"},
    {T::MainMove, "移动", "Move"},
    {T::MainMenu, "菜单", "Menu"},
    {T::MainHide, "隐藏", "Hide"},
    {T::MainClose, "关闭", "Close"},
    {T::TrayTipCpu, "CPU: {}%", "CPU: {}%"},
    {T::TrayTipMemory, "内存: {}%", "Memory: {}%"},
    {T::MoreDisk, "磁盘", "Disk"},
    {T::MoreNetwork, "网络", "Net"},
    {T::MoreGraphics, "GPU", "GPU"},
    {T::SettingsShowMoreResources, "显示磁盘、网络和显卡(&D)", "Show &disk, network and graphics"},
    {T::BoxWarning, "Warning", "Warning"},
    {T::BoxError, "Error", "Error"},
    {T::BoxInformation, "Information", "Information"},
    {T::BoxConfirm, "Confirm", "Confirm"},
    {T::BoxYes, "&Yes", "&Yes"},
    {T::BoxNo, "&No", "&No"},
    {T::BoxOk, "OK", "OK"},
    {T::BoxCancel, "取消", "Cancel"},
    {T::InstallPrompt, "在Windows启动时运行{}吗？", "Run {} when Windows starts?"},
    {T::UninstallRunning, "看来，{}当前正在运行。\r\n\r\n请关闭它，然后才能继续......",
     "{} seems to be running.\r\n\r\nPlease close it before you continue."},
    {T::SettingsFileUnknownCoding, "文件的编码无法识别。", "The file's encoding is not recognized."},
    {T::SettingsFileNotSaved, "无法保存设置文件：{}\r\n\r\n{}\r\n\r\n本次运行中更改的设置已丢失。",
     "Could not save the settings file: {}\r\n\r\n{}\r\n\r\nThe settings changed in this run are lost."},
    {T::SettingsFileNotRead,
     "无法读取设置文件：{}\r\n\r\n{}\r\n\r\n该文件保持原样，不会被改写。本次运行使用默认设置。",
     "Could not read the settings file: {}\r\n\r\n{}\r\n\r\nThe file is left as it is and will not be "
     "overwritten. This run uses the default settings."},
    {T::PerfCountersDisabled, "性能计数器已禁用。应用程序不能正常工作。\r\n\r\n尝试启用性能计数器吗？",
     "The performance counters are disabled. The program cannot work properly.\r\n\r\nTry to enable "
     "the performance counters?"},
    {T::PerfCountersRefused,
     "无法启用性能计数器：需要管理员权限。\r\n\r\n请以管理员身份运行本程序，然后再试。",
     "Could not enable the performance counters: administrator rights are needed.\r\n\r\nRun the "
     "program as an administrator and try again."},
    {T::WindowNotAvailable, "此窗口尚不可用。", "This window is not available yet."},
    {T::OpenDocumentFailed, "Could not open the following file:\r\r{}\r\rError: {} ({}).",
     "Could not open the following file:\r\r{}\r\rError: {} ({})."},
    // The registry's own words, as the program has always shown them.
    {T::AutorunNoKey, "Failed to create key {}", "Failed to create key {}"},
    {T::AutorunNoData, "Failed to set data for '{}'", "Failed to set data for '{}'"},
    {T::SettingsCaption, "设置", "Settings"},
    {T::SettingsTabGeneral, "一般", "General"},
    {T::SettingsTabDisplay, "显示", "Display"},
    {T::SettingsTabColors, "颜色", "Colors"},
    {T::SettingsTabExtended, "扩展", "Advanced"},
    {T::SettingsHint, "任何改变都会有一个实时的效果！", "Every change takes effect at once."},
    {T::SettingsAutoRun, "在启动时自动运行(&R)", "&Run when Windows starts"},
    {T::SettingsAlwaysOnTop, "总在最前（需要重新启动）(&A)", "&Always on top (needs a restart)"},
    {T::SettingsDisplayMemory, "显示内存使用情况(&M)", "Show &memory usage"},
    {T::SettingsShowFreeMemory, "显示可用内存，而不是使用(&F)", "Show &free memory, not used"},
    {T::SettingsUsePhysicalMemory, "显示物理内存，而不是虚拟的(&P)", "Show &physical memory, not virtual"},
    {T::SettingsMemoryAsPercentage, "显示内存使用百分比(&C)", "Show memory as a per&centage"},
    {T::SettingsUpdateSpeed, "不断更新处理器速度(&U)", "Keep &updating the processor speed"},
    {T::SettingsDisplayEachCpu, "单独显示每个处理器/核心(&E)", "Show &each processor/core"},
    {T::SettingsTrayMode, "托盘模式(&T)", "&Tray mode"},
    {T::SettingsTransparency, "背景透明(&T)", "&Transparent background"},
    {T::SettingsAlphaBlending, "alpha混合(&A)", "&Alpha blending"},
    {T::SettingsThickerGraph, "较粗的图线(&G)", "Thicker &graph lines"},
    {T::SettingsHideBarGraph, "隐藏条形图(&B)", "Hide the &bar graph"},
    {T::SettingsAutoHideControls, "处于非活动状态时，隐藏控制按钮(&C)", "Hide the &controls when inactive"},
    {T::SettingsNumericTrayIcons, "数字托盘图标(&N)", "&Numeric tray icons"},
    {T::SettingsHideTrayWhenVisible, "隐藏托盘图标时，主窗口可见(&I)", "Tray &icon only while hidden"},
    {T::SettingsLockForm, "锁定主窗口(&L)", "&Lock the main window"},
    {T::SettingsKeepHistory, "在文件中保留历史记录(&K)", "&Keep the history in a file"},
    {T::SettingsAppMode, "应用模式(&O)：", "Applicati&on mode"},
    {T::SettingsHotkey, "快速切换热键(&K)：", "Hot &key:"},
    {T::SettingsLanguage, "语言(&G)：", "Lan&guage:"},
    {T::SettingsLanguageSystem, "跟随系统", "System default"},
    {T::SettingsLanguageChinese, "中文 (简体)", "中文 (简体)"},
    {T::SettingsLanguageEnglish, "English", "English"},
    {T::SettingsWindowSize, "主窗口大小(&S)：", "Main window &size"},
    {T::SettingsWidth, "宽度(&W)：", "&Width:"},
    {T::SettingsHeight, "高度(&H)：", "&Height:"},
    {T::SettingsBackgroundColor, "背景颜色(&B)：", "&Background color:"},
    {T::SettingsCpuColor, "CPU曲线图颜色(&C)：", "&CPU line colors:"},
    {T::SettingsCpuLineColor, "CPU {} 曲线颜色", "CPU {} line color"},
    {T::SettingsMemoryColor, "图形内存颜色(&M)：", "&Memory line color:"},
    {T::SettingsBarColor, "条形图颜色(&A)：", "B&ar graph color:"},
    {T::SettingsTextColor, "文字颜色(&T)：", "&Text color:"},
    {T::SettingsRate, "更新速率(&R)：", "Update &rate:"},
    {T::SettingsRateUnit, "(毫秒)", "(ms)"},
    {T::SettingsGraphLength, "图长度(&L)：", "Graph &length:"},
    {T::SettingsGraphLengthUnit, "(点)", "(points)"},
    {T::SettingsAlpha, "alpha混合(&A)：", "&Alpha blending:"},
    {T::SettingsAlphaUnit, "(值)", "(value)"},
    {T::ColorBlack, "黑色", "Black"},
    {T::ColorMaroon, "栗色", "Maroon"},
    {T::ColorGreen, "绿色", "Green"},
    {T::ColorOlive, "橄榄色", "Olive"},
    {T::ColorNavy, "藏青色", "Navy"},
    {T::ColorPurple, "紫色", "Purple"},
    {T::ColorTeal, "蓝绿色", "Teal"},
    {T::ColorGray, "灰色", "Gray"},
    {T::ColorSilver, "银色", "Silver"},
    {T::ColorRed, "红色", "Red"},
    {T::ColorLime, "酸橙色", "Lime"},
    {T::ColorYellow, "黄色", "Yellow"},
    {T::ColorBlue, "蓝色", "Blue"},
    {T::ColorFuchsia, "紫红色", "Fuchsia"},
    {T::ColorAqua, "水绿色", "Aqua"},
    {T::ColorWhite, "白色", "White"},
    {T::ColorMoneyGreen, "美元绿", "Money green"},
    {T::ColorSkyBlue, "天蓝色", "Sky blue"},
    {T::ColorCream, "乳白色", "Cream"},
    {T::ColorMediumGray, "中灰色", "Medium gray"},
    {T::ColorCustomEmpty, "自定义...", "Custom..."},
    {T::ColorCustom, "自定义 {}", "Custom {}"},
    {T::StatsCaption, "统计", "Statistics"},
    {T::StatsCpuUsage, "CPU使用率", "CPU usage"},
    {T::StatsCpuUsageOfSome, "CPU使用率（仅{}/{}个处理器）", "CPU usage ({} of {} processors)"},
    {T::StatsMemoryUsage, "内存使用", "Memory usage"},
    {T::StatsCounter, "计数器", "Counter"},
    {T::StatsTime, "时间", "Time"},
    {T::StatsMaximum, "最大：", "Maximum:"},
    {T::StatsAverage, "平均：", "Average:"},
    {T::StatsMinimum, "最小：", "Minimum:"},
    {T::StatsSamples, "样本：", "Samples:"},
    {T::StatsActualRate, "实际速率：", "Actual rate:"},
    {T::StatsRunning, "运行：", "Running:"},
    {T::StatsStarted, "开始：", "Started:"},
    {T::StatsReset, "重置统计信息(&R)", "&Reset statistics"},
    {T::InfoCaption, "CPU信息", "CPU information"},
    {T::InfoTabFeatures, "功能集", "Features"},
    {T::InfoTabExplorer, "处理器管理器", "Processor explorer"},
    {T::InfoFeatureSet, "功能设置：", "Feature set:"},
    {T::InfoAvailableFeatures, "可用功能：", "Available features:"},
    {T::InfoFeaturesStandard, "标准功能", "Standard features"},
    {T::InfoFeaturesStandardEx, "标准功能扩展", "Standard features (extended)"},
    {T::InfoFeaturesExtended, "扩展功能", "Extended features"},
    {T::InfoFeaturesPower, "先进的电源管理功能", "Advanced power management features"},
    {T::InfoColumnIndex, "指标", "Index"},
    {T::InfoColumnMnemonic, "助记符", "Mnemonic"},
    {T::InfoColumnDescription, "说明", "Description"},
    {T::InfoColumnProperty, "属性", "Property"},
    {T::InfoColumnValue, "值", "Value"},
    {T::InfoPoweredBy, "由\"Brellow Quindle 处理器检测工具包\"提供动力",
     "Powered by the \"Brellow Quindle Processor Detection Toolkit\""},
    {T::InfoClose, "关闭", "Close"},
    {T::InfoVersion, "版本： {}", "Version: {}"},
    {T::InfoTree, "导航", "Navigation"},
    {T::InfoSplitter, "分隔条", "Splitter"},
    {T::InfoReadFailed, "处理器信息无法读取", "The processor information could not be read"},
    {T::InfoAvailable, "是", "Yes"},
    {T::InfoUnavailable, "否", "No"},
    {T::InfoMenuCopy, "复制(&C)\tCtrl+C", "&Copy\tCtrl+C"},
    {T::InfoMenuSelectAll, "全选(&A)\tCtrl+A", "Select &all\tCtrl+A"},
    {T::InfoMenuCopyPage, "复制此页(&P)\tCtrl+C", "Copy this &page\tCtrl+C"},
    {T::InfoMenuCopyReport, "复制全部报告(&R)", "Copy the whole &report"},
    {T::InfoMenuSaveReport, "保存报告(&S)…", "&Save report…"},
    {T::InfoSaveFailed, "无法保存报告：\n\n{}\n\n{}", "Could not save the report:\n\n{}\n\n{}"},
    {T::InfoSaveTextFiles, "文本文件 (*.txt)", "Text files (*.txt)"},
    {T::InfoSaveAllFiles, "所有文件 (*.*)", "All files (*.*)"},
    {T::PageExtended, "扩展", "Extended"},
    {T::PageFeatureSets, "功能集", "Features"},
    {T::PageFeatureFamilyGeneric, "通用", "Generic"},
    {T::PageUnknown, "未知", "Unknown"},
    {T::PageCacheStandard, "标准CPUID", "Standard CPUID"},
    {T::PageCacheExtended, "扩展CPUID", "Extended CPUID"},
    {T::PageCacheCombined, "联合CPUID", "Combined CPUID"},
    {T::AboutCaption, "关于", "About"},
    {T::AboutVersion, "版本： {}", "Version: {}"},
    {T::AboutDate, "日期： {}", "Date: {}"},
    {T::AboutAuthor, "作者：", "Author:"},
    {T::AboutEmail, "电子邮件：", "E-mail:"},
    {T::AboutWebsite, "网址：", "Website:"},
    {T::AboutTranslator, "翻译：", "Translation:"},
    // The original is English: its credit is the placeholder, shown as "---".
    {T::AboutTranslatorCredit, "简体中文：quorl", "#"},
    {T::AboutLogo, "Zettrim 徽标", "Zettrim logo"},
    {T::AboutLinkAction, "跳转", "Jump"},
    {T::HistoryColumnTime, "时间", "Time"},
    {T::HistoryColumnCpuMean, "CPU平均(%)", "CPU mean (%)"},
    {T::HistoryColumnCpuMin, "CPU最低(%)", "CPU min (%)"},
    {T::HistoryColumnCpuMax, "CPU最高(%)", "CPU max (%)"},
    {T::HistoryColumnMemoryPercent, "内存(%)", "Memory (%)"},
    {T::HistoryColumnMemoryMb, "内存(MB)", "Memory (MB)"},
    {T::HistoryColumnBusyName, "最忙进程", "Busiest process"},
    {T::HistoryColumnBusyShare, "占用(%)", "Share (%)"},
    {T::HistoryColumnUtcOffset, "UTC偏移", "UTC offset"},
    {T::HistoryColumnDiskRead, "磁盘读取(KB/s)", "Disk read (KB/s)"},
    {T::HistoryColumnDiskWrite, "磁盘写入(KB/s)", "Disk write (KB/s)"},
    {T::HistoryColumnDiskActive, "磁盘活动(%)", "Disk active (%)"},
    {T::HistoryColumnNetReceived, "网络接收(KB/s)", "Network received (KB/s)"},
    {T::HistoryColumnNetSent, "网络发送(KB/s)", "Network sent (KB/s)"},
    {T::HistoryColumnGpuLoad, "GPU(%)", "GPU (%)"},
    {T::HistoryColumnGpuMemory, "GPU内存(MB)", "GPU memory (MB)"},
    {T::HistoryColumnMoverName, "读写最多进程", "Busiest by I/O"},
    {T::HistoryColumnMoverShare, "读写占比(%)", "I/O share (%)"},
    {T::HistoryLegendGpu, "GPU", "GPU"},
    {T::HistoryLegendDiskRead, "磁盘读取", "Disk read"},
    {T::HistoryLegendDiskWrite, "磁盘写入", "Disk write"},
    {T::HistoryLegendNetReceived, "网络接收", "Net received"},
    {T::HistoryLegendNetSent, "网络发送", "Net sent"},
    {T::HistoryNoRates, "此视图中没有磁盘或网络数据", "No disk or network figures in this view"},
    {T::HistoryRateUnitKb, "{} KB/s", "{} KB/s"},
    {T::HistoryRateUnitMb, "{} MB/s", "{} MB/s"},
    {T::HistoryRateUnitGb, "{} GB/s", "{} GB/s"},
    {T::HistoryReadoutListSeparator, "，", ", "},
    {T::HistoryReadoutGpu, "GPU：{}", "GPU: {}"},
    {T::HistoryReadoutGpuLoad, "负载 {} %", "load {} %"},
    {T::HistoryReadoutGpuMemory, "内存 {} MB", "memory {} MB"},
    {T::HistoryReadoutDisk, "磁盘：{}", "Disk: {}"},
    {T::HistoryReadoutDiskRead, "读取 {}", "read {}"},
    {T::HistoryReadoutDiskWrite, "写入 {}", "write {}"},
    {T::HistoryReadoutDiskActive, "活动 {} %", "active {} %"},
    {T::HistoryReadoutNet, "网络：{}", "Network: {}"},
    {T::HistoryReadoutNetReceived, "接收 {}", "received {}"},
    {T::HistoryReadoutNetSent, "发送 {}", "sent {}"},
    {T::HistoryReadoutMover, "读写最多：{} {} %", "Busiest by I/O: {} {} %"},
    {T::HistoryFileDamaged, "历史文件中有无法读取的行：已跳过并保留，新记录写在其后。文件：{}",
     "The history file has lines that cannot be read: they are skipped and kept, and new rows go after them. "
     "File: {}"},
    {T::HistoryFileUnreadable, "无法读取历史文件，历史只保存在内存中。文件：{}",
     "The history file cannot be read; the history is kept in memory only. File: {}"},
    {T::HistoryFileUnwritable, "无法写入历史文件，历史仍保存在内存中。文件：{}",
     "The history file cannot be written; the history is still kept in memory. File: {}"},
    {T::HistoryFileOtherCopy, "另一个正在运行的 Zettrim 在保存历史文件，本程序只读取它。文件：{}",
     "Another running copy of Zettrim keeps the history file; this one only reads it. File: {}"},
    {T::HistoryFileReason, "（{}）", " ({})"},
    {T::HistoryCaption, "历史", "History"},
    {T::HistoryLastHour, "最近一小时", "Last hour"},
    {T::HistoryLastDay, "最近24小时", "Last 24 hours"},
    {T::HistorySave, "保存(&S)…", "&Save…"},
    {T::HistoryGraph, "CPU负载、内存、磁盘和网络图表", "Graph of CPU load, memory, disks and network"},
    {T::HistoryLegendBand, "CPU最低–最高", "CPU min–max"},
    {T::HistoryLegendMean, "CPU平均", "CPU mean"},
    {T::HistoryLegendMemory, "内存", "Memory"},
    {T::HistoryNoRecords, "还没有记录", "No records yet"},
    {T::HistoryHint, "将鼠标指向图表，或在图表上按 ←、→、Home、End 键，查看一条记录。",
     "Point at the graph, or press Left, Right, Home or End on it, to read a record."},
    {T::HistoryReadoutLoad, "{}    CPU：平均 {} %，最低 {} %，最高 {} %", "{}    CPU: mean {} %, min {} %, max {} %"},
    {T::HistoryReadoutMemory, "内存：{} %（{} MB）", "Memory: {} % ({} MB)"},
    {T::HistoryReadoutNoMemory, "内存：未测量", "Memory: not measured"},
    {T::HistoryReadoutBusy, "最忙：{}", "Busiest: {}"},
    {T::HistorySaveFailed, "无法保存历史：\n\n{}\n\n{}", "Could not save the history:\n\n{}\n\n{}"},
    {T::HistorySaveCsvFiles, "CSV文件 (*.csv)", "CSV files (*.csv)"},
};

constexpr bool RowsInOrder() {
  int i = 0;
  for (const TextRow& row : kTexts) {
    if (static_cast<int>(row.id) != i++) return false;
  }
  return i == kTextCount;
}
static_assert(RowsInOrder(), "one row per name, in the names' order");

std::atomic<Language> g_language{Language::Chinese};

}  // namespace

const char* TextIn(Language language, TextId id) {
  const int i = static_cast<int>(id);
  if (i < 0 || i >= kTextCount) return "";
  return language == Language::English ? kTexts[i].english : kTexts[i].chinese;
}

const char* Text(TextId id) { return TextIn(CurrentLanguage(), id); }

std::string FormatIn(Language language, TextId id, std::initializer_list<std::string_view> values) {
  const std::string_view text = TextIn(language, id);
  std::string out;
  out.reserve(text.size() + 32);
  auto next = values.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}') {
      if (next != values.end()) out.append(*next++);
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string Format(TextId id, std::initializer_list<std::string_view> values) {
  return FormatIn(CurrentLanguage(), id, values);
}

Language CurrentLanguage() { return g_language.load(std::memory_order_relaxed); }
void SetCurrentLanguage(Language language) { g_language.store(language, std::memory_order_relaxed); }

const char* WindowFontFace(Language language) {
  return language == Language::Chinese ? "MS Sans Serif" : "Microsoft Sans Serif";
}

Language LanguageFor(std::string_view setting, uint16_t user_ui_langid) {
  if (setting == kLanguageSettingChinese) return Language::Chinese;
  if (setting == kLanguageSettingEnglish) return Language::English;
  constexpr uint16_t kPrimaryChinese = 0x04;
  return (user_ui_langid & 0x3FF) == kPrimaryChinese ? Language::Chinese : Language::English;
}

uint16_t UserUiLanguage() { return Seam<ISystemLanguage>::Get().UserUiLanguage(); }

}  // namespace zt
