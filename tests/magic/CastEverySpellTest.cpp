// Every spell the forged data gives a price, cast by a wizard through the one cast routine on
// one forged scene: each row pays, starts the kind the cast table names and shows what the
// spell does (a summon, harm, healing, a condition, a change of side, a change of terrain, a
// blast's looks), so that no spell offered to a wizard takes its mana and does nothing. The
// scene is laid out again for each row; the map and the data stay loaded.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "CastWorld.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "forge/TerrainTypes.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/MapCell.h"

namespace magic_test {
namespace {

constexpr int kBrownie = 1;
constexpr int kSturdy = 4;  // 150 health: outlives what falls on it
constexpr int kSkeleton = 11;
constexpr int kEye = 22;  // undead
constexpr int kFrames = 300;
constexpr int kNoKind = -1;
constexpr int kFields = 22;  // of a creature in a snapshot; its health is the fourth

// Who or where a row casts at.
enum class Aim { kFoe, kFoesGround, kUndeadFoe, kFriend, kSelf, kGround, kBody };

class CastEverySpell;

struct Row {
  int spell;
  Aim aim;
  int kind;  // the kind the cast starts, kNoKind for none
  const char* shows;
  std::function<bool(CastEverySpell&)> check;
};

class CastEverySpell : public CastWorld {
 public:
  using CastWorld::C;
  using CastWorld::sounds;
  // The scene: the wizard of army 0 with mana to spare, a foe, an undead foe, a friend that
  // has lost some health, a body, and the grass cleared of what an earlier row built. No one
  // resists anything.
  void Arrange() {
    g_battleRandom.Seed(4242);
    g_effectManager.Reset();
    g_creatureArray.ForEachInUse([](CCreature& c) { c.Detach(); });
    g_creatureArray.ReleaseAll();
    for (int level = 0; level < g_map.levels; ++level)
      for (int y = 0; y < g_map.height; ++y)
        for (int x = 0; x < g_map.width; ++x) {
          CMapCell& cell = g_map.CellAt(x, y, level);
          cell.state &= static_cast<uint16_t>(~(state_bits::kField10 | state_bits::kField20));
          cell.terrain = level > 0 ? 0 : forge::terrain::kGrass;
        }
    wizard = PlaceWizard(0, 10, 10, 900 * 256);
    C(wizard).aiWords[wizard_words::kControlLimit] = 25;
    foe = Place(kSturdy, 1, 14, 10);
    undead = Place(kSkeleton, 1, 10, 14);
    friend_ = Place(kBrownie, 0, 12, 12);
    body = Place(kBrownie, 1, 7, 10);
    for (int slot : {wizard, foe, undead, friend_, body}) {
      SeenByAll(slot);
      C(slot).magicResistance = 0;
      C(slot).intelligence = 0;
    }
    C(undead).SetIronSkin(500);
    C(friend_).health -= 10;
    C(body).AdjustHealth(-C(body).health, 0, nullptr, 1);
    kindsSeen.clear();
    sounds.played.clear();
    before = Snapshot();
  }

  int Record() {
    for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i)
      if (!Effect(i).active && Effect(i).state[effect_state::kHold] == 0) return i;
    return -1;
  }

  void Frame() {
    for (int i = 0; i < g_effectManager.Count(); ++i)
      if (Effect(i).active) {
        kindsSeen.insert(Effect(i).kind);
        Effect(i).Update();
      }
  }

  // What a battle shows of its creatures and of the grass about the scene.
  std::vector<int> Snapshot() {
    std::vector<int> image;
    for (int slot = 0; slot < g_creatureArray.Capacity(); ++slot) {
      const CCreature& c = C(slot);
      image.insert(image.end(), {c.inUse,        c.typeNumber,
                                 c.army,         c.health,
                                 c.cellX,        c.cellY,
                                 c.level,        c.ironSkin,
                                 c.bloodLust,    c.haste,
                                 c.slow,         c.invisible,
                                 c.earthBind,    c.heldKind,
                                 c.spellState,   c.pestered,
                                 c.airborne,     c.illusion,
                                 c.order,        c.printFX.GetCurrentEffect(),
                                 c.provokeTimer, c.attachAnim1.inUse});
    }
    for (int level = 0; level < 3; ++level)
      for (int y = 4; y < 20; ++y)
        for (int x = 4; x < 20; ++x) {
          const CMapCell& cell = g_map.CellAt(x, y, level);
          image.insert(image.end(), {cell.terrain, cell.state});
        }
    return image;
  }

  // Creatures of a type in an army, the wizard not counted.
  int CountOf(int type, int army) {
    int n = 0;
    g_creatureArray.ForEachInUse(
        [&](CCreature& c) { n += c.index != wizard && c.typeNumber == type && c.army == army && c.IsAlive(); });
    return n;
  }
  bool Hurt(int slot) { return !C(slot).inUse || C(slot).health < before[static_cast<size_t>(slot) * kFields + 3]; }
  bool Changed() { return Snapshot() != before; }
  bool Saw(int kind) { return kindsSeen.count(kind) != 0; }
  // Terrain stands above the grass somewhere about the scene.
  bool BuiltAboveGround() {
    for (int level = 1; level < g_map.levels; ++level)
      for (int y = 4; y < 20; ++y)
        for (int x = 4; x < 20; ++x)
          if (g_map.CellAt(x, y, level).terrain != 0) return true;
    return false;
  }
  // A missile's hit: the foe remembers who shot it.
  bool ShotBy(int shooter) { return C(foe).inUse && C(foe).combat.attacker == shooter + 1; }

  int wizard = -1, foe = -1, undead = -1, friend_ = -1, body = -1;
  std::set<int> kindsSeen;
  std::vector<int> before;
  int manaBefore = 0;
};

using W = CastEverySpell;

// The summons 0-23 each bring a creature of their type to the caster's side.
std::vector<Row> SummonRows() {
  std::vector<Row> rows;
  for (int type = 0; type <= 23; ++type)
    rows.push_back({type, Aim::kGround, 7, "a creature of its type for the caster",
                    [type](W& w) { return w.CountOf(type, 0) > (type == kBrownie ? 1 : 0); }});
  // The eye finds no place on this open grass: the summon fizzles and the mana comes back.
  rows[kEye].shows = "the summon fizzles, the mana returned";
  rows[kEye].check = [](W& w) { return w.sounds.Heard(1011) && w.C(w.wizard).mana == w.manaBefore; };
  return rows;
}

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = [] {
    std::vector<Row> r = SummonRows();
    const std::vector<Row> others = {
        {33, Aim::kGround, 7, "a pit trap lies in wait", [](W& w) { return w.Saw(25); }},
        {34, Aim::kGround, 31, "meteors fall", [](W& w) { return w.Saw(35); }},
        {35, Aim::kGround, 7, "a wall rises", [](W& w) { return w.BuiltAboveGround(); }},
        {38, Aim::kUndeadFoe, 7, "the light spreads as a blast", [](W& w) { return w.Saw(44); }},
        {41, Aim::kFriend, 7, "the friend heals",
         [](W& w) { return w.C(w.friend_).health > w.before[static_cast<size_t>(w.friend_) * kFields + 3]; }},
        {42, Aim::kFriend, 7, "blood lust", [](W& w) { return w.C(w.friend_).bloodLust > 0; }},
        {43, Aim::kUndeadFoe, 7, "the iron skin is gone", [](W& w) { return w.C(w.undead).ironSkin == 0; }},
        {44, Aim::kFoe, 7, "the foe is earth-bound", [](W& w) { return w.C(w.foe).earthBind > 0; }},
        {46, Aim::kFoe, 7, "the foe is held", [](W& w) { return w.C(w.foe).heldKind != 0; }},
        {50, Aim::kFoe, 7, "the foe is provoked", [](W& w) { return w.C(w.foe).provokeTimer > 0; }},
        {52, Aim::kBody, 7, "the body rises for the caster", [](W& w) { return w.C(w.body).army == 0; }},
        {54, Aim::kFoe, 7, "the foe changes sides", [](W& w) { return w.C(w.foe).army == 0; }},
        {55, Aim::kGround, kNoKind, "the wizard sets off", [](W& w) { return w.C(w.wizard).teleportX == 13; }},
        {58, Aim::kFoe, 6, "the fireball bursts on the foe", [](W& w) { return w.Hurt(w.foe); }},
        {60, Aim::kFriend, 11, "the friend's health becomes mana", [](W& w) { return w.Changed(); }},
        {62, Aim::kFoe, 5, "the thunderbolt strikes", [](W& w) { return w.Hurt(w.foe); }},
        {65, Aim::kGround, 7, "a totem grows", [](W& w) { return w.Saw(32); }},
        {68, Aim::kFoesGround, 7, "the breath slows the foe", [](W& w) { return w.C(w.foe).slow > 0; }},
        {69, Aim::kGround, 7, "a totem grows", [](W& w) { return w.Saw(32); }},
        {70, Aim::kGround, 7, "a totem grows", [](W& w) { return w.Saw(32); }},
        {71, Aim::kFoe, 2, "lightning strikes", [](W& w) { return w.Hurt(w.foe); }},
        {72, Aim::kFoe, 21, "flames strike", [](W& w) { return w.Hurt(w.foe); }},
        {73, Aim::kFoe, 3, "the orb strikes", [](W& w) { return w.Hurt(w.foe); }},
        {74, Aim::kFriend, 7, "iron skin", [](W& w) { return w.C(w.friend_).ironSkin > 0; }},
        {75, Aim::kGround, 7, "the earth shakes", [](W& w) { return w.Saw(9); }},
        {76, Aim::kGround, 7, "the repelling stands", [](W& w) { return w.Saw(18); }},
        {77, Aim::kFoe, 7, "terror spreads as a blast", [](W& w) { return w.Saw(44); }},
        {78, Aim::kFriend, 7, "arcane bolts ride the friend", [](W& w) { return w.C(w.friend_).spellState == 2; }},
        {79, Aim::kFoe, 7, "the death song", [](W& w) { return w.Saw(73); }},
        {80, Aim::kFriend, 7, "levitation", [](W& w) { return w.sounds.Heard(716); }},
        {81, Aim::kFoe, 7, "disintegration", [](W& w) { return w.Changed(); }},
        {82, Aim::kSelf, 11, "haste", [](W& w) { return w.C(w.wizard).haste > 0; }},
        {83, Aim::kFriend, 7, "a mighty blow", [](W& w) { return w.C(w.friend_).spellState == 1; }},
        {84, Aim::kFriend, 7, "flight", [](W& w) { return w.C(w.friend_).spellState == 3; }},
        {85, Aim::kFriend, 7, "invisibility", [](W& w) { return w.C(w.friend_).invisible > 0; }},
        {86, Aim::kFriend, 7, "an illusory double", [](W& w) { return w.CountOf(kBrownie, 0) == 2; }},
        {87, Aim::kFoe, 48, "chain lightning", [](W& w) { return w.Hurt(w.foe); }},
        {88, Aim::kGround, 31, "fire rains", [](W& w) { return w.Saw(21); }},
        {89, Aim::kFoe, 2, "a thunderclap", [](W& w) { return w.Hurt(w.foe); }},
        {90, Aim::kFoe, kNoKind, "the foe bursts", [](W& w) { return !w.C(w.foe).inUse; }},
        {91, Aim::kGround, 7, "a totem grows", [](W& w) { return w.Saw(32); }},
        {92, Aim::kGround, 7, "a totem grows", [](W& w) { return w.Saw(32); }},
        {93, Aim::kFoe, 4, "the arrow hits", [](W& w) { return w.ShotBy(w.wizard); }},
        {94, Aim::kFoe, 5, "the stone hits", [](W& w) { return w.ShotBy(w.wizard); }},
        {95, Aim::kFoe, 4, "the arrow hits", [](W& w) { return w.ShotBy(w.wizard); }},
        {96, Aim::kFoe, 5, "the spikes hit", [](W& w) { return w.ShotBy(w.wizard); }},
        {97, Aim::kFoe, 34, "the howl reaches the foe", [](W& w) { return w.ShotBy(w.wizard); }},
        {99, Aim::kFoe, 2, "dragon fire reaches the foe", [](W& w) { return w.ShotBy(w.wizard); }},
        {100, Aim::kFoe, 46, "the beam strikes", [](W& w) { return w.Hurt(w.foe); }},
        {101, Aim::kFoe, 34, "binding light reaches the foe", [](W& w) { return w.ShotBy(w.wizard); }},
        {102, Aim::kFoe, 5, "the flies plague the foe", [](W& w) { return w.C(w.foe).pestered != 0; }},
    };
    r.insert(r.end(), others.begin(), others.end());
    return r;
  }();
  return rows;
}

TEST_F(CastEverySpell, EveryPricedSpellPaysStartsItsKindAndShowsItsWork) {
  // Every spell with a price has its row, and no row is a spell without one.
  std::set<int> priced, covered;
  for (int n = 0; n < kSpellCount; ++n)
    if (g_spellDefs[n].ManaCost > 0) priced.insert(n);
  for (const Row& row : Rows()) covered.insert(row.spell);
  EXPECT_EQ(priced, covered);

  for (const Row& row : Rows()) {
    SCOPED_TRACE(testing::Message() << "spell " << row.spell << ": " << row.shows);
    Arrange();
    CSpellCast request;
    request.spell = row.spell;
    request.caster = wizard;
    request.mode = 1;
    int cellX = 13, cellY = 13;
    switch (row.aim) {
      case Aim::kFoe:
        request.target = foe;
        break;
      case Aim::kUndeadFoe:
        request.target = undead;
        break;
      case Aim::kFriend:
        request.target = friend_;
        break;
      case Aim::kSelf:
        request.target = wizard;
        break;
      case Aim::kBody:
        request.target = body;
        break;
      case Aim::kFoesGround:
        cellX = C(foe).cellX;
        cellY = C(foe).cellY;
        break;
      case Aim::kGround:
        break;
    }
    request.targetX = cellX * 32 + 16;
    request.targetY = cellY * 32 + 16;
    request.targetZ = 2;  // in the grass
    const int record = Record();
    ASSERT_GE(record, 0);
    Effect(record).kind = kNoKind;
    const int mana = manaBefore = C(wizard).mana;
    request.Execute();
    EXPECT_EQ(mana - C(wizard).mana, g_spellDefs[row.spell].ManaCost * 256);
    EXPECT_EQ(Effect(record).kind == kNoKind ? kNoKind : Effect(record).kind, row.kind);
    for (int frame = 0; frame < kFrames; ++frame) Frame();
    EXPECT_TRUE(row.check(*this));
  }
}

}  // namespace
}  // namespace magic_test
