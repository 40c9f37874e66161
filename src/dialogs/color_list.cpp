#include "dialogs/color_list.h"

#include <cstdio>

namespace zt {
namespace {

constexpr NamedColor kNamedColors[kNamedColorCount] = {
    {0x000000, "黑色"},   {0x000080, "栗色"},   {0x008000, "绿色"},   {0x008080, "橄榄色"},
    {0x800000, "藏青色"}, {0x800080, "紫色"},   {0x808000, "蓝绿色"}, {0x808080, "灰色"},
    {0xC0C0C0, "银色"},   {0x0000FF, "红色"},   {0x00FF00, "酸橙色"}, {0x00FFFF, "黄色"},
    {0xFF0000, "蓝色"},   {0xFF00FF, "紫红色"}, {0xFFFF00, "水绿色"}, {0xFFFFFF, "白色"},
    {0xC0DCC0, "美元绿"}, {0xF0CAA6, "天蓝色"}, {0xF0FBFF, "乳白色"}, {0xA4A0A0, "中灰色"},
};

}  // namespace

const NamedColor* NamedColors() { return kNamedColors; }

std::string CustomColorCaption(bool holds_color, Color color) {
  if (!holds_color) return "自定义...";
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
  return std::string("自定义 #") + hex;
}

std::size_t ColorEntryFor(Color color) {
  for (std::size_t i = 0; i < kNamedColorCount; ++i) {
    if (kNamedColors[i].color == color) return i;
  }
  return kNamedColorCount;
}

ColorTake TakeColorEntry(std::size_t entry, Color applied) {
  if (entry == kNamedColorCount) return ColorTake::AskForColor;
  if (entry > kNamedColorCount || kNamedColors[entry].color == applied) return ColorTake::Keep;
  return ColorTake::Apply;
}

}  // namespace zt
