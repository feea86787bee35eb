#include "graphics/SpriteFrame.h"

#include <algorithm>

namespace {

constexpr int kMaxFrameSide = 32767;
constexpr int kMaxHotspot = 32767;
// A trail prints a frame and up to three further parts.
constexpr int kMaxChainedParts = 4;

// Reads an int32 field of the image as a 64-bit value, so that no sum can overflow.
int64_t FieldAt(const uint8_t* image, size_t at) { return LoadI32(image + at); }

bool InRange(int64_t v, int64_t low, int64_t high) { return v >= low && v <= high; }

// One row: its control bytes (inside [ctrl, controlEnd)) must add up to the width; answers
// the opaque pixels of the row, or -1 when the row is malformed.
int64_t CheckRowRuns(const uint8_t* image, int64_t ctrl, int64_t controlEnd, int width) {
  int64_t column = 0, opaque = 0;
  while (column < width) {
    if (ctrl >= controlEnd) return -1;
    column += image[ctrl++];
    if (column >= width) break;
    if (ctrl >= controlEnd) return -1;
    int count = image[ctrl++];
    column += count;
    opaque += count;
  }
  return column == width ? opaque : -1;
}

bool ValidatePart(const uint8_t* image, size_t size, size_t offset, const FrameRules& rules) {
  if (offset > size || size - offset < static_cast<size_t>(CSpriteFrame::kHeaderSize)) return false;
  const int64_t base = static_cast<int64_t>(offset);
  const int64_t width = FieldAt(image, offset + CSpriteFrame::kWidth);
  const int64_t height = FieldAt(image, offset + CSpriteFrame::kHeight);
  const int64_t palette = FieldAt(image, offset + CSpriteFrame::kPalette);
  if (!InRange(width, 0, kMaxFrameSide) || !InRange(height, 0, kMaxFrameSide)) return false;
  if (!InRange(FieldAt(image, offset + CSpriteFrame::kHotspotX), -kMaxHotspot, kMaxHotspot)) return false;
  if (!InRange(FieldAt(image, offset + CSpriteFrame::kHotspotY), -kMaxHotspot, kMaxHotspot)) return false;
  int pixelSize = 1;
  if (rules.paletteCount == 0) {
    if (palette != -1) return false;
    pixelSize = 2;
  } else if (rules.paletteCount > 0 && !InRange(palette, 0, rules.paletteCount - 1)) {
    return false;
  }
  if (width == 0 && height == 0) return true;  // an empty frame: only its header is read
  if (height == 0) return true;                // no rows, nothing to print

  const int64_t rowTableEnd = CSpriteFrame::kRowTable + 8 * height;
  if (base + rowTableEnd > static_cast<int64_t>(size)) return false;
  const int64_t pixelStart = FieldAt(image, offset + CSpriteFrame::kRowTable + 4);
  int64_t pixelEnd = FieldAt(image, offset + CSpriteFrame::kEnd);
  if (pixelEnd == 0) pixelEnd = FieldAt(image, offset + CSpriteFrame::kNextPart);
  if (pixelStart < rowTableEnd || pixelEnd < pixelStart || base + pixelEnd > static_cast<int64_t>(size)) return false;
  if (pixelSize == 2) {
    // The 5-5-5 conversion walks to the end at 32, else 36, else 0: that end must lie
    // inside the image as well.
    int64_t convertEnd = FieldAt(image, offset + CSpriteFrame::kEnd);
    if (convertEnd == 0) convertEnd = FieldAt(image, offset + CSpriteFrame::kAltEnd);
    if (convertEnd == 0) convertEnd = FieldAt(image, offset + CSpriteFrame::kNextPart);
    if (convertEnd > pixelEnd && base + convertEnd > static_cast<int64_t>(size)) return false;
  }

  for (int64_t row = 0; row < height; ++row) {
    const int64_t ctrl = FieldAt(image, offset + CSpriteFrame::kRowTable + 8 * row);
    const int64_t pixels = FieldAt(image, offset + CSpriteFrame::kRowTable + 8 * row + 4);
    if (ctrl < rowTableEnd || ctrl > pixelStart) return false;
    int64_t opaque = CheckRowRuns(image, base + ctrl, base + pixelStart, static_cast<int>(width));
    if (opaque < 0) return false;
    if (pixels < pixelStart || pixels + opaque * pixelSize > pixelEnd) return false;
  }
  return true;
}

}  // namespace

void ShadeTableList::Allocate(int count, bool makeWide) {
  tableCount = count;
  wide = makeWide;
  tables.assign(static_cast<size_t>(count) * 256 + kPadding, 0);
  if (makeWide) {
    wideTables.assign(static_cast<size_t>(count) * 256 + kPadding, 0);
  } else {
    wideTables.clear();
    wideTables.shrink_to_fit();
  }
}

ShadeTableList* FreeLinkedList(ShadeTableList* first) {
  while (first) {
    ShadeTableList* next = first->next;
    delete first;
    first = next;
  }
  return nullptr;
}

const ShadeTableList* ShadeListNode(const ShadeTableList* head, int listIndex) {
  if (listIndex < 0) return nullptr;
  for (; head && listIndex > 0; --listIndex) head = head->next;
  return head && head->tableCount > 0 ? head : nullptr;
}

const uint16_t* ChooseShadeTable(const ShadeTableList* head, int light, int listIndex) {
  const ShadeTableList* node = ShadeListNode(head, listIndex);
  return node ? node->Table(ShadeTableIndex(*node, light)) : nullptr;
}

bool ValidateFrame(const uint8_t* image, size_t size, size_t offset, const FrameRules& rules) {
  for (int part = 0; part < kMaxChainedParts; ++part) {
    if (!ValidatePart(image, size, offset, rules)) return false;
    int64_t next = FieldAt(image, offset + CSpriteFrame::kNextPart);
    if (next == 0) return true;
    int64_t at = static_cast<int64_t>(offset) + next;
    if (at < static_cast<int64_t>(rules.lowest) || at >= static_cast<int64_t>(size)) return false;
    offset = static_cast<size_t>(at);
  }
  return true;
}

bool SpriteFrameHitTest(CSpriteFrame frame, int x, int y, int px, int py) {
  if (!frame) return false;
  const int width = frame.Width(), height = frame.Height();
  const int column = px - (x - frame.HotspotX());
  const int row = py - (y - frame.HotspotY());
  if (column < 0 || column >= width || row < 0 || row >= height) return false;
  const uint8_t* ctrl = frame.RowControls(row);
  // Control bytes alternate skip, count: the point is opaque when the byte that carries
  // the running sum past the column is a count.
  int sum = 0;
  for (int position = 0;; ++position) {
    sum += ctrl[position];
    if (sum > column) return (position & 1) != 0;
  }
}

bool SpriteFrameInRect(CSpriteFrame frame, int x, int y, const SpriteRect& rect) {
  if (!frame) return false;
  const int left = x - frame.HotspotX(), top = y - frame.HotspotY();
  const int right = left + frame.Width(), bottom = top + frame.Height();
  return left < rect.right && right >= rect.left && top < rect.bottom && bottom >= rect.top;
}
