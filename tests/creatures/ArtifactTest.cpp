// Artifacts: what each carried item does when used, charges, what a creature does with the
// world object it reaches, chests, the free-cell search and subversion's odds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CreatureWorld.h"
#include "core/Random.h"
#include "creatures/Artifact.h"
#include "creatures/CreatureHooks.h"
#include "creatures/MapObject.h"
#include "graphics/Animation.h"
#include "map/Map.h"
#include "map/TerrainAnimation.h"
#include "map/TerrainType.h"

namespace {

using creature_test::CreatureWorld;

struct Started {
  int kind;
  std::vector<int32_t> words;
};

// The effects as the artifacts see them: every start recorded, full when asked.
struct RecordingEffects : ICreatureEffects {
  int StartEffect(int kind, const int32_t words[63]) override {
    if (full) return -1;
    started.push_back({kind, std::vector<int32_t>(words, words + 63)});
    return 150 + static_cast<int>(started.size());
  }
  int EffectPoolSize() override { return 400; }
  void CastSpellWithMode(int spell, int caster, int target, int mode) override {
    casts.push_back({spell, caster, target, mode});
  }
  void SetEffectStateWord(int effect, int word, int value) override { stateWords.push_back({effect, word, value}); }
  const Started* First(int kind) const {
    for (const Started& s : started)
      if (s.kind == kind) return &s;
    return nullptr;
  }
  bool full = false;
  std::vector<Started> started;
  std::vector<std::vector<int>> casts, stateWords;
};

struct ArtifactBattle : creature_test::RecordingBattle {
  void OfferScriptEvent(int kind, int creature, int value) override { events.push_back({kind, creature, value}); }
  void ShowMessage(int message) override { messages.push_back(message); }
  void ShowScroll(int scroll) override { scrolls.push_back(scroll); }
  bool ObjectsOpenToAll() override { return openToAll; }
  bool openToAll = false;
  std::vector<std::vector<int>> events;
  std::vector<int> messages, scrolls;
};

struct RecordingAI : ICreatureAI {
  void ShareGain(int army, int value) override { gains.push_back(army); }
  void ShareLoss(int army, int value) override { losses.push_back(army); }
  std::vector<int> gains, losses;
};

constexpr int kHuman = 1, kComputer = 2;
constexpr int kBrownie = 1, kBlackDog = 8, kSkeleton = 11;

class ArtifactWorld : public CreatureWorld {
 protected:
  void SetUp() override {
    CreatureWorld::SetUp();
    ASSERT_EQ(g_mapObjects.LoadTypes("cfg\\objects.cfg"), 1);
    ASSERT_EQ(g_mapObjects.TypeCount(), 123);
    g_mapObjects.Reset();
    UseArmy(kHuman, true);
    UseArmy(kComputer);
    wizard = PlaceWizard(kHuman, 20, 20);
    g_battleRandom.Seed(77);
  }
  void TearDown() override {
    g_mapObjects.Reset();
    g_mapObjects.LoadTypes("no objects.cfg");
    CreatureWorld::TearDown();
  }
  CMapObject& Put(int kind, int x, int y, int level = 0) {
    CMapObject* object = CreateMapObject(kind, x, y, level);
    EXPECT_NE(object, nullptr);
    return *object;
  }
  // Gives the creature an item event; its index.
  int Give(int slot, int kind, int value1, int value2 = 0, int charges = 1) {
    EXPECT_EQ(C(slot).AddEvent(kind, value1, value2, 0, charges, 0), 1);
    for (int i = 0; i < kCreatureEvents; ++i)
      if (C(slot).events[i].active && C(slot).events[i].kind == kind) return i;
    return -1;
  }

  RecordingEffects effects;
  ArtifactBattle artifactBattle;
  RecordingAI ai;
  HookScope<ICreatureEffects> effectsScope{g_creatureEffects, effects};
  HookScope<ICreatureBattle> battleScope{g_creatureBattle, artifactBattle};
  HookScope<ICreatureAI> aiScope{g_creatureAI, ai};
  int wizard = -1;
};

// --- using carried items -----------------------------------------------------------------------

struct ItemCase {
  const char* name;
  int kind, value1, value2;
  // Sets up the world (the user is the local wizard at 20, 20); answers a check of the result.
  bool (*check)(ArtifactWorld& w, CCreature& user, RecordingEffects& fx, ArtifactBattle& battle);
  bool works = true;
};

const ItemCase kItems[] = {
    {"0 heals by the amount through effect 38", 0, 12, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects& fx, ArtifactBattle&) {
       const Started* s = fx.First(38);
       return s && s->words[6] == u.index && s->words[8] == 0 && s->words[9] == 12 && s->words[2] == 16;
     }},
    {"7 sets its counter", 7, 300, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects&, ArtifactBattle&) { return u.orderState.quadDamage == 300; }},
    {"8 makes invisible", 8, 250, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects&, ArtifactBattle&) { return u.invisible == 250; }},
    {"12 summons a skeleton", 12, 0, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects& fx, ArtifactBattle&) {
       const Started* s = fx.First(41);
       return s && s->words[8] == 11 && s->words[6] == u.index && s->words[7] == -1;
     }},
    {"14 lowers the water", 14, 0, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects&, ArtifactBattle&) { return g_map.waterLevel == 1; }},
    {"20 raises the water", 20, 0, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects&, ArtifactBattle&) { return g_map.waterLevel == 3; }},
    {"15 runs the sight timer", 15, 200, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects&, ArtifactBattle&) { return u.sightTimer == 200; }},
    {"16 starts the grey key's effect", 16, 0, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects& fx, ArtifactBattle&) {
       return fx.First(28) && fx.First(28)->words[8] == 26 && fx.First(28)->words[2] == 16;
     }},
    {"51 starts the silver key's effect", 51, 0, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects& fx, ArtifactBattle&) {
       return fx.First(28) && fx.First(28)->words[8] == 25;
     }},
    {"17 runs a timed counter", 17, 90, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects&, ArtifactBattle&) {
       return u.orderState.printTimers[0] == 90;
     }},
    {"18 drops a bomb", 18, 0, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects& fx, ArtifactBattle&) {
       return fx.First(11) && fx.First(11)->words[8] == 38;
     }},
    {"19 gives the mana sprite's mana", 19, 0, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects&, ArtifactBattle&) {
       return u.mana == g_mapObjects.Type(19)->Data1 * 256;
     }},
    {"21 runs another timed counter", 21, 80, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects&, ArtifactBattle&) {
       return u.orderState.printTimers[1] == 80;
     }},
    {"24 protects from fire", 24, 70, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects&, ArtifactBattle&) {
       return u.orderState.printTimers[2] == 70;
     }},
    {"26 hastes", 26, 60, 0,
     [](ArtifactWorld&, CCreature& u, RecordingEffects&, ArtifactBattle&) { return u.haste == 60; }},
    {"30 summons type 3", 30, 0, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects& fx, ArtifactBattle&) {
       return fx.First(41) && fx.First(41)->words[8] == 3;
     }},
    {"58 summons type 23", 58, 0, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects& fx, ArtifactBattle&) {
       return fx.First(41) && fx.First(41)->words[8] == 23;
     }},
    {"55 shows the scroll before its amount", 55, 3, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects&, ArtifactBattle& b) { return b.scrolls == std::vector<int>{2}; }},
    {"60 raises a wall behind", 60, 40, 0,
     [](ArtifactWorld&, CCreature&, RecordingEffects& fx, ArtifactBattle&) {
       return fx.First(56) && fx.First(40) && fx.First(40)->words[11] == 31 && fx.stateWords.size() == 1 &&
              fx.stateWords[0][1] == 12 && fx.stateWords[0][2] == 40;
     }},
    {"63 strikes every creature of type 2", 63, 10, 0,
     [](ArtifactWorld& w, CCreature&, RecordingEffects&, ArtifactBattle&) {
       const CCreature& centaur = *g_creatureArray.At(1);
       return centaur.health < centaur.GetMaxHealth();
     }},
    {"5 does nothing", 5, 10, 0, nullptr, false},
    {"23 does nothing", 23, 10, 0, nullptr, false},
    {"50 does nothing", 50, 10, 0, nullptr, false},
    {"61 does nothing", 61, 10, 0, nullptr, false},
    {"90 does nothing", 90, 10, 0, nullptr, false},
};

TEST_F(ArtifactWorld, EachItemKindDoesItsWork) {
  for (const ItemCase& c : kItems) {
    SCOPED_TRACE(c.name);
    effects.started.clear();
    effects.stateWords.clear();
    artifactBattle.events.clear();
    g_map.waterLevel = 2;
    g_map.SetWaterLimits(0, 7);
    const int centaur = Place(2, kComputer, 30, 30);
    ASSERT_EQ(centaur, 1);
    CCreature& user = C(wizard);
    user.maxMana = 1000;
    const int event = Give(wizard, c.kind, c.value1, c.value2, 3);
    ApplyItemEvent(user.events[event], user);
    if (c.works) {
      EXPECT_TRUE(c.check(*this, user, effects, artifactBattle));
      EXPECT_EQ(user.events[event].remaining, 2);
      EXPECT_EQ(artifactBattle.events, (std::vector<std::vector<int>>{{7, wizard, c.kind}}));
    } else {
      EXPECT_TRUE(effects.started.empty());
      EXPECT_EQ(user.events[event].remaining, 3);
      EXPECT_TRUE(artifactBattle.events.empty());
    }
    user.RemoveEvent(event);
    g_creatureArray.At(centaur)->Detach();
    user.ResetState();
  }
}

TEST_F(ArtifactWorld, ChargesRunOutAndFreeTheEvent) {
  CCreature& user = C(wizard);
  const int once = Give(wizard, 8, 100, 0, 1);
  user.ProcessEventAt(once);
  EXPECT_EQ(user.events[once].active, 0);
  EXPECT_EQ(user.eventCount, 0);

  // Without a free effect the item keeps its charge.
  effects.full = true;
  const int heal = Give(wizard, 3, 30, 0, 1);
  user.ProcessEventAt(heal);
  EXPECT_EQ(user.events[heal].active, 1);
  EXPECT_EQ(user.events[heal].remaining, 1);
}

TEST_F(ArtifactWorld, ItemsThatAimNeedSomethingInReach) {
  CCreature& user = C(wizard);
  const int wand = Give(wizard, 10, 12, 6, 2);
  ApplyItemEvent(user.events[wand], user);
  EXPECT_EQ(user.events[wand].remaining, 2);  // nobody within 6 cells
  const int enemy = Place(3, kComputer, 23, 20);
  C(enemy).sightingCounters[kHuman] = 30;
  ApplyItemEvent(user.events[wand], user);
  ASSERT_NE(effects.First(57), nullptr);
  EXPECT_EQ(effects.First(57)->words[7], enemy);
  EXPECT_EQ(effects.First(57)->words[8], g_mapObjects.Type(10)->Data3);
  EXPECT_EQ(user.events[wand].remaining, 1);

  const int rod = Give(wizard, 22, 8, 0, 1);
  ApplyItemEvent(user.events[rod], user);
  EXPECT_EQ(effects.casts, (std::vector<std::vector<int>>{{71, wizard, enemy, 2}}));

  const int undead = Place(kSkeleton, kComputer, 22, 22);
  const int symbol = Give(wizard, 11, 5, 150, 1);
  ApplyItemEvent(user.events[symbol], user);
  EXPECT_EQ(C(undead).heldTime, 150);
  EXPECT_EQ(C(enemy).heldTime, 0);
}

// The place is drawn within the range in x and y and over all levels; a place where nothing
// can stand is no teleport, and the charge stays.
TEST_F(ArtifactWorld, RandomTeleportsLandWithinTheRange) {
  CCreature& user = C(wizard);
  int landed = 0;
  for (int seed = 1; seed <= 40; ++seed) {
    g_battleRandom.Seed(static_cast<uint32_t>(seed));
    user.teleportX = user.teleportY = -1;
    const int crystal = Give(wizard, 9, 5, 0, 2);
    const bool worked = ApplyItemEvent(user.events[crystal], user);
    EXPECT_EQ(user.events[crystal].remaining, worked ? 1 : 2);
    if (worked) {
      ++landed;
      EXPECT_LE(std::abs(user.teleportX - 20), 6);
      EXPECT_LE(std::abs(user.teleportY - 20), 6);
    }
    user.RemoveEvent(crystal);
  }
  EXPECT_GT(landed, 0);
}

TEST_F(ArtifactWorld, RecallTeleportsTheArmyButItsWizardsToTheUser) {
  const int friendNear = Place(kBrownie, kHuman, 30, 31);
  const int foe = Place(kBrownie, kComputer, 31, 30);
  const int horn = Give(wizard, 13, 0, 0, 1);
  ApplyItemEvent(C(wizard).events[horn], C(wizard));
  EXPECT_EQ(C(friendNear).teleportX, 20);
  EXPECT_EQ(C(friendNear).teleportY, 20);
  EXPECT_EQ(C(foe).teleportX, 0);
}

// The subversion test is r <= strength x 100 / (MagicResist + strength): 50 against 50
// passes the 51 draws 0..50 of 100.
TEST_F(ArtifactWorld, SubversionPassesWhenTheDrawIsAtMostTheOdds) {
  CCreature& user = C(wizard);
  user.magicResistance = 50;
  int passed = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int foe = Place(kBrownie, kComputer, 22, 21);
    CRandom copy = g_battleRandom;
    const uint32_t draw = (copy.Next() & 0x7FFFFFFF) % 100;
    SubvertInRange(user, 5, 50);
    EXPECT_EQ(C(foe).army == kHuman, draw <= 50) << draw;
    passed += C(foe).army == kHuman;
    C(foe).Detach();
  }
  EXPECT_NEAR(passed, 153, 45);
}

// --- reaching world objects ----------------------------------------------------------------------

TEST_F(ArtifactWorld, ComputerCreaturesLeaveMostKindsUnlessObjectsAreOpen) {
  const int computerWizard = PlaceWizard(kComputer, 10, 10);
  CMapObject& amulet = Put(7, 10, 10);
  ApplyMapObjectToCreature(amulet, C(computerWizard));
  EXPECT_EQ(amulet.inUse, 1);
  EXPECT_EQ(C(computerWizard).eventCount, 0);
  artifactBattle.openToAll = true;
  ApplyMapObjectToCreature(amulet, C(computerWizard));
  EXPECT_EQ(amulet.inUse, 0);
  EXPECT_EQ(C(computerWizard).eventCount, 1);
  ASSERT_NE(effects.First(88), nullptr);
  EXPECT_EQ(effects.First(88)->words[8], 7);
}

TEST_F(ArtifactWorld, PlacesOfPowerFeedAllButIllusions) {
  const int computerOne = Place(kBrownie, kComputer, 5, 5);
  const int illusion = Place(kBrownie, kComputer, 6, 5);
  C(illusion).SetIllusion(1);
  CMapObject& place = Put(61, 5, 5);
  ApplyMapObjectToCreature(place, C(computerOne));
  ApplyMapObjectToCreature(place, C(illusion));
  EXPECT_EQ(C(computerOne).manaSource, 1);
  EXPECT_EQ(C(illusion).manaSource, 0);
  EXPECT_EQ(place.inUse, 1);
  EXPECT_TRUE(artifactBattle.events.empty());  // no script event for a place of power
}

TEST_F(ArtifactWorld, CreaturesEatWhenHurtAndElseSendItToTheWizard) {
  const int dog = Place(kBlackDog, kHuman, 8, 8);
  CMapObject& apple = Put(0, 8, 8);
  ApplyMapObjectToCreature(apple, C(dog));  // at full health it has no use for it
  EXPECT_EQ(apple.inUse, 1);
  C(dog).health -= 20;
  ApplyMapObjectToCreature(apple, C(dog));
  EXPECT_EQ(apple.inUse, 0);
  ASSERT_NE(effects.First(38), nullptr);
  EXPECT_EQ(effects.First(38)->words[9], g_mapObjects.Type(0)->Data1);
  EXPECT_EQ(ai.gains, std::vector<int>{kHuman});

  const int brownie = Place(kBrownie, kHuman, 9, 9);
  CMapObject& loaf = Put(1, 9, 9);
  ApplyMapObjectToCreature(loaf, C(brownie));
  EXPECT_EQ(loaf.inUse, 0);
  ASSERT_NE(effects.First(39), nullptr);
  EXPECT_EQ(effects.First(39)->words[6], brownie);
  EXPECT_EQ(effects.First(39)->words[8], 1);
  EXPECT_EQ(effects.First(39)->words[13], g_mapObjects.Type(1)->Data1);
  EXPECT_EQ(artifactBattle.events.back(), (std::vector<int>{6, brownie, 1}));
}

TEST_F(ArtifactWorld, WizardsTakeManaSpritesAndMessages) {
  CCreature& w = C(wizard);
  g_map.manaSpriteCount = 3;
  CMapObject& sprite = Put(19, 20, 20);
  ApplyMapObjectToCreature(sprite, w);
  EXPECT_EQ(w.eventCount, 1);
  EXPECT_EQ(w.events[0].kind, 19);
  EXPECT_EQ(g_map.manaSpriteCount, 2);

  CMapObject& message = Put(100, 21, 20);
  ApplyMapObjectToCreature(message, w);
  EXPECT_EQ(artifactBattle.messages, std::vector<int>{10});
  EXPECT_EQ(message.inUse, 0);
  EXPECT_EQ(w.eventCount, 2);
}

// --- chests ---------------------------------------------------------------------------------------

class ChestWorld : public ArtifactWorld {
 protected:
  void SetUp() override {
    ArtifactWorld::SetUp();
    // A chest on 12, 12 as the forge builds one: its body to the north on the chest's
    // level, its shut lid above the body.
    g_map.CellAt(12, 11, 0).terrain = static_cast<uint16_t>(kBodyType);
    g_map.CellAt(12, 11, 1).terrain = static_cast<uint16_t>(kShutLid);
  }
  void TearDown() override {
    SetTerrainAnimation(nullptr);
    g_map.animatedCells.clear();
    ArtifactWorld::TearDown();
  }
  CMapObject& Chest(int content, int lock) {
    CMapObject& chest = Put(50, 12, 12, 0);
    chest.data[0] = content;
    chest.data[1] = lock;
    return chest;
  }
  // The forged chest standing north of its object's cell: the body and the lid shut, ajar
  // and open.
  static constexpr int kBodyType = 205, kShutLid = 201, kAjarLid = 209, kOpenLid = 217;
};

TEST_F(ChestWorld, TheForgedChestCarriesTheChestFlagInBodyAndLid) {
  for (int type : {kBodyType, kShutLid, kAjarLid, kOpenLid}) {
    EXPECT_NE(TerrainOf(type).typeFlags & type_flags::kChestLid, 0) << type;
    EXPECT_EQ(TerrainOf(type).typeFlags & type_flags::kStandable, 0) << type;
  }
}

// Opening plays the forged terrain animation: the shut lid rises through ajar to open;
// dropping an item into the emptied chest shuts it again.
TEST_F(ChestWorld, TheLidOpensAndShutsOnTheForgedAnimation) {
  CAnimation frames;
  ASSERT_TRUE(frames.Load("maps\\moorland\\terrain.ani"));
  CTerrainAnimationFile animation(frames);
  SetTerrainAnimation(&animation);
  CMapObject& chest = Chest(7, -1);
  const int brownie = Place(kBrownie, kHuman, 12, 12);
  ApplyMapObjectToCreature(chest, C(brownie));
  EXPECT_EQ(chest.data[0], -1);
  std::vector<int> lid{g_map.CellAt(12, 11, 1).terrain};
  for (int frame = 0; frame < 20 && !g_map.animatedCells.empty(); ++frame) {
    g_map.StepCellAnimations();
    if (g_map.CellAt(12, 11, 1).terrain != lid.back()) lid.push_back(g_map.CellAt(12, 11, 1).terrain);
  }
  EXPECT_EQ(lid, (std::vector<int>{kShutLid, kAjarLid, kOpenLid}));

  C(brownie).Detach();
  CCreature& w = C(wizard);
  w.Relocate(12, 12, 0);
  const int ring = Give(wizard, 21, 300, 0, 2);
  EXPECT_EQ(DropCarriedItem(w, ring, 21, -1), 1);
  for (int frame = 0; frame < 20 && !g_map.animatedCells.empty(); ++frame) g_map.StepCellAnimations();
  EXPECT_EQ(g_map.CellAt(12, 11, 1).terrain, kShutLid);
  EXPECT_EQ(chest.data[0], 21);
}

TEST_F(ChestWorld, AnOpenChestGivesItsContent) {
  CMapObject& chest = Chest(7, -1);
  const int brownie = Place(kBrownie, kHuman, 12, 12);
  ApplyMapObjectToCreature(chest, C(brownie));
  EXPECT_EQ(chest.data[0], -1);
  ASSERT_NE(effects.First(39), nullptr);
  EXPECT_EQ(effects.First(39)->words[8], 7);  // the content goes to the wizard
}

TEST_F(ChestWorld, ALockedChestNeedsAWizardWithAKey) {
  CMapObject& chest = Chest(7, 3);
  const int brownie = Place(kBrownie, kHuman, 12, 12);
  ApplyMapObjectToCreature(chest, C(brownie));
  EXPECT_EQ(chest.data[0], 7);
  EXPECT_EQ(chest.data[1], 3);
  ASSERT_FALSE(artifactBattle.messages.empty());  // placing it there already met the chest
  EXPECT_EQ(artifactBattle.messages.back(), 4);

  C(brownie).Detach();
  CCreature& w = C(wizard);
  w.Relocate(12, 13, 0);
  ApplyMapObjectToCreature(chest, w);  // no key: still shut
  EXPECT_EQ(chest.data[1], 3);
  Give(wizard, 52, 0, 0, 1);
  ApplyMapObjectToCreature(chest, w);
  EXPECT_EQ(chest.data[1], -1);
  ASSERT_NE(effects.First(28), nullptr);  // the key's effect, which opens it when it ends
  EXPECT_EQ(effects.First(28)->words[8], 24);
}

TEST_F(ChestWorld, DroppingIntoAnEmptyChestFillsIt) {
  CMapObject& chest = Chest(-1, -1);
  CCreature& w = C(wizard);
  w.Relocate(12, 12, 0);
  const int ring = Give(wizard, 21, 300, 0, 2);
  EXPECT_EQ(DropCarriedItem(w, ring, 21, -1), 1);
  EXPECT_EQ(chest.data[0], 21);
  EXPECT_EQ(w.eventCount, 0);
  EXPECT_EQ(DropCarriedItem(w, ring, 21, -1), 0);  // nothing left to drop
}

// --- the free-cell search ------------------------------------------------------------------------

TEST_F(ArtifactWorld, TheFreeCellSearchTakesTheOwnCellFirstAndRingsAfter) {
  struct Case {
    const char* name;
    void (*prepare)(ArtifactWorld& w);
    int x, y, z;
  } cases[] = {
      {"the own cell", [](ArtifactWorld&) {}, 30, 30, 0},
      {"an object there sends it north", [](ArtifactWorld& w) { CreateMapObject(3, 30, 30, 0); }, 30, 29, 0},
      {"a place of power does not", [](ArtifactWorld& w) { CreateMapObject(61, 30, 30, 0); }, 30, 30, 0},
      {"a sealed cell is passed over", [](ArtifactWorld&) { g_map.CellAt(30, 30, 0).state |= state_bits::kSealed; }, 30,
       29, 0},
      {"from the air it falls to the ground", [](ArtifactWorld&) {}, 30, 30, 0},
  };
  const int startLevel[] = {0, 0, 0, 0, 2};
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_mapObjects.Reset();
    for (int y = 27; y <= 33; ++y)
      for (int x = 27; x <= 33; ++x) g_map.CellAt(x, y, 0).object = kNoLink;
    c.prepare(*this);
    int x = 30, y = 30, z = startLevel[n++];
    ASSERT_EQ(FindFreeCellNearby(x, y, z), 1);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(z, c.z);
    g_map.CellAt(30, 30, 0).state &= static_cast<uint16_t>(~state_bits::kSealed);
  }
}

// --- what a creature carries when it dies or meets a lock --------------------------------------------

// A killed creature lets go of what it carried: each item lies where it fell with its values
// and charges (the second on the next free cell), and nothing is left in its list.
TEST_F(ArtifactWorld, AKilledCreatureDropsWhatItCarries) {
  const int brownie = Place(kBrownie, kComputer, 30, 30);
  Give(brownie, 8, 250);
  Give(brownie, 26, 60, 0, 3);
  C(brownie).AdjustHealth(-C(brownie).health, kHuman, nullptr, 1);
  ASSERT_FALSE(C(brownie).IsAlive());
  EXPECT_EQ(C(brownie).eventCount, 0);
  const CMapObject* first = g_mapObjects.InUse(g_map.CellAt(30, 30, 0).object);
  const CMapObject* second = g_mapObjects.InUse(g_map.CellAt(30, 29, 0).object);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->kind, 8);
  EXPECT_EQ(std::vector<int>(first->data, first->data + 4), (std::vector<int>{250, 0, 0, 1}));
  EXPECT_EQ(second->kind, 26);
  EXPECT_EQ(std::vector<int>(second->data, second->data + 4), (std::vector<int>{60, 0, 0, 3}));
}

// A wizard's key at a lock is used as the item it is: its effect starts and a use is spent;
// the last use gone, the key leaves the list. With no effect record free the key keeps its use.
TEST_F(ArtifactWorld, AKeyAtALockIsUsedAsItsItem) {
  CCreature& w = C(wizard);
  g_map.CellAt(21, 20, 0).state |= state_bits::kClosedDoor;
  const int key = Give(wizard, item_kind::kSilverKey, 0, 0, 2);
  effects.full = true;
  w.TriggerCellObjects();
  EXPECT_EQ(w.events[key].remaining, 2);
  effects.full = false;
  w.TriggerCellObjects();
  ASSERT_NE(effects.First(28), nullptr);
  EXPECT_EQ(effects.First(28)->words[8], 25);  // the silver key's effect
  EXPECT_EQ(w.events[key].remaining, 1);
  w.TriggerCellObjects();
  EXPECT_EQ(effects.started.size(), 2u);
  EXPECT_EQ(w.eventCount, 0);
}

}  // namespace
