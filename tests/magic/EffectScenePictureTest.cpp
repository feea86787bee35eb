// One forged scene of the terrain-shaping and strike effects with their particles: a war
// totem grown and shooting, a stone wall with its side walls, a forked bolt from the sky, a
// creature bleeding, another torn apart and a third pestered by flies. It is drawn by the
// real map view to a picture in the test output, and run twice with different seeds of the
// cosmetic generator: creatures, effects and map come out the same, only the particles move.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "CastWorld.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "creatures/CreatureHooks.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "graphics/PrintTarget.h"
#include "graphics/Surface.h"
#include "magic/EffectManager.h"
#include "magic/MagicHooks.h"
#include "magic/ParticleKinds.h"
#include "magic/ParticleManager.h"
#include "magic/ParticleSpawns.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "map/SegmentPool.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;
namespace t = forge::terrain;

constexpr int kLevels = 10;  // room for a war totem of seven tiles on the grass of level 1
constexpr int kWidth = 800, kHeight = 600;

// The creatures' wounds, deaths and pests make their particles, as in the game.
struct SceneParticles : ICreatureEffects {
  void SpawnBodyParts(int type, int x, int y, int z, int parameter) override {
    SpawnCreatureBodyParts(type, x, y, z, parameter);
  }
  void SpawnBurstBodyParts(int type, int x, int y, int z, const uint8_t* traces, int traceCount) override {
    SpawnCreatureBurstParts(type, x, y, z, traces, traceCount);
  }
  void SpawnBlood(int c, int vx, int vy, int vz, int size, bool alive) override {
    SpawnCreatureBlood(c, vx, vy, vz, size, alive);
  }
  void SpawnGlowBurst(int c, int count, bool blue) override { SpawnCreatureGlowBurst(c, count, blue); }
  void SpawnFly(int c, int x, int y, int z) override { SpawnCreatureFly(c, x, y, z); }
};

class EffectScene : public magic_test::CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    saved70_ = g_spellDefs[70];
    savedOrigin_ = g_mapView.drawSurface;
  }
  void TearDown() override {
    g_spellDefs[70] = saved70_;
    g_segmentPool.Clear();
    g_particleManager.Clear();
    CastWorld::TearDown();
  }

  // Rock at the bottom, grass on it: gore lands on the rock and lies there.
  void MakeGround() {
    g_creatureArray.ReleaseAll();
    g_effectManager.Reset();
    g_particleManager.Clear();
    g_segmentPool.Clear();
    ASSERT_EQ(g_map.Create(48, 44, kLevels, 1, 1), 1);
    for (int y = 0; y < g_map.height; ++y)
      for (int x = 0; x < g_map.width; ++x) {
        g_map.CellAt(x, y, 0).terrain = t::kRock;
        g_map.CellAt(x, y, 1).terrain = t::kGrass;
      }
    g_map.waterLevel = 0;
    CParticle::SetWorldSize(48 * 32, 44 * 32, kLevels * 16);
    // Daylight everywhere: gore takes the light of the cell it lands in.
    g_map.ResetLight();
    std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), static_cast<int8_t>(0));
  }

  // A totem of the spell grown tile by tile for the army on the grass at a cell.
  CEffect& GrowTotem(int x, int y, int spell, int army) {
    CEffect& totem = EffectAt(x, y, 1, spell);
    EXPECT_EQ(totem.FindTotemSite(), 1);
    totem.state[s::kArmy] = army;
    totem.SetKind(32);
    for (int i = 0; i < 10 && totem.kind == 32; ++i) totem.GrowTotem();
    EXPECT_EQ(totem.kind, effect_kind::kAffectsTile);
    return totem;
  }

  std::vector<CEffect*> OfKind(int kind) {
    std::vector<CEffect*> found;
    for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i)
      if (Effect(i).active && Effect(i).kind == kind) found.push_back(&Effect(i));
    return found;
  }

  // The whole scene with the cosmetic generator seeded; the battle's own state afterwards.
  std::vector<int64_t> RunScene(uint32_t cosmeticSeed) {
    MakeGround();
    g_viewRandom.Seed(cosmeticSeed);
    g_battleRandom.Seed(4321);
    g_spellDefs[70].SpellStrength = 6;  // a quick reload, so that the totem shoots often
    const int wizard = PlaceWizard(0, 15, 17, 500);
    const int foe = Place(21, 1, 24, 21, 1);      // a troll in the totem's reach
    const int pestered = Place(9, 1, 23, 16, 1);  // a manticore under flies
    const int bleeding = Place(5, 1, 18, 23, 1);  // a hero bleeding
    for (int slot : {wizard, foe, pestered, bleeding}) SeenByAll(slot);

    CEffect& totem = GrowTotem(20, 19, 70, 0);
    // A stone wall cast from the wizard, with its side walls.
    CEffect& wall = EffectAt(15, 22, 1, 35);
    wall.params[w::kCreature] = wizard;
    wall.params[w::kValue] = -1;
    wall.params[w::kSpeed] = 4;
    wall.SetKind(56);
    // A forked bolt out of the sky.
    CEffect& bolt = EffectAt(18, 14, 1, 88);
    bolt.StartBolt();

    C(pestered).StartPestFlies();
    for (int frame = 0; frame < 36; ++frame) {
      totem.TotemShoot();
      for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i) {
        CEffect& e = Effect(i);
        if (!e.active) continue;
        if (e.kind == 56)
          e.GrowWall();
        else if (e.kind != effect_kind::kAffectsTile)
          e.Update();
      }
      if (frame % 5 == 0) C(bleeding).EmitBlood(24);
      if (frame == 8) {
        // A redcap torn apart beside the hero: its parts fly and the gore lands.
        g_creatureEffects->SpawnBodyParts(10, 19 * 32 + 16, 24 * 32 + 16, 40, 0);
      }
      g_particleManager.Update();
      g_segmentPool.Tick();
    }
    EXPECT_GT(g_particleManager.Count(), 50);
    return Fingerprint();
  }

  // Everything of the battle: the creatures, the effects, the cells and the battle generator.
  std::vector<int64_t> Fingerprint() {
    std::vector<int64_t> f;
    for (int i = 0; i < kEffectCreatureCount; ++i) {
      const CCreature* c = g_creatureArray.InUse(i);
      if (!c) continue;
      for (int64_t v : {int64_t{i}, int64_t{c->cellX}, int64_t{c->cellY}, int64_t{c->level}, int64_t{c->unitX},
                        int64_t{c->unitY}, int64_t{c->unitZ}, int64_t{c->health}, int64_t{c->order},
                        int64_t{c->pestered}, int64_t{c->orderState.goalX}, int64_t{c->orderState.goalY}})
        f.push_back(v);
    }
    for (int i = 0; i < g_effectManager.Count(); ++i) {
      const CEffect& e = Effect(i);
      if (!e.active) continue;
      for (int64_t v : {int64_t{i}, int64_t{e.kind}, int64_t{e.x}, int64_t{e.y}, int64_t{e.z}, int64_t{e.cellLevel}})
        f.push_back(v);
      for (int32_t word : e.params.words) f.push_back(word);
      for (int32_t word : e.state) f.push_back(word);
    }
    for (int level = 0; level < g_map.levels; ++level)
      for (int y = 0; y < g_map.height; ++y)
        for (int x = 0; x < g_map.width; ++x) {
          const CMapCell& cell = g_map.CellAt(x, y, level);
          f.push_back(int64_t{cell.terrain} << 48 | int64_t{cell.occupant} << 32 | int64_t{cell.effect} << 16 |
                      cell.object);
          f.push_back(int64_t{cell.shape} << 16 | cell.state);
        }
    for (uint32_t word : g_battleRandom.state) f.push_back(word);
    return f;
  }

  std::vector<int32_t> ParticlePlaces() {
    std::vector<int32_t> places;
    for (int i = 0; i < g_particleManager.Count(); ++i) {
      const CParticle* p = g_particleManager.Slot(i);
      places.insert(places.end(), {p->x, p->y, p->z});
    }
    return places;
  }

  std::vector<uint16_t> Draw() {
    CEffectViewHooks effectViews;
    MapViewHooks hooks = g_mapViewHooks;
    hooks.world = &effectViews;
    MapViewHooksScope scope(hooks);
    testing_support::MapViewCanvas canvas(kWidth, kHeight, "maps/moorland/terrain.spr");
    EXPECT_TRUE(canvas.ready);
    g_prefs.isHighRes = 1;
    canvas.Attach(0);
    g_mapView.SetCameraCell(20, 20, 2);
    canvas.surface.Fill(0);
    g_mapView.Update();
    canvas.surface.Fill(0);
    g_mapView.Update();
    return canvas.Pixels();
  }

  CSpellDefinition saved70_;
  CSurface* savedOrigin_ = nullptr;
  SceneParticles particles_;
  HookScope<ICreatureEffects> particleScope_{g_creatureEffects, particles_};
};

TEST_F(EffectScene, CosmeticDrawsNeverReachTheBattleAndTheSceneIsDrawn) {
  const std::vector<int64_t> first = RunScene(11);
  const std::vector<int32_t> firstParticles = ParticlePlaces();
  const std::vector<int64_t> second = RunScene(977);
  EXPECT_EQ(first, second);
  EXPECT_NE(firstParticles, ParticlePlaces());  // the looks did differ

  // What the scene holds when it is drawn.
  EXPECT_GT(g_segmentPool.count, 16);  // the bolt and the totem's beams
  int gore = 0, landed = 0, flies = 0, drops = 0;
  for (int i = 0; i < g_particleManager.Count(); ++i) {
    const CParticle* p = g_particleManager.Slot(i);
    if (const auto* g = dynamic_cast<const CGoreParticle*>(p)) {
      ++gore;
      landed += g->Landed();
    }
    flies += dynamic_cast<const CFlyParticle*>(p) != nullptr;
    drops += dynamic_cast<const CBloodDropParticle*>(p) != nullptr;
  }
  EXPECT_GT(gore, 0);
  EXPECT_GT(landed, 0);
  EXPECT_GT(flies, 0);
  EXPECT_GT(drops + gore, 20);
  EXPECT_EQ(g_map.CellAt(20, 19, 7).terrain, 351);  // the totem's head

  const std::vector<uint16_t> pixels = Draw();
  EXPECT_GT(g_segmentPool.screenCount, 20);  // the bolt and the beams were drawn
  const std::string path = testing_support::TestOutputDir() + "/effect-scene.png";
  EXPECT_TRUE(testing_support::WritePng565(path, kWidth, kHeight, pixels));
  std::printf("effect scene: %s\n", path.c_str());
  EXPECT_GT(std::set<uint16_t>(pixels.begin(), pixels.end()).size(), 60u);
}

// A totem of life beside three creatures: a wounded enemy, an unhurt friend and a wounded
// friend. Its healing goes to the wounded friend alone, as a beam from the totem's head that
// gives the spell's health, and the next waits for the totem to recharge.
TEST_F(EffectScene, ALifeTotemBeamsHealthToAWoundedFriendOnly) {
  MakeGround();
  g_viewRandom.Seed(CRandom::kDefaultSeed);
  g_battleRandom.Seed(4321);
  const int wizard = PlaceWizard(0, 15, 17, 500);
  const int foe = Place(21, 1, 23, 22, 1);     // a wounded troll of the other side
  const int unhurt = Place(5, 0, 17, 21, 1);   // a hero with nothing to heal
  const int wounded = Place(9, 0, 24, 18, 1);  // a wounded manticore of the totem's side
  for (int slot : {wizard, foe, unhurt, wounded}) SeenByAll(slot);
  C(foe).health -= 30;
  C(wounded).health -= 30;
  const int foeHealth = C(foe).health, unhurtHealth = C(unhurt).health, woundedHealth = C(wounded).health;

  CEffect& totem = GrowTotem(20, 19, 69, 0);
  totem.state[s::kCounter] = 0;  // charged
  totem.TotemHeal();
  const std::vector<CEffect*> beams = OfKind(42);
  ASSERT_EQ(beams.size(), 1u);
  CEffect& beam = *beams[0];
  EXPECT_EQ(beam.params[w::kTarget], wounded);
  EXPECT_EQ(beam.params[w::kSourceX], 20 * 32 + 16);
  EXPECT_EQ(beam.params[w::kSourceY], 19 * 32 + 16);
  EXPECT_EQ(beam.params[w::kSourceZ], totem.cellLevel * 16);
  EXPECT_TRUE(sounds.Heard(754));
  EXPECT_EQ(totem.state[s::kCounter], g_spellDefs[69].SpellStrength);

  beam.Update();
  EXPECT_FALSE(beam.active);
  EXPECT_EQ(C(wounded).health, woundedHealth + g_spellDefs[69].Damage);
  EXPECT_EQ(C(foe).health, foeHealth);
  EXPECT_EQ(C(unhurt).health, unhurtHealth);
  for (int frame = 0; frame < 3; ++frame) g_particleManager.Update();  // the cure's sparks rise

  totem.TotemHeal();  // recharging: no second beam yet
  EXPECT_TRUE(OfKind(42).empty());

  const std::vector<uint16_t> pixels = Draw();
  EXPECT_GT(g_segmentPool.screenCount, 4);  // the healing beam was drawn
  const std::string path = testing_support::TestOutputDir() + "/totem-heal.png";
  EXPECT_TRUE(testing_support::WritePng565(path, kWidth, kHeight, pixels));
  std::printf("totem heal: %s\n", path.c_str());
}

}  // namespace
