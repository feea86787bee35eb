#pragma once
// Run-length sprite frames as sprite and font files hold them, the colour-table lists they
// are printed through, and the checks a frame passes once when its file loads. After those
// checks the printers trust what they print: they stay fast and do no bounds tests of
// their own.
//
// Frame layout (little-endian, offsets from the frame's first byte):
//   0 next part (or end of data)  4 width  8 height  12 hotspot x  16 hotspot y
//   28 palette index (-1: pixels are 16-bit)  32 end of pixel data  36 second end
//   40 row table: per row the offset of its control bytes and of its pixel bytes.
// Control bytes of a row are (skip, count) pairs; the row ends as soon as the column
// reaches the width, after a skip or after a count. A transparent gap wider than 255 is
// written as (255, 0) pairs followed by the rest of the gap, and an opaque run longer
// than 255 as a run of 255 followed by (0, rest): a count of 0 is a run of no pixels.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Bytes.h"

// A printer's answer: 0 printed (or nothing visible), 3 a row's runs did not add up to the
// width, 1 print again with the portable printer.
using PrintResult = uint16_t;
enum : PrintResult { kPrintDone = 0, kPrintRetryPortable = 1, kPrintBadRunSum = 3 };

// One node of a palette's colour-table list: consecutive 256-entry tables, one per light
// level, darkest first. Nodes are made by the colour-table builders.
struct ShadeTableList {
  // Spare entries after the last table, so that a printer may read a whole 32-bit word at
  // any 16-bit entry.
  static constexpr int kPadding = 16;

  ShadeTableList* next = nullptr;
  uint32_t shift = 0;                // light >> shift picks the table
  uint32_t base = 0;                 // the table of light level 0
  int tableCount = 0;                // tables held; a light level beyond them takes the nearest
  bool wide = false;                 // also holds 32-bit tables (darker and normal only)
  std::vector<uint16_t> tables;      // tableCount x 256 pixels, then the padding
  std::vector<uint32_t> wideTables;  // the same tables widened, when wide

  const uint16_t* Table(int t) const { return tables.data() + t * 256; }
  const uint32_t* WideTable(int t) const { return wideTables.data() + t * 256; }
  // Makes room for count tables of zeros (and the wide copies when wide).
  void Allocate(int count, bool makeWide);
};

// Frees a whole list; answers null so that callers can write head = FreeLinkedList(head).
ShadeTableList* FreeLinkedList(ShadeTableList* first);

// The node listIndex steps down the list, or null when the list is shorter (or the index
// negative): such a print is refused.
const ShadeTableList* ShadeListNode(const ShadeTableList* head, int listIndex);

// The table of a light level: light >> shift (rounded toward zero for negative levels)
// from the base, kept inside the tables the node holds.
inline int ShadeTableIndex(const ShadeTableList& node, int light) {
  int v = light >> node.shift;
  if (v < 0 && node.shift != 0) v += 1;
  int t = static_cast<int>(node.base) + v;
  if (t < 0) t = 0;
  if (t >= node.tableCount) t = node.tableCount - 1;
  return t;
}

// The 16-bit table a print with this light level and list index uses, or null.
const uint16_t* ChooseShadeTable(const ShadeTableList* head, int light, int listIndex);

// The fields of loaded file images are little-endian words, whatever the processor.
using bytes::LoadI32;
using bytes::StoreI32;

// A frame in a loaded file image, and the colour-table list of its palette, which travels
// beside it (the file's 32-bit palette field cannot hold a pointer).
struct CSpriteFrame {
  static constexpr int kHeaderSize = 40;
  enum Field : int {
    kNextPart = 0,
    kWidth = 4,
    kHeight = 8,
    kHotspotX = 12,
    kHotspotY = 16,
    kPalette = 28,
    kEnd = 32,
    kAltEnd = 36,
    kRowTable = 40
  };

  const uint8_t* data = nullptr;
  const ShadeTableList* tables = nullptr;  // null for frames of 16-bit pixels

  explicit operator bool() const { return data != nullptr; }
  int32_t Get(int offset) const { return LoadI32(data + offset); }
  int Width() const { return Get(kWidth); }
  int Height() const { return Get(kHeight); }
  int HotspotX() const { return Get(kHotspotX); }
  int HotspotY() const { return Get(kHotspotY); }
  bool Is16Bit() const { return Get(kPalette) == -1; }
  const uint8_t* RowControls(int row) const { return data + Get(kRowTable + 8 * row); }
  const uint8_t* RowPixels(int row) const { return data + Get(kRowTable + 8 * row + 4); }
  // Start and end of the pixel block (the end at 32, else the next-part offset).
  int PixelStart() const { return Get(kRowTable + 4); }
  int PixelEnd() const { return Get(kEnd) != 0 ? Get(kEnd) : Get(kNextPart); }
  // The next part of a chained frame; an empty frame when the offset at 0 is 0.
  CSpriteFrame NextPart() const {
    int32_t offset = Get(kNextPart);
    return offset == 0 ? CSpriteFrame{} : CSpriteFrame{data + offset, tables};
  }
};

// What a frame in a file must satisfy. paletteCount > 0: 8-bit frames with a palette index
// below it; 0: frames of 16-bit pixels (index -1); negative: 8-bit frames whatever the
// index (font glyphs).
struct FrameRules {
  int paletteCount = 0;
  size_t lowest = 0;  // chained parts must lie at or after this offset
};

// Checks the frame at offset in an image of size bytes: header, sizes, row table, every
// row's runs adding up to the width inside the control block, every row's pixels inside
// the pixel block, and the chain of further parts (up to the four a trail prints).
bool ValidateFrame(const uint8_t* image, size_t size, size_t offset, const FrameRules& rules);

// True when the point lies on an opaque pixel of the frame drawn with its hotspot at x, y.
bool SpriteFrameHitTest(CSpriteFrame frame, int x, int y, int px, int py);

struct SpriteRect {
  int left, top, right, bottom;
};
// True when the frame's box meets the rectangle (touching edges count).
bool SpriteFrameInRect(CSpriteFrame frame, int x, int y, const SpriteRect& rect);
