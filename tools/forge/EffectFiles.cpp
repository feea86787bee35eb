// The effects' data: cfg\effects.cfg (light and clipping of the 89 kinds), cfg\effectani.cfg
// (the effect-animation table) and the sprite and animation files it names,
// sprites\EFFECTS0..2.spr and .ani. One table below gives every entry: its file, print type,
// sequences and looks; the files are written from it.
//
// Entry numbers are fixed by the effect kinds, the creatures and the world objects that play
// them. Where a heading, a view rotation, a size or a facing picks the sequence, every
// sequence of the entry runs the same step program, so that what a machine's view shows never
// changes how long an effect lives. Impacts end; missiles, markers and auras loop.
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "forge/AnimationWriter.h"
#include "forge/EffectLooks.h"
#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/ObjectLooks.h"
#include "forge/SpriteWriter.h"

namespace {

using namespace forge;
using namespace forge::effect_art;

constexpr int kFiles = 3;
constexpr int kEntries = 296;  // the creatures' fling entries 288-295 are the last

// How an entry's sequences run. Event 2 is the step the kinds act on (a strike, a delivery,
// a flicker of fire).
enum class Program {
  kLoop,           // round and round
  kOnce,           // to the end
  kEventOnce,      // event 2 halfway, then to the end
  kTwoEvents,      // event 2 at a third and at two thirds
  kLoopTail,       // round and round; when asked to finish, the tail frames and the end
  kEventLoopTail,  // the same with event 2 at the top of each round
  kLoopEvent,      // round and round with event 2 at the end of each round
  kEventLoopOnce,  // event 2 once after the first frame, then round and round; the tail when asked to finish
};

struct Entry {
  int number;
  int file;
  const char* printer;
  int sequences;
  int looks;   // frame sets drawn; sequence s shows look lookOf(s) (s % looks by default)
  int frames;  // frames of the loop, or of the whole sequence
  int tail;    // frames after the loop
  int delay;   // ticks each frame stays, less one
  Program program;
  std::function<Picture(int look, int frame)> draw;
  std::function<int(int sequence)> lookOf;
  // Extra drawing offset of a frame step (digits keep their place and float up).
  std::function<std::pair<int, int>(int sequence, int frame)> offset;
  // Pictures drawn per look when fewer than its frames: later frames repeat the last.
  int pictures = 0;
};

const EffectPalette& Palette() {
  static const EffectPalette palette;
  return palette;
}

// The step program of one sequence whose frames are first .. first + frames + tail - 1.
std::vector<AniStep> Steps(const Entry& e, int sequence, int first) {
  auto frame = [&](int k) {
    const auto offset = e.offset ? e.offset(sequence, k) : std::pair<int, int>{0, 0};
    return Frame(first + (e.pictures > 0 ? std::min(k, e.pictures - 1) : k), offset.first, offset.second);
  };
  std::vector<AniStep> s{Delay(e.delay)};
  const int n = e.frames;
  switch (e.program) {
    case Program::kLoop:
      for (int k = 0; k < n; ++k) s.push_back(frame(k));
      s.push_back(Jump(-n));
      break;
    case Program::kOnce:
      for (int k = 0; k < n; ++k) s.push_back(frame(k));
      break;
    case Program::kEventOnce:
      for (int k = 0; k < n; ++k) {
        if (k == n / 2) s.push_back(Event(2));
        s.push_back(frame(k));
      }
      break;
    case Program::kTwoEvents:
      for (int k = 0; k < n; ++k) {
        if (k == n / 3 || k == 2 * n / 3) s.push_back(Event(2));
        s.push_back(frame(k));
      }
      break;
    case Program::kLoopTail:
      for (int k = 0; k < n; ++k) s.push_back(frame(k));
      s.push_back(Jump(-n));
      for (int k = 0; k < e.tail; ++k) s.push_back(frame(n + k));
      break;
    case Program::kEventLoopTail:
      s.push_back(Event(2));
      for (int k = 0; k < n; ++k) s.push_back(frame(k));
      s.push_back(Jump(-(n + 1)));
      for (int k = 0; k < e.tail; ++k) s.push_back(frame(n + k));
      break;
    case Program::kEventLoopOnce:
      // Starting a sequence runs it to its first frame: the event comes after that frame, so
      // that the first tick reports it, and the loop goes round the frames after it.
      s.push_back(frame(0));
      s.push_back(Event(2));
      for (int k = 1; k < n; ++k) s.push_back(frame(k));
      s.push_back(Jump(-(n - 1)));
      for (int k = 0; k < e.tail; ++k) s.push_back(frame(n + k));
      break;
    case Program::kLoopEvent:
      for (int k = 0; k < n; ++k) s.push_back(frame(k));
      s.push_back(Event(2));
      s.push_back(Jump(-(n + 1)));
      break;
  }
  s.push_back(End());
  return s;
}

// --- the looks of the table ---------------------------------------------------------------

BurstStyle Style(const Ramp* glow, const Ramp* ring, const Ramp* sparks, int radius, int seed, double squash = 1.0) {
  BurstStyle s;
  s.glow = glow;
  s.ring = ring;
  s.sparks = sparks;
  s.radius = radius;
  s.seed = seed;
  s.squash = squash;
  return s;
}

Entry BurstEntry(int number, int file, const char* printer, int frames, BurstStyle style,
                 Program program = Program::kOnce) {
  return Entry{number, file, printer, 16,      1,
               frames, 0,    1,       program, [style, frames](int, int f) { return Burst(style, f, frames); }};
}

std::vector<Entry> Table() {
  const EffectPalette& p = Palette();
  std::vector<Entry> t;
  const int kHeadings = 16;
  // Alignment carriers: 14-16 the lesser spells (Vrask, Law, Neutral), 17-19 the greater.
  const int lesser[3] = {15, 16, 14}, greater[3] = {18, 19, 17}, bolts[3] = {20, 21, 13};
  for (int a = 0; a < 3; ++a) {
    const Ramp* ramp = &p.Alignment(a);
    t.push_back({lesser[a], 0, "NORMAL", kHeadings, 1, 8, 0, 1, Program::kOnce,
                 [&p, ramp](int, int f) { return CarrierOrb(p, *ramp, false, f); }});
    t.push_back({greater[a], 0, "NORMAL", kHeadings, 1, 8, 0, 1, Program::kOnce,
                 [&p, ramp](int, int f) { return CarrierOrb(p, *ramp, true, f); }});
    t.push_back({bolts[a], 0, "NORMAL", kHeadings, 1, 6, 0, 0, Program::kLoop,
                 [&p, ramp](int, int f) { return EnergyBall(p, *ramp, 4, f); }});
  }
  t.push_back(
      {0, 0, "NORMAL", kHeadings, 1, 4, 0, 0, Program::kLoop, [&p](int, int f) { return EnergyBall(p, p.ice, 4, f); }});
  t.push_back(
      {27, 0, "NORMAL", kHeadings, 1, 6, 0, 0, Program::kLoop, [&p](int, int f) { return SpinningClod(p, f); }});
  // Thrown missiles: 16 headings, and for the arrows five pitches of each (pitch x 16 + heading).
  t.push_back({2, 0, "NORMAL", 80, 80, 1, 0, 0, Program::kLoop,
               [&p](int look, int) { return Arrow(p, look % 16, look / 16, false); }});
  t.push_back({4, 0, "NORMAL", 80, 80, 1, 0, 0, Program::kLoop,
               [&p](int look, int) { return Arrow(p, look % 16, look / 16, true); }});
  t.push_back({3, 0, "NORMAL", kHeadings, 1, 4, 0, 0, Program::kLoop, [&p](int, int f) { return SlingStone(p, f); }});
  t.push_back({5, 0, "NORMAL", kHeadings, kHeadings, 2, 0, 0, Program::kLoop,
               [&p](int look, int f) { return Spikes(p, look, f); }});
  t.push_back(
      {78, 0, "NORMAL", kHeadings, 1, 4, 0, 0, Program::kLoop, [&p](int, int f) { return FlySwarm(p, f, false); }});
  t.push_back(
      {11, 0, "NORMAL", kHeadings, 1, 6, 0, 0, Program::kOnce, [&p](int, int f) { return Fireball(p, 4 + f, f, 6); }});
  t.push_back(
      {59, 0, "NORMAL", kHeadings, 1, 6, 0, 0, Program::kOnce, [&p](int, int f) { return Fireball(p, 7, f, 6); }});
  t.push_back({55, 0, "NORMAL", kHeadings, 1, 4, 0, 0, Program::kLoop, [&p](int, int f) { return Meteor(p, f); }});
  t.push_back({65, 0, "NORMAL", 1, 1, 8, 0, 0, Program::kLoop, [&p](int, int f) { return GoldStar(p, f); }});
  t.push_back({49, 0, "NORMAL", kHeadings, 1, 6, 0, 0, Program::kLoop,
               [&p](int, int f) { return EnergyBall(p, p.arcane, 4, f); }});
  t.push_back(
      {87, 0, "TRANSPARENT75", kHeadings, 1, 6, 0, 1, Program::kLoop, [&p](int, int f) { return Ice(p, 3, f, 6); }});
  // What a missile leaves where it ends (kind 19 by spell).
  t.push_back(BurstEntry(29, 0, "NORMAL", 5, Style(&p.white, nullptr, &p.white, 6, 29)));
  t.push_back(BurstEntry(40, 0, "NORMAL", 5, Style(nullptr, &p.earth, &p.wood, 7, 40, 0.6).WithDebris(p.earth)));
  t.push_back(BurstEntry(76, 0, "NORMAL", 5, Style(nullptr, &p.smoke, &p.steel, 8, 76, 0.6)));
  t.push_back(BurstEntry(77, 0, "NORMAL", 5, Style(nullptr, nullptr, &p.shadow, 9, 77)));
  t.push_back({97, 0, "NORMAL", 1, 1, 6, 0, 1, Program::kOnce, [&p](int, int f) { return FlySwarm(p, f, true); }});
  t.push_back({89, 0, "NORMAL", 1, 1, 6, 0, 0, Program::kOnce, [&p](int, int f) { return Ice(p, 4, f, 6); }});

  // File 1: fire, smoke, explosions and the spells' impacts.
  t.push_back(
      {6, 1, "NORMAL", 4, 4, 6, 3, 1, Program::kEventLoopTail, [&p](int size, int f) { return Fire(p, size, f, 6); }});
  // The glow over a magic item lying on the map (kind 60), until the item is taken.
  t.push_back({52, 1, "TRANSPARENT75", 1, 1, 8, 4, 1, Program::kLoopTail,
               [&p](int, int f) { return ItemGlow(p, p.gold, f, 8); }});
  t.push_back({39, 1, "NORMAL", 1, 1, 12, 0, 1, Program::kTwoEvents, [&p](int, int f) { return StormCloud(p, f); }});
  t.push_back(BurstEntry(1, 1, "NORMAL", 6, Style(&p.white, &p.ice, nullptr, 14, 1).WithBolts(p.ice)));
  t.push_back(BurstEntry(8, 1, "NORMAL", 7, Style(&p.arcane, nullptr, &p.white, 10, 8)));
  t.push_back(BurstEntry(12, 1, "NORMAL", 7, Style(&p.arcane, &p.arcane, &p.white, 14, 12)));
  t.push_back(BurstEntry(28, 1, "TRANSPARENT75", 8, Style(&p.shadow, &p.shadow, nullptr, 16, 28).WithSmoke(p.shadow)));
  t.push_back(BurstEntry(30, 1, "NORMAL", 7, Style(&p.vrask, nullptr, &p.fire, 12, 30).WithBolts(p.vrask)));
  t.push_back(BurstEntry(34, 1, "NORMAL", 8, Style(nullptr, &p.steel, &p.white, 16, 34, 0.8)));
  t.push_back(BurstEntry(48, 1, "NORMAL", 8, Style(&p.ice, &p.white, &p.white, 16, 48)));
  t.push_back(BurstEntry(51, 1, "NORMAL", 8, Style(&p.gold, &p.gold, &p.white, 18, 51).WithBolts(p.gold)));
  t.push_back(BurstEntry(54, 1, "NORMAL", 7, Style(&p.fire, nullptr, &p.fire, 16, 54).WithSmoke(p.smoke)));
  t.push_back(BurstEntry(56, 1, "NORMAL", 9, Style(&p.fire, &p.fire, &p.fire, 20, 56, 0.8).WithSmoke(p.smoke)));
  t.push_back(BurstEntry(57, 1, "TRANSPARENT75", 8, Style(&p.white, &p.smoke, &p.ice, 16, 57, 0.7).WithSmoke(p.smoke)));
  t.push_back(BurstEntry(63, 1, "NORMAL", 7,
                         Style(nullptr, &p.earth, &p.earth, 14, 63, 0.7).WithSmoke(p.earth).WithDebris(p.earth)));
  t.push_back(BurstEntry(69, 1, "NORMAL", 8, Style(&p.gold, &p.gold, &p.white, 12, 69, 0.7)));
  t.push_back(BurstEntry(70, 1, "NORMAL", 8, Style(&p.shadow, &p.poison, &p.poison, 13, 70)));
  t.push_back(BurstEntry(73, 1, "NORMAL", 8, Style(&p.blood, &p.vrask, &p.vrask, 12, 73)));
  t.push_back({74, 1, "NORMAL", 16, 1, 10, 0, 1, Program::kOnce,
               [&p](int, int f) { return Rising(p, p.neutral, 28, f, 10, 74); }});
  t.push_back(BurstEntry(23, 1, "NORMAL", 6, Style(&p.gold, nullptr, &p.white, 10, 23)));
  t.push_back(BurstEntry(53, 1, "TRANSPARENT75", 6, Style(&p.fire, nullptr, nullptr, 9, 53)));
  t.push_back(BurstEntry(67, 1, "TRANSPARENT75", 6,
                         Style(nullptr, &p.earth, nullptr, 12, 67, 0.6).WithSmoke(p.earth).WithDebris(p.earth)));
  t.push_back(BurstEntry(98, 1, "NORMAL", 5, Style(&p.white, nullptr, &p.white, 7, 98)));
  t.push_back(BurstEntry(58, 1, "NORMAL", 9, Style(&p.poison, &p.poison, &p.neutral, 14, 58), Program::kTwoEvents));
  t.push_back({71, 1, "NORMAL", 16, 1, 6, 3, 1, Program::kEventLoopTail,
               [&p](int, int f) { return Rings(p, p.earth, 16, -1, f % 6, 6); }});
  t.push_back(
      {75, 1, "NORMAL", 16, 1, 10, 0, 1, Program::kEventOnce, [&p](int, int f) { return Spiral(p, p.arcane, f, 10); }});
  t.push_back({50, 1, "NORMAL", 1, 1, 10, 0, 1, Program::kTwoEvents,
               [&p](int, int f) { return Rings(p, p.gold, 22, -1, f, 10); }});
  t.push_back({68, 1, "NORMAL", 5, 5, 8, 0, 1, Program::kOnce,
               [&p](int quarter, int f) { return Rings(p, p.white, 24, quarter - 1, f, 8); }});
  t.push_back({64, 1, "NORMAL", 18, 4, 7, 0, 1, Program::kOnce,
               [&p](int side, int f) {
                 Picture pic =
                     Burst(Style(nullptr, nullptr, &p.earth, 10, 64 + side, 0.7).WithSmoke(p.earth).WithDebris(p.earth),
                           f, 7);
                 pic.hotX += side % 2 ? 3 : -3;  // the dust leans toward its corner
                 pic.hotY += side / 2 ? 2 : -2;
                 return pic;
               },
               [](int sequence) { return sequence % 4; }});
  t.push_back({72, 1, "NORMAL", 8, 8, 8, 0, 1, Program::kEventOnce,
               [&p](int direction, int f) { return Wave(p, direction, f, 8); }});
  t.push_back({88, 1, "NORMAL", 1, 1, 8, 0, 1, Program::kEventOnce, [&p](int, int f) { return Ice(p, 2, f, 8); }});
  t.push_back({32, 1, "NORMAL", 1, 1, 8, 0, 1, Program::kEventOnce, [&p](int, int f) { return Ice(p, 0, f, 8); }});
  t.push_back(
      {33, 1, "TRANSPARENT75", 1, 1, 8, 0, 1, Program::kEventOnce, [&p](int, int f) { return Ice(p, 1, f, 8); }});
  t.push_back({44, 1, "NORMAL", 8, 8, 8, 0, 1, Program::kEventOnce,
               [&p](int direction, int f) { return Aim(p, direction, f, 8); }});
  t.push_back({10, 1, "NORMAL", 1, 1, 10, 0, 1, Program::kEventOnce,
               [&p](int, int f) { return CarrierOrb(p, p.gold, false, f % 6); }});
  t.push_back(
      {9, 1, "NORMAL", 1, 1, 10, 0, 1, Program::kOnce, [&p](int, int f) { return Rising(p, p.gold, 24, f, 10, 9); }});

  // File 2: traps, markers, digits and what creatures and objects wear.
  t.push_back({41, 2, "NORMAL", 1, 1, 8, 0, 1, Program::kOnce, [&p](int, int f) { return Pit(p, 0, 0, f, 8); }});
  t.push_back({42, 2, "NORMAL", 1, 1, 8, 0, 1, Program::kOnce, [&p](int, int f) { return Pit(p, 2, 0, f, 8); }});
  t.push_back({43, 2, "NORMAL", 16, 3, 6, 0, 1, Program::kLoopEvent,
               [&p](int variant, int f) { return Pit(p, 1, variant, f, 6); }});
  t.push_back({46, 2, "NORMAL", 1, 1, 6, 0, 1, Program::kLoop, [&p](int, int f) { return Pit(p, 3, 0, f, 6); }});
  t.push_back({60, 2, "NORMAL", 2, 2, 8, 0, 1, Program::kLoop,
               [&p](int raised, int f) { return GroundRing(p, p.law, raised ? 7 : 5, raised != 0, f, 8); }});
  t.push_back({80, 2, "NORMAL", 2, 2, 8, 0, 1, Program::kLoop,
               [&p](int raised, int f) { return GroundRing(p, p.gold, raised ? 7 : 5, raised != 0, f, 8); }});
  t.push_back(
      {66, 2, "NORMAL", 1, 1, 8, 0, 1, Program::kLoop, [&p](int, int f) { return FloatingChevron(p, p.law, f, 8); }});
  t.push_back(
      {81, 2, "NORMAL", 1, 1, 8, 0, 1, Program::kLoop, [&p](int, int f) { return FloatingChevron(p, p.gold, f, 8); }});
  t.push_back({62, 2, "NORMAL", 1, 1, 8, 2, 1, Program::kLoopTail,
               [&p](int, int f) { return GroundRing(p, p.white, 12, false, f % 8, 8); }});
  t.push_back({95, 2, "NORMAL", 1, 1, 12, 0, 1, Program::kLoop,
               [&p](int, int f) { return GroundRing(p, p.arcane, 14, true, f, 12); }});
  t.push_back({180, 2, "NORMAL", 2, 2, 8, 0, 1, Program::kLoop,
               [&p](int large, int f) { return GroundRing(p, p.white, large ? 22 : 12, false, f, 8); }});
  t.push_back({22, 2, "TRANSPARENT75", 8, 8, 8, 0, 0, Program::kLoop,
               [&p](int facing, int f) { return Aura(p, p.white, facing, f, 8, true); }});
  t.push_back({35, 2, "TRANSPARENT75", 8, 8, 6, 0, 1, Program::kLoop,
               [&p](int facing, int f) { return Aura(p, p.fire, facing, f, 6, false); }});
  t.push_back({36, 2, "TRANSPARENT75", 8, 8, 8, 0, 1, Program::kLoop,
               [&p](int facing, int f) { return Aura(p, p.law, facing, f, 8, false); }});
  // The echo of a creature follows every sequence its creature can play: a dead creature's
  // last facing of its last body stage is sequence 327.
  t.push_back({45, 2, "TRANSPARENT50", 328, 1, 8, 0, 1, Program::kLoop,
               [&p](int, int f) { return Aura(p, p.arcane, 0, f, 8, false); }});
  // The levitation spell's overlays, for one tile and for two: the creature rises at the event.
  t.push_back(
      {90, 2, "NORMAL", 1, 1, 12, 0, 1, Program::kEventOnce, [&p](int, int f) { return Spiral(p, p.law, f, 12); }});
  t.push_back(
      {91, 2, "NORMAL", 1, 1, 12, 0, 1, Program::kEventOnce, [&p](int, int f) { return Spiral(p, p.law, f, 12); }});
  t.push_back({94, 2, "NORMAL", 1, 1, 8, 0, 1, Program::kLoop, [&p](int, int f) { return Bubbles(p, f, 8); }});
  t.push_back({192, 2, "TRANSPARENT75", 1, 1, 6, 0, 1, Program::kLoop, [&p](int, int f) { return Ice(p, 1, f, 6); }});
  t.push_back({96, 2, "NORMAL", 1, 1, 8, 0, 1, Program::kEventOnce, [&p](int, int f) {
                 return Burst(Style(nullptr, &p.earth, &p.earth, 12, 96, 0.6).WithSmoke(p.earth), f, 8);
               }});
  t.push_back(
      {47, 2, "NORMAL", 1, 1, 8, 0, 1, Program::kOnce, [&p](int, int f) { return Rising(p, p.gold, 30, f, 8, 47); }});
  t.push_back(
      {37, 2, "NORMAL", 1, 1, 6, 0, 1, Program::kOnce, [&p](int, int f) { return Rising(p, p.white, 16, f, 6, 37); }});
  t.push_back({61, 2, "NORMAL", 104, 1, 8, 0, 1, Program::kEventOnce,
               [&p](int, int f) { return Rising(p, p.neutral, 30, f, 8, 61); }});
  for (int facing = 0; facing < 8; ++facing)
    t.push_back({288 + facing, 2, "NORMAL", 1, 1, 6, 0, 1, Program::kOnce,
                 [&p, facing](int, int f) { return FlingDust(p, facing, f, 6); }});
  // The world objects lying on the map: two sequences (the second shows an object turned
  // into an effect by the map build), a glint running over a still figure. An item carried
  // off plays the same look: its event sends the item on its way, the tail ends it.
  for (int kind = 0; kind < kObjectKinds; ++kind)
    t.push_back({ObjectLookEntry(kind), 2, "NORMAL", 2, 1, kObjectLookFrames, 2, 2, Program::kEventLoopOnce,
                 [&p, kind](int, int f) { return ObjectLook(p, kind, f); }});
  // Floating numbers: entry = the digit's place, sequence = the digit; the digits of one
  // number stand side by side and rise together, one picture shown higher each frame.
  const int placeShift[5] = {-8, 0, 8, -4, 4};  // places 82-86
  for (int place = 0; place < 5; ++place)
    t.push_back({82 + place, 2, "NORMAL", 10, 10, 12, 0, 1, Program::kOnce,
                 [&p](int digit, int) { return FloatingDigit(p, digit); }, nullptr,
                 [shift = placeShift[place]](int, int frame) {
                   return std::pair<int, int>{shift, -2 * frame};
                 },
                 1});
  return t;
}

struct EffectFile {
  SpriteFileWriter sprite;
  AniSpec animation;
};

struct Written {
  int file = 0;
  int firstSequence = 0;
  const char* printer = "NORMAL";
};

// Draws the entry's looks into its file and appends its sequences; answers where they start.
Written AddEntry(EffectFile& file, const Entry& e) {
  std::vector<int> firstFrame;
  const int perLook = e.pictures > 0 ? e.pictures : e.frames + e.tail;
  for (int look = 0; look < e.looks; ++look) {
    firstFrame.push_back(-1);
    for (int f = 0; f < perLook; ++f) {
      const Picture pic = e.draw(look, f);
      const int n = file.sprite.AddFrame(EncodeFrame(pic.canvas, pic.hotX, pic.hotY, 0));
      if (f == 0) firstFrame.back() = n;
    }
  }
  Written out{e.file, static_cast<int>(file.animation.sequences.size()), e.printer};
  for (int s = 0; s < e.sequences; ++s) {
    const int look = e.lookOf ? e.lookOf(s) : s % e.looks;
    file.animation.sequences.push_back(Steps(e, s, firstFrame[static_cast<size_t>(look)]));
  }
  return out;
}

// Light (a diameter in cells), shading by the cell's light, and clipping at the cut-away
// height, per kind. Fire, missiles, blasts, lightning and summoning give light; markers and
// numbers do not.
struct KindLight {
  int diameter = 0;
  bool affected = false;
  bool clipped = false;
};

std::vector<KindLight> KindTable() {
  std::vector<KindLight> kinds(89);
  auto light = [&](std::initializer_list<int> list, int diameter) {
    for (int k : list) kinds[static_cast<size_t>(k)].diameter = diameter;
  };
  light({14}, 9);                              // fire
  light({0, 1, 2, 3, 4, 5, 6, 7, 35, 71}, 5);  // missiles and carriers
  light({8}, 11);                              // summoning
  light({13, 21, 22, 48, 12}, 9);              // lightning, strikes
  light({36, 45}, 11);                         // impacts and blasts
  light({18, 37, 42, 46, 66, 69, 72, 73, 74, 76, 77, 80, 79, 81, 84, 85, 78}, 5);
  light({38, 40, 47, 53, 58, 19, 63}, 3);  // small glows on creatures
  for (int k : {10, 17, 23, 25, 26, 27, 39, 57, 60, 61, 88}) kinds[static_cast<size_t>(k)].affected = true;
  for (int k : {10, 14, 17, 20, 24, 25, 26, 27, 43, 60, 70}) kinds[static_cast<size_t>(k)].clipped = true;
  return kinds;
}

FORGE_STEP(EffectFiles) {
  const std::vector<Entry> table = Table();
  EffectFile files[kFiles];
  for (int j = 0; j < kFiles; ++j) {
    files[j].sprite.AddPalette(Palette().builder.Bytes());
    files[j].animation.spriteName = "EFFECTS" + std::to_string(j) + ".spr";
  }
  std::map<int, Written> written;
  for (const Entry& e : table) written[e.number] = AddEntry(files[e.file], e);

  IniText ani;
  ani.Comment("The effect-animation table: each entry plays a sequence of one EFFECTS file.");
  ani.Section("HEADER").Key("NumberofAnimations", kEntries).Key("NumberOfEffectsFile", kFiles);
  for (const auto& [number, w] : written)
    ani.Section("ANI_" + std::to_string(number))
        .Key("AnimationNo", w.firstSequence)
        .Key("AnimationFileRef", "EFFECTS" + std::to_string(w.file))
        .Key("SpritePrinter", w.printer)
        .Key("Data1", w.firstSequence);
  ctx.WriteText("cfg\\effectani.cfg", ani.Text());

  IniText fx;
  fx.Comment("Light and clipping of the effect kinds.");
  const std::vector<KindLight> kinds = KindTable();
  for (int k = 0; k < static_cast<int>(kinds.size()); ++k) {
    const KindLight& kind = kinds[static_cast<size_t>(k)];
    fx.Section("FXA_" + std::to_string(k))
        .Key("LightSourceDiameter", kind.diameter)
        .Flag("LightSourceAffected", kind.affected)
        .Flag("ClippedToHeight", kind.clipped);
  }
  ctx.WriteText("cfg\\effects.cfg", fx.Text());

  for (int j = 0; j < kFiles; ++j) {
    ctx.WriteFile("sprites\\EFFECTS" + std::to_string(j) + ".spr", files[j].sprite.Bytes());
    ctx.WriteFile("sprites\\EFFECTS" + std::to_string(j) + ".ani", WriteAnimation(files[j].animation));
  }
}

}  // namespace
