// TForm_Statistics: the modeless statistics window.  Four panels (CPU usage,
// memory usage, counter, time) of caption and value labels, and the flat
// reset button.  It reads the monitor's statistics once a second while it is
// shown; statistics_model.h makes every text, this view only puts them into
// the labels and runs the reset.  Ctrl+C copies every figure with its
// caption; the reset button is reached with Tab and pressed with Space,
// Enter or its access key.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/form_win.h"
#include "dialogs/statistics_model.h"

namespace zt {

constexpr wchar_t kStatisticsFormClass[] = L"TForm_Statistics";

// Control ids (GetDlgItem): the value labels are kIdStatisticsValue plus
// their StatisticsValue.
enum StatisticsControl : int {
  kIdStatisticsValue = 201,
  kIdStatisticsCpuUsageTitle = 220,
  kIdSpeedButtonReset = 230,
};

class TForm_Statistics : public TForm {
 public:
  // `clear_graph` empties the main window's graph: after a reset the
  // samples' x values start again from 1, and each line must stay
  // increasing.
  explicit TForm_Statistics(std::function<void()> clear_graph) : clear_graph_(std::move(clear_graph)) {}
  ~TForm_Statistics() override;
  // Hidden until shown; an ordinary window beside `main_window`.
  bool Create(HINSTANCE instance, HWND main_window);

  // Fills every value label from one copy of the monitor's statistics, or
  // "??" everywhere when there is no monitor.
  void RefreshFigures();
  // Restarts the statistics and empties the main window's graph.
  void SpeedButton_ResetClick();
  // Every figure shown, with its caption, one a line (copy_texts.h).
  std::string FiguresText() const;

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormRetext() override;
  void FormHide() override;
  bool FormKeyPreview(const MSG& msg) override;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  static constexpr UINT_PTR kTimerRefresh = 1;
  static constexpr UINT kTimerIntervalMs = 1000;

  // The panel's title label.
  HWND AddPanel(int y, int height, TextId title, std::initializer_list<TextId> captions,
                StatisticsValue first_value, int title_id = -1);
  // Whose load the CPU panel's figures are, from the monitor's latest sample.
  void ShowCpuUsageTitle();
  void FormPaint();
  void SetTimerEnabled(bool on);
  void TimerTimer();
  void SpeedButton_ResetDraw(const DRAWITEMSTRUCT& item);
  // The keyboard and screen readers (statistics_form_commands_win.cpp).
  void SetUpKeyboardAndNames();
  static LRESULT CALLBACK ResetButtonProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                          DWORD_PTR data) noexcept;

  std::function<void()> clear_graph_;
  std::array<RECT, 4> panels_{};  // design units
  size_t panel_count_ = 0;
  std::array<HWND, kStatisticsValueCount> labels_{};
  HWND cpu_usage_title_ = nullptr;
  HWND speed_button_reset_ = nullptr;
  bool reset_hot_ = false;
  // The button's picture at the size last drawn.
  std::vector<uint8_t> reset_picture_;
};

}  // namespace zt
