// End to end on a small forged map: a wizard with mana casts a missile, an area spell, a
// summon, a spell on itself and a terrain spell through the one cast routine; each pays,
// starts its kind, reaches its creature or place and hands over to delivery. The bouncing
// orb and the bolt need no delivery and hurt already. Two runs from one seed leave the same
// pools.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "CastWorld.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "forge/TerrainTypes.h"
#include "magic/SpellCast.h"

namespace magic_test {
namespace {

constexpr int kBrownie = 1;
constexpr int kSturdy = 4;  // 150 health: outlives what falls on it

struct Outcome {
  int spell = 0, kind = -1, paid = 0, frames = 0;
  int endX = -1, endY = -1, endLevel = -1;
};

// Everything a battle keeps of the effects and the creatures, for comparing two runs.
struct PoolImage {
  std::vector<int32_t> words;
  bool operator==(const PoolImage&) const = default;
};

class CastEndToEnd : public CastWorld {
 protected:
  void Arrange() {
    g_battleRandom.Seed(4242);
    g_effectManager.Reset();
    // The creatures of an earlier run leave the map, their cells with them.
    g_creatureArray.ForEachInUse([](CCreature& c) { c.Detach(); });
    g_creatureArray.ReleaseAll();
    burnt.clear();
    summonFlash = false;
    wizard = PlaceWizard(0, 10, 10, 900 * 256);
    missileTarget = Place(kBrownie, 1, 16, 10);
    orbTarget = Place(kBrownie, 1, 10, 15);
    boltTarget = Place(kBrownie, 1, 14, 14);
    showerTargets = {Place(kSturdy, 1, 18, 18), Place(kSturdy, 1, 16, 19), Place(kSturdy, 1, 19, 16)};
    dispelTarget = Place(kSturdy, 1, 6, 10);
    for (int slot : {wizard, missileTarget, orbTarget, boltTarget, dispelTarget}) SeenByAll(slot);
    for (int slot : showerTargets) SeenByAll(slot);
    C(wizard).aiWords[wizard_words::kControlLimit] = 25;
    // Iron skin to strip; nothing in it resists the dispelling.
    C(dispelTarget).SetIronSkin(500);
    C(dispelTarget).magicResistance = 0;
    // A wooden deck for the fireball to set burning.
    // The field as it was: grass with the deck, nothing built above it, nothing burning.
    for (int level = 0; level < g_map.levels; ++level)
      for (int y = 0; y < g_map.height; ++y)
        for (int x = 0; x < g_map.width; ++x) {
          CMapCell& cell = g_map.CellAt(x, y, level);
          cell.state &= static_cast<uint16_t>(~(state_bits::kField10 | state_bits::kField20));
          cell.terrain = level > 0 ? 0 : InDeck(x, y) ? forge::terrain::kBridge : forge::terrain::kGrass;
        }
  }
  static bool InDeck(int x, int y) { return x >= 11 && x <= 14 && y >= 5 && y <= 8; }
  int ShowerHealth() {
    int sum = 0;
    for (int slot : showerTargets) sum += C(slot).health;
    return sum;
  }
  // The first record a cast would take.
  int NextRecord() {
    for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i)
      if (!Effect(i).active && Effect(i).state[effect_state::kHold] == 0) return i;
    return -1;
  }
  void Frame() {
    for (int i = 0; i < g_effectManager.Count(); ++i)
      if (Effect(i).active) Effect(i).Update();
    for (int y = 0; y < g_map.height; ++y)
      for (int x = 0; x < g_map.width; ++x)
        if (InDeck(x, y) && (g_map.CellAt(x, y, 0).state & state_bits::kField10)) burnt.insert(y * 100 + x);
    for (int i = 0; i < g_effectManager.Count(); ++i)
      summonFlash = summonFlash || (Effect(i).active && Effect(i).kind == 8 && Effect(i).params[8] == 8);
  }
  // Casts at a creature (or at a cell's ground when target is -1) and runs the battle's
  // effects until the cast's own effect has ended.
  Outcome Cast(int spell, int target, int cellX = 0, int cellY = 0) {
    Outcome out;
    out.spell = spell;
    CSpellCast request;
    request.spell = spell;
    request.caster = wizard;
    request.target = target;
    request.targetX = cellX * 32 + 16;
    request.targetY = cellY * 32 + 16;
    request.targetZ = 2;  // in the grass
    const int record = NextRecord();
    Effect(record).kind = -1;
    const int mana = C(wizard).mana;
    request.Execute();
    out.paid = mana - C(wizard).mana;
    out.kind = Effect(record).kind;
    while (Effect(record).active && out.frames < 400) {
      Frame();
      ++out.frames;
    }
    out.endX = Effect(record).cellX;
    out.endY = Effect(record).cellY;
    out.endLevel = Effect(record).cellLevel;
    return out;
  }
  std::vector<Outcome> RunAll() {
    std::vector<Outcome> all;
    all.push_back(Cast(71, missileTarget));
    all.push_back(Cast(34, -1, 18, 18));
    all.push_back(Cast(8, -1, 12, 14));
    all.push_back(Cast(82, wizard));
    all.push_back(Cast(35, -1, 7, 14));
    all.push_back(Cast(73, orbTarget));
    all.push_back(Cast(100, boltTarget));
    all.push_back(Cast(58, -1, 12, 7));
    all.push_back(Cast(43, dispelTarget));
    for (int i = 0; i < 200; ++i) Frame();  // what the casts left running ends
    return all;
  }
  PoolImage Image() {
    PoolImage image;
    for (int i = 0; i < g_effectManager.Count(); ++i) {
      const CEffect& e = Effect(i);
      image.words.insert(image.words.end(), {e.active, e.kind, e.x, e.y, e.z, e.cellX, e.cellY, e.cellLevel});
      image.words.insert(image.words.end(), e.state, e.state + CEffect::kStateWords);
      image.words.insert(image.words.end(), e.params.words, e.params.words + CEffectParams::kWords);
    }
    for (int slot = 0; slot < g_creatureArray.Capacity(); ++slot) {
      const CCreature& c = C(slot);
      image.words.insert(image.words.end(), {c.inUse, c.typeNumber, c.army, c.health, c.mana, c.haste, c.ironSkin});
    }
    for (int y = 0; y < g_map.height; ++y)
      for (int x = 0; x < g_map.width; ++x) image.words.push_back(g_map.CellAt(x, y, 0).state);
    return image;
  }

  int wizard = -1, missileTarget = -1, orbTarget = -1, boltTarget = -1, dispelTarget = -1;
  std::vector<int> showerTargets;
  bool summonFlash = false;
  std::set<int> burnt;  // cells of the deck that were burning at the end of a frame
};

TEST_F(CastEndToEnd, EachCastPaysStartsItsKindAndReachesItsTarget) {
  Arrange();
  const int orbHealth = C(orbTarget).health, boltHealth = C(boltTarget).health;
  const int missileHealth = C(missileTarget).health, showerHealth = ShowerHealth();
  const std::vector<Outcome> all = RunAll();
  struct Want {
    int kind, x, y, level;  // -1: not checked
  } wants[] = {
      {2, 16, 10, -1},   // the missile ends on its creature
      {31, 18, 18, 0},   // the area spell works at its place
      {7, 12, 14, 0},    // the summon's carrier comes down on the place
      {11, 10, 10, -1},  // the spell on the wizard itself
      {7, -1, -1, -1},   // the wall's carrier: the wall grows from where it came down
      {3, -1, -1, -1},   // the orb bounces on until its time is up
      {46, -1, -1, -1},  // the bolt strikes at once
      {6, -1, -1, -1},   // the fireball is thrown
      {7, -1, -1, -1},   // the dispelling flies at its creature
  };
  for (size_t i = 0; i < all.size(); ++i) {
    const Outcome& o = all[i];
    SCOPED_TRACE(o.spell);
    EXPECT_EQ(o.kind, wants[i].kind);
    EXPECT_EQ(o.paid, g_spellDefs[o.spell].ManaCost * 256);
    EXPECT_LT(o.frames, 400);
    if (wants[i].x >= 0) {
      EXPECT_NEAR(o.endX, wants[i].x, 1);
      EXPECT_NEAR(o.endY, wants[i].y, 1);
    }
    if (wants[i].level >= 0) EXPECT_EQ(o.endLevel, wants[i].level);
  }
  EXPECT_GE(orbHealth - C(orbTarget).health, g_spellDefs[73].Damage);  // it may bounce back
  EXPECT_EQ(boltHealth - C(boltTarget).health, g_spellDefs[70].Damage);
  // What the delivered spells left: the missile and the shower hurt, the fireball burnt the
  // deck, the summon made its creature for the caster's army, haste is on the caster and
  // the dispelling took the iron skin away.
  EXPECT_LT(C(missileTarget).health, missileHealth);
  EXPECT_LT(ShowerHealth(), showerHealth);
  EXPECT_GT(burnt.size(), 4u);
  int summoned = 0;
  for (int slot = 0; slot < g_creatureArray.Capacity(); ++slot)
    summoned += C(slot).inUse && C(slot).typeNumber == 8 && C(slot).army == C(wizard).army;
  EXPECT_EQ(summoned, 1);
  EXPECT_TRUE(summonFlash);  // it appeared behind the summoning's flash
  EXPECT_GT(C(wizard).haste, 0);
  EXPECT_EQ(C(dispelTarget).ironSkin, 0);
  // The wall stands in its column above the grass.
  EXPECT_NE(g_map.CellAt(7, 14, 1).terrain, 0);
}

TEST_F(CastEndToEnd, TwoRunsFromOneSeedLeaveTheSamePools) {
  Arrange();
  RunAll();
  const PoolImage first = Image();
  Arrange();
  RunAll();
  EXPECT_TRUE(first == Image());
}

}  // namespace
}  // namespace magic_test
