// The colours a colour box offers: the sixteen standard colours, four extended
// ones and, last, an entry that opens the system's colour chooser and then
// holds the colour chosen there.  Each entry has a readable name.
// Portable.
#pragma once

#include <cstddef>
#include <string>

#include "config/config.h"
#include "util/texts.h"

namespace zt {

struct NamedColor {
  Color color;
  TextId name;
};

// The standard and extended colours, in the order the box lists them.
constexpr std::size_t kNamedColorCount = 20;
const NamedColor* NamedColors();

// The caption of the custom entry: "Custom..." while it holds no colour,
// otherwise with the colour it holds ("Custom #A6CAF0", red first).
std::string CustomColorCaption(bool holds_color, Color color);

// The list entry that shows `color`: its index among the named colours, or
// kNamedColorCount (the custom entry) for any other colour.
std::size_t ColorEntryFor(Color color);

// What taking an entry of a colour box does (the list closed on it, or Enter
// was pressed on it), with `applied` the colour in use: the custom entry asks
// for a colour each time it is taken; a named entry applies its colour when
// that is a change.
enum class ColorTake { Keep, Apply, AskForColor };
ColorTake TakeColorEntry(std::size_t entry, Color applied);

}  // namespace zt
