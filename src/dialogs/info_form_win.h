// TForm_Info, the CPU information window: on its first tab the feature table
// of a feature set of the first processor, on its second a navigation tree
// of the processors and their information groups beside a property list.
// Made the first time the CPU information command runs and kept; closing hides it.
// A thin view: what it shows comes from the model (info_model.h) and the
// page module of the identification library that `zettrim-cpuinfo` prints.
//
// What it shows can be copied: Ctrl+C (or the lists' menu) copies the rows
// selected, or all; the tree's menu copies a page or the whole report, or
// saves the report to a file (copy_texts.h).  F5 reads the shown page or
// feature table again; Ctrl+Tab and Ctrl+Shift+Tab switch the tabs.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/form_win.h"
#include "dialogs/info_model.h"
#include "dialogs/list_update_win.h"
#include "util/handles_win.h"

namespace zt {

constexpr wchar_t kInfoWindowClass[] = L"TForm_Info";

// Control ids (GetDlgItem on the form, or on the tab page holding them).
enum InfoWindowControl : int {
  kIdInfoPageControl = 301,
  kIdInfoActiveSet = 302,
  kIdInfoAvailableFeatures = 303,
  kIdInfoStandard = 304,
  kIdInfoNavigation = 305,
  kIdInfoSplitter = 306,
  kIdInfoInformation = 307,
  kIdInfoVersion = 308,
  kIdInfoClose = 309,
};

// Commands of the window's menus (WM_COMMAND): on the lists, copy the rows
// selected (all rows when none is), select every row; on the tree, copy the
// page of the selected node, copy the whole report, save it to a file.
enum InfoWindowCommand : int {
  kIdInfoCopyRows = 401,
  kIdInfoSelectAll = 402,
  kIdInfoCopyPage = 403,
  kIdInfoCopyReport = 404,
  kIdInfoSaveReport = 405,
};

class TForm_Info : public TForm {
 public:
  TForm_Info();
  ~TForm_Info() override;

  // Makes the window, hidden: the font, the tree of this machine's
  // processors with the first page, and the standard feature table.  An
  // ordinary window beside `main_window`.
  bool Create(HINSTANCE instance, HWND main_window);

  // A page or the feature table is being read.
  bool Reading() const { return reader_ && reader_->Busy(); }
  HWND Control(int id) const;

 protected:
  void FormCreate() override;
  void FormLayout(int previous_dpi) override;
  void FormRetext() override;
  bool FormKeyPreview(const MSG& msg) override;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  // A text being made on the reader's thread, and what it is for.
  struct TextUse {
    bool save = false;
    std::wstring path;  // where it is saved
  };

  // Copying, saving and the keyboard (info_form_commands_win.cpp).
  void SetUpAccessibility();
  void FormContextMenu(HWND control, LPARAM where);
  bool MenuKeyPreview(const MSG& msg);
  void InfoCommand(int id, HWND list, int node_code);
  void CopyRows(HWND list);
  void SelectAllRows(HWND list);
  void CopyText(int node_code, bool whole_report);
  void SaveReport();
  void TextFinished(const TextReading& reading);
  void ReadAgain();
  void SwitchTab(int step);
  int SelectedNodeCode() const;
  LRESULT lvStandardCustomDraw(NMLVCUSTOMDRAW& draw);

  void CreateFeaturesPage();
  void CreateExplorerPage();
  void BuildTree();
  // Every child from the client area's size, at dpi().
  void LayoutInfo();
  void LayoutExplorer();

  void tvNavigationChange(const NMTREEVIEWW& change);
  void cbActiveSetChange();
  void Button_CloseClick() { Hide(); }
  void PageControlChange();
  void Splitter1Moved();
  void ReadingFinished();
  void ShowPage(const PageReading& page);
  void ShowFeatures(const FeatureReading& features);

  std::wstring font_face_;
  // The tree's nodes whose caption is one of the language's texts.
  std::map<HTREEITEM, TextId> node_texts_;
  HWND PageControl = nullptr;
  HWND TS_Features = nullptr;
  HWND TS_Explorer = nullptr;
  HWND Label_FeatureSet = nullptr;
  HWND cbActiveSet = nullptr;
  HWND Label_AvailableFeatures = nullptr;
  HWND lvStandard = nullptr;
  HWND tvNavigation = nullptr;
  HWND Splitter1 = nullptr;
  HWND lvInformation = nullptr;
  HWND Label_PoweredBy = nullptr;
  HWND Label_Version = nullptr;
  HWND Button_Close = nullptr;
  UniqueImageList ilAvailable;
  int picture_size_ = 0;  // of the pictures in ilAvailable
  int tree_width_ = 0;    // pixels
  // Reads the library on its own thread; made in FormCreate, gone before the
  // window is.
  std::unique_ptr<TInfoReader> reader_;
  // Held while a reading is outstanding (Reading()), so the hourglass
  // shows and goes at once under a pointer that does not move.
  std::optional<TWaitCursor> reading_cursor_;
  std::map<uint64_t, TextUse> texts_asked_;
  // Shift+F10 opened a menu: its F10 coming up is no call for the window's
  // system menu.
  bool menu_by_f10_ = false;
};

}  // namespace zt
