// TForm_History: the history window.  Two views, the last hour (a record a
// second) and the last 24 hours (a record a minute), on the tabs of a tab
// control; under them the graph (history_graph_win.h) and the readout, a
// label of up to three lines whose text is the record selected; below, the kept file's status
// line and the save button.  It reads the view shown once a second while it
// is shown, and nothing while it is hidden.  Ctrl+C copies the view's
// records, Ctrl+Tab and Ctrl+Shift+Tab switch the views from anywhere in it.
// The decisions are history_model.h's; this view draws and places.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "dialogs/form_win.h"
#include "dialogs/history_graph_win.h"
#include "sampling/history.h"

namespace zt {

constexpr wchar_t kHistoryFormClass[] = L"TForm_History";

// Control ids (FindDescendant: the graph and the readout sit on the tab
// control's page).
enum HistoryControl : int {
  kIdHistoryTabs = 501,
  kIdHistoryGraph = 502,
  kIdHistoryReadout = 503,
  kIdHistorySave = 504,
  kIdHistoryStatus = 505,
};

class TForm_History : public TForm {
 public:
  // `history` holds the monitor's records and must outlive the window;
  // `status` gives the kept file's status line in a language (empty: nothing
  // to say); both are read at every reading.
  TForm_History(const History& history, std::function<std::string(Language)> status);
  ~TForm_History() override;
  // Hidden until shown; an ordinary window beside `main_window`.
  bool Create(HINSTANCE instance, HWND main_window);

  // The view shown read again, the selection kept on its record.
  void RefreshView();
  void SwitchView(int step);
  void CopyRecords();
  void Button_SaveClick();

 protected:
  void FormCreate() override;
  void FormLayout(int previous_dpi) override;
  void FormShow() override;
  void FormHide() override;
  void FormRetext() override;
  bool FormKeyPreview(const MSG& msg) override;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  static constexpr UINT_PTR kTimerRefresh = 1;
  static constexpr UINT kTimerIntervalMs = 1000;

  HistoryScale ViewScale() const;
  void LayoutHistory();
  void SelectRecord(int index);
  void ShowReadout();
  void ShowStatus();
  void TabsChange();

  const History& history_;
  std::function<std::string(Language)> status_;
  HistoryView view_;
  int selected_ = -1;
  int64_t selected_time_ = 0;
  bool minimized_ = false;  // the timer waits for the window to come back
  HistoryGraph graph_;
  HWND tabs_ = nullptr;
  HWND page_ = nullptr;
  HWND readout_ = nullptr;
  HWND save_ = nullptr;
  HWND status_line_ = nullptr;
};

}  // namespace zt
