// The main window: applying the settings to its widgets, as at creation and
// whenever the settings dialog changes one.
#include "shell/main_form_win.h"

#include "config/color_win.h"
#include "shell/form_layout.h"
#include "shell/widgets_win.h"

namespace zt {

void TForm_Main::ApplySettings() {
  // Window, gauge, bar and line colours and the pen width.
  ApplyColors();
  // Colour key (the window colour) and translucency.
  ApplyTranslucency();
  SetTextColor(TextColor);
  SetDisplayMemory(DisplayMemory);
  SetHideBarGraph(HideBarGraph);
  SetShowMoreResources(ShowMoreResources);
  RegisterAppModeHotkey();
  SetTrayMode(AppTrayMode, true);
  SetAutoHideControls(AutoHideControls);
}

void TForm_Main::ApplyColors() {
  look_->back = ToColorRef(BackgroundColor);
  if (gauge_) gauge_->bar_color = ToColorRef(BarColor);
  if (chart_) {
    ChartLook& cl = chart_->chart_look();
    cl.line_color[0] = ToColorRef(GraphMemoryColor);
    cl.line_color[1] = ToColorRef(GraphCPUColor1);
    cl.line_color[2] = ToColorRef(GraphCPUColor2);
    cl.line_color[3] = ToColorRef(GraphCPUColor3);
    cl.line_color[4] = ToColorRef(GraphCPUColor4);
    cl.line_width = ThickerGraph ? 2 : 1;
  }
  InvalidateWidgets();
}

void TForm_Main::InvalidateWidgets() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  for (TWidget* w : std::initializer_list<TWidget*>{image_move_.get(), sb_menu_.get(), label_cpu_speed_.get(),
                                                     label_memory_used_.get(), sb_hide_.get(), sb_close_.get(),
                                                     chart_.get(), gauge_.get(), label_more_.get()}) {
    if (w) w->Invalidate();
  }
}

void TForm_Main::ApplyTranslucency() {
  if (!hwnd_) return;
  // The colour key is the window colour as ApplyColors last set it.
  if (fonts_crisp_ != static_cast<bool>(Transparency)) {
    CreateFonts(Transparency);
    if (label_cpu_speed_) label_cpu_speed_->Refit();
    if (label_memory_used_) label_memory_used_->Refit();
    InvalidateWidgets();
  }
  LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  if (AlphaBlend || Transparency) {
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    DWORD flags = (Transparency ? LWA_COLORKEY : 0) | (AlphaBlend ? LWA_ALPHA : 0);
    SetLayeredWindowAttributes(hwnd_, look_->back, AlphaBlend ? AlphaBlendValue.load() : 255, flags);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TForm_Main::SetTextColor(Color color) {
  look_->text = ToColorRef(color);
  for (TWidget* w : std::initializer_list<TWidget*>{label_cpu_speed_.get(), label_memory_used_.get(),
                                                     chart_.get(), gauge_.get(), label_more_.get()}) {
    if (w) w->Invalidate();
  }
}

void TForm_Main::SetDisplayMemory(bool on) {
  if (label_memory_used_) ShowWindow(label_memory_used_->hwnd(), on ? SW_SHOWNA : SW_HIDE);
  if (!on) {
    chart_data_.Clear(kGraphLineMemory);
    if (chart_) chart_->Invalidate();
  }
}

void TForm_Main::SetHideBarGraph(bool hide) {
  bar_graph_hidden_ = hide;
  if (gauge_) ShowWindow(gauge_->hwnd(), hide ? SW_HIDE : SW_SHOWNA);
  LayoutWidgets();
}

void TForm_Main::SetShowMoreResources(bool on) {
  if (on != more_line_shown_ && hwnd_) {
    // The window keeps its stored size and grows or shrinks by the line;
    // the resize lays the widgets out.
    const int height = DesignHeight();
    more_line_shown_ = on;
    SetDesignHeight(height);
  }
  more_line_shown_ = on;
  if (!label_more_) return;
  if (on) label_more_->SetText(MoreLineText());
  ShowWindow(label_more_->hwnd(), on ? SW_SHOWNA : SW_HIDE);
  LayoutWidgets();
  if (tip_load_ >= 0) {
    tray_.SetTip(TipText(tip_load_, tip_memory_));
    tray_.UpdateIcon();
  }
}

void TForm_Main::FormSysColorChange() {
  // System colour constants among the settings follow the new scheme.
  SetTextColor(TextColor);
  ApplyColors();
  ApplyTranslucency();
}

}  // namespace zt
