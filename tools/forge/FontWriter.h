#pragma once
// Writes bitmap fonts (.sft) as the game reads them: glyph frames of coverage levels
// 0..63 with a band table of each glyph's left and right edge per band of the line.

#include <array>
#include <cstdint>
#include <vector>

#include "forge/Canvas.h"

namespace forge {

struct FontGlyph {
  Canvas canvas;     // coverage 0..63, transparent where no ink
  int hotspotY = 0;  // rows of the glyph above the baseline; the pen's x is its left edge
};

struct FontSpec {
  int layout = 3;
  int bands = 8;
  int topOffset = 0;     // the baseline below the line's top
  int secondMetric = 0;  // the rest of the line height
  bool hasPalette = false;
  std::array<uint8_t, 768> palette{};
  std::vector<FontGlyph> glyphs;  // characters from 33
};

// Each band of the line (topOffset + secondMetric rows split in bands): the glyph's first
// ink column and one past its last; a band without ink takes (ink width, 0), so that it
// never holds the next glyph off.
std::vector<std::array<int32_t, 2>> GlyphBands(const FontGlyph& glyph, const FontSpec& spec);

std::vector<uint8_t> WriteFont(const FontSpec& spec);

}  // namespace forge
