// The speech box layouts, their pictures and the speakers' portraits. A box is a parchment
// panel with a gilt border, a frame for the portrait, a rule under the heading and a small
// pointer in the corner that sits on the speaker.
#include "forge/SpeechBoxes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/Pictures.h"

namespace forge {

namespace {

double Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFF) / 65536.0;
}

uint8_t Clamp(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }

void Put(RgbPicture& p, int x, int y, double r, double g, double b) {
  if (x >= 0 && y >= 0 && x < p.width && y < p.height) p.Set(x, y, Clamp(r), Clamp(g), Clamp(b));
}

// A box of the given layout at a scale (1 for 800 x 600, 0.8 for 640 x 480).
RgbPicture BoxPicture(const SpeechBoxDef& box, double scale) {
  const int w = static_cast<int>(box.width * scale), h = static_cast<int>(box.height * scale);
  RgbPicture p(w, h);
  const int border = std::max(4, static_cast<int>(7 * scale));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      // Parchment: warm, a little darker toward the edges, with fibres.
      const double edge = std::min({x, y, w - 1 - x, h - 1 - y}) / (12.0 * scale);
      const double shade = 0.86 + 0.14 * std::min(edge, 1.0) + (Hash(x / 2, y, 5) - 0.5) * 0.06;
      double r = 232 * shade, g = 214 * shade, b = 170 * shade;
      const int inset = std::min({x, y, w - 1 - x, h - 1 - y});
      if (inset < border) {
        // The gilt border, lit on its outer half.
        const double t = inset < border / 2 ? 1.0 : 0.72;
        r = 200 * t;
        g = 150 * t;
        b = 60 * t;
      }
      p.Set(x, y, Clamp(r), Clamp(g), Clamp(b));
    }
  // The portrait's frame.
  const int px = static_cast<int>(box.pictureX * scale), py = static_cast<int>(box.pictureY * scale);
  const int pw = static_cast<int>(80 * scale), ph = static_cast<int>(100 * scale);
  for (int y = py - 3; y < py + ph + 3; ++y)
    for (int x = px - 3; x < px + pw + 3; ++x) Put(p, x, y, 120, 80, 36);
  // The rule under the heading.
  const int ruleY = static_cast<int>(box.heading[3] * scale) + 1;
  for (int x = static_cast<int>(box.heading[0] * scale); x < static_cast<int>(box.heading[2] * scale); ++x)
    Put(p, x, ruleY, 150, 105, 45);
  // The pointer in the corner that sits on the speaker.
  if (box.hotSpotX >= 0) {
    const int cx = static_cast<int>(box.hotSpotX * scale), cy = static_cast<int>(box.hotSpotY * scale);
    const int dirY = cy == 0 ? 1 : -1;
    const int size = static_cast<int>(18 * scale);
    for (int d = 0; d < size; ++d)
      for (int x = cx - (size - d) / 2; x <= cx + (size - d) / 2; ++x)
        Put(p, x, cy + dirY * (border + size - d), 170, 60, 40);
  }
  return p;
}

struct PortraitLook {
  const char* name;
  int background[3], skin[3], hair[3], robe[3];
  bool hat, beard, pointedEars;
};

const PortraitLook kPortraits[] = {
    {"Redcap portrait", {70, 40, 40}, {200, 150, 110}, {190, 30, 30}, {90, 60, 40}, true, true, false},
    {"Wizard portrait", {40, 40, 80}, {220, 180, 150}, {230, 230, 230}, {60, 60, 160}, true, true, false},
    {"Elf portrait", {40, 80, 50}, {230, 200, 170}, {230, 200, 90}, {50, 120, 60}, false, false, true},
    {"Troll portrait", {60, 60, 50}, {110, 140, 90}, {60, 70, 40}, {90, 80, 60}, false, false, true},
    {"Hero portrait", {80, 60, 40}, {210, 160, 120}, {90, 60, 30}, {160, 160, 170}, false, false, false},
    {"Vampire portrait", {30, 20, 40}, {220, 215, 225}, {20, 20, 30}, {120, 20, 30}, false, false, false},
};

RgbPicture Portrait(const PortraitLook& look, int w, int h) {
  RgbPicture p(w, h);
  const double s = w / 80.0;
  auto in = [](double x, double y, double cx, double cy, double rx, double ry) {
    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double fx = x + 0.5, fy = y + 0.5;
      const double vignette = 1.0 - 0.4 * std::hypot(fx / w - 0.5, fy / h - 0.4);
      const int* c = look.background;
      double lit = vignette;
      if (in(fx, fy, 40 * s, 100 * s, 36 * s, 26 * s)) c = look.robe, lit = 0.8 + 0.2 * (1 - fy / h);
      if (in(fx, fy, 40 * s, 48 * s, 17 * s, 21 * s)) {
        c = look.skin;
        lit = 1.05 - 0.35 * std::max(0.0, (fx - 32 * s) / (30 * s));  // light from the left
      }
      if (look.pointedEars && (in(fx, fy, 22 * s, 44 * s, 4 * s, 9 * s) || in(fx, fy, 58 * s, 44 * s, 4 * s, 9 * s)))
        c = look.skin, lit = 0.85;
      if (!look.hat && in(fx, fy, 40 * s, 32 * s, 19 * s, 11 * s) && fy < 38 * s) c = look.hair, lit = 0.9;
      if (look.hat && fy < 32 * s && std::abs(fx - 40 * s) < (32 * s - fy) * 0.7 + 4 * s && fy > 4 * s)
        c = look.hair, lit = 0.75 + 0.25 * (fy / (32 * s));
      if (look.hat && std::abs(fy - 30 * s) < 3 * s && std::abs(fx - 40 * s) < 26 * s) c = look.hair, lit = 0.6;
      if (look.beard && in(fx, fy, 40 * s, 64 * s, 14 * s, 12 * s) && fy > 58 * s) c = look.hair, lit = 0.95;
      double r = c[0] * lit, g = c[1] * lit, b = c[2] * lit;
      // Eyes and mouth.
      if (in(fx, fy, 33 * s, 45 * s, 2.2 * s, 1.6 * s) || in(fx, fy, 47 * s, 45 * s, 2.2 * s, 1.6 * s)) r = g = b = 25;
      if (!look.beard && std::abs(fy - 59 * s) < 1.0 * s && std::abs(fx - 40 * s) < 6 * s) r = 120, g = 40, b = 40;
      p.Set(x, y, Clamp(r), Clamp(g), Clamp(b));
    }
  // A thin dark frame.
  for (int x = 0; x < w; ++x) Put(p, x, 0, 20, 15, 10), Put(p, x, h - 1, 20, 15, 10);
  for (int y = 0; y < h; ++y) Put(p, 0, y, 20, 15, 10), Put(p, w - 1, y, 20, 15, 10);
  return p;
}

SpeechBoxDef Box(int w, int h, int hotX, int hotY, int limit) {
  SpeechBoxDef box;
  box.width = w;
  box.height = h;
  const int margin = w >= 500 ? 16 : 14;
  box.pictureX = margin;
  box.pictureY = (h - 100) / 2;
  box.heading = {margin + 94, 12, w - margin, 40};
  box.body = {margin + 94, 46, w - margin, h - 12};
  box.boxX = (800 - w) / 2;
  box.boxY = 60;
  box.hotSpotX = hotX;
  box.hotSpotY = hotY;
  box.textLimit = limit;
  return box;
}

}  // namespace

std::vector<SpeechBoxDef> ForgedSpeechBoxes() {
  std::vector<SpeechBoxDef> boxes;
  // Small boxes for short words, the pointer in each corner in turn (the speaker below-left,
  // below-right, above-left, above-right of the box), then large ones for long speeches. A
  // box's limit is what its body holds in the body font: four lines of some 25 characters in
  // a small box, seven of some 37 in a large one.
  for (auto [x, y] : {std::pair{30, 150}, std::pair{350, 150}, std::pair{30, 0}, std::pair{350, 0}})
    boxes.push_back(Box(380, 150, x, y, 100));
  // The large boxes' pointers stand nearer their middle, so that one of them fits a speaker in
  // the middle of the screen too.
  for (auto [x, y] : {std::pair{140, 200}, std::pair{380, 200}, std::pair{140, 0}, std::pair{380, 0}})
    boxes.push_back(Box(520, 200, x, y, 250));
  // A box for fixed and centred speeches: no pointer, no limit.
  SpeechBoxDef centred = Box(560, 220, -1, -1, -1);
  centred.boxX = 120;
  centred.boxY = 190;
  boxes.push_back(centred);
  return boxes;
}

std::string SpeechBoxConfigText(const std::vector<SpeechBoxDef>& boxes) {
  IniText ini;
  ini.Comment("Speech box layouts; positions for the 800x600 screen (0.8 of them at 640x480)");
  ini.Section("HEADER").Key("NumberBoxes", static_cast<int>(boxes.size()));
  auto join = [](std::initializer_list<int> values) {
    std::string text;
    for (int v : values) text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
  };
  for (size_t i = 0; i < boxes.size(); ++i) {
    const SpeechBoxDef& b = boxes[i];
    ini.Section("SPEECHBOX_" + std::to_string(i + 1));
    ini.Key("Heading", join({b.heading[0], b.heading[1], b.heading[2], b.heading[3]}));
    ini.Key("Body", join({b.body[0], b.body[1], b.body[2], b.body[3]}));
    ini.Key("PicturePos", join({b.pictureX, b.pictureY}));
    ini.Key("BoxPos", join({b.boxX, b.boxY}));
    ini.Key("Size640", join({static_cast<int>(b.width * 0.8), static_cast<int>(b.height * 0.8)}));
    ini.Key("Size800", join({b.width, b.height}));
    if (b.hotSpotX >= 0) ini.Key("HotSpot", join({b.hotSpotX, b.hotSpotY}));
    if (b.textLimit >= 0) ini.Key("StrLen", b.textLimit);
  }
  return ini.Text();
}

std::vector<std::string> ForgedPortraitNames() {
  std::vector<std::string> names;
  for (const PortraitLook& look : kPortraits) names.push_back(look.name);
  return names;
}

}  // namespace forge

namespace {

FORGE_STEP(SpeechBoxes) {
  const std::vector<forge::SpeechBoxDef> boxes = forge::ForgedSpeechBoxes();
  ctx.WriteText("cfg\\speechbox.cfg", forge::SpeechBoxConfigText(boxes));
  for (size_t i = 0; i < boxes.size(); ++i) {
    for (auto [screenW, screenH, scale] : {std::tuple{800, 600, 1.0}, std::tuple{640, 480, 0.8}}) {
      const forge::RgbPicture picture = forge::BoxPicture(boxes[i], scale);
      char path[96];
      std::snprintf(path, sizeof path, "Speechbox\\%dx%d\\Speech%dx%d-%d.jpg", screenW, screenH, picture.width,
                    picture.height, static_cast<int>(i + 1));
      forge::WriteJpeg(ctx.ClaimFile(path), picture, 90);
    }
  }
  for (const forge::PortraitLook& look : forge::kPortraits) {
    for (auto [w, h] : {std::pair{80, 100}, std::pair{64, 80}}) {
      char path[128];
      std::snprintf(path, sizeof path, "portraits\\%dx%d\\%s %dx%d.JPG", w, h, look.name, w, h);
      forge::WriteJpeg(ctx.ClaimFile(path), forge::Portrait(look, w, h), 92);
    }
  }
}

}  // namespace
