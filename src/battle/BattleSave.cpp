// CBattle::SaveState and CBattle::LoadState: the battle's part of a saved game, row by row
// (the table in BattleSave.h).
#include "battle/BattleSave.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "battle/Battle.h"
#include "battle/BattleKnowledge.h"
#include "battle/BattleRecord.h"
#include "battle/BattleSystems.h"
#include "battle/NamedList.h"
#include "battle/Script.h"
#include "core/Bytes.h"
#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureRoutes.h"
#include "creatures/MapObject.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "graphics/BattleFacing.h"
#include "magic/EffectManager.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/PathNetwork.h"
#include "map/SegmentPool.h"
#include "map/TileOverlay.h"
#include "platform/Files.h"

namespace {

IBattleSaveParts g_neutralSaveParts;

// The parts whose owners are built: the world objects and the script's events. The creature
// code keeps no battle counters of its own and no computer player runs yet: their rows keep
// the neutral zeros.
class CBattleSaveParts : public IBattleSaveParts {
 public:
  int SaveWorldObjects(FILE* file) override { return g_mapObjects.Save(file); }
  int LoadWorldObjects(FILE* file) override { return g_mapObjects.Load(file); }
  int SaveScript(FILE* file) override { return g_script.SaveEvents(file); }
  int LoadScript(FILE* file) override { return g_script.LoadEvents(file); }
  // Nothing of the computer players is saved: a loaded battle starts them afresh.
  void StartAI() override { BattleSystems().StartAI(); }
};
CBattleSaveParts g_battleParts;

constexpr int kPathBytes = 256;
constexpr int kMaxViewLevels = 3;
constexpr int kLoadSteps = 7;

// Counts what goes out; the first short write or failed part makes the whole -1.
class BlockOut {
 public:
  explicit BlockOut(FILE* file) : file_(file) {}
  void I32(int32_t value) {
    if (ok_ && bytes::WriteU32(file_, static_cast<uint32_t>(value)))
      total_ += 4;
    else
      ok_ = false;
  }
  void Raw(const void* data, size_t size) {
    if (ok_ && bytes::WriteBlock(file_, data, size))
      total_ += static_cast<int>(size);
    else
      ok_ = false;
  }
  void Part(int written) {
    if (written < 0) ok_ = false;
    if (ok_) total_ += written;
  }
  int Result() const { return ok_ ? total_ : -1; }
  bool Ok() const { return ok_; }
  FILE* File() const { return file_; }

 private:
  FILE* file_;
  int total_ = 0;
  bool ok_ = true;
};

class BlockIn {
 public:
  explicit BlockIn(FILE* file) : file_(file) {}
  int32_t I32() {
    uint32_t word = 0;
    if (ok_ && bytes::ReadU32(file_, word))
      total_ += 4;
    else
      ok_ = false;
    return static_cast<int32_t>(word);
  }
  void Raw(void* data, size_t size) {
    if (ok_ && bytes::ReadBlock(file_, data, size))
      total_ += static_cast<int>(size);
    else
      ok_ = false;
  }
  void Part(int read) {
    if (read < 0) ok_ = false;
    if (ok_) total_ += read;
  }
  // A value the block may not hold.
  void Refuse() { ok_ = false; }
  void Require(bool condition) {
    if (!condition) ok_ = false;
  }
  int Result() const { return ok_ ? total_ : -1; }
  bool Ok() const { return ok_; }
  FILE* File() const { return file_; }

 private:
  FILE* file_;
  int total_ = 0;
  bool ok_ = true;
};

void SaveRandom(BlockOut& out, const CRandom& random) {
  out.I32(random.indexA);
  out.I32(random.indexB);
  for (uint32_t word : random.state) out.I32(static_cast<int32_t>(word));
}

void LoadRandom(BlockIn& in, CRandom& random) {
  CRandom read;
  read.indexA = in.I32();
  read.indexB = in.I32();
  for (uint32_t& word : read.state) word = static_cast<uint32_t>(in.I32());
  in.Require(read.indexA >= 0 && read.indexA < CRandom::kStateWords && read.indexB >= 0 &&
             read.indexB < CRandom::kStateWords);
  if (in.Ok()) random = read;
}

bool SameText(const char* a, const char* b) { return std::strncmp(a, b, kPathBytes) == 0; }

bool TerrainFilesExist(const char* mapPath) {
  for (const char* name : {"terrain.spr", "terrain.ani", "doors.ani", "terrain.ttd"})
    if (!platform::FileExists(std::string(mapPath) + "\\" + name)) return false;
  return true;
}

void ReadCellQueue(CBattle& battle, BlockIn& in) {
  battle.ClearCellQueue();
  const int32_t count = in.I32();
  in.Require(count >= 0 && count <= g_map.cellCount);
  for (int32_t i = 0; i < count && in.Ok(); ++i) {
    const int32_t index = in.I32();
    CMapCell* cell = index >= 0 && index < g_map.cellCount ? g_map.CellPointerFromIndex(index) : nullptr;
    in.Require(cell != nullptr);
    if (in.Ok()) battle.QueueCell(cell);
  }
}

void ReadAIMarkers(BlockIn& in) {
  for (int i = 0; i < kAIMarkerRecords && in.Ok(); ++i) {
    int32_t words[4] = {in.I32(), 0, 0, 0};
    if (words[0] != 0)
      for (int w = 1; w < 4; ++w) words[w] = in.I32();
    in.Require(in.Ok() && g_battleSaveParts->SetAIMarker(i, words));
  }
}

void ReadManaSites(BlockIn& in) {
  const int32_t count = in.I32();
  in.Require(count >= 0 && count <= kMaxManaSites);
  std::vector<CManaSite> sites;
  for (int32_t i = 0; i < count && in.Ok(); ++i) {
    CManaSite site;
    site.x = in.I32();
    site.y = in.I32();
    site.level = in.I32();
    in.Require(site.x >= 0 && site.x < g_map.width && site.y >= 0 && site.y < g_map.height && site.level >= 0 &&
               site.level < g_map.levels);
    sites.push_back(site);
  }
  if (in.Ok()) g_map.manaSpriteSites = std::move(sites);
}

void LoadLordKingArt(CBattle& battle) {
  battle.lordKingAnimation.SetSprite(&battle.lordKingSprite);
  if (!battle.lordKingSprite.Load("sprites\\lordking.spr", 16))
    ShowGeneralError("failed to load lord & king sprites.");
  else if (!battle.lordKingAnimation.Load("sprites\\lordking.ani"))
    ShowGeneralError("failed to load lord & king anims.");
}

// Row 26: the timing every animation player of the battle keeps beyond the state its block
// writes (CAnimPlayer::GetTiming): each creature in use (body, overlay, five attachments),
// each active effect and each world object with an animation of its own, in slot order. The
// blocks are read by now, so the players are known from them.
template <class Visit>
void ForEachBattlePlayer(Visit&& visit) {
  for (int slot = 0; slot < g_creatureArray.Capacity(); ++slot) {
    CCreature& c = *g_creatureArray.At(slot);
    if (!c.inUse) continue;
    for (CAnimPlayer* player : {&c.bodyAnim, &c.overlayAnim, &c.attachAnim1.player, &c.attachAnim2,
                                &c.attachAnims[0].player, &c.attachAnims[1].player, &c.attachAnims[2].player})
      visit(*player);
  }
  for (int i = 0; i < g_effectManager.Count(); ++i) {
    CEffect& effect = *g_effectManager.At(i);
    if (effect.active) visit(effect.animPlayer);
  }
  for (CMapObject& object : g_mapObjects.records)
    if (object.inUse && object_kind::HasOwnAnimation(object.kind)) visit(object.anim);
}

void SaveTimings(BlockOut& out) {
  ForEachBattlePlayer([&](const CAnimPlayer& player) {
    int32_t words[CAnimPlayer::kTimingWords];
    player.GetTiming(words);
    for (int32_t word : words) out.I32(word);
  });
}

void LoadTimings(BlockIn& in) {
  ForEachBattlePlayer([&](CAnimPlayer& player) {
    int32_t words[CAnimPlayer::kTimingWords];
    for (int32_t& word : words) word = in.I32();
    in.Require(in.Ok() && player.SetTiming(words));
  });
}

static_assert(kPauseAndSpeechBytes == 4 + 4 * kScriptSpeechWords);

// Row 27: the pause, then the script's speech.
void SavePauseAndSpeech(const CBattle& battle, BlockOut& out) {
  out.I32(battle.paused ? 1 : 0);
  int32_t words[kScriptSpeechWords];
  SaveScriptSpeech(g_script, words);
  for (int32_t word : words) out.I32(word);
}

// The last row, taken when every row before it was good: the script it speaks for is read.
void LoadPauseAndSpeech(CBattle& battle, BlockIn& in) {
  const int32_t paused = in.I32();
  int32_t words[kScriptSpeechWords];
  for (int32_t& word : words) word = in.I32();
  in.Require(in.Ok() && (paused == 0 || paused == 1) && CheckScriptSpeech(g_script, words));
  if (!in.Ok()) return;
  battle.paused = paused;
  battle.pauseChanged = 1;
  RestoreScriptSpeech(g_script, words);
}

// The wizard numbers (and so the wizard types) are held by the battle's wizard creatures:
// a loaded battle's numbers are those of its wizards, or a wizard the script deploys later
// would take the number, and the look, of another.
void TakeWizardNumbersOfTheBattle() {
  g_wizardTable.FreeWizardNumbers();
  g_creatureArray.ForEachInUse([](CCreature& c) {
    const int number = TypeToWizardNumber(c.typeNumber);
    if (c.IsWizard() && !c.illusion && number >= 0 && number < 4) g_wizardTable.wizardNumberUsed[number] = 1;
  });
}

int WriteStateRows(CBattle& battle, FILE* file) {
  IBattleSaveParts& parts = *g_battleSaveParts;
  BlockOut out(file);
  char path[kPathBytes] = {};
  std::snprintf(path, sizeof path, "%s", battle.mapPath);
  out.Raw(path, sizeof path);
  int32_t counters[4];
  parts.GetCreatureCounters(counters);
  for (int32_t counter : counters) out.I32(counter);
  if (out.Ok()) out.Part(GetNamedList() ? GetNamedList()->Save(file) : -1);
  out.I32(BattleState().gameTick);
  if (out.Ok()) out.Part(g_map.Save(file));
  out.I32(g_mapView.flagLevelCount);
  out.I32(static_cast<int32_t>(battle.cellQueue.size()));
  for (const CMapCell* cell : battle.cellQueue) out.I32(g_map.CellIndexFromPointer(cell));
  if (out.Ok()) out.Part(g_segmentPool.Save(file));
  if (out.Ok()) out.Part(g_creatureArray.Save(file));
  out.I32(parts.SharedCounter());
  out.I32(0);  // the battle's two counters of the army records, cleared at exit
  out.I32(0);
  if (out.Ok()) out.Part(g_effectManager.Save(file));
  if (out.Ok()) out.Part(parts.SaveWorldObjects(file));
  if (out.Ok()) out.Part(SaveSpellSightings(file));
  if (out.Ok()) out.Part(g_armyTable.Save(file));
  out.I32(g_useNodeMap ? 1 : 0);
  if (g_useNodeMap) {
    if (out.Ok()) out.Part(g_pathNetwork.Save(file));
  } else {
    g_pathNetwork.Clear();
  }
  if (out.Ok()) out.Part(g_tileSpans.Save(file));
  for (int i = 0; i < kAIMarkerRecords; ++i) {
    int32_t words[4];
    parts.GetAIMarker(i, words);
    out.I32(words[0]);
    if (words[0] != 0)
      for (int w = 1; w < 4; ++w) out.I32(words[w]);
  }
  if (out.Ok()) out.Part(parts.SaveScript(file));
  out.I32(static_cast<int32_t>(battle.nextManaRegenTick));
  SaveRandom(out, g_battleRandom);
  SaveRandom(out, g_aiRandom);
  out.I32(static_cast<int32_t>(g_map.manaSpriteSites.size()));
  for (const CManaSite& site : g_map.manaSpriteSites) {
    out.I32(site.x);
    out.I32(site.y);
    out.I32(site.level);
  }
  out.I32(g_battleClock);
  out.I32(battle.timedBattle ? 1 : 0);
  SaveTimings(out);
  SavePauseAndSpeech(battle, out);
  if (out.Ok()) out.Part(SavePendingRouteSearch(file));
  return out.Result();
}

int ReadStateRows(CBattle& battle, FILE* file) {
  IBattleSaveParts& parts = *g_battleSaveParts;
  BlockIn in(file);
  char path[kPathBytes] = {};
  in.Raw(path, sizeof path);
  if (!in.Ok() || !std::memchr(path, 0, sizeof path)) return -1;
  // Another map's terrain is loaded only when all its files are there: a bad path must not
  // end the program through the missing-file box.
  if (!SameText(path, battle.mapPath) || !battle.terrainSprite.IsLoaded()) {
    if (!TerrainFilesExist(path)) {
      ShowGeneralError("failed to load terrain.");
      PopScreen();
      return -1;
    }
    std::memcpy(battle.mapPath, path, sizeof path);
    battle.LoadTerrain();
  }
  g_progressBar.Step();
  int32_t counters[4];
  for (int32_t& counter : counters) counter = in.I32();
  in.Require(in.Ok() && parts.SetCreatureCounters(counters));
  CNamedList* named = GetNamedList();
  if (in.Ok()) in.Part(named ? named->Load(file) : -1);
  const int32_t tick = in.I32();
  in.Require(tick >= 0);
  if (!in.Ok()) return -1;
  BattleState().gameTick = tick;
  in.Part(g_map.Load(file));
  if (!in.Ok()) return -1;
  g_mapView.SetMap(&g_map);
  g_progressBar.Step();
  const int32_t levels = in.I32();
  g_mapView.flagLevelCount = std::clamp(levels, 1, kMaxViewLevels);
  ReadCellQueue(battle, in);
  if (!in.Ok()) return -1;
  g_segmentPool.Clear();
  in.Part(g_segmentPool.Load(file));
  if (in.Ok()) in.Part(g_creatureArray.Load(file));
  const int32_t shared = in.I32();
  in.I32();
  in.I32();
  in.Require(in.Ok() && parts.SetSharedCounter(shared));
  if (in.Ok()) in.Part(g_effectManager.Load(file));
  if (in.Ok()) in.Part(parts.LoadWorldObjects(file));
  if (in.Ok()) in.Part(LoadSpellSightings(file));
  if (in.Ok()) in.Part(g_armyTable.Load(file));
  g_progressBar.Step();
  const int32_t nodeMap = in.I32();
  in.Require(nodeMap == 0 || nodeMap == 1);
  if (!in.Ok()) return -1;
  g_useNodeMap = nodeMap;
  if (nodeMap)
    in.Part(g_pathNetwork.Load(file));
  else
    g_pathNetwork.Clear();
  if (in.Ok()) in.Part(g_tileSpans.Load(file));
  ReadAIMarkers(in);
  if (in.Ok()) in.Part(parts.LoadScript(file));
  g_progressBar.Step();
  const int32_t regen = in.I32();
  if (!in.Ok()) return -1;
  battle.nextManaRegenTick = static_cast<uint32_t>(regen);
  LoadRandom(in, g_battleRandom);
  LoadRandom(in, g_aiRandom);
  ReadManaSites(in);
  const int32_t clock = in.I32();
  const int32_t timed = in.I32();
  in.Require(clock >= -1 && (timed == 0 || timed == 1));
  if (!in.Ok()) return -1;
  g_battleClock = clock;
  battle.timedBattle = timed;
  LoadTimings(in);
  LoadPauseAndSpeech(battle, in);
  if (in.Ok()) in.Part(LoadPendingRouteSearch(file));
  if (!in.Ok()) return -1;
  g_progressBar.Step();
  return in.Result();
}

}  // namespace

HookSlot<IBattleSaveParts> g_battleSaveParts{&g_neutralSaveParts};

void InstallBattleSaveParts() { g_battleSaveParts.Install(&g_battleParts); }

int BattleTimingBytes() {
  int players = 0;
  ForEachBattlePlayer([&](const CAnimPlayer&) { ++players; });
  return players * CAnimPlayer::kTimingWords * 4;
}

// --- saving ----------------------------------------------------------------------------------

int CBattle::SaveState(FILE* file) {
  g_brain.FlushExperience();
  const int written = WriteStateRows(*this, file);
  ReloadBattleKnowledge();
  return written;
}

// --- loading ---------------------------------------------------------------------------------

int CBattle::LoadState(FILE* file) {
  if (g_prefs.isHighRes)
    g_progressBar.Start(101, 564, kLoadSteps);
  else
    g_progressBar.Start(21, 444, kLoadSteps);
  g_progressBar.Step();
  // The running battle's own block, to go back to when this one is refused.
  std::unique_ptr<FILE, int (*)(FILE*)> own(nullptr, std::fclose);
  if (g_map.HasCells()) {
    g_brain.FlushExperience();
    own.reset(std::tmpfile());
    if (own && WriteStateRows(*this, own.get()) < 0) own.reset();
  }
  g_particleManager.Clear();
  LoadLordKingArt(*this);
  const int read = ReadStateRows(*this, file);
  if (read < 0) {
    if (own) {
      std::rewind(own.get());
      ReadStateRows(*this, own.get());
    }
    g_progressBar.Release();
    return -1;
  }
  TakeWizardNumbersOfTheBattle();
  g_battleSaveParts->StartAI();
  g_map.UpdateVisibility();
  ReloadBattleKnowledge();
  g_progressBar.Step();
  g_progressBar.Release();
  return read;
}
