// The forged spells.
#include "forge/SpellTable.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "forge/CreatureTable.h"

namespace forge {

namespace {

// Line-of-fire types.
constexpr int kNone = 0, kStraight = 1, kThrow = 2;
// AllowedTargets codes.
constexpr int kPlace = 1, kHostile = 3, kOwnCreature = 4, kOwnSide = 8, kPlaceOrHostile = 9, kAnything = 12,
              kGround = 13;
// The AI weights, by their place in SpellRow::ai.
enum Ai {
  kAiFlying,
  kAiUndead,
  kAiOther,
  kAiOffensive,
  kAiDefensive,
  kAiMissile,
  kAiArea,
  kAiAntiMR,
  kAiAntiIntelligence,
  kAiAntiUndead,
  kAiAntiBravery,
  kAiAntiFlying,
  kAiPestilence,
  kAiGuardian,
  kAiTotemOfLife,
  kAiDisenchant,
  kAiRestrictors,
  kAiEvaders
};
// The spell box's sounds: the forged spell sounds in turn.
constexpr int kBoxSounds[] = {701, 708, 715, 738, 749, 751, 415};

SpellRow Row(const char* name, int alignment, int cost, int range, int speed, int lof, int targets) {
  SpellRow row;
  row.TextName = name;
  row.Alignment = alignment;
  row.ManaCost = cost;
  row.Range = range;
  row.Speed = speed;
  row.LOFType = lof;
  row.AllowedTargets = targets;
  // Casting for one side moves the balance of the realm by a tenth of the price.
  row.BalanceAmount = alignment == kNeutral ? 0 : cost / 10;
  return row;
}

SpellRow& Weigh(SpellRow& row, Ai ai, int weight) {
  row.ai[ai] = weight;
  return row;
}

// What each creature type costs to summon, and what killing one is worth.
constexpr int kSummonCost[kCreatureTypes] = {150, 10, 30, 25, 45,  40, 55, 40, 30, 50, 15,  20,  50,  40,
                                             20,  10, 45, 35, 100, 20, 90, 60, 35, 90, 150, 150, 150, 20};

std::string* SummonNames() {
  static std::string names[kCreatureTypes];
  for (int t = 0; t < kCreatureTypes; ++t)
    names[t] = t == 27 ? "Herald" : std::string("Summon ") + CreatureTable()[static_cast<size_t>(t)].displayName;
  return names;
}

void Summons(std::array<SpellRow, kSpells>& s) {
  static std::string* names = SummonNames();
  for (int t = 0; t < kCreatureTypes; ++t) {
    const CreatureRow& type = CreatureTable()[static_cast<size_t>(t)];
    SpellRow& row = s[static_cast<size_t>(t)] =
        Row(names[t].c_str(), type.alignment, kSummonCost[t], 8, 10, kStraight, kGround);
    Weigh(row, type.IsUndead ? kAiUndead : type.CanFly ? kAiFlying : kAiOther, 5);
  }
  // No cast starts anything for the summons of the three rival wizards' types and of the
  // herald: they cost nothing, so no wizard, item or spell box is given a spell that would
  // take its mana and do nothing.
  for (int unsummoned = 24; unsummoned <= 27; ++unsummoned) {
    s[static_cast<size_t>(unsummoned)].ManaCost = 0;
    s[static_cast<size_t>(unsummoned)].BalanceAmount = 0;
  }
  // The champions answer only a wizard who holds the right items.
  for (int champion : {20, 23}) {
    s[static_cast<size_t>(champion)].MagicItemsNeeded = {3, 7, 12};
    s[static_cast<size_t>(champion)].NoRequired = 1;
  }
}

void Conditions(std::array<SpellRow, kSpells>& s) {
  Weigh(s[41] = Row("Heal", kLaw, 15, 10, 12, kStraight, kOwnSide), kAiDefensive, 5).SpellStrength = 60;
  Weigh(s[42] = Row("Blood Lust", kVrask, 20, 10, 12, kStraight, kOwnCreature), kAiOffensive, 6).Duration = 400;
  SpellRow& dispel = Weigh(s[43] = Row("Dispel Magic", kNeutral, 30, 10, 12, kStraight, kAnything), kAiDisenchant, 6);
  dispel.Damage = 40;
  dispel.Duration = 10;
  dispel.DoMRCheck = true;
  SpellRow& bind = Weigh(s[44] = Row("Earth Bind", kNeutral, 20, 10, 12, kStraight, kHostile), kAiAntiFlying, 8);
  bind.Damage = 20;  // also what a forced landing costs any creature
  bind.Duration = 4000;
  SpellRow& freeze = Weigh(s[46] = Row("Freeze", kNeutral, 35, 10, 12, kStraight, kHostile), kAiRestrictors, 6);
  freeze.SpellStrength = 50;
  freeze.Damage = 10;
  freeze.Duration = 200;
  freeze.Data1 = 40;  // the blow that shatters a frozen creature
  freeze.DoMRCheck = true;
  SpellRow& provoke = Weigh(s[50] = Row("Provoke", kVrask, 20, 10, 12, kStraight, kHostile), kAiAntiBravery, 3);
  provoke.SpellStrength = 40;
  provoke.Duration = 300;
  Weigh(s[52] = Row("Raise Dead", kVrask, 40, 8, 10, kStraight, kAnything), kAiUndead, 4).Data1 = 50;
  SpellRow& subvert =
      Weigh(s[54] = Row("Subversion", kNeutral, 60, 10, 12, kStraight, kHostile), kAiAntiIntelligence, 6);
  subvert.SpellStrength = 40;
  subvert.Data1 = 20;
  subvert.DoMRCheck = subvert.DoITCheck = true;
  Weigh(s[55] = Row("Teleport", kNeutral, 25, 15, 16, kNone, kPlace), kAiEvaders, 5);
  s[60] = Row("Mana Drain", kNeutral, 5, 10, 12, kNone, kOwnCreature);
  s[60].AI_Adjustment = 0.5;
  Weigh(s[74] = Row("Iron Skin", kLaw, 25, 10, 12, kStraight, kOwnSide), kAiDefensive, 6).Duration = 600;
  SpellRow& repel = Weigh(s[76] = Row("Repel", kLaw, 30, 10, 10, kStraight, kPlace), kAiAntiBravery, 5);
  repel.SpellStrength = 60;
  repel.Duration = 5;
  repel.Data1 = 4;
  repel.DoBRCheck = true;
  SpellRow& terror = Weigh(s[77] = Row("Terror", kVrask, 40, 10, 10, kStraight, kPlaceOrHostile), kAiAntiBravery, 6);
  terror.SpellStrength = 50;  // the panic constant
  terror.Damage = 20;
  terror.Duration = 300;
  terror.DoBRCheck = true;
  SpellRow& bolts = Weigh(s[78] = Row("Arcane Bolts", kNeutral, 35, 10, 12, kStraight, kOwnSide), kAiOffensive, 5);
  bolts.Duration = 600;
  bolts.Damage = 8;  // tiles within which the bolts find a target
  SpellRow& drain = Weigh(s[79] = Row("Death Song", kVrask, 40, 10, 12, kStraight, kHostile), kAiMissile, 3);
  drain.Duration = 20;       // frames between the drained points of health
  drain.Data1 = 10;          // a drained creature bursts with the health drained / this
  drain.Damage = 30;         // ... at least this strong
  drain.SpellStrength = 20;  // ... falling off by this
  SpellRow& levitate = Weigh(s[80] = Row("Levitate", kNeutral, 20, 10, 12, kStraight, kAnything), kAiEvaders, 3);
  levitate.Duration = 3000;  // divided by the creature's magic resistance
  levitate.Data1 = 3;        // levels a creature that cannot fly is lifted
  levitate.SpellStrength = 8;
  SpellRow& burst = Weigh(s[81] = Row("Disintegrate", kVrask, 70, 10, 12, kStraight, kHostile), kAiMissile, 5);
  burst.Damage = 30;
  burst.Duration = 6;  // tiles within which its guardian shoots
  burst.DoMRCheck = true;
  Weigh(s[82] = Row("Haste", kLaw, 25, 10, 12, kStraight, kOwnSide), kAiOffensive, 5).Duration = 400;
  SpellRow& blow = Weigh(s[83] = Row("Mighty Blow", kLaw, 25, 10, 12, kStraight, kOwnSide), kAiOffensive, 5);
  blow.Damage = 20;
  blow.Duration = 600;
  SpellRow& flight = Weigh(s[84] = Row("Flight", kNeutral, 30, 10, 12, kStraight, kOwnSide), kAiEvaders, 4);
  flight.Duration = 600;
  flight.Data1 = 576;  // the cost of a jump or fall step
  Weigh(s[85] = Row("Invisibility", kNeutral, 30, 10, 12, kStraight, kOwnSide), kAiEvaders, 5).Duration = 600;
  Weigh(s[86] = Row("Illusion", kNeutral, 40, 10, 12, kStraight, kOwnSide), kAiOther, 3).SpellStrength = 50;
  Weigh(s[90] = Row("Burst", kVrask, 80, 10, 12, kStraight, kHostile), kAiMissile, 4);
}

void Strikes(std::array<SpellRow, kSpells>& s) {
  // Not a spell: the speed a burst creature's line to each victim is thrown with, which its
  // body parts then fly along.
  s[28].Speed = 8;
  SpellRow& trap = Weigh(s[33] = Row("Pit Trap", kNeutral, 20, 8, 8, kStraight, kPlace), kAiRestrictors, 4);
  trap.Damage = 40;
  trap.Duration = 900;
  trap.Data1 = 15;
  // The computer player spaces its pits Duration / SpellStrength cells apart.
  trap.SpellStrength = 300;
  SpellRow& shower = Weigh(s[34] = Row("Meteor Shower", kVrask, 60, 12, 8, kNone, kPlace), kAiArea, 6);
  shower.SpellStrength = 30;
  shower.Damage = 30;
  shower.Duration = 200;
  shower.Radius = 1;
  SpellRow& wall = Weigh(s[35] = Row("Wall of Stone", kLaw, 30, 10, 10, kStraight, kGround), kAiRestrictors, 5);
  wall.Data1 = 5;
  wall.Duration = 6;       // frames between two levels of the wall
  wall.SpellStrength = 3;  // the wall's height in levels
  SpellRow& light = Weigh(s[38] = Row("Holy Light", kLaw, 30, 10, 12, kStraight, kPlaceOrHostile), kAiAntiUndead, 8);
  light.SpellStrength = 50;
  light.Damage = 40;
  light.Duration = 10;
  light.DoMRCheck = true;
  SpellRow& fireball = Weigh(s[58] = Row("Fireball", kVrask, 40, 12, 10, kThrow, kPlaceOrHostile), kAiArea, 7);
  fireball.Damage = 10;
  fireball.Radius = 1;
  // The fires it leaves (and every fire burning by this spell): a try to spread every
  // SpellStrength + 1 frames, and each frame a (Duration - 1)-in-99 chance to die down.
  fireball.SpellStrength = 8;
  fireball.Duration = 3;
  // A burning creature takes its type's BurnDamage every Data1 + 1 frames, not every frame.
  fireball.Data1 = 8;
  SpellRow& bolt = Weigh(s[62] = Row("Thunderbolt", kVrask, 45, 12, 16, kThrow, kPlaceOrHostile), kAiMissile, 6);
  bolt.Damage = 60;
  bolt.Duration = 15;
  SpellRow& breath = Weigh(s[68] = Row("Frost Breath", kNeutral, 35, 8, 12, kStraight, kPlaceOrHostile), kAiArea, 5);
  breath.Damage = 20;
  breath.Duration = 200;
  breath.SpellStrength = 5;  // cells the breath's cone reaches
  Weigh(s[71] = Row("Lightning", kNeutral, 35, 12, 20, kNone, kPlaceOrHostile), kAiMissile, 6).Damage = 50;
  SpellRow& flame = Weigh(s[72] = Row("Flame Strike", kVrask, 30, 10, 12, kNone, kPlaceOrHostile), kAiMissile, 5);
  flame.Damage = 25;
  flame.Duration = 50;
  // The bolts a flame strike shows before it lands, and the beams of a chain lightning before
  // it strikes (with none, a chain lightning would never strike).
  flame.SpellStrength = 1;
  // The orb flies a straight line and bounces on: it needs a straight line to its target.
  SpellRow& orb = Weigh(s[73] = Row("Bouncing Orb", kNeutral, 30, 12, 10, kStraight, kPlaceOrHostile), kAiMissile, 4);
  orb.Damage = 20;
  orb.Duration = 120;  // frames the orb bounces on
  SpellRow& quake = Weigh(s[75] = Row("Earthquake", kNeutral, 70, 10, 8, kStraight, kPlace), kAiArea, 6);
  quake.Damage = 30;
  quake.Duration = 100;
  quake.Radius = 2;
  quake.SpellStrength = 4;  // cells within which the shaking columns throw creatures
  quake.Data1 = 20;         // creatures looked at per frame
  SpellRow& chain = Weigh(s[87] = Row("Chain Lightning", kNeutral, 60, 12, 20, kNone, kHostile), kAiMissile, 7);
  chain.Damage = 40;
  chain.SpellStrength = 4;
  SpellRow& rain = Weigh(s[88] = Row("Rain of Fire", kVrask, 70, 12, 8, kNone, kPlace), kAiArea, 7);
  rain.SpellStrength = 30;
  rain.Duration = 200;
  rain.Radius = 2;
  SpellRow& clap = Weigh(s[89] = Row("Thunderclap", kNeutral, 50, 12, 20, kNone, kPlaceOrHostile), kAiArea, 5);
  clap.Damage = 70;
  clap.Duration = 20;
}

void Totems(std::array<SpellRow, kSpells>& s) {
  SpellRow& flies = Weigh(s[65] = Row("Totem of Flies", kVrask, 50, 8, 10, kStraight, kGround), kAiPestilence, 6);
  flies.SpellStrength = 40;
  flies.Damage = 5;    // what the pestering flies bite each time
  flies.Duration = 6;  // a totem's Duration is its reach in tiles ...
  flies.Data1 = 10;    // ... and Data1 the creatures it looks at each frame
  flies.DoMRCheck = true;
  SpellRow& life = Weigh(s[69] = Row("Totem of Life", kLaw, 50, 8, 10, kStraight, kGround), kAiTotemOfLife, 6);
  life.SpellStrength = 40;  // frames between two healings
  life.Damage = 10;         // health each healing gives
  life.Duration = 6;
  life.Data1 = 10;
  SpellRow& war = Weigh(s[70] = Row("Totem of War", kNeutral, 55, 8, 10, kStraight, kGround), kAiGuardian, 6);
  war.Damage = 25;  // each beam
  war.SpellStrength = 30;
  war.Duration = 7;
  war.Data1 = 10;
  SpellRow& ward = Weigh(s[91] = Row("Totem of Warding", kLaw, 45, 8, 10, kStraight, kGround), kAiGuardian, 4);
  ward.SpellStrength = 30;
  ward.Duration = 8;
  ward.Data1 = 10;
  ward.DoBRCheck = true;
  SpellRow& lure = Weigh(s[92] = Row("Totem of Luring", kVrask, 45, 8, 10, kStraight, kGround), kAiGuardian, 4);
  lure.SpellStrength = 30;
  lure.Duration = 8;
  lure.Data1 = 10;
  lure.DoBRCheck = true;
}

// The creatures' missiles: cast without mana, but a spell of cost 0 starts nothing.
void Missiles(std::array<SpellRow, kSpells>& s) {
  auto missile = [&](int n, const char* name, int alignment, int range, int speed, int lof, int damage) -> SpellRow& {
    SpellRow& row = s[static_cast<size_t>(n)] = Row(name, alignment, 5, range, speed, lof, kPlaceOrHostile);
    row.BalanceAmount = 0;
    row.Damage = damage;
    return row;
  };
  missile(93, "Elven Arrow", kLaw, 12, 24, kThrow, 15);
  missile(94, "Sling Stone", kNeutral, 7, 16, kThrow, 8);
  missile(95, "Centaur Arrow", kLaw, 10, 24, kThrow, 14);
  missile(96, "Manticore Spikes", kVrask, 9, 20, kThrow, 16);
  missile(97, "Howl", kVrask, 8, 16, kStraight, 0);
  // The bolt of spell state 2 is fired by its holder's effect, never cast: its record holds
  // the bolt's Speed and Damage, and no price.
  missile(98, "Arcane Bolt", kNeutral, 10, 20, kThrow, 12).ManaCost = 0;
  missile(99, "Dragon Fire", kNeutral, 10, 16, kStraight, 30).Duration = 60;
  missile(100, "Totem Beam", kNeutral, 10, 20, kStraight, 0);
  missile(101, "Binding Light", kLaw, 10, 16, kStraight, 0).Data1 = 40;  // shatters a held creature
  missile(102, "Plague of Flies", kVrask, 10, 12, kThrow, 5);
}

// A thrown spell flies a parabola under the effects' gravity (0.969 units per tick per
// tick), launched at most at its Speed: over level ground a launch of speed v reaches v² / g
// units at best (at 45 degrees), and a target dz units higher needs v² >= g (dz + d), d the
// straight distance. A cast is refused beyond the Range, and one the launch cannot reach is
// refused (or refunded) too: the Speed must carry the whole Range, with room for a target two
// levels up or an arc over something in the way.
constexpr double kEffectGravity = 0.969;
constexpr int kLobHeadroom = 64;  // units

int LobSpeedFor(int range) {
  const double needed = std::sqrt(kEffectGravity * (range * 32 + kLobHeadroom));
  return static_cast<int>(std::ceil(needed));
}

std::array<SpellRow, kSpells> MakeTable() {
  std::array<SpellRow, kSpells> s{};
  Summons(s);
  Conditions(s);
  Strikes(s);
  Totems(s);
  Missiles(s);
  for (SpellRow& row : s)
    if (row.LOFType == kThrow) row.Speed = std::max(row.Speed, LobSpeedFor(row.Range));
  for (int n = 0; n < kSpells; ++n)
    s[static_cast<size_t>(n)].SpellBoxSound = kBoxSounds[n % (sizeof kBoxSounds / sizeof kBoxSounds[0])];
  // The computer player's leaning: most spells weigh as their odds say, a few it favours (the
  // great strikes) and a few it shuns (a spell that gives the foe a place to aim at).
  for (const auto& [spell, adjustment] : {std::pair{58, 1.25}, {87, 1.5}, {88, 1.2}, {33, 0.8}, {86, 0.75}})
    s[static_cast<size_t>(spell)].AI_Adjustment = adjustment;
  return s;
}

}  // namespace

const std::array<SpellRow, kSpells>& SpellTable() {
  static const std::array<SpellRow, kSpells> table = MakeTable();
  return table;
}

}  // namespace forge
