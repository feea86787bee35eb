// The grimoire's art, per resolution below Interface\Grimoire\<w>x<h>\: BACKDROP.BMP (the open
// book on a dark table: its pages are the paper the text windows show), ClosedBook.BMP,
// GenericL01-03 and GenericR01-03 (page pictures: pure blue where the backdrop shows through,
// ink borders and ornaments, pure magenta windows for the text), a few pages of their own
// (C<c>S<ss>P<p>.BMP), EDGE0-9L/R.BMP (the book's edges with each chapter's ribbon), Icons.spr
// (frames 0-1 the close seal, then per tab n = 1..8 from 2 + 4 (n - 1): right-side tab and
// its lit twin, left-side tab and its lit twin) and the text's pictures (.bmp). In
// Interface\Grimoire\Generic\: Icons.spr (the contents entries' icons), PageTurns.spr (frames
// 0-1 turn back, 2-3 turn forward) and the text's PCX pictures.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/GrimoireBook.h"
#include "forge/Pictures.h"
#include "forge/SpriteWriter.h"

namespace forge {

namespace {

using namespace grimoire;

struct Res {
  int width, height;
  int S(int v) const { return width == 800 ? v : v * 8 / 10; }
  std::string Folder() const {
    return std::string(kFolder) + std::to_string(width) + "x" + std::to_string(height) + "\\";
  }
};
constexpr Res kResolutions[] = {{800, 600}, {640, 480}};

uint32_t Hash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}
// A grain in [-1, 1] that is the same on every machine.
float Grain(int x, int y, uint32_t seed) { return static_cast<float>(Hash(x, y, seed) & 1023) / 511.5f - 1.0f; }

uint8_t Clamp(float v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// Paper: warm, with a faint grain and darker toward the page's edges; never near blue or magenta.
void Paper(RgbPicture& p, int x, int y, float edge) {
  const float g = Grain(x / 2, y / 2, 7) * 6;
  const float dark = 1.0f - 0.25f * std::max(0.0f, 1.0f - edge / 18.0f);
  p.Set(x, y, Clamp((236 + g) * dark), Clamp((222 + g) * dark), Clamp((186 + g) * dark));
}

void Table(RgbPicture& p, int x, int y) {
  const float g = Grain(x / 3, y, 3) * 10 + std::sin(y * 0.05f + Grain(0, y / 8, 4)) * 6;
  p.Set(x, y, Clamp(70 + g), Clamp(42 + g * 0.7f), Clamp(24 + g * 0.4f));
}

RgbPicture Backdrop(const Res& r) {
  RgbPicture p(r.width, r.height);
  const int top = r.S(kPageTop), bottom = r.S(kPageBottom);
  const int leftL = r.S(kLeftPageLeft), rightL = r.S(kLeftPageRight);
  const int leftR = r.S(kRightPageLeft), rightR = r.S(kRightPageRight);
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) {
      const bool onLeft = x >= leftL && x < rightL && y >= top && y < bottom;
      const bool onRight = x >= leftR && x < rightR && y >= top && y < bottom;
      if (onLeft || onRight) {
        const int spine = onLeft ? rightL - x : x - leftR;
        const int outer = onLeft ? x - leftL : rightR - x;
        Paper(p, x, y, static_cast<float>(std::min({spine * 2, outer, y - top, bottom - y})));
      } else if (x >= leftL - r.S(10) && x < rightR + r.S(10) && y >= top - r.S(10) && y < bottom + r.S(12)) {
        p.Set(x, y, 92, 28, 22);  // the leather cover around the pages
      } else {
        Table(p, x, y);
      }
    }
  return p;
}

RgbPicture ClosedBook(const Res& r) {
  RgbPicture p(r.width, r.height);
  const int left = r.S(250), right = r.S(550), top = r.S(90), bottom = r.S(510);
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) {
      if (x >= left && x < right && y >= top && y < bottom) {
        const float g = Grain(x / 2, y / 2, 11) * 8;
        const bool band = (y - top) % r.S(70) < r.S(6);
        const bool clasp = x > right - r.S(30) && std::abs(y - (top + bottom) / 2) < r.S(30);
        if (clasp)
          p.Set(x, y, 200, 170, 70);
        else if (band)
          p.Set(x, y, Clamp(150 + g), Clamp(110 + g), 40);
        else
          p.Set(x, y, Clamp(100 + g), Clamp(30 + g), Clamp(24 + g));
      } else {
        Table(p, x, y);
      }
    }
  return p;
}

void FillRect(RgbPicture& p, int l, int t, int rr, int b, uint8_t red, uint8_t green, uint8_t blue) {
  for (int y = std::max(t, 0); y < std::min(b, p.height); ++y)
    for (int x = std::max(l, 0); x < std::min(rr, p.width); ++x) p.Set(x, y, red, green, blue);
}

void Frame(RgbPicture& p, int l, int t, int r, int b, int thickness, uint8_t red, uint8_t green, uint8_t blue) {
  FillRect(p, l, t, r, t + thickness, red, green, blue);
  FillRect(p, l, b - thickness, r, b, red, green, blue);
  FillRect(p, l, t, l + thickness, b, red, green, blue);
  FillRect(p, r - thickness, t, r, b, red, green, blue);
}

// A diamond ornament in ink and gold.
void Ornament(RgbPicture& p, int cx, int cy, int size) {
  for (int y = -size; y <= size; ++y)
    for (int x = -size; x <= size; ++x) {
      const int d = std::abs(x) + std::abs(y);
      if (d > size) continue;
      if (d > size - 2)
        p.Set(cx + x, cy + y, 60, 30, 10);
      else
        p.Set(cx + x, cy + y, 200, 150, 50);
    }
}

// A page picture: blue outside the page; an ink border; the windows in magenta; style 0-2
// decides the ornaments. Windows are given in the page's 800 x 600 frame.
struct PageWindow {
  int left, top, right, bottom;
};

RgbPicture PagePicture(const Res& r, bool left, int style, const std::vector<PageWindow>& windows) {
  const int half = r.width / 2;
  RgbPicture p(half, r.height);
  FillRect(p, 0, 0, half, r.height, 0, 0, 255);
  const int offset = left ? 0 : 400;
  const int pl = r.S((left ? kLeftPageLeft : kRightPageLeft) - offset + 14);
  const int pr = r.S((left ? kLeftPageRight : kRightPageRight) - offset - 14);
  const int pt = r.S(kPageTop + 14), pb = r.S(kPageBottom - 14);
  Frame(p, pl, pt, pr, pb, 2, 70, 40, 20);
  Frame(p, pl + r.S(6), pt + r.S(6), pr - r.S(6), pb - r.S(6), 1, 140, 90, 40);
  if (style >= 1) {
    for (int x : {pl, pr}) {
      Ornament(p, x, pt, r.S(10));
      Ornament(p, x, pb, r.S(10));
    }
  }
  if (style == 2) {
    // An illuminated band at the top of the page.
    FillRect(p, pl + r.S(20), pt + r.S(20), pr - r.S(20), pt + r.S(60), 120, 30, 30);
    for (int i = 0; i < 5; ++i) Ornament(p, pl + r.S(40) + i * (pr - pl - r.S(80)) / 4, pt + r.S(40), r.S(12));
  }
  for (const PageWindow& w : windows)
    FillRect(p, r.S(w.left - offset), r.S(w.top), r.S(w.right - offset), r.S(w.bottom), 255, 0, 255);
  return p;
}

std::vector<PageWindow> GenericWindows(bool left, int number) {
  const int l = left ? kLeftPageLeft + 40 : kRightPageLeft + 40;
  const int r = left ? kLeftPageRight - 40 : kRightPageRight - 40;
  switch (number) {
    case 1:
      return {{l, 80, r, 516}};
    case 2:
      return {{l, 80, r, 290}, {l, 316, r, 516}};
    default:
      return {{l, 124, r, 516}};
  }
}

// The edges of the book for a chapter: page leaves and the chapter's ribbon.
RgbPicture Edge(const Res& r, int chapter, bool left) {
  const int width = r.S(kEdgeWidth);
  RgbPicture p(width, r.height);
  FillRect(p, 0, 0, width, r.height, 0, 0, 255);
  const int top = r.S(kPageTop - 4), bottom = r.S(kPageBottom + 4);
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < width; ++x) {
      const int fromBook = left ? width - 1 - x : x;
      if (fromBook > r.S(18)) continue;
      const bool leaf = (x + y / 3) % 3 == 0;
      p.Set(x, y, leaf ? 200 : 226, leaf ? 186 : 212, leaf ? 150 : 176);
    }
  // The ribbon: its height tells the chapter.
  const uint8_t hue[10][3] = {{170, 30, 30},  {40, 120, 40}, {40, 60, 160}, {160, 120, 30}, {120, 40, 120},
                              {30, 130, 130}, {150, 80, 30}, {90, 90, 90},  {180, 60, 100}, {60, 100, 60}};
  const int ribbonX = left ? width - r.S(12) : r.S(4);
  FillRect(p, ribbonX, top, ribbonX + r.S(8), top + r.S(120 + chapter * 30), hue[chapter][0], hue[chapter][1],
           hue[chapter][2]);
  return p;
}

Canvas SealFrame(int size, bool lit) {
  Canvas c(size, size);
  const int wax = lit ? Rgb565(220, 40, 30) : Rgb565(170, 20, 20);
  c.FillEllipse(1, 1, size - 2, size - 2, wax);
  c.Line(size / 3, size / 3, size - size / 3, size - size / 3, Rgb565(250, 220, 200), 3);
  c.Line(size - size / 3, size / 3, size / 3, size - size / 3, Rgb565(250, 220, 200), 3);
  return c;
}

Canvas TabFrame(const Res& r, int n, bool left, bool lit) {
  const int w = r.S(kTabWidth), h = r.S(kTabHeight);
  Canvas c(w, h);
  const uint8_t hues[8][3] = {{170, 30, 30},  {40, 120, 40},  {40, 60, 160}, {160, 120, 30},
                              {120, 40, 120}, {30, 130, 130}, {150, 80, 30}, {90, 90, 90}};
  const int boost = lit ? 50 : 0;
  const int face =
      Rgb565(std::min(hues[n][0] + boost, 255), std::min(hues[n][1] + boost, 255), std::min(hues[n][2] + boost, 255));
  c.Bevel(0, 0, w, h, face, Rgb565(240, 230, 200), Rgb565(40, 20, 10), 2);
  // Pips that count the chapter, in gold.
  for (int i = 0; i <= n; ++i)
    c.FillRect(left ? w / 3 : w / 2 - 1, r.S(6) + i * r.S(5), r.S(4), r.S(3), Rgb565(240, 200, 80));
  return c;
}

Canvas EntryIcon(int icon) {
  const int size = kIconSize;
  Canvas c(size, size);
  const int hue = icon * 37;
  c.FillEllipse(0, 0, size, size, Rgb565(60, 40, 20));
  c.FillEllipse(3, 3, size - 6, size - 6, Rgb565(120 + hue % 100, 80 + (hue * 3) % 100, 40 + (hue * 7) % 80));
  const int ink = Rgb565(30, 20, 10), gold = Rgb565(240, 210, 90);
  switch (icon % 7) {
    case 0:  // a book
      c.FillRect(10, 10, 16, 16, gold);
      c.Line(18, 10, 18, 26, ink, 1);
      break;
    case 1:  // crossed lines
      c.Line(9, 9, 27, 27, gold, 3);
      c.Line(27, 9, 9, 27, gold, 3);
      break;
    case 2:  // a flag
      c.Line(12, 8, 12, 28, ink, 2);
      c.FillTriangle(13, 9, 27, 14, 13, 19, gold);
      break;
    case 3:  // a star
      c.FillTriangle(18, 7, 11, 26, 25, 26, gold);
      c.FillTriangle(18, 29, 11, 12, 25, 12, gold);
      break;
    case 4:  // a ring
      c.FillEllipse(9, 9, 18, 18, gold);
      c.FillEllipse(13, 13, 10, 10, Rgb565(60, 40, 20));
      break;
    case 5:  // a tower
      c.FillRect(13, 10, 10, 18, gold);
      c.FillTriangle(11, 11, 25, 11, 18, 4, ink);
      break;
    default:  // a scroll
      c.FillRect(9, 12, 18, 12, gold);
      c.Line(9, 12, 9, 24, ink, 2);
      c.Line(27, 12, 27, 24, ink, 2);
      break;
  }
  return c;
}

Canvas TurnFrame(bool forward, bool lit) {
  Canvas c(kTurnWidth, kTurnHeight);
  const int face = lit ? Rgb565(230, 190, 90) : Rgb565(170, 130, 60);
  const int w = kTurnWidth, h = kTurnHeight;
  if (forward) {
    c.FillRect(2, h / 3, w / 2, h / 3, face);
    c.FillTriangle(w / 2, 1, w - 2, h / 2, w / 2, h - 2, face);
  } else {
    c.FillRect(w / 2, h / 3, w / 2 - 2, h / 3, face);
    c.FillTriangle(w / 2, 1, 2, h / 2, w / 2, h - 2, face);
  }
  return c;
}

std::vector<uint8_t> Sprite(const std::vector<Canvas>& frames) {
  SpriteFileWriter writer;
  for (const Canvas& frame : frames) writer.AddFrame(EncodeFrame(frame, 0, 0, -1));
  return writer.Bytes();
}

// The text's bitmap pictures: small framed scenes on pure blue corners.
RgbPicture Scene(const Res& r, int number) {
  const int w = r.S(number == 0 ? 280 : 200), h = r.S(number == 0 ? 150 : 120);
  RgbPicture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool corner = (x < 6 && y < 6) || (x >= w - 6 && y >= h - 6);
      if (corner) {
        p.Set(x, y, 0, 0, 255);
        continue;
      }
      const float sky = static_cast<float>(y) / h;
      const float ground = h * (0.6f + 0.1f * std::sin(x * 0.05f + number));
      if (y > ground)
        p.Set(x, y, Clamp(60 + Grain(x, y, 21) * 10), Clamp(90 + number * 20), Clamp(40));
      else
        p.Set(x, y, Clamp(150 + sky * 60), Clamp(160 + sky * 50), Clamp(190 - number * 20));
      if (number == 1 && std::abs(x - w / 2) < w / 12 && y > h / 5 && y <= ground) p.Set(x, y, 80, 70, 60);
      if (x < 2 || y < 2 || x >= w - 2 || y >= h - 2) p.Set(x, y, 60, 30, 10);
    }
  return p;
}

IndexedPicture Rune(int number) {
  IndexedPicture p(96, 96);
  p.palette[0][0] = 0, p.palette[0][1] = 0, p.palette[0][2] = 255;  // transparent
  p.palette[1][0] = 90, p.palette[1][1] = 80, p.palette[1][2] = 70;
  p.palette[2][0] = 30, p.palette[2][1] = 20, p.palette[2][2] = 10;
  p.palette[3][0] = 200, p.palette[3][1] = 40, p.palette[3][2] = 30;
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      const int dx = x - 48, dy = y - 48;
      const int d2 = dx * dx + dy * dy;
      uint8_t v = d2 < 44 * 44 ? 1 : 0;
      if (number == 0 && (std::abs(dx) < 3 || std::abs(dx - dy / 2) < 3) && d2 < 36 * 36) v = 2;
      if (number == 1 && d2 < 30 * 30 && d2 > 24 * 24) v = 3;
      p.indices[static_cast<size_t>(y) * 96 + x] = v;
    }
  return p;
}

FORGE_STEP(GrimoireArt) {
  for (const Res& r : kResolutions) {
    const std::string folder = r.Folder();
    ctx.WriteFile(folder + "BACKDROP.BMP", MakeBmp24(Backdrop(r)));
    ctx.WriteFile(folder + "ClosedBook.BMP", MakeBmp24(ClosedBook(r)));
    for (int n = 1; n <= 3; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "GenericL%02d.BMP", n);
      ctx.WriteFile(folder + name, MakeBmp24(PagePicture(r, true, n - 1, GenericWindows(true, n))));
      std::snprintf(name, sizeof name, "GenericR%02d.BMP", n);
      ctx.WriteFile(folder + name, MakeBmp24(PagePicture(r, false, n - 1, GenericWindows(false, n))));
    }
    // The Moorland's contents spread and the bestiary's first page have pages of their own.
    ctx.WriteFile(folder + "C1S00P1.BMP",
                  MakeBmp24(PagePicture(r, true, 2, {{kLeftPageLeft + 40, 124, kLeftPageRight - 40, 516}})));
    ctx.WriteFile(folder + "C1S00P2.BMP",
                  MakeBmp24(PagePicture(r, false, 1, {{kRightPageLeft + 40, 60, kRightPageRight - 40, 520}})));
    ctx.WriteFile(folder + "C4S00P1.BMP",
                  MakeBmp24(PagePicture(r, true, 2, {{kLeftPageLeft + 40, 124, kLeftPageRight - 40, 516}})));
    for (int c = 0; c < 10; ++c) {
      ctx.WriteFile(folder + "EDGE" + std::to_string(c) + "L.BMP", MakeBmp24(Edge(r, c, true)));
      ctx.WriteFile(folder + "EDGE" + std::to_string(c) + "R.BMP", MakeBmp24(Edge(r, c, false)));
    }
    std::vector<Canvas> icons = {SealFrame(r.S(kIconSize), false), SealFrame(r.S(kIconSize), true)};
    for (int n = 0; n < 8; ++n) {
      icons.push_back(TabFrame(r, n, false, false));
      icons.push_back(TabFrame(r, n, false, true));
      icons.push_back(TabFrame(r, n, true, false));
      icons.push_back(TabFrame(r, n, true, true));
    }
    ctx.WriteFile(folder + "Icons.spr", Sprite(icons));
    for (size_t i = 0; i < kBitmapPictures.size(); ++i)
      ctx.WriteFile(folder + kBitmapPictures[i], MakeBmp24(Scene(r, static_cast<int>(i))));
  }
  const std::string generic = std::string(kFolder) + "Generic\\";
  std::vector<Canvas> entries;
  for (int i = 0; i < kIconCount; ++i) entries.push_back(EntryIcon(i));
  ctx.WriteFile(generic + "Icons.spr", Sprite(entries));
  ctx.WriteFile(generic + "PageTurns.spr", Sprite({TurnFrame(false, false), TurnFrame(false, true),
                                                   TurnFrame(true, false), TurnFrame(true, true)}));
  for (size_t i = 0; i < kPcxPictures.size(); ++i)
    ctx.WriteFile(generic + kPcxPictures[i], MakePcx(Rune(static_cast<int>(i))));
}

}  // namespace

}  // namespace forge
