#pragma once
// Where the spell box screen puts its parts, at 800 x 600 and at 640 x 480: the three
// talisman columns of seven slots (Law, Neutral, Vrask; slot 0 at the bottom), the tray of the
// 25 known items, the pointed item's three spell icons, the grimoire and leave buttons and the
// item's picture. The screen places its slots by it and the forge paints the case's sockets
// under them, so that the two cannot part. Header only: data and its arithmetic.

#include "platform/Display.h"

namespace spell_box_layout {

struct Layout {
  int width, height;
  int columnLeft[3], columnWidth, columnBottom, columnPitch;
  int poolLeft, poolTop, poolPitchX, poolPitchY, poolSize;
  int iconLeft, iconTop, iconPitch, iconWidth, iconHeight;
  platform::Rect grimoire, leave, picture;
  int heldSize;  // the picture of the item under the pointer
};

// 800 x 600, then 640 x 480.
// clang-format off
inline constexpr Layout kLayouts[2] = {
    {.width = 800, .height = 600,
     .columnLeft = {194, 103, 12}, .columnWidth = 82, .columnBottom = 590, .columnPitch = 83,
     .poolLeft = 297, .poolTop = 95, .poolPitchX = 99, .poolPitchY = 102, .poolSize = 82,
     .iconLeft = 432, .iconTop = 22, .iconPitch = 68, .iconWidth = 39, .iconHeight = 43,
     .grimoire = {672, 22, 720, 80}, .leave = {730, 22, 778, 80}, .picture = {285, 4, 369, 88}, .heldSize = 83},
    {.width = 640, .height = 480,
     .columnLeft = {156, 83, 10}, .columnWidth = 65, .columnBottom = 471, .columnPitch = 66,
     .poolLeft = 240, .poolTop = 75, .poolPitchX = 78, .poolPitchY = 82, .poolSize = 65,
     .iconLeft = 335, .iconTop = 14, .iconPitch = 54, .iconWidth = 39, .iconHeight = 43,
     .grimoire = {522, 13, 570, 61}, .leave = {576, 13, 624, 61}, .picture = {229, 3, 296, 70}, .heldSize = 66},
};
// clang-format on

// Slot i of a column (0 Law, 1 Neutral, 2 Vrask), counted up from the bottom.
inline platform::Rect ColumnRect(const Layout& l, int column, int i) {
  const int bottom = l.columnBottom - l.columnPitch * i;
  return {l.columnLeft[column], bottom - l.columnWidth, l.columnLeft[column] + l.columnWidth, bottom};
}

// Slot of the tray, five to a row.
inline platform::Rect PoolRect(const Layout& l, int slot) {
  const int r = slot / 5, k = slot % 5;
  const int left = l.poolLeft + l.poolPitchX * k, top = l.poolTop + l.poolPitchY * r;
  return {left, top, left + l.poolSize, top + l.poolSize};
}

// Spell icon j of the item under the pointer.
inline platform::Rect IconRect(const Layout& l, int j) {
  const int left = l.iconLeft + l.iconPitch * j;
  return {left, l.iconTop, left + l.iconWidth, l.iconTop + l.iconHeight};
}

}  // namespace spell_box_layout
