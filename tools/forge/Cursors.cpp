// The mouse cursors: cfg\cursors.cfg and its sheet bitmaps\cursors.bmp, 40 x 40 cells in rows
// of ten, pure blue (0, 0, 255) where the pointer is transparent. Each of the kinds 0..21 has
// its hotspot, its frames (cells of the sheet) and the delay between frames in cursor-timer
// ticks. Kinds, as the game uses them: 0 attack, 1 walk, 2 the walk's goal, 3 not possible,
// 4 and 6..13 the eight scroll directions and a pan, 5 a spell's target (animated), 14 the
// selection band, 15 wait, 16 the normal pointer, 17 an order's target (animated), 18 not
// passable, 19 too little mana, 20 a spell that cannot reach, 21 inspect.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/Pictures.h"

namespace {

using forge::Canvas;

constexpr int kCell = 40;
constexpr int kCellsPerRow = 10;
constexpr int kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xE02020, kGreen = 0x30C040, kGold = 0xF0C040,
              kBlue = 0x4080F0, kGrey = 0x909090;

struct CursorKind {
  int hotspotX, hotspotY;
  int delay;
  std::vector<std::function<void(Canvas&)>> frames;
};

// A shape drawn twice: a black rim a pixel wider all round, then its colour.
void Outlined(Canvas& c, const std::function<void(Canvas&, int, int)>& shape, int colour) {
  Canvas rim(kCell, kCell);
  shape(rim, kBlack, 0);
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x)
      if (rim.Opaque(x, y))
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) c.Set(x + dx, y + dy, kBlack);
  shape(c, colour, 0);
}

void Arrow(Canvas& c, int colour) {
  Outlined(
      c,
      [](Canvas& k, int v, int) {
        k.FillTriangle(1, 1, 1, 26, 19, 19, v);
        k.Line(9, 18, 15, 30, v, 4);
      },
      colour);
}

void Sword(Canvas& c, int colour) {
  Outlined(
      c,
      [](Canvas& k, int v, int) {
        k.Line(3, 3, 28, 28, v, 3);
        k.Line(22, 32, 32, 22, v, 3);
        k.Line(30, 30, 36, 36, v, 4);
      },
      colour);
}

void Cross(Canvas& c, int colour, int gap) {
  Outlined(
      c,
      [gap](Canvas& k, int v, int) {
        k.FillRect(19, 2, 2, 18 - gap, v);
        k.FillRect(19, 20 + gap, 2, 18 - gap, v);
        k.FillRect(2, 19, 18 - gap, 2, v);
        k.FillRect(20 + gap, 19, 18 - gap, 2, v);
      },
      colour);
}

void Ring(Canvas& c, int colour, int size) {
  const int at = 20 - size / 2;
  c.FillEllipse(at - 1, at - 1, size + 2, size + 2, kBlack);
  c.FillEllipse(at, at, size, size, colour);
  c.FillEllipse(at + 4, at + 4, size - 8, size - 8, Canvas::kTransparent);
}

void NotAllowed(Canvas& c, int colour) {
  Ring(c, colour, 30);
  Outlined(
      c, [](Canvas& k, int v, int) { k.Line(10, 10, 29, 29, v, 4); }, colour);
}

// A scroll arrow pointing in direction d (0 up, then clockwise in eighths).
void ScrollArrow(Canvas& c, int d) {
  const double angle = d * M_PI / 4.0;
  const double dx = std::sin(angle), dy = -std::cos(angle);
  const int tipX = static_cast<int>(std::lround(20 + 17 * dx)), tipY = static_cast<int>(std::lround(20 + 17 * dy));
  const int leftX = static_cast<int>(std::lround(20 + 3 * dx - 10 * dy)),
            leftY = static_cast<int>(std::lround(20 + 3 * dy + 10 * dx));
  const int rightX = static_cast<int>(std::lround(20 + 3 * dx + 10 * dy)),
            rightY = static_cast<int>(std::lround(20 + 3 * dy - 10 * dx));
  Outlined(
      c, [=](Canvas& k, int v, int) { k.FillTriangle(tipX, tipY, leftX, leftY, rightX, rightY, v); }, kGold);
}

std::vector<CursorKind> Kinds() {
  std::vector<CursorKind> kinds(22);
  kinds[0] = {3, 3, 0, {[](Canvas& c) { Sword(c, kRed); }}};
  kinds[1] = {20, 20, 0, {[](Canvas& c) { Cross(c, kGreen, 4); }}};
  kinds[2] = {20, 20, 0, {[](Canvas& c) { Ring(c, kGreen, 20); }}};
  kinds[3] = {20, 20, 0, {[](Canvas& c) { NotAllowed(c, kRed); }}};
  kinds[4] = {20, 20, 0, {[](Canvas& c) { Ring(c, kGold, 12); }}};
  for (int frame = 0; frame < 4; ++frame)
    kinds[5].frames.push_back([frame](Canvas& c) { Cross(c, kBlue, 2 + 3 * frame); });
  kinds[5].hotspotX = kinds[5].hotspotY = 20;
  kinds[5].delay = 4;
  for (int d = 0; d < 8; ++d) kinds[6 + d] = {20, 20, 0, {[d](Canvas& c) { ScrollArrow(c, d); }}};
  kinds[14] = {20, 20, 0, {[](Canvas& c) { Cross(c, kWhite, 0); }}};
  kinds[15] = {20, 20, 0, {[](Canvas& c) {
                 Ring(c, kGold, 26);
                 c.Line(20, 20, 20, 10, kBlack, 2);
                 c.Line(20, 20, 27, 20, kBlack, 2);
               }}};
  kinds[16] = {1, 1, 0, {[](Canvas& c) { Arrow(c, kWhite); }}};
  kinds[17] = {20, 20, 6, {[](Canvas& c) { Ring(c, kRed, 30); }, [](Canvas& c) { Ring(c, kRed, 22); }}};
  kinds[18] = {20, 20, 0, {[](Canvas& c) {
                 Outlined(
                     c,
                     [](Canvas& k, int v, int) {
                       k.Line(8, 8, 31, 31, v, 4);
                       k.Line(31, 8, 8, 31, v, 4);
                     },
                     kRed);
               }}};
  kinds[19] = {20, 20, 0, {[](Canvas& c) { NotAllowed(c, kBlue); }}};
  kinds[20] = {20, 20, 0, {[](Canvas& c) { Ring(c, kGrey, 30); }}};
  kinds[21] = {14, 14, 0, {[](Canvas& c) {
                 Ring(c, kWhite, 22);
                 Outlined(
                     c, [](Canvas& k, int v, int) { k.Line(24, 24, 36, 36, v, 4); }, kWhite);
               }}};
  return kinds;
}

FORGE_STEP(Cursors) {
  const std::vector<CursorKind> kinds = Kinds();
  int cells = 0;
  for (const CursorKind& kind : kinds) cells += static_cast<int>(kind.frames.size());
  const int rows = (cells + kCellsPerRow - 1) / kCellsPerRow;
  forge::RgbPicture sheet(kCellsPerRow * kCell, rows * kCell);
  for (int y = 0; y < sheet.height; ++y)
    for (int x = 0; x < sheet.width; ++x) sheet.Set(x, y, 0, 0, 255);

  forge::IniText ini;
  ini.Comment("The mouse cursors: cells of bitmaps\\cursors.bmp, 40 x 40, ten to a row");
  ini.Section("HEADER").Key("BitmapWidth", sheet.width).Key("BitmapHeight", sheet.height);
  int next = 0;
  for (size_t k = 0; k < kinds.size(); ++k) {
    const CursorKind& kind = kinds[k];
    std::string frames;
    for (const auto& draw : kind.frames) {
      Canvas cell(kCell, kCell);
      draw(cell);
      const int left = (next % kCellsPerRow) * kCell, top = (next / kCellsPerRow) * kCell;
      for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x)
          if (cell.Opaque(x, y)) {
            const int v = cell.At(x, y);
            sheet.Set(left + x, top + y, static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                      static_cast<uint8_t>(v));
          }
      frames += (frames.empty() ? "" : ",") + std::to_string(next++);
    }
    ini.Section("CURSOR_" + std::to_string(k))
        .Key("Hotspotx", kind.hotspotX)
        .Key("Hotspoty", kind.hotspotY)
        .Key("Frames", frames)
        .Key("Delay", kind.delay);
  }
  ctx.WriteText("cfg\\cursors.cfg", ini.Text());
  ctx.WriteFile("bitmaps\\cursors.bmp", forge::MakeBmp24(sheet));
}

}  // namespace
