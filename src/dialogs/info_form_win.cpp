#include "dialogs/info_form_win.h"

#include <commctrl.h>

#include <algorithm>

#include "dialogs/copy_texts.h"
#include "dialogs/splitter_win.h"
#include "util/dpi.h"
#include "util/icons_win.h"
#include "util/unicode_win.h"

namespace zt {

namespace {

// A finished reading is waiting (posted by the reader's thread).
constexpr UINT kMsgReadingFinished = WM_APP + 10;

// Layout in design units (util/dpi.h).  The window may be sized: what sits
// at its right or bottom edge keeps its distance to that edge.
constexpr int kClientWidth = 537;
constexpr int kClientHeight = 508;
// Never narrower than designed (the drop-down list keeps its width); lower
// is fine, the lists scroll.
constexpr int kMinClientHeight = 360;
constexpr int kMargin = 8;
constexpr int kBelowPages = 43;        // from the page control's foot to the window's
constexpr int kPoweredByAbove = 36;    // the labels' tops above the window's foot
constexpr int kVersionAbove = 20;
constexpr int kCloseWidth = 75, kCloseHeight = 25, kCloseBelow = 9;
constexpr int kSheetBorder = 8;       // around the feature page's contents
constexpr int kFeatureSetLabelWidth = 72;
constexpr int kActiveSetX = 72, kActiveSetY = 1, kActiveSetWidth = 425, kActiveSetDropHeight = 200;
constexpr int kAvailableFeaturesY = 34;
constexpr int kFeaturePanelHeight = 49;
constexpr int kTreeWidth = 230;
constexpr int kTreeIndent = 19;
constexpr int kSplitterWidth = 5;
constexpr int kMinPane = 30;
constexpr int kPropertyColumnWidth = 120;
constexpr int kLabelHeight = 14;

void Place(HWND child, int x, int y, int w, int h) {
  SetWindowPos(child, nullptr, x, y, std::max(0, w), std::max(0, h), SWP_NOZORDER | SWP_NOACTIVATE);
}

int CALLBACK AddFontName(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
  reinterpret_cast<std::vector<std::string>*>(names)->push_back(Narrow(font->lfFaceName));
  return 1;
}

// Every font family the screen offers.
std::vector<std::string> ScreenFontNames() {
  std::vector<std::string> names;
  WindowDc dc(nullptr);
  LOGFONTW filter = {};
  filter.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(dc.get(), &filter, AddFontName, reinterpret_cast<LPARAM>(&names), 0);
  return names;
}

int TextWidth(HWND control, const std::wstring& text) {
  WindowDc dc(control);
  SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

std::string ColumnCaption(TextId text) { return text == TextId::Count ? std::string() : Text(text); }

constexpr TextId kTabCaptions[] = {TextId::InfoTabFeatures, TextId::InfoTabExplorer};

// A column's caption, in place.
void SetColumnCaption(HWND list, int index, const std::string& caption) {
  std::wstring text = Widen(caption);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT;
  column.pszText = text.data();
  SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void AddColumn(HWND list, int index, const std::string& caption, int width) {
  std::wstring text = Widen(caption);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = text.data();
  column.cx = width;
  column.iSubItem = index;
  ListView_InsertColumn(list, index, &column);
}

// Adds a row whose first column shows `first` (and picture `image`, if any),
// carrying `param`.
int AddRow(HWND list, const std::wstring& first, int image = -1, LPARAM param = 0) {
  std::wstring text = first;
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = ListView_GetItemCount(list);
  item.pszText = text.data();
  item.iImage = image;
  item.lParam = param;
  return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetCell(HWND list, int row, int column, const std::wstring& value) {
  std::wstring text = value;
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = text.data();
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int ImageOf(HWND list, int row) {
  LVITEMW item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

// Inserts `node` and its children; those whose caption is one of the
// language's texts go into `texts`.
HTREEITEM InsertNode(HWND tree, HTREEITEM parent, const cpuid::InfoNode& node, std::map<HTREEITEM, TextId>& texts) {
  std::wstring caption = Widen(node.caption);
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = caption.data();
  insert.item.lParam = node.code;
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (item && node.caption_text != TextId::Count) texts[item] = node.caption_text;
  for (const cpuid::InfoNode& child : node.children) InsertNode(tree, item, child, texts);
  return item;
}

void ExpandAll(HWND tree, HTREEITEM item) {
  for (; item; item = TreeView_GetNextSibling(tree, item)) {
    HTREEITEM child = TreeView_GetChild(tree, item);
    if (!child) continue;
    TreeView_Expand(tree, item, TVE_EXPAND);
    ExpandAll(tree, child);
  }
}

}  // namespace

TForm_Info::TForm_Info() = default;

TForm_Info::~TForm_Info() {
  // The reader may still be measuring: it finishes before the window goes.
  reader_.reset();
  reading_cursor_.reset();
  if (lvStandard) ListView_SetImageList(lvStandard, nullptr, LVSIL_SMALL);
}

bool TForm_Info::Create(HINSTANCE instance, HWND main_window) {
  FormOptions options;
  options.class_name = kInfoWindowClass;
  options.caption_text = TextId::InfoCaption;
  options.client_width = kClientWidth;
  options.client_height = kClientHeight;
  options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
  options.ex_style = WS_EX_CONTROLPARENT;
  options.min_client_width = kClientWidth;
  options.min_client_height = kMinClientHeight;
  MakeOrdinaryWindow(options, main_window);
  font_face_ = Widen(InfoFormFont(ScreenFontNames()));
  options.font_face = font_face_.c_str();
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  // The base gives it the program's icon (caption, task bar, Alt+Tab).
  return TForm::Create(instance, options);
}

void TForm_Info::FormCreate() {
  // Everything is placed by LayoutInfo, from the client area's size.
  PageControl = AddControl(WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPSIBLINGS, kMargin, kMargin,
                           kClientWidth - 2 * kMargin, kClientHeight - kMargin - kBelowPages, kIdInfoPageControl);
  for (TextId caption : kTabCaptions) AddTab(PageControl, Widen(Text(caption)));
  TS_Features = AddTabPage(PageControl);
  TS_Explorer = AddTabPage(PageControl);
  CreateFeaturesPage();
  CreateExplorerPage();

  Label_PoweredBy = AddLabel(TextId::InfoPoweredBy, 0, 0, 0, 0);
  Label_Version = AddLabel(Widen(InfoVersionText()), 0, 0, 0, 0, nullptr, kIdInfoVersion);
  Button_Close = AddButton(TextId::InfoClose, 0, 0, 0, 0, kIdInfoClose);

  BuildTree();
  reader_ = std::make_unique<TInfoReader>([hwnd = hwnd()] { PostMessageW(hwnd, kMsgReadingFinished, 0, 0); });
  // Selecting the first node shows its page.
  TreeView_SelectItem(tvNavigation, TreeView_GetRoot(tvNavigation));
  cbActiveSetChange();
  TabCtrl_SetCurSel(PageControl, 0);
  PageControlChange();
  SetUpAccessibility();
}

void TForm_Info::FormRetext() {
  for (int i = 0; i < 2; ++i) SetTabCaption(PageControl, i, Widen(Text(kTabCaptions[i])));
  SetControlText(Label_Version, Widen(InfoVersionText()));
  const LRESULT set = SendMessageW(cbActiveSet, CB_GETCURSEL, 0, 0);
  for (size_t i = 0; i < kInfoFeatureSetItems.size(); ++i) {
    const auto at = static_cast<WPARAM>(i);
    SendMessageW(cbActiveSet, CB_DELETESTRING, at, 0);
    SendMessageW(cbActiveSet, CB_INSERTSTRING, at, reinterpret_cast<LPARAM>(Widen(Text(kInfoFeatureSetItems[i])).c_str()));
  }
  SendMessageW(cbActiveSet, CB_SETCURSEL, static_cast<WPARAM>(set), 0);
  for (size_t i = 0; i < kInfoFeatureColumns.size(); ++i)
    SetColumnCaption(lvStandard, static_cast<int>(i), ColumnCaption(kInfoFeatureColumns[i]));
  SetColumnCaption(lvInformation, 0, Text(TextId::InfoColumnProperty));
  SetColumnCaption(lvInformation, 1, Text(TextId::InfoColumnValue));
  // The pictures' words follow the picture each row shows.
  for (int row = 0; row < ListView_GetItemCount(lvStandard); ++row)
    SetCell(lvStandard, row, 0, Widen(Text(ImageOf(lvStandard, row) == 1 ? TextId::InfoAvailable : TextId::InfoUnavailable)));
  // The few words of the tree and the pages that are not the library's own
  // are put into the new language where they stand, from the text each was
  // made of: reading the pages again would measure the clock anew and lose
  // the place in the tree.
  for (const auto& [node, text] : node_texts_) SetTreeItemText(tvNavigation, node, Widen(Text(text)));
  for (int row = 0; row < ListView_GetItemCount(lvInformation); ++row) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(lvInformation, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const auto text = static_cast<TextId>(item.lParam);
    if (text != TextId::Count) SetCell(lvInformation, row, 1, Widen(Text(text)));
  }
  SetUpAccessibility();
  LayoutInfo();
}

void TForm_Info::CreateFeaturesPage() {
  Label_FeatureSet = AddLabel(TextId::InfoFeatureSet, 0, 0, 0, 0, TS_Features);
  cbActiveSet = AddControl(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kSheetBorder + kActiveSetX,
                           kSheetBorder + kActiveSetY, kActiveSetWidth, kActiveSetDropHeight, kIdInfoActiveSet,
                           TS_Features);
  for (TextId item : kInfoFeatureSetItems) {
    SendMessageW(cbActiveSet, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(Text(item)).c_str()));
  }
  SendMessageW(cbActiveSet, CB_SETCURSEL, 0, 0);
  Label_AvailableFeatures = AddLabel(Widen(Text(TextId::InfoAvailableFeatures)), 0, 0, 0, 0, TS_Features,
                                     kIdInfoAvailableFeatures);
  lvStandard = AddControl(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHAREIMAGELISTS | WS_TABSTOP, 0, 0, 0, 0,
                          kIdInfoStandard, TS_Features, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(lvStandard, LVS_EX_FULLROWSELECT);
  for (size_t i = 0; i < kInfoFeatureColumns.size(); ++i) {
    AddColumn(lvStandard, static_cast<int>(i), ColumnCaption(kInfoFeatureColumns[i]),
              Scale(kInfoFeatureColumnWidths[i]));
  }
}

void TForm_Info::CreateExplorerPage() {
  tree_width_ = Scale(kTreeWidth);
  tvNavigation = AddControl(WC_TREEVIEWW, L"",
                            TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP, 0, 0, 0,
                            0, kIdInfoNavigation, TS_Explorer, WS_EX_CLIENTEDGE);
  Splitter1 = CreateSplitter(instance(), TS_Explorer, kIdInfoSplitter, 0, 0, 0, 0, Scale(kMinPane));
  lvInformation = AddControl(WC_LISTVIEWW, L"", LVS_REPORT | WS_TABSTOP, 0, 0, 0, 0,
                             kIdInfoInformation, TS_Explorer, WS_EX_CLIENTEDGE);
  AddColumn(lvInformation, 0, Text(TextId::InfoColumnProperty), Scale(kPropertyColumnWidth));
  AddColumn(lvInformation, 1, Text(TextId::InfoColumnValue), Scale(100));
}

void TForm_Info::FormLayout(int previous_dpi) {
  if (previous_dpi != dpi()) {
    // The widths the user may have dragged keep their share.
    const int columns = Header_GetItemCount(ListView_GetHeader(lvStandard));
    for (int i = 0; i < columns; ++i) {
      ListView_SetColumnWidth(lvStandard, i, MulDivRound(ListView_GetColumnWidth(lvStandard, i), dpi(), previous_dpi));
    }
    ListView_SetColumnWidth(lvInformation, 0,
                            MulDivRound(ListView_GetColumnWidth(lvInformation, 0), dpi(), previous_dpi));
    tree_width_ = MulDivRound(tree_width_, dpi(), previous_dpi);
  }
  // The availability pictures drawn at the size the list shows them.
  const int picture = Scale(kAvailabilityPictureSize);
  if (picture != picture_size_) {
    UniqueImageList pictures(ImageList_Create(picture, picture, ILC_COLOR32 | ILC_MASK, 2, 0));
    for (bool available : {false, true}) {
      UniqueIcon icon = IconFromPixels(DrawAvailabilityPicture(available, picture), picture, PixelAlpha::FromPixels);
      ImageList_AddIcon(pictures.get(), icon.get());
    }
    // The list shares the pictures: the old ones go once it shows the new.
    ListView_SetImageList(lvStandard, pictures.get(), LVSIL_SMALL);
    ilAvailable = std::move(pictures);
    picture_size_ = picture;
  }
  TreeView_SetIndent(tvNavigation, Scale(kTreeIndent));
  SetSplitterMinPane(Splitter1, Scale(kMinPane));
  LayoutInfo();
}

void TForm_Info::LayoutInfo() {
  RECT client;
  GetClientRect(hwnd(), &client);
  const int cw = client.right, ch = client.bottom;
  Place(PageControl, Scale(kMargin), Scale(kMargin), cw - 2 * Scale(kMargin), ch - Scale(kMargin) - Scale(kBelowPages));
  PlaceTabPages();
  for (HWND label : {Label_PoweredBy, Label_Version}) {
    Place(label, Scale(kMargin), ch - Scale(label == Label_PoweredBy ? kPoweredByAbove : kVersionAbove),
          TextWidth(label, ControlText(label)) + 2, Scale(kLabelHeight));
  }
  Place(Button_Close, cw - Scale(kMargin) - Scale(kCloseWidth), ch - Scale(kCloseBelow) - Scale(kCloseHeight),
        Scale(kCloseWidth), Scale(kCloseHeight));

  RECT page;
  GetClientRect(TS_Features, &page);
  const int border = Scale(kSheetBorder);
  Place(Label_FeatureSet, border, border + Scale(4),
        std::min(Scale(kFeatureSetLabelWidth), TextWidth(Label_FeatureSet, ControlText(Label_FeatureSet)) + 2),
        Scale(kLabelHeight));
  Place(Label_AvailableFeatures, border, border + Scale(kAvailableFeaturesY), page.right - 2 * border,
        Scale(kLabelHeight));
  Place(lvStandard, border, border + Scale(kFeaturePanelHeight), page.right - 2 * border,
        page.bottom - 2 * border - Scale(kFeaturePanelHeight));
  LayoutExplorer();
}

void TForm_Info::LayoutExplorer() {
  RECT page;
  GetClientRect(TS_Explorer, &page);
  const int splitter = Scale(kSplitterWidth);
  tree_width_ = ClampSplitterLeft(tree_width_, page.right, splitter, Scale(kMinPane));
  const int list_left = tree_width_ + splitter;
  SetWindowPos(tvNavigation, nullptr, 0, 0, tree_width_, page.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(Splitter1, nullptr, tree_width_, 0, splitter, page.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(lvInformation, nullptr, list_left, 0, std::max(0, static_cast<int>(page.right) - list_left), page.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // The value column takes the rest of the list's width.
  ListView_SetColumnWidth(lvInformation, 1, LVSCW_AUTOSIZE_USEHEADER);
}

void TForm_Info::BuildTree() {
  // Built while the window is still hidden: no hourglass of ours belongs
  // anywhere then.
  TRedrawHeld held(tvNavigation);
  TreeView_DeleteAllItems(tvNavigation);
  node_texts_.clear();
  for (const cpuid::InfoNode& node : cpuid::BuildNavigationTree()) InsertNode(tvNavigation, TVI_ROOT, node, node_texts_);
  ExpandAll(tvNavigation, TreeView_GetRoot(tvNavigation));
}

LRESULT TForm_Info::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case kMsgReadingFinished: ReadingFinished(); return 0;
    case WM_SIZE:
      if (Button_Close && wparam != SIZE_MINIMIZED) LayoutInfo();
      return 0;
    case WM_SETCURSOR:
      // Over the window and its controls while a reading is outstanding;
      // the frame keeps its sizing cursors.
      if (Reading() && LOWORD(lparam) == HTCLIENT) {
        SetCursor(TWaitCursor::WaitCursor());
        return TRUE;
      }
      return Default(msg, wparam, lparam);
    case WM_CONTEXTMENU: FormContextMenu(reinterpret_cast<HWND>(wparam), lparam); return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom == lvStandard && header->code == static_cast<UINT>(NM_CUSTOMDRAW))
        return lvStandardCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lparam));
      if (header->hwndFrom == PageControl && header->code == TCN_SELCHANGE) PageControlChange();
      if (header->hwndFrom == tvNavigation && header->code == TVN_SELCHANGEDW) {
        tvNavigationChange(*reinterpret_cast<const NMTREEVIEWW*>(lparam));
      }
      return 0;
    }
    case WM_COMMAND: {
      const HWND from = reinterpret_cast<HWND>(lparam);
      if (from == cbActiveSet && HIWORD(wparam) == CBN_SELCHANGE) cbActiveSetChange();
      if (from == Button_Close && HIWORD(wparam) == BN_CLICKED) Button_CloseClick();
      if (from == Splitter1 && HIWORD(wparam) == kSplitterMoved) Splitter1Moved();
      if (!from && LOWORD(wparam) >= kIdInfoCopyRows && LOWORD(wparam) <= kIdInfoSaveReport)
        InfoCommand(LOWORD(wparam), nullptr, SelectedNodeCode());
      return 0;
    }
    default: return Default(msg, wparam, lparam);
  }
}

void TForm_Info::tvNavigationChange(const NMTREEVIEWW& change) {
  if (!change.itemNew.hItem || !reader_) return;
  TVITEMW item = {};
  item.mask = TVIF_PARAM;
  item.hItem = change.itemNew.hItem;
  SendMessageW(tvNavigation, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  // The page shown so far goes at once; the new one follows when read.
  { TListviewUpdate clear(lvInformation, true); }
  reader_->RequestPage(static_cast<int>(item.lParam));
  if (!reading_cursor_) reading_cursor_.emplace(hwnd());
}

void TForm_Info::cbActiveSetChange() {
  const auto kind = FeatureKindOfItem(static_cast<int>(SendMessageW(cbActiveSet, CB_GETCURSEL, 0, 0)));
  if (!kind || !reader_) return;
  { TListviewUpdate clear(lvStandard, true); }
  reader_->RequestFeatures(*kind);
  if (!reading_cursor_) reading_cursor_.emplace(hwnd());
}

void TForm_Info::PageControlChange() {
  const int tab = TabCtrl_GetCurSel(PageControl);
  ShowWindow(TS_Features, tab == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(TS_Explorer, tab == 1 ? SW_SHOW : SW_HIDE);
  // A new page takes the focus (a click on a tab leaves it in the page just
  // hidden), unless the user walks the tabs with the arrow keys on the tab
  // control itself.
  if (GetFocus() != PageControl || GetKeyState(VK_LBUTTON) < 0)
    FocusFirstControlOf(tab == 0 ? TS_Features : TS_Explorer);
}

void TForm_Info::Splitter1Moved() {
  RECT bar;
  GetWindowRect(Splitter1, &bar);
  MapWindowPoints(nullptr, TS_Explorer, reinterpret_cast<POINT*>(&bar), 2);
  tree_width_ = bar.left;
  LayoutExplorer();
}

void TForm_Info::ReadingFinished() {
  if (!reader_) return;
  if (std::optional<FeatureReading> features = reader_->TakeFeatures()) ShowFeatures(*features);
  if (std::optional<PageReading> page = reader_->TakePage()) ShowPage(*page);
  const std::vector<TextReading> texts = reader_->TakeTexts();
  if (!reader_->Busy()) reading_cursor_.reset();
  // Last: a save that fails shows a box, and the window goes on meanwhile.
  for (const TextReading& text : texts) TextFinished(text);
}

void TForm_Info::ShowPage(const PageReading& page) {
  TListviewUpdate update(lvInformation, true);
  for (const cpuid::InfoRow& row : page.rows) {
    const int at = AddRow(lvInformation, Widen(row.caption), -1, static_cast<LPARAM>(row.value_text));
    SetCell(lvInformation, at, 1, Widen(row.value));
  }
  ListView_SetColumnWidth(lvInformation, 1, LVSCW_AUTOSIZE_USEHEADER);
}

void TForm_Info::ShowFeatures(const FeatureReading& features) {
  TListviewUpdate update(lvStandard, true);
  SetControlText(Label_AvailableFeatures, Widen(features.table.label));
  for (const cpuid::FeatureTableRow& row : features.table.rows) {
    // The picture alone shows; the text is what screen readers and copies read.
    const int at = AddRow(lvStandard, Widen(Text(row.available ? TextId::InfoAvailable : TextId::InfoUnavailable)),
                          row.available ? 1 : 0);
    SetCell(lvStandard, at, 1, std::to_wstring(row.bit));
    SetCell(lvStandard, at, 2, Widen(row.short_name));
    SetCell(lvStandard, at, 3, Widen(row.description));
  }
}

HWND TForm_Info::Control(int id) const {
  switch (id) {
    case kIdInfoPageControl: return PageControl;
    case kIdInfoActiveSet: return cbActiveSet;
    case kIdInfoAvailableFeatures: return Label_AvailableFeatures;
    case kIdInfoStandard: return lvStandard;
    case kIdInfoNavigation: return tvNavigation;
    case kIdInfoSplitter: return Splitter1;
    case kIdInfoInformation: return lvInformation;
    case kIdInfoVersion: return Label_Version;
    case kIdInfoClose: return Button_Close;
    default: return nullptr;
  }
}

}  // namespace zt
