// The main window's share of each sample (the display step), the clock-speed
// label and the tray icon's updates and mouse messages.  While the window is
// hidden (tray mode) a sample only feeds the graph's data and the held
// figures; the tray icon is called only for a new picture or tip.
#include "shell/main_form_win.h"

#include <cstring>

#include "sampling/cpu_speed.h"
#include "sampling/res_monitor.h"
#include "shell/more_resources.h"
#include "shell/tray_logic.h"
#include "shell/widgets_win.h"
#include "util/shell_win.h"
#include "util/unicode.h"
#include "util/unicode_win.h"

namespace zt {

void TForm_Main::SetGaugeProgress(int percent) {
  FollowShown();
  if (figures_.Gauge(percent) && gauge_) gauge_->SetProgress(percent);
}

int TForm_Main::GraphPointCount(int line) const { return chart_data_.PointCount(line); }

void TForm_Main::DeleteOldestGraphPoint(int line) { chart_data_.DeleteOldest(line); }

void TForm_Main::AddGraphPoint(int line, double x, double y) {
  chart_data_.Add(line, x, y);
  FollowShown();
  if (figures_.GraphChanged() && chart_) chart_->Invalidate();
}

void TForm_Main::SetMemoryLabelText(const std::string& utf8) {
  FollowShown();
  if (figures_.MemoryLabel(utf8) && label_memory_used_) label_memory_used_->SetText(Widen(utf8));
}

void TForm_Main::ClearGraph() {
  chart_data_.ClearAll();
  FollowShown();
  if (figures_.GraphChanged() && chart_) chart_->Invalidate();
}

void TForm_Main::ClearGraphLines(int first, int last) {
  for (int line = first; line <= last; ++line) chart_data_.Clear(line);
  FollowShown();
  if (figures_.GraphChanged() && chart_) chart_->Invalidate();
}

void TForm_Main::WMCPUSpeed(unsigned mhz) {
  const std::string text = SpeedLabelText(mhz);
  FollowShown();
  if (figures_.SpeedLabel(text) && label_cpu_speed_) label_cpu_speed_->SetText(Widen(text));
}

void TForm_Main::FollowShown() {
  // FormShow hands the figures over as the window is shown; this covers a
  // window made visible without the showing message (and notes a hiding).
  const bool shown = hwnd_ && IsWindowVisible(hwnd_);
  if (shown != figures_.shown()) ShowHeldFigures(figures_.SetShown(shown));
}

void TForm_Main::ShowHeldFigures(const HeldFigures& held) {
  if (held.gauge && gauge_) gauge_->SetProgress(*held.gauge);
  if (held.memory_label && label_memory_used_) label_memory_used_->SetText(Widen(*held.memory_label));
  if (held.speed_label && label_cpu_speed_) label_cpu_speed_->SetText(Widen(*held.speed_label));
  if (held.more_line && label_more_) label_more_->SetText(MoreLineText());
  if (held.graph && chart_) chart_->Invalidate();
}

void TForm_Main::SetResourceFigures(const ResourceFigures& figures) {
  // Read once a second at most but handed over with every sample: the line
  // is made again only when they change (compared bit for bit, so that an
  // absent figure equals itself).
  const bool same = std::memcmp(&figures, &more_figures_, sizeof figures) == 0;
  more_figures_ = figures;
  if (!more_line_shown_ || same) return;
  FollowShown();
  if (figures_.MoreLine() && label_more_) label_more_->SetText(MoreLineText());
}

std::wstring TForm_Main::MoreLineText() const {
  return Widen(MoreResourcesLine(more_figures_, UserDecimalSeparator()));
}

std::u16string TForm_Main::TipText(int load, int memory) const {
  std::u16string tip = TrayTipText(load, memory);
  if (more_line_shown_) tip += Utf16(MoreResourcesTipLines(more_figures_, UserDecimalSeparator()));
  return tip;
}

void TForm_Main::UpdateTrayIcon(int load, int memory) {
  const TrayImageList& list = NumericTrayIcons ? tray_numeric_ : tray_gradient_;
  tray_.SetTip(TipText(load, memory));
  tip_load_ = load;
  tip_memory_ = memory;
  tray_index_ = TrayImageIndex(load, list.Count());
  tray_.SetIconFromList(list, tray_index_);
  // Most samples leave the picture and the tip as they were.
  tray_.UpdateIcon();
}

void TForm_Main::TrayIcon_Notify(UINT mouse_message) {
  if (mouse_message == WM_LBUTTONDBLCLK) {
    SwitchTrayMode(!AppTrayMode);
  } else if (mouse_message == WM_RBUTTONUP) {
    SetForegroundWindow(hwnd_);
    POINT pt = {0, 0};
    if (!GetCursorPos(&pt)) pt = {0, 0};
    PopupMenuAt(pt.x, pt.y);
  }
}

void TForm_Main::TaskbarCreated() {
  // The new task bar may sit on a monitor of another scaling.
  FollowTrayIconSize();
  tray_.Readd();
}

void TForm_Main::FollowTrayIconSize() {
  const int size = TrayPictureSize(Seam<IShell>::Get().NotifyIconSize());
  if (size == tray_icon_size_) return;
  // The new pictures first: the shell still holds one of the old ones until
  // it has been handed its successor.
  TrayImageList numeric, gradient;
  BuildNumericTrayImages(&numeric, size);
  BuildGradientTrayImages(&gradient, size);
  UniqueIcon program = IconFromPixels(DrawProgramTrayImage(size), size);
  if (tray_index_ >= 0) {
    tray_.SetIconFromList(NumericTrayIcons ? numeric : gradient, tray_index_);
  } else {
    tray_.SetIcon(program.get());
  }
  tray_.UpdateIcon();
  tray_numeric_ = std::move(numeric);
  tray_gradient_ = std::move(gradient);
  tray_program_icon_ = std::move(program);
  tray_icon_size_ = size;
}

}  // namespace zt
