#include "dialogs/color_list.h"

#include <cstdio>

namespace zt {
namespace {

using T = TextId;
constexpr NamedColor kNamedColors[kNamedColorCount] = {
    {0x000000, T::ColorBlack}, {0x000080, T::ColorMaroon},  {0x008000, T::ColorGreen},  {0x008080, T::ColorOlive},
    {0x800000, T::ColorNavy},  {0x800080, T::ColorPurple},  {0x808000, T::ColorTeal},   {0x808080, T::ColorGray},
    {0xC0C0C0, T::ColorSilver}, {0x0000FF, T::ColorRed},    {0x00FF00, T::ColorLime},   {0x00FFFF, T::ColorYellow},
    {0xFF0000, T::ColorBlue},  {0xFF00FF, T::ColorFuchsia}, {0xFFFF00, T::ColorAqua},   {0xFFFFFF, T::ColorWhite},
    {0xC0DCC0, T::ColorMoneyGreen}, {0xF0CAA6, T::ColorSkyBlue}, {0xF0FBFF, T::ColorCream}, {0xA4A0A0, T::ColorMediumGray},
};

}  // namespace

const NamedColor* NamedColors() { return kNamedColors; }

std::string CustomColorCaption(bool holds_color, Color color) {
  if (!holds_color) return Text(TextId::ColorCustomEmpty);
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
  return Format(TextId::ColorCustom, {std::string("#") + hex});
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
