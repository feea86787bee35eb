// Summoning: a summoned creature appears where its effect came down, or at the nearest place
// with room, for the caster's army, the army a script event names or the first army without
// a wizard, never for none; a scripted wizard comes from the battle map's wizard files 1-9;
// an illusory double copies its original and may outlive it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CastWorld.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "creatures/WizardTable.h"
#include "forge/RegionMaps.h"
#include "magic/EffectSummons.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace magic_test {
namespace {

namespace w = effect_word;

constexpr int kSummoned = 8;

// A battle script with one event (index 3) and a battle map's name and number.
struct FakeScript : IEffectSummons {
  std::string army, wizard, map = "moorland";
  int number = 0;
  std::vector<std::pair<int, int>> applied;  // creature, event
  bool HasEvent(int event) override { return event == 3; }
  const char* EventArmyName(int) override { return army.c_str(); }
  const char* EventWizardName(int) override { return wizard.c_str(); }
  void ApplyCreatureAction(int creature, int event) override {
    applied.emplace_back(creature, event);
    if (illusion) g_creatureArray.At(creature)->SetIllusion(1);
  }
  bool illusion = false;  // the event's settings make an illusion
  const char* MapName() override { return map.c_str(); }
  int MapNumber() override { return number; }
};

class Summoning : public CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    g_wizardTable.FreeWizardNumbers();
  }
  void TearDown() override {
    g_wizardTable.FreeWizardNumbers();
    CastWorld::TearDown();
  }
  // A summoning carrier of a spell come down on a cell, as the update hands it over.
  CEffect& Carrier(int spell, int caster, int x, int y, int mode = 1, int event = -1) {
    CEffectParams block;
    block.SetPoint(w::kSourceX, x * 32 + 16, y * 32 + 16, 2);
    block.SetPoint(w::kTargetX, x * 32 + 16, y * 32 + 16, 2);
    block[w::kCreature] = caster;
    block[w::kSpell] = spell;
    block[w::kMode] = mode;
    block[w::kValue] = event;
    CEffect* e = g_effectManager.AllocateEffect();
    EXPECT_NE(e, nullptr);
    e->Activate(13, block);
    e->kind = 7;
    return *e;
  }
  FakeScript script;
  HookScope<IEffectSummons> scriptScope{g_effectSummons, script};
};

TEST_F(Summoning, ASummonAppearsForTheCastersArmyWhereItCameDownOrBesideIt) {
  const int wizard = PlaceWizard(0, 10, 10, 500 * 256);
  C(wizard).aiWords[wizard_words::kControlLimit] = 25;
  // A free cell: the effect keeps its cell and the creature stands in it.
  CEffect& free = Carrier(kSummoned, wizard, 14, 14);
  free.DeliverSpell();
  ASSERT_TRUE(free.active);
  EXPECT_EQ(free.kind, 8);
  EXPECT_EQ(free.cellX, 14);
  EXPECT_EQ(free.cellY, 14);
  const int made = free.params[w::kTarget];
  ASSERT_NE(g_creatureArray.InUse(made), nullptr);
  EXPECT_EQ(C(made).typeNumber, kSummoned);
  EXPECT_EQ(C(made).army, 0);
  EXPECT_EQ(C(made).cellX, 14);
  EXPECT_EQ(g_map.CellAt(14, 14, 0).effect, free.index);
  // A taken cell: the effect moves to where the creature can stand, and is relinked there.
  CEffect& taken = Carrier(kSummoned, wizard, 14, 14);
  taken.DeliverSpell();
  ASSERT_EQ(taken.kind, 8);
  const int second = taken.params[w::kTarget];
  EXPECT_FALSE(taken.cellX == 14 && taken.cellY == 14);
  EXPECT_EQ(C(second).cellX, taken.cellX);
  EXPECT_EQ(C(second).cellY, taken.cellY);
  bool linked = false;
  for (int e = g_map.CellAt(taken.cellX, taken.cellY, taken.cellLevel).effect; e != kNoLink; e = Effect(e).nextInCell)
    linked = linked || e == taken.index;
  EXPECT_TRUE(linked);
}

TEST_F(Summoning, AWizardAtItsControlLimitSummonsNothingAndGetsItsManaBack) {
  const int wizard = PlaceWizard(0, 10, 10, 500 * 256);
  C(wizard).aiWords[wizard_words::kControlLimit] = 2;
  C(wizard).behaviour.armyCount = 2;
  const int mana = C(wizard).mana;
  CEffect& e = Carrier(kSummoned, wizard, 14, 14);
  e.DeliverSpell();
  EXPECT_FALSE(e.active);
  EXPECT_TRUE(sounds.Heard(1011));
  EXPECT_EQ(C(wizard).mana - mana, g_spellDefs[kSummoned].ManaCost * 256);
}

TEST_F(Summoning, ASummonWithoutCasterJoinsAnArmyWithoutWizardOrTheScriptsOrNone) {
  // Armies 0 and 1 are in use; 1 has no wizard.
  PlaceWizard(0, 10, 10, 0);
  CEffect& first = Carrier(kSummoned, -1, 20, 20, 0);
  first.DeliverSpell();
  ASSERT_EQ(first.kind, 8);
  const int made = first.params[w::kTarget];
  EXPECT_EQ(C(made).army, 1);
  EXPECT_EQ(C(made).orderState.previousX, 20);  // it keeps to where it appeared
  EXPECT_EQ(C(made).orderState.previousY, 20);

  // A script event's summon joins the army the event names, with the event's settings.
  script.army = "army0";
  CEffect& scripted = Carrier(kSummoned, -1, 24, 24, 4, 3);
  scripted.DeliverSpell();
  ASSERT_EQ(scripted.kind, 8);
  const int byScript = scripted.params[w::kTarget];
  EXPECT_EQ(C(byScript).army, 0);
  ASSERT_EQ(script.applied.size(), 1u);
  EXPECT_EQ(script.applied[0], std::make_pair(byScript, 3));
  EXPECT_FALSE(C(byScript).illusion);
  // An event's settings that make an illusion are kept.
  script.illusion = true;
  CEffect& illusory = Carrier(kSummoned, -1, 28, 24, 4, 3);
  illusory.DeliverSpell();
  ASSERT_EQ(illusory.kind, 8);
  EXPECT_TRUE(C(illusory.params[w::kTarget]).illusion);
  script.illusion = false;

  // Every army with a wizard, an event naming no army, a missing event: refused.
  PlaceWizard(1, 30, 30, 0);
  const int before = static_cast<int>(std::count_if(g_creatureArray.records.begin(), g_creatureArray.records.end(),
                                                    [](const CCreature& c) { return c.inUse != 0; }));
  script.army = "nobody";
  for (auto [mode, event] : {std::pair{1, -1}, std::pair{4, 3}, std::pair{4, 7}}) {
    SCOPED_TRACE(mode * 10 + event);
    CEffect& refused = Carrier(kSummoned, -1, 26, 26, mode, event);
    refused.DeliverSpell();
    EXPECT_FALSE(refused.active);
  }
  const int after = static_cast<int>(std::count_if(g_creatureArray.records.begin(), g_creatureArray.records.end(),
                                                   [](const CCreature& c) { return c.inUse != 0; }));
  EXPECT_EQ(after, before);
}

// The scripted wizard, from the map's wizard files.
class WizardSummoning : public Summoning {
 protected:
  CEffect& WizardEffect(int x, int y, int z) {
    CEffectParams block;
    block.SetPoint(w::kSourceX, x, y, z);
    block.SetPoint(w::kTargetX, x, y, z);
    block[w::kSpell] = 0;
    block[w::kMode] = 4;
    block[w::kValue] = 3;
    CEffect* e = g_effectManager.AllocateEffect();
    e->Activate(13, block);
    return *e;
  }
  int WizardOf(int army) { return g_armyTable.armies[army].wizardCreature; }
};

TEST_F(WizardSummoning, TheForgedMapWizardIsDeployedForItsArmy) {
  // The forged moorland's first enemy wizard of region 0: wizards\moorland01.wzd.
  const std::vector<std::string> names = forge::RegionArmyNames(0);
  ASSERT_GE(names.size(), 3u);
  script.wizard = names[2];
  std::snprintf(g_armyTable.armies[1].name, sizeof g_armyTable.armies[1].name, "%s", names[2].c_str());
  CEffect& e = WizardEffect(12 * 32 + 16, 12 * 32 + 16, 0);
  ASSERT_EQ(e.SummonWizard(), 1);
  ASSERT_NE(g_creatureArray.InUse(WizardOf(1)), nullptr);
  EXPECT_TRUE(C(WizardOf(1)).IsWizard());
  EXPECT_EQ(g_armyTable.armies[1].deploymentKey, -1);
  ASSERT_EQ(script.applied.size(), 1u);
  EXPECT_EQ(script.applied[0].first, WizardOf(1));
  // A level at or past the map's top is refused.
  g_armyTable.armies[1].wizardCreature = -1;
  EXPECT_EQ(WizardEffect(12 * 32 + 16, 12 * 32 + 16, g_map.levels * 16).SummonWizard(), 0);
}

TEST_F(WizardSummoning, OnlyFilesOneToNineAreLookedAt) {
  // A folder of its own for the test's map files; the wizards' pictures come from the forge.
  const std::string forged = testing_support::ForgedDataDir();
  testing_support::TempDir folder(true);
  std::filesystem::create_directory_symlink(forged + "/creatures", folder.File("creatures"));
  ASSERT_TRUE(platform::MakeDirectory(folder.File("wizards")));
  for (int i = 1; i <= 10; ++i)
    folder.Write("wizards/keep0" + std::to_string(i) + ".wzd",
                 "[GENERAL]\nName=Wiz" + std::to_string(i) + "\nMaxHealth=90\n");
  script.map = "keep";
  script.number = 0;
  std::snprintf(g_armyTable.armies[1].name, sizeof g_armyTable.armies[1].name, "%s", "Wiz9");
  script.wizard = "Wiz9";
  EXPECT_EQ(WizardEffect(12 * 32, 12 * 32, 0).SummonWizard(), 1);
  EXPECT_NE(g_creatureArray.InUse(WizardOf(1)), nullptr);
  // The tenth file names a wizard the search never finds.
  std::snprintf(g_armyTable.armies[1].name, sizeof g_armyTable.armies[1].name, "%s", "Wiz10");
  script.wizard = "Wiz10";
  g_armyTable.armies[1].wizardCreature = -1;
  EXPECT_EQ(WizardEffect(14 * 32, 14 * 32, 0).SummonWizard(), 0);
}

TEST_F(Summoning, AnIllusoryDoubleCopiesItsOriginalAndOutlivesIt) {
  const int caster = PlaceWizard(0, 10, 10, 500 * 256);
  C(caster).aiWords[wizard_words::kControlLimit] = 25;
  const int original = PlaceWizard(1, 20, 20, 500 * 256);
  C(original).SetHaste(40);
  C(original).SetIronSkin(30);
  CEffectParams block;
  block.SetPoint(w::kSourceX, 20 * 32 + 16, 20 * 32 + 16, 2);
  block.SetPoint(w::kTargetX, 20 * 32 + 16, 20 * 32 + 16, 2);
  block[w::kCreature] = caster;
  block[w::kTarget] = original;
  block[w::kSpell] = 86;
  CEffect* e = g_effectManager.AllocateEffect();
  e->Activate(13, block);
  e->kind = 11;
  e->DeliverSpell();
  const int twin = e->params[w::kTarget];
  ASSERT_NE(twin, original);
  ASSERT_NE(g_creatureArray.InUse(twin), nullptr);
  EXPECT_EQ(C(twin).typeNumber, C(original).typeNumber);
  EXPECT_TRUE(C(twin).illusion);
  EXPECT_EQ(C(twin).haste, 40);
  EXPECT_EQ(C(twin).ironSkin, 30);
  EXPECT_TRUE(sounds.Heard(726));
  // The original dies and leaves; the double stays in play and keeps working.
  C(original).AdjustHealth(-100000, -1, nullptr, 1);
  C(original).Detach();
  for (int f = 0; f < 50; ++f)
    for (int i = 0; i < g_effectManager.Count(); ++i)
      if (Effect(i).active) Effect(i).Update();
  EXPECT_NE(g_creatureArray.InUse(twin), nullptr);
}

}  // namespace
}  // namespace magic_test
