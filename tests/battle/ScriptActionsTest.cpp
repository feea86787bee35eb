// The script's actions as small scenes on the flat forged battle: a deployment of a living
// character, a portal at a dead dependent, a pool without a free effect, a spell trap that
// runs backwards, a collapse of an area, an award too large to float, and the messenger.
#include <functional>
#include <string>

#include "BattleFrameWorld.h"
#include "battle/BattleSystems.h"
#include "battle/Collapse.h"
#include "battle/MessageScroll.h"
#include "battle/NamedList.h"
#include "battle/Script.h"
#include "battle/ScriptActions.h"
#include "battle/ScriptActors.h"
#include "creatures/MapObject.h"
#include "magic/EffectScript.h"
#include "magic/ParticleKinds.h"
#include "map/PathNetwork.h"
#include "ui/SpeechCtrl.h"

namespace {

class ScriptScenes : public BattleFrameWorld {
 protected:
  void SetUp() override {
    BattleFrameWorld::SetUp();
    BuildWorld(4242);
    std::snprintf(g_armyTable.armies[0].name, kArmyNameSize, "%s", "Edric");
    std::snprintf(g_armyTable.armies[1].name, kArmyNameSize, "%s", "Ysbail");
    g_scriptActors.Clear();
    g_script.Clear();
    GetNamedList()->Clear();
    battle_.cellQueue.clear();
    g_battle = &battle_;
  }
  void TearDown() override {
    g_battle = nullptr;
    g_speechCtrl.Clear();
    g_script.Clear();
    g_scriptActors.Clear();
    GetNamedList()->Clear();
    g_pathNetwork.Clear();
    g_map.eventAreas.items.clear();
    BattleFrameWorld::TearDown();
  }

  // Reads the script and prepares it, as a battle does.
  void Load(const std::string& text) {
    dir_.Write("script.cfg", text);
    platform::FlushProfileCache();
    LoadScriptEventsFrom(g_script, dir_.File("script.cfg"));
    g_script.Prepare();
  }
  static std::string Event(int section, const std::string& keys) {
    return "[EVENT_" + std::to_string(section) + "]\nValid=True\n" + keys + "\n";
  }
  static void AddArea(const char* name, int x0, int y0, int z0, int x1, int y1, int z1) {
    CEventAreas::Item item{};
    item[0] = x0, item[1] = y0, item[2] = z0, item[3] = x1, item[4] = y1, item[5] = z1;
    std::strncpy(reinterpret_cast<char*>(&item[6]), name, kScriptNameSize - 1);
    g_map.eventAreas.items.push_back(item);
  }
  // Binds a character to a creature in a state.
  static ScriptActor& Bind(const char* name, int creature, int state) {
    ScriptActor* actor = g_scriptActors.Register(name);
    actor->creature = creature;
    actor->state = state;
    return *actor;
  }
  // The active effects of a kind.
  static std::vector<const CEffect*> EffectsOfKind(int kind) {
    std::vector<const CEffect*> found;
    for (int i = 0; i < g_effectManager.Count(); ++i)
      if (g_effectManager.At(i)->active && g_effectManager.At(i)->kind == kind) found.push_back(g_effectManager.At(i));
    return found;
  }
  // The record last started with a kind (the summoning ends at once while it finds no
  // creature to make, but its record keeps what it was started with).
  static const CEffect* LastStartedOfKind(int kind) {
    const CEffect* found = nullptr;
    for (int i = 0; i < g_effectManager.Count(); ++i)
      if (g_effectManager.At(i)->kind == kind) found = g_effectManager.At(i);
    return found;
  }
  // Runs the event's action as the engine does when it fires.
  static void Fire(int record, int creature = -1) { g_script.RunActions(record, creature); }

  CBattle battle_;
  testing_support::TempDir dir_;
};

TEST_F(ScriptScenes, ADeploymentOfALivingCharacterModifiesItAndSummonsNoSecond) {
  Load(Event(1,
             "EventType=DEPLOYMENT\nDeployedCharacter=Bran\nDeployedArmy=Ysbail\nCreatureType=1\n"
             "DeploymentType=CHARACTER\nDeployNextToCharacter=Edric\nInitialHealth=50\nHaste=40\n"
             "NumberOfActions=2"));
  Bind("Bran", enemy_, kActorAliveInBattle);
  const int creaturesBefore = BattleSystems().CreaturesInUse();
  Fire(0);
  EXPECT_EQ(C(enemy_).health, C(enemy_).GetMaxHealth() / 2);
  EXPECT_EQ(C(enemy_).haste, 40);
  EXPECT_EQ(ActiveEffects(), 0);  // no summoning
  EXPECT_EQ(BattleSystems().CreaturesInUse(), creaturesBefore);
  EXPECT_EQ(g_script.Event(0).runState, kScriptArmed);
  EXPECT_EQ(g_script.Event(0).actionsLeft, 1);
}

TEST_F(ScriptScenes, ADeploymentOfACharacterNotHereStartsItsSummoning) {
  Load(Event(1,
             "EventType=DEPLOYMENT\nDeployedCharacter=Bran\nDeployedArmy=Ysbail\nCreatureType=25\n"
             "DeploymentType=CHARACTER\nDeployNextToCharacter=Edric") +
       Event(2,
             "EventType=DEPLOYMENT\nDeployedCharacter=Gate Guard\nDeployedArmy=Ysbail\nCreatureType=3\n"
             "DeploymentType=CHARACTER\nDeployNextToCharacter=Edric"));
  Bind("Edric", wizard_, kActorAliveInBattle);
  // A wizard type comes by effect 64, any other by 41, east of the character beside it, the
  // event's number in word 11 for the summoning to hand its creature back with.
  Fire(0);
  const CEffect* wizard = LastStartedOfKind(64);
  ASSERT_NE(wizard, nullptr);
  EXPECT_EQ(wizard->params[effect_word::kSpell], 25);
  EXPECT_EQ(wizard->params[effect_word::kValue], 0);
  EXPECT_EQ(wizard->params[effect_word::kMode], 4);
  EXPECT_EQ(wizard->params[effect_word::kTargetX], 11 * 32 + 16);
  EXPECT_EQ(wizard->params[effect_word::kTargetY], 10 * 32 + 16);
  // The map has no wizard file of that name: the summoning made nothing and said so, and the
  // event did not stay running for it (its one action spent).
  EXPECT_EQ(g_script.Event(0).runState, kScriptRetired);
  // A summoning that does make its creature hands it over: the character is bound and the
  // event re-arms.
  g_script.Event(0).runState = kScriptRunning;
  g_script.ApplyCreatureAction(enemy_, 0);
  EXPECT_EQ(g_scriptActors.FindByName("Bran")->creature, enemy_);
  EXPECT_EQ(g_scriptActors.FindByName("Bran")->state, kActorAliveInBattle);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRetired);

  // Any other type comes by effect 41, which makes the creature for the event's army at once.
  Fire(1);
  const ScriptActor* guard = g_scriptActors.FindByName("Gate Guard");
  ASSERT_NE(guard, nullptr);
  const CCreature* made = g_creatureArray.InUse(guard->creature);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->typeNumber, 3);
  EXPECT_EQ(made->army, 1);  // Ysbail's
  EXPECT_EQ(guard->state, kActorAliveInBattle);
  EXPECT_LE(std::abs(made->cellX - 11) + std::abs(made->cellY - 10), 4);
  EXPECT_EQ(g_script.Event(1).runState, kScriptRetired);
}

// A summoning that makes nothing (an army the map does not have, no wizard file of the name,
// no room at the place) re-arms its deployment, an action spent, rather than leaving it
// running forever; a report that comes late, or for another event, changes nothing.
TEST_F(ScriptScenes, ASummoningThatMakesNothingReArmsItsDeployment) {
  AddArea("Walled", 32, 32, 1, 32, 32, 1);
  struct Case {
    const char* what;
    const char* keys;
  };
  const Case cases[] = {
      {"no such army", "DeployedArmy=Nobody\nCreatureType=3\nDeploymentType=CHARACTER\nDeployNextToCharacter=Edric"},
      {"no wizard file", "DeployedArmy=Ysbail\nCreatureType=25\nDeploymentType=CHARACTER\nDeployNextToCharacter=Edric"},
      {"no room", "DeployedArmy=Ysbail\nCreatureType=3\nDeploymentType=LOCATION\nDeploymentLocation=Walled"},
  };
  std::string script;
  for (int i = 0; i < 3; ++i)
    script +=
        Event(i + 1, std::string("EventType=DEPLOYMENT\nDeployedCharacter=Bran\nNumberOfActions=3\n") + cases[i].keys);
  Load(script);
  Bind("Edric", wizard_, kActorAliveInBattle);
  const int creatures = BattleSystems().CreaturesInUse();
  for (int r = 0; r < 3; ++r) {
    // The last has the whole map filled with rock: no place for a creature anywhere.
    if (r == 2)
      for (int z = 0; z < g_map.levels; ++z)
        for (int y = 0; y < g_map.height; ++y)
          for (int x = 0; x < g_map.width; ++x) g_map.CellAt(x, y, z).terrain = forge::terrain::kRock;
    Fire(r);
    EXPECT_NE(LastStartedOfKind(r == 1 ? 64 : 41), nullptr) << cases[r].what;
    EXPECT_EQ(g_script.Event(r).runState, kScriptArmed) << cases[r].what;
    EXPECT_EQ(g_script.Event(r).actionsLeft, 2) << cases[r].what;
  }
  EXPECT_EQ(BattleSystems().CreaturesInUse(), creatures);
  EXPECT_EQ(ActiveEffects(), 0);
  // A stray report: for an armed event, for an event of another type, for no event at all.
  g_effectScript->SummonFailed(0);
  g_effectScript->SummonFailed(99);
  g_effectScript->SummonFailed(-1);
  EXPECT_EQ(g_script.Event(0).actionsLeft, 2);
}

// A deployment that makes its creature levitate or earth-bound hangs the condition's aura on
// it, as the spells do, once; none when the options give that aura no density.
TEST_F(ScriptScenes, ALevitatingOrEarthBoundDeploymentWearsItsAura) {
  struct Case {
    const char* keys;
    int levitateDensity, earthBindDensity;
    int auras;
  };
  const Case cases[] = {
      {"Levitation=400", 50, 50, 1},
      {"EarthBind=400", 50, 50, 1},
      {"Levitation=400", 0, 50, 0},
      {"EarthBind=400", 50, 0, 0},
  };
  for (const Case& c : cases) {
    g_particleManager.Clear();
    g_script.Clear();
    g_scriptActors.Clear();
    g_levitateEffect.densityMod = c.levitateDensity;
    g_earthBindEffect.densityMod = c.earthBindDensity;
    C(enemy_).SetEarthBind(0);
    Load(Event(1, std::string("EventType=DEPLOYMENT\nDeployedCharacter=Bran\nDeployedArmy=Ysbail\nCreatureType=1\n"
                              "DeploymentType=CHARACTER\nDeployNextToCharacter=Edric\n") +
                      c.keys));
    Bind("Bran", enemy_, kActorAliveInBattle);
    Fire(0);
    ASSERT_EQ(g_particleManager.Count(), c.auras) << c.keys;
    g_script.ApplyCreatureAction(enemy_, 0);  // deployed again: it wears one aura still
    ASSERT_EQ(g_particleManager.Count(), c.auras) << c.keys;
    if (c.auras == 0) continue;
    const auto* aura = dynamic_cast<const CAuraEmitter*>(g_particleManager.Slot(0));
    ASSERT_NE(aura, nullptr) << c.keys;
    const bool levitates = std::string(c.keys).starts_with("Levitation");
    EXPECT_EQ(dynamic_cast<const CLevitateEmitter*>(aura) != nullptr, levitates) << c.keys;
    EXPECT_EQ(aura->creature, enemy_);
    EXPECT_EQ(aura->perFrame, (16 * C(enemy_).type->TileSizeXY - 4) * 50 / 200);
  }
  ResetGlobalOptions();
}

// A deployment that lets its creature cast on allies gives the creature the leave; one that
// does not leaves the creature as it was.
TEST_F(ScriptScenes, ADeploymentMayLetItsCreatureCastOnAllies) {
  for (const bool allowed : {false, true}) {
    g_script.Clear();
    g_scriptActors.Clear();
    C(enemy_).mayCastOnAllies = 0;
    Load(Event(1, std::string("EventType=DEPLOYMENT\nDeployedCharacter=Bran\nDeployedArmy=Ysbail\nCreatureType=1\n"
                              "DeploymentType=CHARACTER\nDeployNextToCharacter=Edric\nCanCastOnAllies=") +
                      (allowed ? "True" : "False")));
    Bind("Bran", enemy_, kActorAliveInBattle);
    g_script.Event(0).runState = kScriptRunning;
    g_script.ApplyCreatureAction(enemy_, 0);
    EXPECT_EQ(C(enemy_).mayCastOnAllies, allowed ? 1 : 0);
  }
}

TEST_F(ScriptScenes, APortalAtADeadDependentTakesItAwayWithEffect65) {
  Load(Event(1,
             "EventType=PORTAL\nPortalPosition=CHARACTER\nPortalCharacter=Bran\nDependentCharacter=Bran\n"
             "DependentCharacterStatus=DEAD_IN_BATTLE\nPortalCountDown=900"));
  ScriptActor& bran = Bind("Bran", enemy_, kActorDeadInBattle);
  Fire(0);
  EXPECT_EQ(bran.state, kActorExited);
  EXPECT_EQ(C(enemy_).orderState.dissolve, 75);
  const std::vector<const CEffect*> portals = EffectsOfKind(65);
  ASSERT_EQ(portals.size(), 1u);
  EXPECT_EQ(portals[0]->params[effect_word::kTargetX], C(enemy_).cellX * 32 + 16);
  EXPECT_EQ(EffectsOfKind(62).size(), 0u);
}

TEST_F(ScriptScenes, WithoutAFreeEffectDeploymentAndPortalStayArmed) {
  Load(Event(1,
             "EventType=DEPLOYMENT\nDeployedCharacter=Bran\nDeployedArmy=Ysbail\nCreatureType=3\n"
             "DeploymentType=CHARACTER\nDeployNextToCharacter=Edric\nNumberOfActions=1") +
       Event(2, "EventType=PORTAL\nPortalPosition=CHARACTER\nPortalCharacter=Edric\nNumberOfActions=1"));
  Bind("Edric", wizard_, kActorAliveInBattle);
  for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i) g_effectManager.At(i)->active = 1;
  Fire(0);
  Fire(1);
  for (int r : {0, 1}) {
    EXPECT_EQ(g_script.Event(r).runState, kScriptArmed) << r;
    EXPECT_EQ(g_script.Event(r).actionsLeft, 1) << r;  // no action spent
  }
  for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i) g_effectManager.At(i)->active = 0;
}

TEST_F(ScriptScenes, Spell55FiresFromTheTargetTowardTheSource) {
  AddArea("Tower", 30, 30, 0, 30, 30, 0);
  AddArea("Road", 5, 20, 0, 5, 20, 0);
  Load(Event(1, "EventType=TRAP\nTrapSpell=55\nTrapTarget=LOCATION\nTrapTargetLocation=Road\nSourceLocation=Tower") +
       Event(2, "EventType=TRAP\nTrapSpell=8\nTrapTarget=LOCATION\nTrapTargetLocation=Road\nSourceLocation=Tower"));
  std::vector<CSpellCast> casts;
  ScriptSpellCasterScope caster([&](const CSpellCast& cast) { casts.push_back(cast); });
  Fire(0);
  Fire(1);
  ASSERT_EQ(casts.size(), 2u);
  EXPECT_EQ(casts[0].spell, 55);
  EXPECT_EQ(casts[0].sourceX, 5 * 32 + 16);   // from the road ...
  EXPECT_EQ(casts[0].targetX, 30 * 32 + 16);  // ... to the tower
  EXPECT_EQ(casts[0].mode, 4);
  EXPECT_EQ(casts[1].sourceX, 30 * 32 + 16);  // any other spell from the tower to the road
  EXPECT_EQ(casts[1].targetX, 5 * 32 + 16);
}

TEST_F(ScriptScenes, ACollapseTouchesOnlyCellsWithContents) {
  // A column of three cells over the grass, and empty air beside it.
  AddArea("Wall", 20, 20, 0, 21, 20, 3);
  for (int z = 1; z <= 3; ++z) g_map.CellAt(20, 20, z).terrain = forge::terrain::kGrass;
  Load(Event(1, "EventType=TRAP\nTerrainEvent=COLLAPSE\nTrapTargetLocation=Wall"));
  g_collapseStats = {};
  Fire(0);
  // Two columns of four levels: the grass floor of both and the three wall cells fall.
  EXPECT_EQ(g_collapseStats.collapsed, 5);
  EXPECT_EQ(g_map.CellAt(20, 20, 2).terrain, 0);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRetired);
}

TEST_F(ScriptScenes, AnAwardOf1000FloatsNoNumberButIsWrittenAndListed) {
  AddArea("Keep", 12, 12, 0, 12, 12, 0);
  Load(Event(1,
             "EventType=EXPERIENCE\nExperiencePoints=1000\nExperienceText=The keep is taken\n"
             "ExperienceType=LOCATION\nExperienceLocation=Keep\nItemGained=100") +
       Event(2,
             "EventType=EXPERIENCE\nExperiencePoints=250\nExperienceText=Well fought\n"
             "ExperienceType=LOCATION\nExperienceLocation=Keep"));
  Fire(0);
  EXPECT_EQ(ActiveEffects(), 0);
  EXPECT_EQ(g_messageScroll.Text(), "The keep is taken 1000 Experience Points");
  ASSERT_EQ(GetNamedList()->count, 1);
  EXPECT_EQ(GetNamedList()->At(0)->value, 1000);
  EXPECT_STREQ(GetNamedList()->At(0)->name, "The keep is taken");
  EXPECT_EQ(GetNamedList()->At(0)->item, 3);
  Fire(1);
  EXPECT_EQ(ActiveEffects(), 3);  // its digits
  EXPECT_EQ(GetNamedList()->At(1)->item, -1);
  EXPECT_EQ(GetNamedList()->SumValues(), 1250);
}

TEST_F(ScriptScenes, TheMessengerAppearsWalksToAMarkedNodeAndSpeaks) {
  g_pathNetwork.GenerateNodes(1);
  g_pathNetwork.ComputeCellKeys();
  g_pathNetwork.RebuildLinks(1, 0);
  ASSERT_GT(g_pathNetwork.count, 1);
  AddArea("Stones", 24, 24, 1, 24, 24, 1);
  Load(Event(1,
             "EventType=DIALOGUE\nSpeakingCharacter=Herald\nSpeakerName=Herald\nSpeechLocation=Stones\n"
             "Speech=A portal opens by the standing stone."));
  Fire(0);
  const ScriptActor* herald = g_scriptActors.FindByName("Herald");
  ASSERT_NE(herald, nullptr);
  EXPECT_EQ(herald->state, kActorAliveInBattle);
  const CCreature* messenger = g_creatureArray.InUse(herald->creature);
  ASSERT_NE(messenger, nullptr);
  EXPECT_EQ(messenger->typeNumber, 27);
  EXPECT_EQ(messenger->army, 0);  // Edric's
  EXPECT_LE(std::abs(messenger->cellX - 24) + std::abs(messenger->cellY - 24), 6);
  // It walks to a marked node (the top of its column) linked to where it entered the network.
  EXPECT_EQ(messenger->GetCurrentOrder(), ORDER_WALK_TO_POS);
  const int entry = messenger->nodeRoute.goal[5];
  ASSERT_GE(entry, 0);
  bool toLinkedTop = false;
  for (const CPathLink& link : g_pathNetwork.nodes[entry].links) {
    const CPathNode& node = g_pathNetwork.nodes[link.target];
    toLinkedTop |= link.Exists() && node.topOfColumn && node.x == messenger->orderState.goalX &&
                   node.y == messenger->orderState.goalY;
  }
  EXPECT_TRUE(toLinkedTop);
  EXPECT_TRUE(g_speechCtrl.IsActive());
  EXPECT_EQ(g_speechCtrl.request.text, "A portal opens by the standing stone.");
  EXPECT_EQ(g_speechCtrl.request.heading, "Herald");
  EXPECT_EQ(g_speechCtrl.request.argument, 0);
  int x, y, z;
  const_cast<CCreature*>(messenger)->CentrePoint(x, y, z);
  EXPECT_EQ(g_speechCtrl.request.x, x);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRunning);  // until the box is clicked away
  // Sent again, the first messenger leaves and a new one comes: there is one at a time.
  g_speechCtrl.Clear();
  g_script.Event(0).runState = kScriptArmed;
  Fire(0);
  int messengers = 0;
  g_creatureArray.ForEachInUse([&](CCreature& c) { messengers += c.typeNumber == 27; });
  EXPECT_EQ(messengers, 1);
  EXPECT_NE(g_creatureArray.InUse(g_scriptActors.FindByName("Herald")->creature), nullptr);
}

TEST_F(ScriptScenes, AnArtefactDeploymentPutsAnObjectDownWhereThePortalThenOpens) {
  // Two object types by hand: kind 5 carries four values.
  g_mapObjects.Reset();
  g_mapObjects.types.assign(6, CMapObjectType{});
  g_mapObjects.types[5] = CMapObjectType{7, 8, 9, 10, 1, kUsedByCreature, 1, 0};
  g_mapObjects.typeCount = 6;
  AddArea("Altar", 16, 16, 0, 16, 16, 0);
  Load(Event(1, "EventType=DEPLOYMENT\nDeployedArtefact=5\nDeploymentType=LOCATION\nDeploymentLocation=Altar") +
       Event(2, "EventType=PORTAL\nPortalPosition=ARTEFACT\nPortalArtefact=5\nPortalCountDown=300"));
  Fire(0);
  int x = 0, y = 0, z = 0;
  ASSERT_TRUE(FindMapObjectPosition(5, x, y, z));
  EXPECT_EQ(x, 16);
  EXPECT_EQ(y, 16);
  const CMapObject* object = g_mapObjects.InUse(g_map.CellAt(16, 16, 0).object);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->data[0], 7);
  EXPECT_EQ(object->data[3], 10);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRetired);
  Fire(1);
  const CEffect* portal = LastStartedOfKind(62);
  ASSERT_NE(portal, nullptr);
  EXPECT_EQ(portal->params[effect_word::kTargetX], 16 * 32 + 16);
  EXPECT_EQ(portal->params[effect_word::kValue], 300);
  g_mapObjects.Reset();
  g_mapObjects.types.clear();
  g_mapObjects.typeCount = 0;
}

}  // namespace
