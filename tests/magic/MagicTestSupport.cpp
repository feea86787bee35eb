#include "MagicTestSupport.h"

#include "core/Options.h"
#include "forge/TerrainTypes.h"
#include "magic/EffectLog.h"
#include "magic/ParticleManager.h"
#include "map/MapUnits.h"
#include "map/SegmentPool.h"
#include "map/TileOverlay.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace magic_test {

bool FakeWorld::GetCreature(int c, EffectCreature& out) {
  auto it = creatures.find(c);
  if (it == creatures.end()) return false;
  out = it->second;
  return true;
}

bool FakeWorld::GetBody(int c, CreatureBody& out) {
  auto it = creatures.find(c);
  if (it == creatures.end()) return false;
  out.onMap = true;
  out.cornerX = it->second.x;
  out.cornerY = it->second.y;
  out.floorZ = it->second.z;
  out.shape.Init(it->second.heightLevels, it->second.footprint == 2);
  return true;
}

EffectCreature& FakeWorld::Place(int c, int cellX, int cellY, int level, int footprint, int height) {
  EffectCreature& info = creatures[c];
  info.cellX = info.routeX = cellX;
  info.cellY = info.routeY = cellY;
  info.level = info.routeLevel = level;
  info.x = cellX * 32;
  info.y = cellY * 32;
  info.z = level * 16;
  info.footprint = footprint;
  info.halfWidth = 16 * footprint;
  info.heightLevels = height;
  info.health = 10;
  info.army = 0;
  for (int dy = 0; dy < footprint; ++dy)
    for (int dx = 0; dx < footprint; ++dx)
      for (int dz = 0; dz < height; ++dz)
        if (CMapCell* cell = g_map.CellIfInside(cellX + dx, cellY + dy, level + dz))
          cell->occupant = static_cast<uint16_t>(c);
  return info;
}

void EffectTest::SetUp() {
  std::vector<uint8_t> file = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
  ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
  ASSERT_EQ(g_map.Create(64, 64, 8, 1, 1), 1);
  g_map.waterLevel = 0;
  g_tileSpans.Reset();
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) Set(x, y, 0, forge::terrain::kGrass);
  CParticle::SetWorldSize(64 * 32, 64 * 32, 8 * 16);
  manager.Reset();
  g_effectLog.Clear();
  g_segmentPool.Clear();  // no beam of an earlier test lingers in this one's pictures
  MapHooks hooks = DefaultMapHooks();
  hooks.creatures = &world;
  hooks.effects = &effectHooks;
  mapScope = std::make_unique<MapHooksScope>(hooks);
  worldScope = std::make_unique<HookScope<IEffectWorld>>(g_effectWorld, world);
  soundScope = std::make_unique<HookScope<IEffectSounds>>(g_effectSounds, sounds);
  battleScope = std::make_unique<HookScope<IEffectBattle>>(g_effectBattle, battle);
}

void EffectTest::TearDown() {
  manager.Reset();
  g_particleManager.Clear();
  g_netEffectsLog = 0;
  battleScope.reset();
  soundScope.reset();
  worldScope.reset();
  mapScope.reset();
  g_map.Clear();
  g_tileSpans.Free();
  g_terrainTypes.Clear();
}

void EffectTest::Set(int x, int y, int level, int type) {
  g_map.CellAt(x, y, level).terrain = static_cast<uint16_t>(type);
}

CEffect* EffectTest::Start(int kind, const CEffectParams& block) {
  CEffect* effect = manager.AllocateEffect();
  if (effect) effect->Activate(kind, block);
  return effect;
}

CEffect* EffectTest::StartAs(int kind, const CEffectParams& block) {
  CEffect* effect = Start(15, block);
  if (effect) effect->kind = kind;
  return effect;
}

CEffectParams EffectTest::At(int x, int y, int z) {
  CEffectParams block;
  block.SetPoint(effect_word::kSourceX, x, y, z);
  block.SetPoint(effect_word::kTargetX, x, y, z);
  return block;
}

bool LoadForgedEffectTables() {
  static int loaded = -1;
  if (loaded >= 0) return loaded == 1;
  const std::string previous = platform::CurrentDirectory();
  platform::ChangeDirectory(testing_support::ForgedDataDir());
  platform::FlushProfileCache();
  loaded = g_effectManager.ReadEffectsCfg() && g_effectManager.ReadEffectAniCfg() ? 1 : 0;
  platform::ChangeDirectory(previous);
  return loaded == 1;
}

}  // namespace magic_test
