#pragma once
// What every sprite printer shares: the reject test and clip columns and rows of a frame,
// and the walk over a row's runs. Internal to the printers.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "graphics/BattleFacing.h"
#include "graphics/PrintTarget.h"
#include "graphics/SpriteFrame.h"

namespace printing {

// Where a frame lands and which of its rows and columns are inside the clip rectangle.
struct FrameClip {
  int left, top, width, height;
  int firstRow, endRow;  // frame rows [firstRow, endRow) are visible
  int firstCol, endCol;  // frame columns [firstCol, endCol) are visible
  bool Horizontal() const { return firstCol > 0 || endCol < width; }
};

// The box of width x height at left, top against the clip rectangle: false when nothing
// of it is visible.
inline bool ClipBox(int left, int top, int width, int height, FrameClip& clip) {
  if (left + width <= g_clipLeft || top + height <= g_clipTop || left >= g_clipRight || top >= g_clipBottom)
    return false;
  clip.left = left;
  clip.top = top;
  clip.width = width;
  clip.height = height;
  clip.firstRow = top < g_clipTop ? g_clipTop - top : 0;
  clip.endRow = top + height > g_clipBottom ? g_clipBottom - top : height;
  clip.firstCol = left < g_clipLeft ? g_clipLeft - left : 0;
  clip.endCol = left + width > g_clipRight ? g_clipRight - left : width;
  return true;
}

// The frame drawn with its hotspot at x, y: false when it is empty or nothing is visible.
inline bool ClipFrame(CSpriteFrame frame, int x, int y, FrameClip& clip) {
  if (!frame) return false;
  const int width = frame.Width(), height = frame.Height();
  if (width == 0 && height == 0) return false;
  return ClipBox(x - frame.HotspotX(), y - frame.HotspotY(), width, height, clip);
}

// The first pixel of a target row.
inline uint16_t* TargetRow(int row) { return g_spriteTarget + static_cast<ptrdiff_t>(row) * g_spritePitch; }

// True when a frame whose box starts at left crosses the left clip edge or reaches the right
// one: the printers that never clip sideways (water, black) hand such frames back.
inline bool ReachesClipSides(int left, int width) { return left < g_clipLeft || left + width >= g_clipRight; }

// out[i] = table[in[i]] for count pixels. A pixel a step, as plain as it reads: packing four
// looked-up pixels into one 64-bit store measured slower than the compiler's own unrolled
// loop of loads and 16-bit stores.
template <class Entry>
inline void LookUp(uint16_t* out, const uint8_t* in, int count, const Entry* table) {
  for (int i = 0; i < count; ++i) out[i] = static_cast<uint16_t>(table[in[i]]);
}

// Calls run(column, pixelIndex, count) for each opaque run of a row, in order, and answers
// the column where the row ended (the width when the runs add up).
template <class Run>
inline int WalkRuns(const uint8_t* ctrl, int width, Run&& run) {
  int column = 0, pixel = 0;
  while (column < width) {
    column += *ctrl++;
    if (column >= width) break;
    const int count = *ctrl++;
    run(column, pixel, count);
    column += count;
    pixel += count;
  }
  return column;
}

// The same, handing on only the part of each run inside [firstCol, endCol).
template <class Run>
inline int WalkClippedRuns(const uint8_t* ctrl, int width, int firstCol, int endCol, Run&& run) {
  return WalkRuns(ctrl, width, [&](int column, int pixel, int count) {
    const int start = std::max(column, firstCol), end = std::min(column + count, endCol);
    if (start < end) run(start, pixel + (start - column), end - start);
  });
}

// Prints every visible row: segment(destination, pixels, count) for each visible piece of
// a run, destination already at its target pixel. Run sums are checked on clipped rows,
// and on every row when checkAll is set.
template <class Segment>
inline PrintResult PrintVisibleRuns(CSpriteFrame frame, const FrameClip& clip, bool checkAll, int pixelSize,
                                    Segment&& segment) {
  PrintResult result = kPrintDone;
  const bool clipped = clip.Horizontal();
  for (int row = clip.firstRow; row < clip.endRow; ++row) {
    uint16_t* target = TargetRow(clip.top + row);
    const int left = clip.left;
    const uint8_t* pixels = frame.RowPixels(row);
    int end;
    if (!clipped) {
      end = WalkRuns(frame.RowControls(row), clip.width, [&](int column, int pixel, int count) {
        segment(target + (left + column), pixels + pixel * pixelSize, count);
      });
      if (!checkAll) continue;
    } else {
      end = WalkClippedRuns(frame.RowControls(row), clip.width, clip.firstCol, clip.endCol,
                            [&](int column, int pixel, int count) {
                              segment(target + (left + column), pixels + pixel * pixelSize, count);
                            });
    }
    if (end != clip.width) result = kPrintBadRunSum;
  }
  return result;
}

// The tuned printers' walk over a frame that the clip rectangle's sides do not cut (clip.
// Horizontal() false): segment(destination, pixels, count) for each run, as PrintVisibleRuns
// calls it, with no check of the run sums. It tests the column once a run, after its skip: a
// row that ends with a run then reads one more byte as a skip, which leaves the column at or
// past the width. That byte lies inside a loaded frame (its control block comes before its
// pixels, and a row that ends with a run has pixels). It measured a fifth faster than
// PrintVisibleRuns on figures of short runs.
template <class Segment>
inline void PrintUncutRows(CSpriteFrame frame, const FrameClip& clip, Segment&& segment) {
  const ptrdiff_t pitch = g_spritePitch;
  const int endRow = clip.endRow, width = clip.width;
  uint16_t* target = TargetRow(clip.top + clip.firstRow) + clip.left;
  for (int row = clip.firstRow; row < endRow; ++row, target += pitch) {
    const uint8_t* ctrl = frame.RowControls(row);
    const uint8_t* pixels = frame.RowPixels(row);
    for (int column = 0;;) {
      column += ctrl[0];
      if (column >= width) break;
      const int count = ctrl[1];
      segment(target + column, pixels, count);
      pixels += count;
      column += count;
      ctrl += 2;
    }
  }
}

// The water printers' walk: frames that reach a side of the clip are handed back (1);
// otherwise each visible row takes the next displacement of the wave and
// shiftRun(targetRow, firstColumn, count, displacement) moves each of its opaque runs. A
// displacement never reads past the clip rectangle's last column.
template <class ShiftRun>
inline PrintResult PrintWaterRows(CSpriteFrame frame, int x, int y, ShiftRun shiftRun) {
  if (!frame || frame.Width() == 0 || frame.Height() == 0) return kPrintDone;
  if (ReachesClipSides(x - frame.HotspotX(), frame.Width())) return kPrintRetryPortable;
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  unsigned phase = static_cast<unsigned>(clip.top + BattleState().gameTick) & 0xFF;
  for (int row = clip.firstRow; row < clip.endRow; ++row) {
    const int shift = g_spriteWaveTable[(phase + 1) & 15];
    phase = (phase + 1) & 15;
    uint16_t* target = TargetRow(clip.top + row);
    WalkRuns(frame.RowControls(row), clip.width,
             [&](int column, int, int count) { shiftRun(target, clip.left + column, count, shift); });
  }
  return kPrintDone;
}

}  // namespace printing
