// The statistics window's copy, the keyboard on its reset button, and what
// screen readers read of its labels.
#include <windows.h>

#include <string>

#include "dialogs/copy_texts.h"
#include "dialogs/statistics_form_win.h"
#include "util/access_key.h"
#include "util/accessible_win.h"
#include "util/clipboard_win.h"
#include "util/unicode_win.h"

namespace zt {
void TForm_Statistics::SetUpKeyboardAndNames() {
  if (speed_button_reset_) {
    SetWindowLongPtrW(speed_button_reset_, GWL_STYLE, GetWindowLongPtrW(speed_button_reset_, GWL_STYLE) | WS_TABSTOP);
  }
  // A figure alone ("0.00 %", three times "??") cannot be told from the
  // others, nor a caption (the maximum's twice): each is read with its panel's
  // title and its row's caption.
  for (int v = 0; v < kStatisticsValueCount; ++v) {
    HWND value = labels_[static_cast<size_t>(v)];
    if (!value) continue;
    const std::wstring caption = Widen(StatisticsFigureCaption(static_cast<StatisticsValue>(v)));
    if (HWND label = LabelLeftOf(value)) SetAccessibleName(label, caption);
    AccessibleOverride figure;
    figure.name = [value, caption] { return caption + L" " + ControlText(value); };
    SetAccessibleOverride(value, std::move(figure));
  }
}

void TForm_Statistics::FormRetext() {
  ShowCpuUsageTitle();  // over the plain title the language's texts put back
  SetUpKeyboardAndNames();
}

std::string TForm_Statistics::FiguresText() const {
  StatisticsTexts shown;
  for (size_t v = 0; v < labels_.size(); ++v) {
    if (labels_[v]) shown.text[v] = Narrow(ControlText(labels_[v]));
  }
  return StatisticsCopyText(shown, cpu_usage_title_ ? Narrow(ControlText(cpu_usage_title_)) : std::string());
}

bool TForm_Statistics::FormKeyPreview(const MSG& msg) {
  if (msg.message == WM_KEYDOWN) {
    if (GetKeyState(VK_CONTROL) < 0 && (msg.wParam == 'C' || msg.wParam == VK_INSERT)) {
      CopyTextToClipboard(hwnd(), Widen(FiguresText()));
      return true;
    }
    // The button is drawn by the window, and so no push button the dialog
    // keys know: Enter is passed on here (Space it takes itself).
    if (msg.wParam == VK_RETURN && msg.hwnd == speed_button_reset_) {
      SpeedButton_ResetClick();
      return true;
    }
  }
  return TForm::FormKeyPreview(msg);
}

}  // namespace zt
