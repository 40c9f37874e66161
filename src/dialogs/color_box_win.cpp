#include "dialogs/color_box_win.h"

#include <commdlg.h>

#include "config/color_win.h"
#include "dialogs/color_list.h"
#include "util/control_text_win.h"
#include "util/dpi.h"
#include "util/handles_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

constexpr int kCustomEntry = static_cast<int>(kNamedColorCount);

// The colours the user keeps in the chooser's custom row, for the whole run.
COLORREF g_custom_row[16] = {};

}  // namespace

template <>
IColorChooser& Seam<IColorChooser>::Real() {
  class SystemColorChooser final : public IColorChooser {
   public:
    bool Choose(HWND owner, Color& color) override {
      CHOOSECOLORW cc = {};
      cc.lStructSize = sizeof(cc);
      cc.hwndOwner = owner;
      cc.rgbResult = ToColorRef(color);
      cc.lpCustColors = g_custom_row;
      cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
      if (!ChooseColorW(&cc)) return false;
      color = cc.rgbResult & 0x00FFFFFF;
      return true;
    }
  };
  static SystemColorChooser chooser;
  return chooser;
}

namespace {
int WindowHeight(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return r.bottom - r.top;
}
}  // namespace

void TColorBox::Attach(HWND combo, int item_height) {
  combo_ = combo;
  item_height_ = item_height;
  field_frame_ = WindowHeight(combo) - item_height;
  SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  const NamedColor* colors = NamedColors();
  for (std::size_t i = 0; i < kNamedColorCount; ++i) {
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(Text(colors[i].name)).c_str()));
  }
  SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(CustomColorCaption(false, 0)).c_str()));
}

void TColorBox::Retext() {
  if (!combo_) return;
  const LRESULT selected = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
  // There is no "set text" for an item: each is replaced where it stands.
  for (int i = 0; i <= kCustomEntry; ++i) {
    const std::wstring caption = i < kCustomEntry ? Widen(Text(NamedColors()[i].name))
                                                  : Widen(CustomColorCaption(custom_held_, ToColorRef(custom_)));
    SendMessageW(combo_, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    SendMessageW(combo_, CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(caption.c_str()));
  }
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

Color TColorBox::EntryColor(int index) const {
  if (index >= 0 && index < kCustomEntry) return NamedColors()[index].color;
  return custom_;
}

void TColorBox::SetCustom(Color color) {
  custom_held_ = true;
  custom_ = color;
  // Replace the entry's text (there is no "set text" for an item).
  const std::wstring caption = Widen(CustomColorCaption(true, ToColorRef(color)));
  SendMessageW(combo_, CB_DELETESTRING, kCustomEntry, 0);
  SendMessageW(combo_, CB_INSERTSTRING, kCustomEntry, reinterpret_cast<LPARAM>(caption.c_str()));
}

void TColorBox::SetColor(Color color) {
  color_ = color;
  const int entry = static_cast<int>(ColorEntryFor(color));
  if (entry == kCustomEntry) SetCustom(color);
  SendMessageW(combo_, CB_SETCURSEL, entry, 0);
}

void TColorBox::ShowColorInUse() {
  if (SendMessageW(combo_, CB_GETCURSEL, 0, 0) != static_cast<LRESULT>(ColorEntryFor(color_))) SetColor(color_);
}

void TColorBox::ListCancelled() {
  cancelled_ = true;
  ShowColorInUse();
}

bool TColorBox::ListClosed(HWND owner) { return cancelled_ ? false : TakeSelection(owner); }

bool TColorBox::EnterPressed(HWND owner) { return TakeSelection(owner); }

// A candidate left behind is dropped.
void TColorBox::FocusLost() { ShowColorInUse(); }

bool TColorBox::TakeSelection(HWND owner) {
  const int index = static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0));
  if (index < 0) return false;
  switch (TakeColorEntry(static_cast<std::size_t>(index), color_)) {
    case ColorTake::Keep: return false;
    case ColorTake::Apply:
      color_ = NamedColors()[index].color;
      return true;
    case ColorTake::AskForColor: break;
  }
  Color chosen = color_;
  if (!Seam<IColorChooser>::Get().Choose(owner, chosen)) {
    SetColor(color_);  // back to what was shown before
    return false;
  }
  const bool changed = chosen != color_;
  SetColor(chosen);
  return changed;
}

void TColorBox::SetItemHeight(int pixels) {
  item_height_ = pixels;
  if (!combo_) return;
  SendMessageW(combo_, CB_SETITEMHEIGHT, 0, pixels);
  SendMessageW(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), pixels);
  // The field is asked for by its inside height, which the system may count
  // apart from what it measured when the box was made: the box keeps the
  // frame it had around its entries then.
  const int off = WindowHeight(combo_) - (pixels + field_frame_);
  if (off != 0) SendMessageW(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), pixels - off);
}

void TColorBox::DrawItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID == static_cast<UINT>(-1)) return;
  const int index = static_cast<int>(item.itemID);

  // The swatch, framed, unless it is the custom entry with nothing chosen
  // yet; its figures are at the scale of the entry's height.
  auto scale = [&](int design) { return MulDivRound(design, item_height_, kColorItemHeight); };
  RECT swatch = {r.left + scale(2), r.top + scale(2), r.left + scale(2 + 22), r.bottom - scale(2)};
  if (index != kCustomEntry || custom_held_) {
    UniqueBrush fill(CreateSolidBrush(ToColorRef(EntryColor(index))));
    FillRect(dc, &swatch, fill.get());
    FrameRect(dc, &swatch, GetSysColorBrush(COLOR_WINDOWTEXT));
  }

  const std::wstring text = ComboItemText(combo_, static_cast<int>(item.itemID));
  RECT tr = {swatch.right + scale(5), r.top, r.right - scale(2), r.bottom};
  SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

}  // namespace zt
