#include "shell/popup_menu_win.h"

#include <string>
#include <vector>

#include "shell/menu_model.h"
#include "util/dpi.h"
#include "util/hotkey.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

std::wstring MenuCaption(const MenuEntry& e) {
  std::wstring caption = Widen(Text(e.text));
  if (e.shortcut) caption += L"\t" + Widen(ShortCutToText(e.shortcut));
  return caption;
}

// Draws a placement picture at (left, top): the dotted frame and the block,
// each design pixel a cell whose edges are scaled to `dpi` on whole pixels
// (solid and sharp at every size), on whatever the menu has drawn behind it
// (so it suits a highlighted row too).
void DrawMenuPicture(HDC dc, MenuPicture picture, int left, int top, COLORREF color, int dpi) {
  UniqueBrush brush(CreateSolidBrush(color));
  auto edge = [&](int design) { return ScaleToDpi(design, dpi); };
  for (int y = 0; y < kMenuPictureSize; ++y) {
    for (int x = 0; x < kMenuPictureSize; ++x) {
      if (!MenuPictureBlock(picture, x, y) && !MenuPictureFrameDot(x, y)) continue;
      const RECT cell = {left + edge(x), top + edge(y), left + edge(x + 1), top + edge(y + 1)};
      FillRect(dc, &cell, brush.get());
    }
  }
}

}  // namespace

void TPopupMenu::Build() {
  menu_.reset(::CreatePopupMenu());
  lock_owner_ = nullptr;
  std::vector<HMENU> stack = {menu_.get()};
  const MenuEntry* entries = PopupMenuEntries();
  for (std::size_t i = 0; i < PopupMenuEntryCount(); ++i) {
    const MenuEntry& e = entries[i];
    HMENU current = stack.back();
    switch (e.kind) {
      case MenuEntryKind::Separator:
        AppendMenuW(current, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuEntryKind::SubmenuBegin: {
        // Owned by its parent menu from here on.
        HMENU sub = ::CreatePopupMenu();
        AppendMenuW(current, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), Widen(Text(e.text)).c_str());
        stack.push_back(sub);
        break;
      }
      case MenuEntryKind::SubmenuEnd:
        if (stack.size() > 1) stack.pop_back();
        break;
      case MenuEntryKind::Item: {
        AppendMenuW(current, MF_STRING, e.id, MenuCaption(e).c_str());
        if (e.picture != MenuPicture::None) {
          // Drawn on request (WM_DRAWITEM), so no bitmap has to guess the
          // menu's colours.
          MENUITEMINFOW mii = {};
          mii.cbSize = sizeof(mii);
          mii.fMask = MIIM_BITMAP;
          mii.hbmpItem = HBMMENU_CALLBACK;
          SetMenuItemInfoW(current, e.id, FALSE, &mii);
        }
        if (e.id == MI_LockForm) lock_owner_ = current;
        break;
      }
    }
  }
}

void TPopupMenu::SetLockChecked(bool checked) {
  if (lock_owner_) CheckMenuItem(lock_owner_, MI_LockForm, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool TPopupMenu::LockChecked() const {
  return lock_owner_ && (GetMenuState(lock_owner_, MI_LockForm, MF_BYCOMMAND) & MF_CHECKED);
}

void TPopupMenu::TrackAt(HWND owner, int x, int y) {
  if (!menu_) return;
  SetForegroundWindow(owner);
  TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

bool TPopupMenu::MeasureItem(MEASUREITEMSTRUCT& item, int dpi) {
  if (item.CtlType != ODT_MENU || !FindMenuEntry(static_cast<uint16_t>(item.itemID))) return false;
  item.itemWidth = static_cast<UINT>(ScaleToDpi(kMenuPictureSize + 4, dpi));  // a little air before the caption
  item.itemHeight = static_cast<UINT>(ScaleToDpi(kMenuPictureSize, dpi));
  return true;
}

bool TPopupMenu::DrawItem(const DRAWITEMSTRUCT& item, int dpi) {
  const MenuEntry* e = item.CtlType == ODT_MENU ? FindMenuEntry(static_cast<uint16_t>(item.itemID)) : nullptr;
  if (!e || e->picture == MenuPicture::None) return false;
  const RECT& r = item.rcItem;
  const int size = ScaleToDpi(kMenuPictureSize, dpi);
  const int left = r.left + ((r.right - r.left) - size) / 2;
  const int top = r.top + ((r.bottom - r.top) - size) / 2;
  const COLORREF color = (item.itemState & ODS_SELECTED) ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0);
  DrawMenuPicture(item.hDC, e->picture, left, top, color, dpi);
  return true;
}

}  // namespace zt
