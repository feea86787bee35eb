#include "sound/SoundCues.h"

#include <cstdlib>

#include "core/Preferences.h"
#include "platform/Profile.h"
#include "sound/SoundManager.h"

CSoundCues g_soundCues;
ISoundListener* g_soundListener = nullptr;

namespace {

bool SoundEnabled() { return g_soundManager != nullptr && g_soundManager->enabled != 0; }

bool IsWizardKind(int type) { return type == 0 || type == 24 || type == 25 || type == 26; }
bool ValidType(int type) { return type >= 0 && type < kCreatureTypeCount; }
bool ValidWizard(int wizard) { return wizard >= 0 && wizard < 5; }

// The short way round a circle of m (no wrap without an extent).
int WrapDelta(int d, int m) {
  if (m <= 0) return d;
  d %= m;
  if (d < 0) d += m;
  return d > m / 2 ? d - m : d;
}

int DistanceApprox(int dx, int dy) {
  dx = std::abs(dx);
  dy = std::abs(dy);
  return dx + dy + (dx > dy ? dx : dy);
}

// Per creature type 1-23: event, action, taunt, death (0 none). Wizard kinds are separate.
struct TypeCues {
  int event, action, taunt, death;
};
constexpr TypeCues kTypeCues[kCreatureTypeCount] = {
    {0, 0, 0, 0},         {403, 211, 212, 214}, {71, 72, 74, 76},   {407, 231, 0, 232},   {141, 142, 144, 142},
    {404, 271, 0, 273},   {331, 331, 332, 333}, {21, 22, 24, 22},   {1, 2, 4, 5},         {91, 92, 98, 97},
    {51, 52, 53, 55},     {402, 0, 0, 371},     {312, 311, 0, 311}, {417, 0, 350, 351},   {418, 122, 123, 122},
    {171, 171, 0, 171},   {291, 292, 0, 294},   {111, 112, 0, 112}, {31, 32, 33, 36},     {408, 251, 254, 253},
    {380, 382, 381, 383}, {402, 191, 194, 196}, {402, 0, 0, 1017},  {390, 392, 391, 393}, {0, 0, 0, 0},
    {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},
};
constexpr int kWizardEvent[5] = {450, 465, 480, 1100, 1200};
constexpr int kWizardAction[5] = {451, 466, 481, 1101, 1201};
constexpr int kWizardDeath[5] = {495, 496, 497, 1102, 1202};
constexpr int kWizardIdle[5] = {452, 467, 482, 1103, 1203};

enum Cue { kEvent, kAction, kTaunt, kDeath };

int CueId(int type, int wizard, Cue cue) {
  if (!ValidType(type)) return 0;
  if (IsWizardKind(type)) {
    if (!ValidWizard(wizard)) return 0;
    switch (cue) {
      case kEvent:
        return kWizardEvent[wizard];
      case kAction:
        return kWizardAction[wizard];
      case kDeath:
        return kWizardDeath[wizard];
      default:
        return 0;
    }
  }
  const TypeCues& cues = kTypeCues[type];
  switch (cue) {
    case kEvent:
      return cues.event;
    case kAction:
      return cues.action;
    case kTaunt:
      return cues.taunt;
    default:
      return cues.death;
  }
}

bool InRange(int v, int low, int high) { return v >= low && v <= high; }

// The hit sounds: [attacker class][target class] three ids. Most attackers make one pair
// against every target (their own blow, then the common thud); the rows below differ.
struct HitTable {
  int ids[CSoundCues::kAttackerClasses][CSoundCues::kTargetClasses][3] = {};
  HitTable() {
    for (int a = 0; a < CSoundCues::kAttackerClasses; ++a) {
      const int blow = DefaultBlow(a);
      for (int t = 0; t < CSoundCues::kTargetClasses; ++t) Set(a, t, blow, 410, 0);
    }
    for (int t = 0; t < CSoundCues::kTargetClasses; ++t) {
      Set(0, t, 418, t == 7 ? 412 : t == 13 ? 414 : t == 15 ? 0 : 410, 0);
      int third = 410;
      if (t == 6 || t == 8 || t == 17 || t == 20) third = 409;
      if (t == 7) third = 412;
      if (t == 13) third = 413;
      if (t == 22 || t == 24) third = 0;
      Set(7, t, 279, 404, third);
      Set(22, t, t == 13 ? 414 : 0, 0, 0);
      Set(24, t, 0, 0, 0);
    }
    for (int a = 0; a < CSoundCues::kAttackerClasses; ++a) {
      Set(a, 28, 0, 0, 0);
      Set(a, 29, 0, 0, 0);
    }
  }
  void Set(int a, int t, int first, int second, int third) {
    ids[a][t][0] = first;
    ids[a][t][1] = second;
    ids[a][t][2] = third;
  }
  // The attacker's own action sound: wizards 0-2 and 3-4 by number, others by type.
  static int DefaultBlow(int attackerClass) {
    if (attackerClass <= 2) return kWizardAction[attackerClass];
    if (attackerClass == 26 || attackerClass == 27) return kWizardAction[attackerClass - 23];
    const int id = CueId(attackerClass - 2, 0, kAction);
    return id != 0 ? id : 410;
  }
};

const HitTable& Hits() {
  static const HitTable table;
  return table;
}

}  // namespace

CSoundCues::CSoundCues() = default;

void CSoundCues::LoadTuning() {
  if (!SoundEnabled()) return;
  const std::string& path = g_soundManager->soundFilePath;
  // A distance of 0 or less would divide by zero: such a value is refused.
  const int distance = platform::ReadProfileInt("Tuning", "MaxSoundDistance", 60, path);
  const int pan = platform::ReadProfileInt("Tuning", "MaxPanDistance", 20, path);
  maxSoundDistance = distance > 0 ? distance : 60;
  maxPanDistance = pan > 0 ? pan : 20;
}

void CSoundCues::ScanCreatureTypes(const int32_t (&stepWeights)[kCreatureTypeCount]) {
  largestStepWeight = smallestStepWeight = stepWeights[0];
  for (int i = 1; i < kCreatureTypeCount; ++i) {
    if (stepWeights[i] > largestStepWeight)
      largestStepWeight = stepWeights[i];
    else if (stepWeights[i] < smallestStepWeight)
      smallestStepWeight = stepWeights[i];
  }
}

void CSoundCues::PositionSound(int x, int y, int32_t& volume, int32_t& pan) {
  int orientation = 0, width = 0, height = 0, cx = 0, cy = 0;
  if (g_soundListener) {
    orientation = g_soundListener->ListenerOrientation() & 3;
    width = g_soundListener->ListenerMapWidth();
    height = g_soundListener->ListenerMapHeight();
    const bool highRes = g_prefs.isHighRes != 0;
    g_soundListener->ListenerCell(highRes ? 400 : 320, highRes ? 300 : 240, cx, cy);
  }
  static constexpr int kOffsets[4][2] = {{-6, -6}, {6, -6}, {6, 6}, {-6, 6}};
  listenerOffsetX = kOffsets[orientation][0];
  listenerOffsetY = kOffsets[orientation][1];
  const int dx = WrapDelta(x - (cx + listenerOffsetX), width);
  const int dy = WrapDelta(y - (cy + listenerOffsetY), height);
  const int r = DistanceApprox(dx, dy) / 2;
  pan = 0;
  if (maxSoundDistance <= 0 || r > maxSoundDistance) {
    volume = kInaudible;
    return;
  }
  // Wide arithmetic: the tuning file may give distances up to the largest integer.
  volume = static_cast<int32_t>(int64_t{maxSoundDistance - r} * 5000 / maxSoundDistance - 5000);
  int u = 0;
  switch (orientation) {
    case 0:
      u = (dx - dy) / 2;
      break;
    case 1:
      u = (dx + dy) / 2;
      break;
    case 2:
      u = -((dx - dy) / 2);
      break;
    default:
      u = -((dx + dy) / 2);
      break;
  }
  if (maxPanDistance > 0 && std::abs(u) < maxPanDistance)
    pan = static_cast<int32_t>(u > 0 ? int64_t{u} * 3333 / maxPanDistance
                                     : -(int64_t{std::abs(u)} * 3333) / maxPanDistance);
  else
    pan = u > 0 ? 3333 : -3333;
}

int32_t CSoundCues::PlayAt(int32_t id, int x, int y, CSoundInstance** out, int loop) {
  if (out) *out = nullptr;
  if (!SoundEnabled()) return 0;
  int32_t volume = 0, pan = 0;
  PositionSound(x, y, volume, pan);
  if (volume == kInaudible) return 0;
  return g_soundManager->Play(id, volume, pan, out, loop);
}

int32_t CSoundCues::UpdateLoopPosition(CSoundInstance* instance, int x, int y) {
  if (!instance || !SoundEnabled()) return 0;
  int32_t volume = 0, pan = 0;
  PositionSound(x, y, volume, pan);
  instance->SetVolume(volume, 0);
  if (volume != kInaudible) instance->SetPan(pan, 0);
  return 0;
}

int CSoundCues::EventSoundId(int type, int wizard) { return CueId(type, wizard, kEvent); }
int CSoundCues::ActionSoundId(int type, int wizard) { return CueId(type, wizard, kAction); }
int CSoundCues::TauntSoundId(int type, int wizard) { return CueId(type, wizard, kTaunt); }
int CSoundCues::DeathSoundId(int type, int wizard) { return CueId(type, wizard, kDeath); }

int CSoundCues::IdleSoundId(int type, int wizard, int animation) {
  if (!ValidType(type)) return 0;
  if (IsWizardKind(type)) return ValidWizard(wizard) ? kWizardIdle[wizard] : 0;
  const bool walk = InRange(animation, 80, 87), stand = InRange(animation, 88, 95), turn = InRange(animation, 104, 111);
  switch (type) {
    case 1:
      return 212;
    case 2:
      return walk ? 73 : 0;
    case 4:
      return turn ? 144 : 0;
    case 7:
      return 23;
    case 8:
      return walk ? 3 : 0;
    case 9:
      return walk ? 98 : 0;
    case 12:
      return stand ? 313 : 0;
    case 13:
      return 416;
    case 14:
      return stand ? 122 : 0;
    case 15:
      return 174;
    case 16:
      return walk ? 292 : 0;
    case 17:
      return turn ? 112 : 0;
    case 18:
      return 34;
    case 19:
      return turn ? 256 : stand ? 266 : 255;
    case 20:
      return 385;
    case 21:
      return turn ? 197 : 0;
    case 23:
      return walk ? 395 : 0;
    default:
      return 0;
  }
}

int CSoundCues::FootstepSoundId(int type, int terrainSoundKind, int belowWater) {
  if (!ValidType(type) || type > 26) return 0;
  switch (type) {
    case 1:
    case 6:
    case 8:
    case 10:
    case 12:
    case 13:
    case 15:
    case 16:
    case 17:
      return 0;
    default:
      break;
  }
  if (belowWater) return type == 9 ? 508 : 504;
  if (terrainSoundKind < 1 || terrainSoundKind > 4) return 0;
  static constexpr int kSteps[4][4] = {
      // types 2 and 7, type 9, type 11, other types
      {506, 506, 522, 501},
      {509, 505, 522, 502},
      {507, 507, 503, 503},
      {528, 528, 522, 500},
  };
  const int column = (type == 2 || type == 7) ? 0 : type == 9 ? 1 : type == 11 ? 2 : 3;
  return kSteps[terrainSoundKind - 1][column];
}

int CSoundCues::SpellCastSoundId(int spell) {
  if (InRange(spell, 1, 23)) return 701;
  switch (spell) {
    case 33:
    case 35:
    case 38:
    case 43:
    case 44:
    case 46:
    case 50:
    case 52:
    case 54:
    case 58:
    case 65:
    case 68:
    case 69:
    case 70:
    case 75:
    case 76:
    case 86:
    case 91:
    case 92:
      return 701;
    case 41:
    case 42:
    case 74:
    case 78:
    case 79:
    case 80:
    case 82:
    case 83:
    case 84:
    case 85:
      return 749;
    case 55:
      return 738;
    case 62:
    case 71:
    case 89:
      return 708;
    case 77:
      return 739;
    case 81:
      return 715;
    case 93:
      return 415;
    case 94:
      return 418;
    case 95:
      return 71;
    case 96:
      return 95;
    case 97:
      return 6;
    case 98:
      return 751;
    case 99:
      return 35;
    case 102:
      return 394;
    default:
      return 0;
  }
}

int CSoundCues::HitClass(int type, int wizard) {
  if (!ValidType(type)) return -1;
  if (!IsWizardKind(type)) return type + 2;
  if (!ValidWizard(wizard)) return -1;
  return wizard <= 2 ? wizard : wizard == 3 ? 26 : 27;
}

void CSoundCues::HitSoundIds(int attackerClass, int targetClass, int ids[3]) {
  ids[0] = ids[1] = ids[2] = 0;
  if (attackerClass < 0 || attackerClass >= kAttackerClasses || targetClass < 0 || targetClass >= kTargetClasses)
    return;
  for (int i = 0; i < 3; ++i) ids[i] = Hits().ids[attackerClass][targetClass][i];
}

void CSoundCues::PlayCreatureEventSound(const SoundCreature& c) {
  if (int id = EventSoundId(c.type, c.wizard)) PlayAt(id, c.x, c.y, nullptr, 0);
}

void CSoundCues::PlayActionSound(const SoundCreature& c) {
  if (int id = ActionSoundId(c.type, c.wizard)) PlayAt(id, c.x, c.y, nullptr, 0);
}

void CSoundCues::PlayIdleSound(const SoundCreature& c, int animation) {
  if (!SoundEnabled()) return;
  if ((g_soundRandom.Next() & 0x7FFFFFFF) % 100 > 24) return;
  if (int id = IdleSoundId(c.type, c.wizard, animation)) PlayAt(id, c.x, c.y, nullptr, 0);
}

void CSoundCues::PlayTauntSound(const SoundCreature& c) {
  if (int id = TauntSoundId(c.type, c.wizard)) PlayAt(id, c.x, c.y, nullptr, 0);
  if (c.type == 23) PlayAt(398, c.x, c.y, nullptr, 0);
}

void CSoundCues::PlayDeathSound(const SoundCreature& c) {
  if (int id = DeathSoundId(c.type, c.wizard)) PlayAt(id, c.x, c.y, nullptr, 0);
}

void CSoundCues::PlaySelectSound(const SoundCreature& c) {
  if (c.owner != localPlayer) return;
  if (c.type == 5) PlayAt(286, c.x, c.y, nullptr, 0);
  if (c.type == 19) PlayAt(265, c.x, c.y, nullptr, 0);
}

void CSoundCues::PlayOrderSound(const SoundCreature& c) {
  if (c.owner != localPlayer) return;
  if (c.type == 5) PlayAt(284, c.x, c.y, nullptr, 0);
  if (c.type == 19) PlayAt(263, c.x, c.y, nullptr, 0);
}

void CSoundCues::PlayHitSounds(const SoundCreature& attacker, const SoundCreature& target) {
  int ids[3];
  HitSoundIds(HitClass(attacker.type, attacker.wizard), HitClass(target.type, target.wizard), ids);
  for (int id : ids)
    if (id) PlayAt(id, target.x, target.y, nullptr, 0);
}

void CSoundCues::PlayFootstepSound(const SoundCreature& c, int terrainSoundKind, int belowWater) {
  if (!SoundEnabled()) return;
  const int id = FootstepSoundId(c.type, terrainSoundKind, belowWater);
  if (!id) return;
  const int w = c.stepWeight;
  if (w <= smallestStepWeight || largestStepWeight <= smallestStepWeight) return;
  const int64_t span = int64_t{largestStepWeight} - smallestStepWeight;
  const int percent = static_cast<int>(static_cast<double>(50 + (int64_t{w} - smallestStepWeight) * 50 / span) * 0.8);
  int32_t volume = 0, pan = 0;
  PositionSound(c.x, c.y, volume, pan);
  if (volume == kInaudible) return;
  volume = percent * (volume + 5000) / 100 - 5000;
  g_soundManager->Play(id, volume, pan, nullptr, 0);
}

void CSoundCues::PlaySpellCastSound(int spell, int x, int y) {
  if (int id = SpellCastSoundId(spell)) PlayAt(id, x, y, nullptr, 0);
}
