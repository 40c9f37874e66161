// The main window's share of each sample (the display step), the clock-speed
// label and the tray icon's updates and mouse messages.
#include "shell/main_form_win.h"

#include "sampling/cpu_speed.h"
#include "shell/tray_logic.h"
#include "shell/widgets_win.h"
#include "util/unicode_win.h"

namespace zt {

void TForm_Main::SetGaugeProgress(int percent) {
  if (gauge_) gauge_->SetProgress(percent);
}

int TForm_Main::GraphPointCount(int line) const { return chart_data_.PointCount(line); }

void TForm_Main::DeleteOldestGraphPoint(int line) { chart_data_.DeleteOldest(line); }

void TForm_Main::AddGraphPoint(int line, double x, double y) {
  chart_data_.Add(line, x, y);
  if (chart_) chart_->Invalidate();
}

void TForm_Main::SetMemoryLabelText(const std::string& utf8) {
  if (label_memory_used_) label_memory_used_->SetText(Widen(utf8));
}

void TForm_Main::ClearGraph() {
  chart_data_.ClearAll();
  if (chart_) chart_->Invalidate();
}

void TForm_Main::ClearGraphLines(int first, int last) {
  for (int line = first; line <= last; ++line) chart_data_.Clear(line);
  if (chart_) chart_->Invalidate();
}

void TForm_Main::WMCPUSpeed(unsigned mhz) {
  if (label_cpu_speed_) label_cpu_speed_->SetText(Widen(SpeedLabelText(mhz)));
}

void TForm_Main::UpdateTrayIcon(int load, int memory) {
  const TrayImageList& list = NumericTrayIcons ? tray_numeric_ : tray_gradient_;
  tray_.SetTip(TrayTipText(load, memory));
  tray_index_ = TrayImageIndex(load, list.Count());
  tray_.SetIconFromList(list, tray_index_);
  tray_.RefreshIcon();
  ++tray_updates_;
}

void TForm_Main::TrayIcon_Notify(UINT mouse_message) {
  if (mouse_message == WM_LBUTTONDBLCLK) {
    SetTrayMode(!AppTrayMode, false);
  } else if (mouse_message == WM_RBUTTONUP) {
    SetForegroundWindow(hwnd_);
    POINT pt = {0, 0};
    if (!GetCursorPos(&pt)) pt = {0, 0};
    PopupMenuAt(pt.x, pt.y);
  }
}

void TForm_Main::TaskbarCreated() { tray_.Readd(); }

}  // namespace zt
