// The main window's answers to the test query (a registered message), so
// the end-to-end tests can read state that no window text shows.
#include "shell/main_form_win.h"

#include <objbase.h>

#include "shell/widgets_win.h"

namespace zt {

const wchar_t kMainWindowQueryMessage[] = L"Zettrim.MainWindow.Query";

LRESULT TForm_Main::Query(WPARAM item) {
  const auto q = static_cast<MainQuery>(item);
  if (item >= static_cast<WPARAM>(MainQuery::LinePoints0) && item < static_cast<WPARAM>(MainQuery::LinePoints0) + kChartLines) {
    return chart_data_.PointCount(static_cast<int>(item - static_cast<WPARAM>(MainQuery::LinePoints0)));
  }
  switch (q) {
    case MainQuery::TrayShown: return tray_.shown() ? 1 : 0;
    case MainQuery::HotkeyRegistered: return AppModeHotkeyRegistered() ? 1 : 0;
    case MainQuery::TitleControlsVisible: return title_controls_visible_ ? 1 : 0;
    case MainQuery::Dragging: return dragging_ ? 1 : 0;
    case MainQuery::TrayImageIndex: return tray_index_;
    case MainQuery::SplashVisible: return label_splash_ && IsWindowVisible(label_splash_->hwnd()) ? 1 : 0;
    case MainQuery::TrayUpdates: return tray_updates_;
    case MainQuery::TrayRefreshes: return tray_refreshes_;
    case MainQuery::ComApartment: {
      APTTYPE type;
      APTTYPEQUALIFIER qualifier;
      return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) ? static_cast<LRESULT>(type) : -1;
    }
    default: return -1;
  }
}

}  // namespace zt
