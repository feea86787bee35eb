// The battle's part of a saved game: a loaded battle of the forged moorland saves and loads
// back byte for byte, save and load counting the same bytes; a truncated or corrupted block
// loads as -1 and leaves the battle as it was; the named list of experience awards; and a fight
// that goes the same way when left and fought again (a quick battle left through its results'
// Leave Battle too), with any amount of the view's work between its frames, or with a speech's
// glide during a pause at any frame rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PanelTestSupport.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSave.h"
#include "battle/BattleSystems.h"
#include "battle/NamedList.h"
#include "battle/QuickBattleEndScreen.h"
#include "battle/Script.h"
#include "battle/ScriptActors.h"
#include "core/Bytes.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/CreatureRoutes.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "graphics/BattleFacing.h"
#include "magic/EffectCreatures.h"
#include "magic/EffectManager.h"
#include "magic/EffectSounds.h"
#include "magic/EffectWorld.h"
#include "map/Map.h"
#include "map/MapCommands.h"
#include "map/MapView.h"
#include "map/PathNetwork.h"
#include "net/NetBattle.h"
#include "net/NetMachine.h"
#include "platform/AudioOutput.h"
#include "sound/SoundManager.h"
#include "support/TestSupport.h"
#include "ui/Screen.h"
#include "ui/SlidePanel.h"
#include "ui/SpeechCtrl.h"

using namespace panel_test;

namespace {

using Bytes = std::vector<uint8_t>;

struct CallerScreen : CScreen {
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
};

// A file in memory: what was written, read back.
Bytes Saved(const std::function<int(FILE*)>& save, int* count = nullptr) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::tmpfile(), std::fclose);
  const int written = save(file.get());
  if (count) *count = written;
  const long size = std::ftell(file.get());
  Bytes bytes(static_cast<size_t>(size > 0 ? size : 0));
  std::rewind(file.get());
  if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) bytes.clear();
  return bytes;
}

int Loaded(const std::function<int(FILE*)>& load, const Bytes& bytes) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::tmpfile(), std::fclose);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  std::rewind(file.get());
  return load(file.get());
}

class BattleSave : public PanelDisplay {
 protected:
  // The effect tables, spells, creature types and wizard look the game reads before a battle loads.
  void ReadTheGamesData() {
    ASSERT_TRUE(g_effectManager.ReadEffectsCfg() && g_effectManager.ReadEffectAniCfg());
    ASSERT_EQ(LoadSpells("cfg/spells.cfg", g_spellDefs), 1);
    ASSERT_EQ(ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes), 1);
    std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s", g_wizardAnimFiles[0][1]);
  }

  // The loaded battle becomes the running screen above the caller, its first frame drawn without graphics.
  void RunBattleAsCurrentScreen() {
    g_battle = &battle_;
    g_screenStack[2] = &battle_;
    g_screenCount = 2;
    g_currentScreen = &battle_;
    g_skipThisFrame = 1;
    battle_.loaded = 1;
    battle_.graphicsFreed = 1;
  }

  void SetUp() override {
    PanelDisplay::SetUp();
    data_ = std::make_unique<testing_support::ForgedDataCopy>();
    std::memcpy(savedFile_, g_realmFile, sizeof savedFile_);
    std::memcpy(savedName_, g_realmName, sizeof savedName_);
    std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
    std::snprintf(g_realmName, sizeof g_realmName, "%s", "moorland");
    ResetScreenStack();
    g_screenStack[1] = &caller_;
    g_screenCount = 1;
    g_currentScreen = &caller_;
    g_gameMode = kGameModeDirect;
    g_battleSetup = CBattleSetup{1, 4242, 4242, 1, 1, 0};
    ASSERT_TRUE(LoadBattle(battle_));
    GetNamedList()->Clear();
    // State of a battle under way beyond what loading leaves.
    BattleState().gameTick = 777;
    for (int i = 0; i < 37; ++i) g_battleRandom.Next();
    for (int i = 0; i < 5; ++i) g_aiRandom.Next();
    GetNamedList()->Add(250, "Defeated the Bog Troll", -1);
    GetNamedList()->Add(1000, "Freed the village", 12);
    for (int index : {5, 900, 33}) battle_.cellQueue.push_back(g_map.CellPointerFromIndex(index));
    battle_.nextManaRegenTick = 3777;
    g_map.manaSpriteSites.push_back(CManaSite{2, 3, 1});
    battle_.timedBattle = 1;
    g_battleClock = 540;
  }
  void TearDown() override {
    g_activeAI = 1;  // a test may have stopped the computer players
    battle_.Exit();
    g_progressBar.Release();
    g_mapView.SetMap(nullptr);
    g_map.Clear();
    g_armyTable.ResetAll();
    ClearWizardSites();
    ResetScreenStack();
    GetNamedList()->Clear();
    std::memcpy(g_realmFile, savedFile_, sizeof savedFile_);
    std::memcpy(g_realmName, savedName_, sizeof savedName_);
    g_gameMode = 0;
    g_battleSetup = CBattleSetup{};
    g_battleClock = -1;
    g_useNodeMap = useNodeMap_;
    data_.reset();
    PanelDisplay::TearDown();
  }
  Bytes Save(int* count = nullptr) {
    return Saved([this](FILE* file) { return battle_.SaveState(file); }, count);
  }
  int Load(const Bytes& bytes) {
    return Loaded([this](FILE* file) { return battle_.LoadState(file); }, bytes);
  }
  // Where the rows after the map begin: the map path, the counters, the named list, the tick
  // and the map.
  size_t AfterMap() const {
    const Bytes map = Saved([](FILE* file) { return g_map.Save(file); });
    return 256 + 16 + 4 + 264 * static_cast<size_t>(GetNamedList()->count) + 4 + map.size();
  }
  // The rows after the script, from the end: the regeneration tick, both generators, the
  // mana sites, the clock, the timed flag, the players' timing, the pause and the speech, and
  // the route search.
  size_t TailRow(const Bytes& block, int row) const {
    const size_t sites = 4 + 12 * g_map.manaSpriteSites.size();
    const size_t random = 8 + 4 * CRandom::kStateWords;
    const size_t search = block.size() - Saved([](FILE* file) { return SavePendingRouteSearch(file); }).size();
    if (row == 28) return search;
    const size_t pause = search - kPauseAndSpeechBytes;
    if (row == 27) return pause;
    const size_t timing = pause - static_cast<size_t>(BattleTimingBytes());
    if (row == 26) return timing;
    const size_t timed = timing - 4, clock = timed - 4, siteCount = clock - sites, aiRandom = siteCount - random,
                 battleRandom = aiRandom - random, regen = battleRandom - 4;
    switch (row) {
      case 20:
        return regen;
      case 21:
        return battleRandom;
      case 22:
        return aiRandom;
      case 23:
        return siteCount;
      case 24:
        return clock;
      default:
        return timed;
    }
  }

  CallerScreen caller_;
  CBattle battle_;
  std::unique_ptr<testing_support::ForgedDataCopy> data_;
  char savedFile_[256] = {}, savedName_[256] = {};
  int useNodeMap_ = g_useNodeMap;
};

TEST_F(BattleSave, ABattleUnderWayRoundTripsByteForByte) {
  int written = 0;
  const Bytes block = Save(&written);
  ASSERT_GT(written, 0);
  EXPECT_EQ(static_cast<size_t>(written), block.size());
  const uint32_t randomA = g_battleRandom.Next(), randomB = g_aiRandom.Next();

  // The battle moves on, then the block brings it back.
  BattleState().gameTick = 5;
  for (int i = 0; i < 11; ++i) g_battleRandom.Next();
  GetNamedList()->Clear();
  battle_.cellQueue.clear();
  battle_.nextManaRegenTick = 1;
  battle_.timedBattle = 0;
  g_battleClock = -1;
  const auto sites = g_map.manaSpriteSites;
  g_map.manaSpriteSites.clear();
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(Load(block), written);
  EXPECT_EQ(boxes.Count(), 0u);

  EXPECT_EQ(BattleState().gameTick, 777);
  ASSERT_EQ(GetNamedList()->count, 2);
  EXPECT_STREQ(GetNamedList()->At(1)->name, "Freed the village");
  EXPECT_EQ(GetNamedList()->At(1)->item, 12);
  EXPECT_EQ(GetNamedList()->SumValues(), 1250);
  ASSERT_EQ(battle_.cellQueue.size(), 3u);
  EXPECT_EQ(g_map.CellIndexFromPointer(battle_.cellQueue[1]), 900);
  EXPECT_EQ(battle_.nextManaRegenTick, 3777u);
  EXPECT_EQ(battle_.timedBattle, 1);
  EXPECT_EQ(g_battleClock, 540);
  ASSERT_EQ(g_map.manaSpriteSites.size(), sites.size());
  EXPECT_EQ(g_map.manaSpriteSites.back().y, 3);
  // Both generators go on drawing as they would have.
  EXPECT_EQ(g_battleRandom.Next(), randomA);
  EXPECT_EQ(g_aiRandom.Next(), randomB);
  // Drawn once more each since the save: back to the saved state, the same bytes again.
  EXPECT_EQ(Load(block), written);
  EXPECT_EQ(Save(), block);
}

TEST_F(BattleSave, ABrokenBlockLoadsAsMinusOneAndLeavesTheBattleAsItWas) {
  const Bytes block = Save();
  const size_t cellQueue = AfterMap() + 4;
  ASSERT_EQ(bytes::LoadI32(&block[cellQueue]), 3);
  struct Case {
    const char* what;
    size_t at;
    int32_t word;  // written at `at`
  };
  const Case corrupt[] = {
      {"tick below 0", 256 + 16 + 4 + 264 * 2, -1},
      {"cells queued beyond the map", cellQueue, g_map.cellCount + 1},
      {"a queued cell off the map", cellQueue + 8, g_map.cellCount},
      {"a queued cell below 0", cellQueue + 4, -1},
      {"generator index 250", TailRow(block, 21), 250},
      {"AI generator index -1", TailRow(block, 22) + 4, -1},
      {"a mana site beyond the map", TailRow(block, 23) + 4, 100000},
      {"too many mana sites", TailRow(block, 23), kMaxManaSites + 1},
      {"clock -2", TailRow(block, 24), -2},
      {"timed flag 2", TailRow(block, 25), 2},
      {"paused 2", TailRow(block, 27), 2},
      {"a speech of phase 3", TailRow(block, 27) + 4, 3},
      {"a speech of no dialogue", TailRow(block, 27) + 4, kSpeechShowing},
      {"no speech with a record", TailRow(block, 27) + 8, 0},
      {"route search flag 2", TailRow(block, 28), 2},
      {"named list of a million entries", 256 + 16, 1000000},
  };
  // The running battle is another than the one saved: what a failure must leave in place.
  BattleState().gameTick = 901;
  g_battleRandom.Next();
  GetNamedList()->Add(5, "later", -1);
  const Bytes running = Save();
  ASSERT_NE(running, block);
  auto expectUnchanged = [&](const std::string& what) {
    EXPECT_EQ(Save(), running) << what;
    EXPECT_EQ(BattleState().gameTick, 901) << what;
  };
  for (const Case& c : corrupt) {
    Bytes bad = block;
    ASSERT_LT(c.at + 4, bad.size() + 1) << c.what;
    bytes::StoreI32(&bad[c.at], c.word);
    EXPECT_EQ(Load(bad), -1) << c.what;
    expectUnchanged(c.what);
  }
  for (size_t length : {size_t{0}, size_t{100}, size_t{270}, AfterMap() - 10, cellQueue + 6, block.size() / 2,
                        TailRow(block, 21) + 500, block.size() - 1}) {
    EXPECT_EQ(Load(Bytes(block.begin(), block.begin() + static_cast<long>(length))), -1) << length;
    expectUnchanged("truncated at " + std::to_string(length));
  }
  // A map path that is not terminated, or names no map: the terrain is never looked for in
  // the first case and missing in the second.
  Bytes unterminated = block;
  std::memset(unterminated.data(), 'm', 256);
  EXPECT_EQ(Load(unterminated), -1);
  expectUnchanged("unterminated path");
  Bytes nowhere = block;
  std::snprintf(reinterpret_cast<char*>(nowhere.data()), 256, "%s", "maps\\nowhere");
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(Load(nowhere), -1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "failed to load terrain.");
  expectUnchanged("missing terrain");
}

TEST_F(BattleSave, TheLevelCountIsKeptToThreeAndAGameWithoutPathNetworkLoadsWithoutOne) {
  g_useNodeMap = 0;
  Bytes block = Save();
  EXPECT_EQ(g_pathNetwork.count, 0);
  bytes::StoreI32(&block[AfterMap()], 7);
  g_useNodeMap = 1;
  ASSERT_GT(Load(block), 0);
  EXPECT_EQ(g_mapView.flagLevelCount, 3);
  EXPECT_EQ(g_useNodeMap, 0);
  EXPECT_EQ(g_pathNetwork.count, 0);
}

// Creatures that draw from the battle's generator each tick and keep what they drew, saved
// with the battle in the script's row: a loaded battle that went on otherwise draws as it
// would have only when its generators, tick and creatures all came back.
struct DrawingCreatures : IBattleSystems, IBattleSaveParts {
  uint32_t state = 1;
  void UpdateCreatures() override { state = state * 31 + g_battleRandom.Next() % 1000; }
  uint32_t CreatureStateHash() override { return state; }
  void UpdateAI(int, int) override { g_aiRandom.Next(); }
  int SaveScript(FILE* file) override { return bytes::WriteU32(file, state) ? 4 : -1; }
  int LoadScript(FILE* file) override { return bytes::ReadU32(file, state) ? 4 : -1; }
};

TEST_F(BattleSave, ALoadedBattleGoesOnAsOneNeverSaved) {
  DrawingCreatures creatures;
  InstallBattle();
  HookScope<IBattleSystems> systems(g_battleSystems, creatures);
  HookScope<IBattleSaveParts> parts(g_battleSaveParts, creatures);
  CBattle* before = g_battle;
  RunBattleAsCurrentScreen();
  ASSERT_TRUE(StartSinglePlayerNet("Edric"));
  // What each frame leaves: the tick, the pause, both generators and the creatures.
  auto frames = [&](int n, int pauseAt = -1, int resumeAt = -1) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) {
      if (i == pauseAt || i == resumeAt) battle_.RequestPause();
      battle_.Update();
      char line[96];
      std::snprintf(line, sizeof line, "tick %d paused %d random %u ai %u creatures %08x", BattleState().gameTick,
                    battle_.paused, g_battleRandom.state[g_battleRandom.indexA], g_aiRandom.state[g_aiRandom.indexA],
                    creatures.state);
      lines.push_back(line);
    }
    return lines;
  };
  const Bytes start = Save();
  // The player pauses at frame 20 and goes on at frame 30.
  const std::vector<std::string> never = frames(50, 20, 30);

  // Again from the start: saved at frame 25 (paused), on otherwise for a while, loaded, and on
  // to 50; the pause comes back with the block.
  ASSERT_GT(Load(start), 0);
  const std::vector<std::string> first = frames(25, 20, 30);
  ASSERT_EQ(first, std::vector<std::string>(never.begin(), never.begin() + 25));
  const Bytes atFrame25 = Save();
  frames(12, 3);  // the pause ends early
  ASSERT_GT(Load(atFrame25), 0);
  EXPECT_EQ(battle_.paused, 1);
  const std::vector<std::string> rest = frames(25, -1, 5);
  EXPECT_EQ(rest, std::vector<std::string>(never.begin() + 25, never.end()));

  EndNetBattle();
  UninstallBattle();
  g_skipThisFrame = 0;
  g_battle = before;
}

TEST(NamedList, EntriesGrowByTenAndSaveAs264BytesEach) {
  CNamedList list;
  list.Init();
  EXPECT_EQ(list.spare, 10);
  int written = 0;
  EXPECT_EQ(Saved([&](FILE* file) { return list.Save(file); }, &written), Bytes(4, 0));
  EXPECT_EQ(written, 4);
  const std::string longName(300, 'n');
  for (int i = 0; i < 12; ++i) list.Add(i * 10, i == 11 ? longName.c_str() : "award", i == 3 ? 7 : -1);
  EXPECT_EQ(list.count, 12);
  EXPECT_EQ(list.spare, 8);
  EXPECT_EQ(list.SumValues(), 660);
  EXPECT_EQ(list.At(12), nullptr);
  EXPECT_EQ(list.At(-1), nullptr);
  EXPECT_EQ(std::strlen(list.At(11)->name), 255u);
  const Bytes block = Saved([&](FILE* file) { return list.Save(file); }, &written);
  EXPECT_EQ(written, 4 + 264 * 12);
  EXPECT_EQ(block.size(), static_cast<size_t>(written));

  CNamedList copy;
  copy.Init();
  copy.Add(1, "old", -1);
  EXPECT_EQ(Loaded([&](FILE* file) { return copy.Load(file); }, block), written);
  ASSERT_EQ(copy.count, 12);
  EXPECT_EQ(copy.At(3)->item, 7);
  EXPECT_EQ(Saved([&](FILE* file) { return copy.Save(file); }), block);
  // An empty list, and a negative count, load back empty from their count word.
  EXPECT_EQ(Loaded([&](FILE* file) { return copy.Load(file); }, Bytes{0xFF, 0xFF, 0xFF, 0xFF}), 4);
  EXPECT_EQ(copy.count, 0);
  // Truncated, or a name without its end: refused, the list as it was.
  copy.Add(3, "kept", -1);
  Bytes cut(block.begin(), block.end() - 1);
  EXPECT_EQ(Loaded([&](FILE* file) { return copy.Load(file); }, cut), -1);
  Bytes endless = block;
  std::memset(&endless[8], 'x', 256);
  EXPECT_EQ(Loaded([&](FILE* file) { return copy.Load(file); }, endless), -1);
  ASSERT_EQ(copy.count, 1);
  EXPECT_STREQ(copy.At(0)->name, "kept");
  list.Clear();
  EXPECT_EQ(list.spare, 20);
  list.Free();
  EXPECT_EQ(list.spare, 0);
}

// Effects make no sound in the tests.
struct QuietSounds : IEffectSounds {
  void PlayAt(int, int, int, CSoundInstance**, int) override {}
  void PlaySpellCastSound(int, int, int) override {}
  void UpdateLoopPosition(CSoundInstance*, int, int) override {}
  void PlayUnpositioned(int, CSoundInstance**, int) override {}
};

// A free standing place near a cell for a creature of a type: its slot, or -1.
int PlaceNear(int type, int army, int x, int y) {
  const CCreatureType& record = g_creatureTypes[type];
  CMoveQuery query;
  query.height = record.TileHeight;
  query.size = record.TileSizeXY;
  query.airborne = record.CanFly;
  query.movementKind = record.SwimmingAbility;
  query.typeIndex = type;
  CCreature* creature = g_creatureArray.FindFree();
  if (!creature) return -1;
  for (int level = 0; level < g_map.levels; ++level) {
    int px = x, py = y, pz = level;
    if (!g_map.FindFreePositionNear(-1, query, px, py, pz)) continue;
    creature->Reset(creature->index);
    creature->SetPosition(px, py, pz, type);
    creature->InitFromType(type, army);
    return creature->index;
  }
  return -1;
}

// A frame's trace without the computer players' generator word. Nothing of the computer players
// is saved: a loaded battle starts them afresh, so from the load on their choices, and the
// draws they make, may differ from a battle never saved, while the battle itself goes on the same.
std::string WithoutAIWord(std::string line) {
  const size_t from = line.find(" ai "), to = line.find(" creatures ");
  if (from != std::string::npos && to != std::string::npos && to > from) line.erase(from, to - from);
  return line;
}

// The battle's state after a frame, as far as a trace of it shows: the tick, both generators,
// the creatures' hash and every creature's place, health and order, every active effect.
std::string TraceOfFrame() {
  char line[160];
  std::snprintf(line, sizeof line, "tick %d random %u ai %u creatures %d hash %08x", BattleState().gameTick,
                g_battleRandom.state[g_battleRandom.indexA], g_aiRandom.state[g_aiRandom.indexA],
                BattleSystems().CreaturesInUse(), BattleSystems().CreatureStateHash());
  std::string text = line;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    std::snprintf(line, sizeof line, " c%d@%d,%d,%d h%d o%d a%d", c.index, c.unitX, c.unitY, c.unitZ, c.health, c.order,
                  c.animState);
    text += line;
  });
  for (int i = 0; i < g_effectManager.Count(); ++i) {
    const CEffect& e = *g_effectManager.At(i);
    if (!e.active) continue;
    std::snprintf(line, sizeof line, " e%d k%d %d,%d,%d", i, e.kind, e.x, e.y, e.z);
    text += line;
  }
  return text;
}

// The path network as its block of the saved game has it, as one word: its nodes and links,
// the queue of checks and the check under way.
std::string PathNetworkDigest() {
  uint32_t hash = 2166136261u;
  for (uint8_t byte : Saved([](FILE* file) { return g_pathNetwork.Save(file); })) hash = (hash ^ byte) * 16777619u;
  char word[32];
  std::snprintf(word, sizeof word, " paths %08x", hash);
  return word;
}

// The block without the segment pool, whose bolts fork by the view's own generator: what
// the battle shows, never what it does.
Bytes WithoutSegments(const Bytes& block, size_t afterMap) {
  // A save that came out short fails the test here instead of being read past its end.
  const auto countAt = [&](size_t at) -> int32_t {
    const int32_t count = at + 4 <= block.size() ? bytes::LoadI32(&block[at]) : -1;
    if (count < 0) ADD_FAILURE() << "no count at byte " << at << " of a " << block.size() << "-byte block";
    return count;
  };
  const size_t queue = afterMap + 4;
  const int32_t queued = countAt(queue);
  if (queued < 0) return {};
  const size_t segments = queue + 4 + 4 * static_cast<size_t>(queued);
  const int32_t segmentCount = countAt(segments);
  if (segmentCount < 0) return {};
  const size_t segmentBytes = 4 + 40 * static_cast<size_t>(segmentCount);
  if (segments + segmentBytes > block.size()) {
    ADD_FAILURE() << "the segments run past the end of the block";
    return {};
  }
  Bytes rest(block.begin(), block.begin() + static_cast<long>(segments));
  rest.insert(rest.end(), block.begin() + static_cast<long>(segments + segmentBytes), block.end());
  return rest;
}

// A fight on the forged moorland: two armies at each other's throats, a wizard whose missiles
// go out as frame commands, and a walker whose long route search runs over three frames.
class BattleFight : public BattleSave {
 protected:
  static constexpr int kMissileSpell = 8;

  void SetUp() override {
    BattleSave::SetUp();
    if (HasFatalFailure()) return;
    // The battle again with the game's data read, as the game has it when a battle loads.
    ASSERT_NO_FATAL_FAILURE(ReadTheGamesData());
    before_ = g_battle;
    ASSERT_NO_FATAL_FAILURE(StartFight());
  }
  // Loads the battle and sets the fight up; wrap in ASSERT_NO_FATAL_FAILURE.
  void StartFight() {
    battle_.ClearCellQueue();  // the fixture's cells were the first map's
    ASSERT_TRUE(LoadBattle(battle_));
    g_script.Clear();  // the fight alone, without the region's story
    InstallBattle();
    InstallCreatures();
    InstallEffectCreatures();
    RunBattleAsCurrentScreen();
    // As the battle's screen starts when it comes on: its frames from the first, and no leaving
    // asked for by the battle before.
    battle_.frameNumber = 0;
    battle_.quitRequested = 0;
    ASSERT_TRUE(StartSinglePlayerNet("Edric"));
    battle_.paused = 0;

    for (int army : {1, 2}) {
      CArmy& record = g_armyTable.armies[army];
      record.inUse = 1;
      std::snprintf(record.name, sizeof record.name, "army%d", army);
      record.SetRelationToAll(0);
    }
    cx_ = g_map.width / 2;
    cy_ = g_map.height / 2;
    red_.clear();
    blue_.clear();
    for (int i = 0; i < 4; ++i) {
      red_.push_back(PlaceNear(3 + i, 1, cx_ - 3, cy_ + 2 * i));
      blue_.push_back(PlaceNear(8 + i, 2, cx_ + 3, cy_ + 2 * i));
    }
    wizard_ = PlaceNear(0, 1, cx_ - 8, cy_);
    walker_ = PlaceNear(13, 1, cx_ - 12, cy_ - 10);
    ASSERT_GE(walker_, 0);
    for (int slot : red_) ASSERT_GE(slot, 0);
    for (int slot : blue_) ASSERT_GE(slot, 0);
    ASSERT_GE(wizard_, 0);
    CCreature& w = *g_creatureArray.At(wizard_);
    g_armyTable.armies[1].wizardCreature = wizard_;
    w.SetMaxMana(1000);
    w.AddMana(1000 * 256);
    for (int i = 0; i < 4; ++i) {
      g_creatureArray.At(red_[static_cast<size_t>(i)])->AttackCreature(blue_[static_cast<size_t>(i)]);
      g_creatureArray.At(blue_[static_cast<size_t>(i)])->AttackCreature(red_[static_cast<size_t>((i + 1) % 4)]);
    }
  }
  void TearDown() override {
    EndNetBattle();
    g_effectWorld.Install(nullptr);
    UninstallBattle();
    g_skipThisFrame = 0;
    g_battle = before_;
    g_effectManager.Reset();
    g_creatureArray.ReleaseAll();
    for (auto& set : g_creatureTypeAnims) set.reset();
    BattleSave::TearDown();
  }

  // Frames that run the battle on by one tick each (a frame whose network frame is not ready
  // yet retries without one), with the trace of each tick; while casting, the missiles go out
  // at frames 6, 16 and 19, each at a blue creature, and the walker sets off at frame 22.
  // afterFrame runs after every tick.
  std::vector<std::string> Frames(int from, int to, bool casting, const std::function<void()>& afterFrame = {}) {
    std::vector<std::string> lines;
    for (int frame = from; frame < to; ++frame) {
      if (casting && (frame == 6 || frame == 16 || frame == 19)) Cast(blue_[static_cast<size_t>(frame % 4)]);
      if (casting && frame == 22) g_creatureArray.At(walker_)->WalkTo(cx_ + 14, cy_ + 12, 0);
      const int tick = BattleState().gameTick;
      for (int tries = 0; tries < 4 && BattleState().gameTick == tick; ++tries) battle_.Update();
      lines.push_back(TraceOfFrame());
      if (afterFrame) afterFrame();
    }
    return lines;
  }
  void Cast(int target) {
    const CCreature& t = *g_creatureArray.At(target);
    g_netClient.AddMessage(MakeCastSpellCommand(kMissileSpell, t.unitX + 16, t.unitY + 16, t.unitZ, wizard_, target));
  }

  QuietSounds sounds_;
  HookScope<IEffectSounds> soundScope_{g_effectSounds, sounds_};
  std::vector<int> red_, blue_;
  int wizard_ = -1, walker_ = -1, cx_ = 0, cy_ = 0;
  CBattle* before_ = nullptr;
};

// Saved at frame 24 and loaded after the battle went on otherwise for a while, the fight
// reaches frame 80 with the same trace, frame by frame, and the same block as one never saved.
TEST_F(BattleFight, AFightSavedMidwayGoesOnAsOneNeverSaved) {
  constexpr int kSaveFrame = 24, kLastFrame = 80;
  constexpr int kPathMarkerEffects = 100;  // effect slots 0-99 mark the creatures' paths
  const Bytes start = Save();
  const std::vector<std::string> never = Frames(0, kLastFrame, true);
  const Bytes neverEnd = WithoutSegments(Save(), AfterMap());

  // Again from the start: saved at frame 24, on otherwise for a while, loaded, and on to 80.
  ASSERT_GT(Load(start), 0);
  const std::vector<std::string> first = Frames(0, kSaveFrame, true);
  for (int i = 0; i < kSaveFrame; ++i)
    ASSERT_EQ(first[static_cast<size_t>(i)], never[static_cast<size_t>(i)]) << "frame " << i;
  int inFlight = 0;
  for (int i = kPathMarkerEffects; i < g_effectManager.Count(); ++i) inFlight += g_effectManager.At(i)->active;
  EXPECT_GT(inFlight, 0);
  EXPECT_EQ(g_creatureArray.searchPending, 1);
  const Bytes atSave = Save();
  Frames(0, 9, false);
  ASSERT_GT(Load(atSave), 0);
  const std::vector<std::string> rest = Frames(kSaveFrame, kLastFrame, false);
  for (int i = 0; i < kLastFrame - kSaveFrame; ++i)
    ASSERT_EQ(WithoutAIWord(rest[static_cast<size_t>(i)]), WithoutAIWord(never[static_cast<size_t>(kSaveFrame + i)]))
        << "frame " << kSaveFrame + i;
  EXPECT_EQ(WithoutSegments(Save(), AfterMap()), neverEnd);
  // The fight was a fight: blows were struck.
  EXPECT_NE(never.front().substr(never.front().find("hash")), never.back().substr(never.back().find("hash")));
}

// A fight left and fought again in the same process, with the same seeds, goes the same way
// frame by frame: nothing of the first reaches the second.
TEST_F(BattleFight, AFightLeftAndFoughtAgainGoesTheSameWay) {
  // Each fight after a battle left, as in the game (the fixture's first load had no battle before it).
  auto leaveAndFight = [&] {
    battle_.Exit();
    EndNetBattle();
    StartFight();
    return Frames(0, 60, true);
  };
  const std::vector<std::string> first = leaveAndFight();
  ASSERT_FALSE(HasFatalFailure());
  const std::vector<std::string> again = leaveAndFight();
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(again.size(), first.size());
  for (size_t i = 0; i < first.size(); ++i) ASSERT_EQ(again[i], first[i]) << "frame " << i;
  EXPECT_NE(first.front().substr(first.front().find("hash")), first.back().substr(first.back().find("hash")));
}

// A quick battle left by its player, as in the game: Escape puts the results up over the
// battle, which runs on underneath, and Leave Battle closes them and then the battle. Loaded
// again with the same seeds, the second fight traces as the first, line for line.
TEST_F(BattleFight, AQuickBattleLeftByItsPlayerAndFoughtAgainGoesTheSameWay) {
  struct QuickBattle {
    int saved = std::exchange(g_gameMode, kGameModeQuickBattle);
    ~QuickBattle() { g_gameMode = saved; }
  } quickBattle;
  auto fightAndLeave = [&] {
    std::vector<std::string> lines = Frames(0, 60, true);
    battle_.OnMessage(nullptr, platform::WM_KEYDOWN, platform::VK_ESCAPE, 0);
    CQuickBattleEndScreen& results = QuickBattleEndScreen();
    EXPECT_EQ(g_currentScreen, &results);
    // Under the results the battle goes on: its ticks are the fight's too.
    for (int frame = 0; frame < 5; ++frame) {
      const int tick = BattleState().gameTick;
      results.Update();
      if (BattleState().gameTick != tick) lines.push_back(TraceOfFrame());
    }
    results.OnButton(2);  // Leave Battle
    for (int frame = 0; frame < 4 && (g_currentScreen == &results || g_currentScreen == &battle_); ++frame)
      g_currentScreen->Update();
    EXPECT_NE(g_currentScreen, &battle_);
    EXPECT_NE(g_currentScreen, &results);
    return lines;
  };
  // The fixture's battle fought and left first: the fights compared each come after a battle
  // left (the fixture's own load had none before it).
  fightAndLeave();
  ASSERT_NO_FATAL_FAILURE(StartFight());  // the hand-over loads the battle with the same set-up
  const std::vector<std::string> first = fightAndLeave();
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_NO_FATAL_FAILURE(StartFight());
  const std::vector<std::string> again = fightAndLeave();
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_GT(first.size(), 60u);
  EXPECT_EQ(first.back().rfind("tick " + std::to_string(first.size()) + " ", 0), 0u) << first.back().substr(0, 12);
  ASSERT_EQ(again.size(), first.size());
  for (size_t i = 0; i < first.size(); ++i) ASSERT_EQ(again[i], first[i]) << "tick " << i;
  EXPECT_NE(first.front().substr(first.front().find("hash")), first.back().substr(first.back().find("hash")));
  RunBattleAsCurrentScreen();  // for the fixture's end
}

// A speech while the fight goes on: the battle pauses for it, the camera glides to a speaker on
// the far side of the map, the box is clicked away, the camera glides back and the battle goes
// on. What this machine's frame rate changes (the frame period, the pacer skipping the drawing
// of every other frame when the machine cannot keep sixty a second, how many paused frames the
// glide at the player's dialogue speed takes) reaches neither the paused battle nor the fight
// after it: both runs trace the same, tick by tick, line for line.
TEST_F(BattleFight, ASpeechsLongGlideAtTenOrSixtyFramesASecondLeavesTheSameFight) {
  constexpr int kSpeechTick = 24, kLastTick = 70, kMostPausedFrames = 4000;
  struct Pacing {
    int framesPerSecond, dialogSpeed;
    bool skipEveryOtherDrawing;
  };
  struct Run {
    std::vector<std::string> ticks;  // the trace of every tick, the speech's among them
    int pausedFrames = 0;
  };
  const CPreferences savedPrefs = g_prefs;
  // The path network in use, as the forged options have it: the speech's pause is its time.
  struct NodeMapOn {
    int saved = std::exchange(g_useNodeMap, 1);
    ~NodeMapOn() { g_useNodeMap = saved; }
  } nodeMapOn;
  auto fight = [&](const Pacing& pacing) {
    Run run;
    g_prefs.maxFramesPerSec = pacing.framesPerSecond;
    g_prefs.framePeriod = 1000 / pacing.framesPerSecond;
    g_prefs.dialogSpeed = pacing.dialogSpeed;
    battle_.Exit();
    EndNetBattle();
    g_speechCtrl.Clear();
    StartFight();
    std::vector<std::string> paths;
    run.ticks = Frames(0, kSpeechTick, true, [&] { paths.push_back(PathNetworkDigest()); });
    for (size_t i = 0; i < run.ticks.size(); ++i) run.ticks[i] += paths[i];
    // Cells changed at every node just before the speech (as doors shut or walls raised report
    // them): more checks than the shorter pause's frames would work off ten updates at a time.
    for (int n = 0; n < g_pathNetwork.count; ++n) {
      const CPathNode& node = g_pathNetwork.nodes[static_cast<size_t>(n)];
      g_pathNetwork.OnCellChanged(node.x, node.y, node.level, 0);
    }
    EXPECT_TRUE(g_pathNetwork.HasPendingChecks());
    // The speaker stands half the map away: the longest glide there is.
    SpeechRequest request;
    request.x = ((cx_ + g_map.width / 2) % g_map.width) * 32, request.y = cy_ * 32, request.level = 0;
    g_speechCtrl.Say(request, false, true);
    // The pause goes as a frame command: the frame that runs it may tick first.
    auto traceTick = [&](const std::function<void()>& frame) {
      const int tick = BattleState().gameTick;
      frame();
      if (BattleState().gameTick != tick) run.ticks.push_back(TraceOfFrame() + PathNetworkDigest());
    };
    const int skipBefore = g_skipThisFrame;
    for (int frame = 0; frame < kMostPausedFrames && g_speechCtrl.IsActive(); ++frame) {
      // The box clicked away once it waits; the camera goes back as the script would send it.
      if (g_speechCtrl.IsWaiting()) {
        g_speechCtrl.OnMouse(MF_LEFT_DOWN, CMouseEvent{});
        g_speechCtrl.ReturnCamera();
      }
      g_skipThisFrame = pacing.skipEveryOtherDrawing && frame % 2 == 1 ? 1 : 0;
      traceTick([&] { battle_.Update(); });
      run.pausedFrames += battle_.paused;
      // A paused battle stands: the same creatures and effects as when it stopped.
      const std::string standing = run.ticks.back().substr(0, run.ticks.back().find(" paths "));
      if (battle_.paused && TraceOfFrame() != standing) {
        ADD_FAILURE() << "paused frame " << frame << " moved the battle: " << TraceOfFrame();
        break;
      }
    }
    g_skipThisFrame = skipBefore;
    EXPECT_FALSE(g_speechCtrl.IsActive());
    // The end of the pause goes as a frame command too.
    for (int frame = 0; frame < 4 && battle_.paused; ++frame) traceTick([&] { battle_.Update(); });
    EXPECT_EQ(battle_.paused, 0);
    paths.clear();
    std::vector<std::string> after =
        Frames(static_cast<int>(run.ticks.size()), kLastTick, true, [&] { paths.push_back(PathNetworkDigest()); });
    for (size_t i = 0; i < after.size(); ++i) run.ticks.push_back(after[i] + paths[i]);
    return run;
  };
  const Run slow = fight({10, 2, false});
  ASSERT_FALSE(HasFatalFailure());
  const Run fast = fight({60, 0, true});
  ASSERT_FALSE(HasFatalFailure());
  g_prefs = savedPrefs;
  // The two glides took different numbers of paused frames: the view's work differed.
  EXPECT_GT(slow.pausedFrames, 10);
  EXPECT_GT(fast.pausedFrames, slow.pausedFrames);
  ASSERT_EQ(fast.ticks.size(), slow.ticks.size());
  for (size_t i = 0; i < slow.ticks.size(); ++i) ASSERT_EQ(fast.ticks[i], slow.ticks[i]) << "tick " << i;
  EXPECT_NE(slow.ticks.front().substr(slow.ticks.front().find("hash")),
            slow.ticks.back().substr(slow.ticks.back().find("hash")));
}

// A slide panel that draws nothing: only its way in, its stay and its way out.
struct BlankSlide : CSlidePanel {
  BlankSlide() : CSlidePanel(100, 100, 120, 80) {}
  void Draw() override {}
};

// The map view's looping sounds on a manager that mixes by hand: ambient effects of group 3
// in view, so that each update of the view may pick the group's extra sound.
class ViewSounds {
 public:
  ViewSounds() {
    platform::SetManualAudioOutput(true);
    manager_ = std::make_unique<CSoundManager>();
    started = manager_->Init(nullptr, nullptr, (testing_support::ForgedDataDir() + "/Sounds").c_str()) == 0 &&
              manager_->LoadLevelSounds(1) == 0;
    g_mapView.StopSounds();
    g_mapView.waterCellCount = g_mapView.effectGroup1Count = g_mapView.effectGroup2Count = 0;
    g_mapView.soundCreatureCount = 0;
    g_mapView.effectGroup3Count = 40;
  }
  ~ViewSounds() {
    g_mapView.StopSounds();
    g_mapView.effectGroup3Count = 0;
    manager_.reset();
    platform::SetManualAudioOutput(false);
  }
  ViewSounds(const ViewSounds&) = delete;
  ViewSounds& operator=(const ViewSounds&) = delete;
  bool started = false;

 private:
  std::unique_ptr<CSoundManager> manager_;
};

// How often this machine updates its view (its frame rate, the frames it skips), plays the
// map view's sounds or slides panels in and out is its own business: the fight goes the same
// way, and the front end's generator, from which the campaign and the set-up screens draw the
// next battle's seeds, ends where it would have ended without any of it.
TEST_F(BattleFight, TheViewsWorkChangesNeitherTheFightNorTheNextBattlesSeeds) {
  ViewSounds viewSounds;
  ASSERT_TRUE(viewSounds.started);
  const Bytes start = Save();
  struct Run {
    std::vector<std::string> trace;
    uint32_t nextSeed = 0, nextLook = 0;
  };
  auto fight = [&](int viewUpdatesPerTick) {
    Run run;
    EXPECT_GT(Load(start), 0);
    g_random.Seed(2027);
    g_viewRandom.Seed(2027);
    auto slide = std::make_unique<BlankSlide>();
    run.trace = Frames(0, 40, true, [&] {
      for (int i = 0; i < viewUpdatesPerTick; ++i) {
        g_mapView.UpdateSounds();
        if (!slide->Step()) slide = std::make_unique<BlankSlide>();
      }
    });
    run.nextSeed = g_random.Next();
    run.nextLook = g_viewRandom.Next();
    return run;
  };
  const Run none = fight(0), one = fight(1), six = fight(6);
  EXPECT_NE(one.nextLook, six.nextLook);  // the view did draw, more often at six updates a tick
  for (const Run* run : {&one, &six}) {
    EXPECT_EQ(run->nextSeed, none.nextSeed);
    ASSERT_EQ(run->trace.size(), none.trace.size());
    for (size_t i = 0; i < none.trace.size(); ++i) ASSERT_EQ(run->trace[i], none.trace[i]) << "frame " << i;
  }
}

// The saved game's parts of a campaign battle in one file, in the saved game's order: the
// wizard records (which wizard numbers are taken), the script's characters and flags, and the
// battle's block.
Bytes SavedWithScript(CBattle& battle) {
  return Saved([&](FILE* file) {
    const int wizards = g_wizardTable.Save(file);
    const int script = CScript::Save(file);
    const int block = battle.SaveState(file);
    return wizards < 0 || script < 0 || block < 0 ? -1 : wizards + script + block;
  });
}

int LoadedWithScript(CBattle& battle, const Bytes& bytes) {
  return Loaded(
      [&](FILE* file) {
        if (g_wizardTable.Load(file) < 0 || CScript::Load(file) < 0) return -1;
        return battle.LoadState(file);
      },
      bytes);
}

// What the script and its speech leave after a frame: the pause, the speech control (showing,
// waiting for its click, going back) and every event's run state and actions left.
std::string ScriptTraceOfFrame(const CBattle& battle) {
  char line[96];
  std::snprintf(line, sizeof line, " paused %d speech %d%d%d of %d events ", battle.paused, g_speechCtrl.IsActive(),
                g_speechCtrl.IsWaiting(), g_speechCtrl.returning, g_speechCtrl.request.argument);
  std::string text = line;
  for (int r = 0; r < g_script.eventCount; ++r)
    text += std::to_string(g_script.Event(r).runState) + ":" + std::to_string(g_script.Event(r).actionsLeft) + " ";
  return text;
}

// The moorland's campaign battle with its script: the wizard speaks at once, the player clicks
// the speech away, the castle's wizard and guards and the player's captain are summoned, and
// the captain speaks. Saved while the captain's speech waits for its click, the battle goes on
// otherwise for a while (the speech clicked away at once, the pause key pressed) and is loaded:
// it shows the speech again, paused, and with the same inputs (the click, then the pause key
// twice) reaches the last frame with the trace of the battle never saved.
TEST_F(BattleSave, ACampaignBattleSavedDuringASpeechGoesOnAsOneNeverSaved) {
  constexpr int kLastFrame = 140, kWaitBeforeClick = 8;
  QuietSounds sounds;
  HookScope<IEffectSounds> soundScope(g_effectSounds, sounds);
  ASSERT_NO_FATAL_FAILURE(ReadTheGamesData());
  battle_.ClearCellQueue();
  // A campaign battle, with the battle's systems in place while it loads: its script is read.
  InstallBattle();
  InstallCreatures();
  InstallEffectCreatures();
  g_gameMode = kGameModeCampaign;
  // The computer players sit this battle out: nothing of them is saved, so after a load they
  // choose afresh and may send their creatures (after food, to a region) otherwise than in the
  // battle never saved; the speech and the pause are what is compared here.
  struct ComputerPlayersOff {
    int saved = std::exchange(g_activeAI, 0);
    ~ComputerPlayersOff() { g_activeAI = saved; }
  } computerPlayersOff;
  ASSERT_TRUE(LoadBattle(battle_));
  ASSERT_GT(g_script.eventCount, 8);  // the region's story
  // The computer players keep nothing in a saved game, and what their sides remember of the
  // enemy shapes where their wizards cast: a loaded battle's wizards would cast elsewhere than
  // those of the battle never saved. The story and the save are what this battle shows.
  g_activeAI = 0;
  CBattle* before = g_battle;
  RunBattleAsCurrentScreen();
  ASSERT_TRUE(StartSinglePlayerNet("Edric"));

  // The inputs by frame: a click on the speech box, the pause key.
  struct Inputs {
    std::vector<int> clicks, pauseKeys;
  };
  auto click = [] { g_speechCtrl.OnMouse(MF_LEFT_DOWN, CMouseEvent{}); };
  // One battle frame after another with the trace of each; with `chosen` the inputs are
  // chosen as a player would (a speech clicked away once it waited a while, the pause key
  // pressed after the second speech and again a little later) and written there.
  auto frames = [&](int from, int to, const Inputs& given, Inputs* chosen) {
    std::vector<std::string> lines;
    int waited = 0, speechesEnded = 0;
    bool wasActive = g_speechCtrl.IsActive();
    for (int frame = from; frame < to; ++frame) {
      waited = g_speechCtrl.IsWaiting() ? waited + 1 : 0;
      if (chosen && waited > kWaitBeforeClick) {
        click();
        chosen->clicks.push_back(frame);
      } else if (std::count(given.clicks.begin(), given.clicks.end(), frame)) {
        EXPECT_TRUE(g_speechCtrl.IsWaiting()) << "frame " << frame;
        click();
      }
      const bool pauseKey =
          chosen ? speechesEnded == 2 && chosen->pauseKeys.size() < 2 &&
                       (chosen->pauseKeys.empty() ? !battle_.paused : frame == chosen->pauseKeys.back() + 7)
                 : std::count(given.pauseKeys.begin(), given.pauseKeys.end(), frame) != 0;
      if (pauseKey) {
        battle_.RequestPause();
        if (chosen) chosen->pauseKeys.push_back(frame);
      }
      battle_.Update();
      if (wasActive && !g_speechCtrl.IsActive()) ++speechesEnded;
      wasActive = g_speechCtrl.IsActive();
      lines.push_back(TraceOfFrame() + ScriptTraceOfFrame(battle_));
    }
    return lines;
  };
  // The camera is the speech's: every run starts it where the battle's loading put it.
  const int camera[6] = {g_mapView.camCellX, g_mapView.camCellY, g_mapView.camLevel,
                         g_mapView.camSubX,  g_mapView.camSubY,  g_mapView.camSubZ};
  auto cameraBack = [&] {
    g_mapView.camCellX = camera[0], g_mapView.camCellY = camera[1], g_mapView.camLevel = camera[2];
    g_mapView.camSubX = camera[3], g_mapView.camSubY = camera[4], g_mapView.camSubZ = camera[5];
  };
  const Bytes start = SavedWithScript(battle_);
  Inputs inputs;
  const std::vector<std::string> never = frames(0, kLastFrame, {}, &inputs);
  // The story went as told: two speeches clicked away, the summoned came, the pause key twice.
  ASSERT_EQ(inputs.clicks.size(), 2u);
  ASSERT_EQ(inputs.pauseKeys.size(), 2u);
  const ScriptActor* bran = g_scriptActors.FindByName("Captain Bran");
  ASSERT_NE(bran, nullptr);
  EXPECT_EQ(bran->state, kActorAliveInBattle);
  // Saved while the second speech waits for its click.
  const int saveFrame = inputs.clicks[1] - 3;
  ASSERT_NE(never[static_cast<size_t>(saveFrame - 1)].find("paused 1 speech 110"), std::string::npos);

  // Again from the start to the save.
  g_speechCtrl.Clear();
  g_speechCtrl.LoadConfig();
  cameraBack();
  ASSERT_GT(LoadedWithScript(battle_, start), 0);
  const std::vector<std::string> first = frames(0, saveFrame, inputs, nullptr);
  for (int i = 0; i < saveFrame; ++i)
    ASSERT_EQ(first[static_cast<size_t>(i)], never[static_cast<size_t>(i)]) << "frame " << i;
  const Bytes atSave = SavedWithScript(battle_);
  // Otherwise: the speech clicked away at once, the pause key pressed.
  frames(saveFrame, saveFrame + 30, Inputs{{saveFrame}, {saveFrame + 12}}, nullptr);
  EXPECT_FALSE(g_speechCtrl.IsActive());
  ASSERT_GT(LoadedWithScript(battle_, atSave), 0);
  EXPECT_EQ(battle_.paused, 1);
  EXPECT_TRUE(g_speechCtrl.IsActive());
  EXPECT_EQ(g_speechCtrl.request.heading, "Captain Bran");
  EXPECT_TRUE(g_speechCtrl.IsWaiting());
  EXPECT_EQ(SavedWithScript(battle_), atSave);  // the speech as it was, word for word
  const std::vector<std::string> rest = frames(saveFrame, kLastFrame, inputs, nullptr);
  for (int i = saveFrame; i < kLastFrame; ++i)
    ASSERT_EQ(WithoutAIWord(rest[static_cast<size_t>(i - saveFrame)]), WithoutAIWord(never[static_cast<size_t>(i)]))
        << "frame " << i;

  EndNetBattle();
  g_effectWorld.Install(nullptr);
  UninstallBattle();
  g_skipThisFrame = 0;
  g_battle = before;
  g_speechCtrl.Clear();
  g_effectManager.Reset();
  g_creatureArray.ReleaseAll();
  for (auto& set : g_creatureTypeAnims) set.reset();
}

}  // namespace
