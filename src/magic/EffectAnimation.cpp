// Which animation an effect plays: headings from source to target, the effect-animation
// entry of its spell, and the sequence the map view draws.
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "magic/EffectManager.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

// The angle between the line and the nearer of the x axis (different signs) or the y axis
// (same signs), in whole degrees, truncated.
int QuadrantDegrees(int dx, int dy) {
  int a = static_cast<int>(std::fabs(std::atan(static_cast<double>(dy) / dx)) * 180.0 / std::numbers::pi);
  if ((dx > 0) == (dy > 0)) a = 90 - a;
  return a;
}

// 0 for dx > 0 > dy; then one quadrant further clockwise for each of the others.
int Quadrant(int dx, int dy) {
  if (dx > 0 && dy > 0) return 1;
  if (dx < 0 && dy > 0) return 2;
  if (dx < 0 && dy < 0) return 3;
  return 0;
}

// Thrown missiles that show their pitch and heading.
bool ShowsFlight(int spell) { return spell == 93 || spell == 95 || spell == 98; }

// The effect-animation entry of each spell; the marks pick by alignment or by kind.
constexpr int kUnlisted = -1, kLowCarrier = -2, kHighCarrier = -3, kByKind = -4;
constexpr std::array<int, kSpellCount> kSpellEntries = [] {
  std::array<int, kSpellCount> t{};
  t.fill(kUnlisted);
  for (int spell : {0, 1, 3, 5, 10, 11, 12, 13, 14, 15, 16, 19, 20, 21, 22, 23, 24, 25, 26}) t[spell] = kLowCarrier;
  for (int spell : {2, 4, 6, 7, 8, 9, 17, 18}) t[spell] = kHighCarrier;
  for (int spell : {34, 52, 62, 89}) t[spell] = kByKind;
  const int fixed[][2] = {{33, 43}, {35, 63}, {38, 51}, {41, 74}, {42, 73}, {43, 48}, {44, 71}, {50, 30},
                          {54, 75}, {58, 59}, {68, 87}, {71, 0},  {73, 49}, {74, 34}, {77, 28}, {79, 70},
                          {82, 69}, {93, 2},  {98, 2},  {94, 3},  {95, 4},  {96, 5},  {99, 11}, {102, 78}};
  for (const auto& pair : fixed) t[pair[0]] = pair[1];
  return t;
}();

// Entries of a carrier by alignment (Law, Neutral, Vrask).
int ByAlignment(int alignment, int law, int neutral, int vrask) {
  return alignment == 0 ? law : alignment == 2 ? vrask : neutral;
}

}  // namespace

void CEffect::ComputeHeading16() {
  const int dx = WrappedDelta(params[w::kTargetX], params[w::kSourceX], g_map.width * kUnitsPerTile);
  const int dy = WrappedDelta(params[w::kTargetY], params[w::kSourceY], g_map.height * kUnitsPerTile);
  if (dx == 0 && dy == 0) return;
  int heading;
  if (dx == 0) {
    heading = dy > 0 ? 8 : 0;
  } else if (dy == 0) {
    heading = dx > 0 ? 4 : 12;
  } else {
    const int a = QuadrantDegrees(dx, dy);
    const int sector = a <= 11 ? 4 : a <= 37 ? 3 : a <= 51 ? 2 : a < 78 ? 1 : 0;
    heading = (sector + 4 * Quadrant(dx, dy)) % 16;
  }
  state[s::kHeading] = heading;
}

int CEffect::ComputeHeading8() const {
  const int dx = WrappedDelta(params[w::kTargetX], params[w::kSourceX], g_map.width * kUnitsPerTile);
  const int dy = WrappedDelta(params[w::kTargetY], params[w::kSourceY], g_map.height * kUnitsPerTile);
  if (dx == 0 && dy == 0) return 0;
  if (dx == 0) return dy > 0 ? 4 : 0;
  if (dy == 0) return dx > 0 ? 2 : 6;
  const int a = QuadrantDegrees(dx, dy);
  const int sector = a <= 22 ? 2 : a <= 67 ? 1 : 0;
  return (sector + 2 * Quadrant(dx, dy)) % 8;
}

int CEffect::GetAniIndex() const {
  const int spell = params[w::kSpell];
  const int alignment = SpellRecord(spell).Alignment;
  if ((kind == 6 || kind == 7) && spell != 68) return spell == 33 ? 27 : ByAlignment(alignment, 20, 21, 13);
  const int entry = spell >= 0 && spell < kSpellCount ? kSpellEntries[static_cast<size_t>(spell)] : kUnlisted;
  switch (entry) {
    case kLowCarrier:
      return ByAlignment(alignment, 15, 16, 14);
    case kHighCarrier:
      return ByAlignment(alignment, 18, 19, 17);
    case kUnlisted:
      // A spell the table does not list shows the carrier of its alignment.
      return ByAlignment(alignment, 20, 21, 13);
    case kByKind:
      break;
    default:
      return entry;
  }
  switch (spell) {
    case 34:
      return kind == 35 ? 55 : kind == 36 ? 56 : 57;
    case 52: {
      EffectCreature target;
      const int c = CreatureOfWord(w::kTarget);
      return c >= 0 && g_effectWorld->GetCreature(c, target) && target.footprint == 2 ? 17 : 14;
    }
    case 62:
      return kind == 5 ? 0 : 59;
    default:  // 89
      return kind == 2 ? 0 : 59;
  }
}

void CEffect::StartEntry(int entry, int offset) {
  const EffectAniEntry* e = owner ? owner->AniEntry(entry) : nullptr;
  CAnimation* animation = owner ? owner->AniEntryAnimation(entry) : nullptr;
  if (!e || !animation) {
    animPlayer.Stop();
    return;
  }
  state[s::kPrintType] = e->printType;
  animPlayer.SetAnimation(animation);
  animPlayer.Start(e->animation + offset, 0);
}

void CEffect::UpdateAnimation() {
  if (!owner) return;
  const int rotation = EffectViewRotation();
  int sequence = -1;
  switch (kind) {
    case 0:
    case 4:
    case 7: {
      const EffectAniEntry* entry = owner->AniEntry(GetAniIndex());
      if (!entry) return;
      if (ShowsFlight(params[w::kSpell])) {
        const float vx = params.Float(w::kVelocityX), vy = params.Float(w::kVelocityY);
        double angle = std::atan2(static_cast<double>(vx), -static_cast<double>(vy));
        if (angle < 0) angle += 2 * std::numbers::pi;
        state[s::kHeading] = static_cast<int>(std::floor(0.5 + 8 * angle / std::numbers::pi)) % 16;
        state[s::kViewHeading] = (state[s::kHeading] - 4 * rotation) & 15;
        sequence = entry->animation + 16 * params[w::kValue] + state[s::kViewHeading];
      } else if (kind != 7) {
        // The heading the set-up chose, turned with the view.
        sequence = entry->animation + ((state[s::kHeading] - 4 * rotation) & 15);
      } else {
        sequence = entry->animation;
      }
      break;
    }
    case 20: {
      const EffectAniEntry* entry = owner->AniEntry(64);
      if (!entry) return;
      const int i = params[w::kCompanionCount];
      const int base = i < 12 ? 2 : i < 20 ? 6 : i < 32 ? 10 : 14;
      sequence = entry->animation + base + (((i % 4) + rotation) % 4 + 4) % 4;
      break;
    }
    case 63: {
      const EffectAniEntry* entry = owner->AniEntry(68);
      if (!entry) return;
      sequence = entry->animation + 1 + (((params[w::kSpeed] + rotation) % 4) + 4) % 4;
      break;
    }
    case 81: {
      const EffectAniEntry* entry = owner->AniEntry(72);
      if (!entry) return;
      sequence = entry->animation + ((state[s::kHeading] - 2 * rotation) & 7);
      break;
    }
    default:
      return;
  }
  // Only the picture turns: a playing sequence keeps its step, so that how long the effect
  // lives never depends on how this machine's view is turned.
  if (animPlayer.playing && animPlayer.sequence != sequence) animPlayer.SwitchSequence(sequence);
}

void CEffect::AnchorToCreature() {
  if (kind != effect_kind::kCreatureEcho || !owner) return;
  EffectCreature info;
  const int c = CreatureOfWord(w::kCreature);
  const EffectAniEntry* entry = owner->AniEntry(45);
  if (c < 0 || !entry || !g_effectWorld->GetCreature(c, info)) return;
  creature = c;
  animPlayer.Start(entry->animation + info.animation, 0);
}
