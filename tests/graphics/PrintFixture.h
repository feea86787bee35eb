#pragma once
// Shared by the printer tests: a target buffer, colour-table lists whose entries name
// their table and index, and a reference that prints a canvas pixel by pixel.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"
#include "graphics/BattleFacing.h"
#include "graphics/PixelFormat.h"
#include "graphics/PrintTarget.h"
#include "graphics/SpriteFrame.h"

namespace print_test {

constexpr uint16_t kBackground = 0x1234;

// A target of width x rows pixels filled with kBackground, set as the print target with
// the whole buffer as clip rectangle.
struct Target {
  Target(int width, int rows) : width(width), rows(rows), pixels(static_cast<size_t>(width) * rows, kBackground) {
    SetSpriteTarget(pixels.data(), width, rows);
    SetSpriteClipRect(0, 0, width, rows);
  }
  ~Target() {
    SetSpriteTarget(nullptr, 0, 0);
    BattleState().secondTarget = nullptr;
  }
  uint16_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  int width, rows;
  std::vector<uint16_t> pixels;
};

// A list of nodes; entry i of table t of node k is (k << 12) | (t << 8) | i, so a pixel
// tells which node and table printed it.
struct TableList {
  explicit TableList(int nodes = 1, int tables = 15, uint32_t shift = 4, uint32_t base = 7, bool wide = false) {
    ShadeTableList** slot = &head;
    for (int k = 0; k < nodes; ++k) {
      auto* node = new ShadeTableList;
      node->shift = shift;
      node->base = base;
      node->Allocate(tables, wide);
      for (int t = 0; t < tables; ++t)
        for (int i = 0; i < 256; ++i) {
          const uint16_t v = static_cast<uint16_t>((k << 12) | ((t & 15) << 8) | i);
          node->tables[static_cast<size_t>(t) * 256 + i] = v;
          if (wide) node->wideTables[static_cast<size_t>(t) * 256 + i] = 0xABCD0000u | v;
        }
      *slot = node;
      slot = &node->next;
    }
  }
  ~TableList() { FreeLinkedList(head); }
  ShadeTableList* head = nullptr;
};

// An encoded frame kept with its canvas.
struct Frame {
  Frame(forge::Canvas c, int hx, int hy, int palette = 0)
      : canvas(std::move(c)), bytes(forge::EncodeFrame(canvas, hx, hy, palette)), hotspotX(hx), hotspotY(hy) {}
  CSpriteFrame View(const ShadeTableList* tables) const { return CSpriteFrame{bytes.data(), tables}; }
  forge::Canvas canvas;
  std::vector<uint8_t> bytes;
  int hotspotX, hotspotY;
};

// Prints the canvas by the definition: every opaque cell whose target pixel lies inside
// the clip rectangle becomes pixel(cell value, old pixel).
inline void ReferencePrint(Target& target, const forge::Canvas& canvas, int left, int top,
                           const std::function<uint16_t(int value, uint16_t old)>& pixel) {
  for (int r = 0; r < canvas.Height(); ++r)
    for (int c = 0; c < canvas.Width(); ++c) {
      const int x = left + c, y = top + r;
      if (!canvas.Opaque(c, r) || x < g_clipLeft || x >= g_clipRight || y < g_clipTop || y >= g_clipBottom) continue;
      target.At(x, y) = pixel(canvas.At(c, r), target.At(x, y));
    }
}

// A canvas with holes and varied runs: a disc with a hole and a notch, values 1..w.
inline forge::Canvas Blob(int width, int height) {
  forge::Canvas c(width, height);
  c.FillEllipse(0, 0, width, height, 1);
  c.FillEllipse(width / 3, height / 3, width / 3, height / 3, forge::Canvas::kTransparent);
  c.FillRect(0, height / 2, width / 4, 1, 1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (c.Opaque(x, y)) c.Set(x, y, 1 + (x * 7 + y * 13) % 250);
  return c;
}

}  // namespace print_test
