// The battle screen's own art: the terrain and door animations of the realm's map folder,
// the selection rings, the marker glyphs, the route dots, the lord and king crowns, the
// cut-level buttons, and the first battle tooltips.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "creatures/CreatureMarks.h"
#include "forge/AnimationWriter.h"
#include "forge/Forge.h"
#include "forge/IconArt.h"
#include "forge/IniText.h"
#include "forge/MapData.h"
#include "forge/SetupScreenLayouts.h"
#include "forge/SpriteWriter.h"
#include "forge/TerrainTypes.h"

namespace forge {

namespace {

using icon::Raster;

constexpr int kRegionCentreSequence = 16;
constexpr size_t kCountdownSequence = 19;

// Colours are worked in 0-255 a channel.
Colour C(int r, int g, int b) { return Rgb(r, g, b); }

void Add(SpriteFileWriter& file, const Raster& raster, int hotspotX, int hotspotY) {
  file.AddFrame(EncodeFrame(raster.ToCanvas(), hotspotX, hotspotY, -1));
}

// --- animations over the terrain sprite ------------------------------------------------------

AniSpec TerrainAnimation() {
  AniSpec spec;
  spec.spriteName = "terrain.spr";
  // The chests' lids: 0-3 open the lid of a chest on that side (north, west, south, east of
  // its object's cell), 4-7 shut it; 8-15 do the same for the lids the chest rule names by
  // their numbers (shut 201-204 opening, open 217-220 shutting). Every forged lid is one of
  // those, and the first eight play the same frames for a lid of any other number.
  for (int set = 0; set < 2; ++set) {
    for (int side = 0; side < 4; ++side)
      spec.sequences.push_back({Delay(3), Frame(terrain::kChestLidFirst + side),
                                Frame(terrain::kChestLidAjarFirst + side), Frame(terrain::kChestLidOpenFirst + side),
                                End()});
    for (int side = 0; side < 4; ++side)
      spec.sequences.push_back({Delay(3), Frame(terrain::kChestLidOpenFirst + side),
                                Frame(terrain::kChestLidAjarFirst + side), Frame(terrain::kChestLidFirst + side),
                                End()});
  }
  // The centre of a region of power: its frames round and round.
  if (spec.sequences.size() != kRegionCentreSequence) throw std::logic_error("the region centre's sequence moved");
  std::vector<AniStep> centre{Delay(5)};
  const int frames = terrain::kRegionCentre - terrain::kRegionFrameFirst + 1;
  for (int k = 0; k < frames; ++k) centre.push_back(Frame(terrain::kRegionFrameFirst + k));
  centre.push_back(Jump(-frames));
  centre.push_back(End());
  spec.sequences.push_back(centre);
  // 17 and 18 are spare (the region centre again); 19 marks a place whose countdown runs: the
  // centre's frames flash quickly until the count ends, and the place keeps the centre.
  spec.sequences.push_back(centre);
  spec.sequences.push_back(centre);
  if (spec.sequences.size() != kCountdownSequence) throw std::logic_error("the countdown's sequence moved");
  std::vector<AniStep> countdown{Delay(2)};
  for (int k = 0; k < frames; ++k) countdown.push_back(Frame(terrain::kRegionFrameFirst + (k * 2) % frames));
  countdown.push_back(Jump(-frames));
  countdown.push_back(Frame(terrain::kRegionCentre));
  countdown.push_back(End());
  spec.sequences.push_back(countdown);
  return spec;
}

// Doors: 0 shut, 1 a wooden door opening, 2 an iron door opening (the doors file names them).
AniSpec DoorsAnimation() {
  AniSpec spec;
  spec.spriteName = "terrain.spr";
  spec.sequences.push_back({Frame(terrain::kDoor), End()});
  spec.sequences.push_back({Delay(4), Frame(terrain::kDoor), Frame(terrain::kRubble), Frame(terrain::kEmpty), End()});
  spec.sequences.push_back({Delay(6), Frame(terrain::kIronDoor), Frame(terrain::kEmpty), End()});
  return spec;
}

// --- sprites -------------------------------------------------------------------------------

// Rings on the ground under selected creatures: green for the player's, red for a target,
// gold for the wizard; four sizes of pulse each.
std::vector<uint8_t> SelectionRings() {
  SpriteFileWriter file;
  const Colour colours[] = {C(90, 230, 110), C(235, 70, 60), C(250, 205, 80)};
  for (const Colour& colour : colours)
    for (int pulse = 0; pulse < 4; ++pulse) {
      Raster r(72, 40);
      const float rx = 28 + pulse * 1.5f, ry = 14 + pulse * 0.75f;
      const icon::Shape outer = icon::Ellipse(36, 20, rx, ry), inner = icon::Ellipse(36, 20, rx - 3, ry - 2);
      r.Fill(icon::Subtract(icon::Ellipse(36, 20, rx + 1, ry + 1), icon::Ellipse(36, 20, rx - 4, ry - 3)),
             C(10, 10, 10), 0.6f);
      r.Fill(icon::Subtract(outer, inner), colour);
      Add(file, r, 36, 20);
    }
  return file.Bytes();
}

// Characters ' ' to '9' (frame = code - 32): pale gold glyphs with a dark outline, for the
// numbers the battle writes over the map.
void AddMarkerGlyphs(SpriteFileWriter& file) {
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType will not start");
  FT_Face face;
  const char* path = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
  if (FT_New_Face(library, path, 0, &face) != 0) throw std::runtime_error(std::string("cannot open font ") + path);
  FT_Set_Pixel_Sizes(face, 0, 11);
  const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
  for (int code = creature_marks::kFirstGlyphCode; code <= creature_marks::kLastGlyphCode; ++code) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0)
      throw std::runtime_error("cannot render a marker glyph");
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const int advance = static_cast<int>(face->glyph->advance.x >> 6);
    const int width = std::max(advance, static_cast<int>(bitmap.width) + face->glyph->bitmap_left) + 2;
    const int height = ascent + 4;
    std::vector<float> ink(static_cast<size_t>(width * height), 0.0f);
    for (unsigned y = 0; y < bitmap.rows; ++y)
      for (unsigned x = 0; x < bitmap.width; ++x) {
        const int px = static_cast<int>(x) + face->glyph->bitmap_left + 1;
        const int py = ascent - face->glyph->bitmap_top + static_cast<int>(y) + 1;
        if (px >= 0 && px < width && py >= 0 && py < height)
          ink[static_cast<size_t>(py * width + px)] =
              bitmap.buffer[y * static_cast<unsigned>(bitmap.pitch) + x] / 255.0f;
      }
    Canvas canvas(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const float here = ink[static_cast<size_t>(y * width + x)];
        float around = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int ax = x + dx, ay = y + dy;
            if (ax >= 0 && ax < width && ay >= 0 && ay < height)
              around = std::max(around, ink[static_cast<size_t>(ay * width + ax)]);
          }
        if (here > 0.45f) {
          const int shade = static_cast<int>(200 + 55 * here);
          canvas.Set(x, y, Rgb565(255, shade, static_cast<int>(150 * here)));
        } else if (around > 0.3f) {
          canvas.Set(x, y, Rgb565(24, 16, 8));
        }
      }
    file.AddFrame(EncodeFrame(canvas, 0, 0, -1));
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

// The owner's marker floating over a creature: a gem in its army's colour, bright inside a
// black rim and a pale edge, so that it reads on grass, water and stone alike. Its hot spot
// is its lower tip.
void AddOwnerMarkers(SpriteFileWriter& file) {
  for (int colour = 0; colour < creature_marks::kArmyColours; ++colour) {
    const Colour base = ArmyColour(colour);
    Raster r(13, 15);
    const icon::Shape gem = icon::Polygon({{6.5f, 14}, {1, 6}, {3.5f, 1.5f}, {9.5f, 1.5f}, {12, 6}});
    r.Fill(icon::Grow(gem, 1.2f), C(8, 8, 8));
    r.Fill(icon::Grow(gem, 0.2f), icon::Lighter(base, 0.55f));
    r.Fill(icon::Grow(gem, -0.9f),
           icon::VerticalGradient(1.5f, 14, icon::Lighter(base, 0.25f), icon::Darker(base, 0.2f)));
    r.Fill(icon::Polygon({{4, 3}, {6.5f, 3}, {4.5f, 6.5f}, {2.8f, 6}}), icon::Lighter(base, 0.7f), 0.8f);
    Add(file, r, 6, 14);
  }
}

// A selection bracket: two corners facing each other across the body's width, opening
// downward over the head (hot spot at its middle top) or upward at the feet (middle bottom).
Raster Bracket(int halfWidth, bool head, const Colour& colour) {
  const int w = 2 * halfWidth + 4, h = 9;
  Raster r(w, h);
  const float top = head ? 2.0f : h - 2.0f, tip = head ? h - 2.0f : 2.0f;
  const float left = 2.0f, right = w - 2.0f, arm = std::max(4.0f, halfWidth * 0.45f);
  const std::vector<icon::Shape> strokes = {icon::Path({{left, tip}, {left, top}, {left + arm, top}}, 2.2f),
                                            icon::Path({{right, tip}, {right, top}, {right - arm, top}}, 2.2f)};
  r.Fill(icon::Grow(icon::Union(strokes), 1.1f), C(8, 8, 8));
  r.Fill(icon::Union(strokes), colour);
  return r;
}

void AddStatusMarks(SpriteFileWriter& file) {
  const Colour own = C(120, 255, 120), other = C(255, 90, 70);
  for (const Colour& colour : {own, other})
    for (int large = 0; large < 2; ++large)
      for (bool head : {true, false}) {
        const int half = creature_marks::kBracketHalfWidth[large];
        Add(file, Bracket(half, head, colour), half + 2, head ? 1 : 8);
      }
  // The target arrow: a red chevron pointing down at the creature's head.
  Raster r(13, 11);
  const icon::Shape arrow = icon::Polygon({{6.5f, 10}, {1, 2}, {4, 1}, {6.5f, 5}, {9, 1}, {12, 2}});
  r.Fill(icon::Grow(arrow, 1.0f), C(8, 8, 8));
  r.Fill(arrow, icon::VerticalGradient(1, 10, C(255, 120, 90), C(200, 30, 20)));
  Add(file, r, 6, 10);
}

// The battle's interface sprite set: glyphs, owner markers and status marks.
std::vector<uint8_t> MarkerSprites() {
  SpriteFileWriter file;
  AddMarkerGlyphs(file);
  AddOwnerMarkers(file);
  AddStatusMarks(file);
  return file.Bytes();
}

// The dots of a route and of a line of fire: white, green, red and gold, in two sizes.
std::vector<uint8_t> RouteDots() {
  SpriteFileWriter file;
  const Colour colours[] = {C(240, 240, 240), C(110, 230, 120), C(240, 80, 70), C(250, 210, 90)};
  for (int size : {3, 5})
    for (const Colour& colour : colours) {
      Raster r(2 * size + 2, 2 * size + 2);
      r.Outlined(icon::Circle(size + 1.0f, size + 1.0f, size * 0.8f),
                 icon::Ball(size + 1.0f, size + 1.0f, size, colour), C(20, 20, 20), 0.8f);
      Add(file, r, size + 1, size + 1);
    }
  return file.Bytes();
}

// The rank badge worn over a Lord (a silver crown) and a King (a larger gold one), four
// frames each with a glint running across the metal. The hot spot is the middle of the rim,
// which sits on the top of the head.
constexpr int kBadgeFrames = 4;

std::vector<uint8_t> Crowns() {
  SpriteFileWriter file;
  for (int king = 0; king < 2; ++king) {
    const Colour metal = king ? C(250, 200, 60) : C(205, 210, 222);
    const float s = king ? 1.25f : 1.0f;
    const int w = static_cast<int>(22 * s), h = static_cast<int>(16 * s);
    for (int f = 0; f < kBadgeFrames; ++f) {
      Raster r(w, h);
      std::vector<std::pair<float, float>> points = {{2, 14},    {2, 5},  {6.5f, 9}, {11, 2},
                                                     {15.5f, 9}, {20, 5}, {20, 14}};
      for (auto& p : points) p = {p.first * s, p.second * s};
      const icon::Shape crown = icon::Polygon(points);
      r.Fill(icon::Grow(crown, 1.3f), C(20, 14, 8));
      r.Fill(crown, icon::VerticalGradient(2 * s, 14 * s, icon::Lighter(metal, 0.45f), icon::Darker(metal, 0.35f)));
      const float glint = (3 + 5.0f * f) * s;
      r.Fill(icon::Intersect(crown, icon::Segment(glint, 14 * s, glint + 4 * s, 2 * s, 2.2f * s)), C(255, 255, 240),
             0.8f);
      r.Fill(icon::Circle(11 * s, 11 * s, 1.8f * s), king ? C(210, 30, 50) : C(60, 120, 230));
      Add(file, r, w / 2, h - 1);
    }
  }
  return file.Bytes();
}

// Sequence 0 the Lord's badge, 1 the King's: their frames round and round.
AniSpec CrownAnimation() {
  AniSpec spec;
  spec.spriteName = "lordking.spr";
  for (int king = 0; king < 2; ++king) {
    std::vector<AniStep> steps{Delay(4)};
    for (int f = 0; f < kBadgeFrames; ++f) steps.push_back(Frame(king * kBadgeFrames + f));
    steps.push_back(Jump(-kBadgeFrames));
    steps.push_back(End());
    spec.sequences.push_back(steps);
  }
  return spec;
}

// The cut-level button: frame f pictures f + 1 levels standing (the battle shows frame
// level - 1, or level + 1 when it cuts by the three terrain classes), so that a higher cut
// level always shows a taller stack.
std::vector<uint8_t> CutLevelButtons() {
  constexpr int kFrames = 8;
  SpriteFileWriter file;
  for (int frame = 0; frame < kFrames; ++frame) {
    Raster r(40, 40);
    const Colour face = C(80, 72, 60);
    r.Outlined(icon::Box(1, 1, 39, 39, 5), icon::VerticalGradient(1, 39, icon::Lighter(face, 0.25f), face),
               C(200, 160, 80), 1.2f);
    r.Bevel(icon::Box(2, 2, 38, 38, 4), 3, 0.35f);
    for (int slab = 0; slab < kFrames; ++slab) {
      const float top = 32 - slab * 3.5f;
      const bool lit = slab <= frame;
      r.Outlined(icon::Box(9, top, 31, top + 2.5f, 0.8f), lit ? C(120, 200, 110) : C(60, 60, 60), C(20, 16, 10), 0.6f);
    }
    Add(file, r, 0, 0);
  }
  return file.Bytes();
}

std::string BattleTooltips() {
  IniText ini;
  ini.Comment("Tooltips of the battle screen, by number");
  ini.Section("STRINGS");
  const std::vector<std::pair<int, const char*>> texts = {
      {0, "Your wizard: click to select, double-click to find"},
      {1, "Health"},
      {2, "Mana"},
      {3, "Spells and items"},
      {4, "Creatures under your control"},
      {5, "Time left"},
      {254, "Cut-away: how many levels of the map are shown"},
  };
  size_t next = 0;
  for (int n = 0; n <= 254; ++n) {
    char key[16];
    std::snprintf(key, sizeof key, "STR_%02d", n);
    const char* text = "";
    if (next < texts.size() && texts[next].first == n) text = texts[next++].second;
    ini.Key(key, text);
  }
  return ini.Text();
}

FORGE_STEP(BattleScreenArt) {
  const std::string folder = std::string(kSectionFolder) + "\\";
  ctx.WriteFile(folder + "terrain.ani", WriteAnimation(TerrainAnimation()));
  ctx.WriteFile(folder + "doors.ani", WriteAnimation(DoorsAnimation()));
  ctx.WriteFile("sprites\\selcur.spr", SelectionRings());
  ctx.WriteFile("sprites\\markers.spr", MarkerSprites());
  ctx.WriteFile("sprites\\lines.spr", RouteDots());
  ctx.WriteFile("sprites\\lordking.spr", Crowns());
  ctx.WriteFile("sprites\\lordking.ani", WriteAnimation(CrownAnimation()));
  ctx.WriteFile("sprites\\battlebuttons.spr", CutLevelButtons());
  ctx.WriteText("cfg\\battletooltip.cfg", BattleTooltips());
}

}  // namespace

}  // namespace forge
