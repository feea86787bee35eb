// The effects as the map and the map view see them through their hooks: chains, light
// sources, water, lines of fire, the picture of an effect, particles in the draw list, and
// the sequence drawing picks.
#include <gtest/gtest.h>

#include <memory>

#include "MagicTestSupport.h"
#include "core/Options.h"
#include "forge/TerrainTypes.h"
#include "magic/ParticleManager.h"
#include "map/LineWalker.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"

namespace magic_test {
namespace {

namespace w = effect_word;
namespace s = effect_state;

class MagicHooksTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    ASSERT_TRUE(LoadForgedEffectTables());
  }
  void TearDown() override {
    g_noLightSources = 0;
    g_mapView.rotation = 0;
    EffectTest::TearDown();
  }
};

TEST_F(MagicHooksTest, TheMapSeesChainsKindsAndEndsEffectsThroughItsHooks) {
  CEffect* a = Start(10, At(5 * 32, 5 * 32, 16));
  CEffect* b = StartAs(14, At(5 * 32 + 8, 5 * 32, 16));
  IMapEffects& hooks = *g_mapHooks.effects;
  EXPECT_EQ(hooks.Kind(a->index), 10);
  EXPECT_EQ(hooks.NextInCell(a->index), b->index);
  EXPECT_EQ(hooks.NextInCell(b->index), 0xFFFF);
  EXPECT_EQ(hooks.Kind(5000), -1);
  EXPECT_EQ(hooks.NextInCell(-3), 0xFFFF);
  b->animPlayer.loopBreak = 0;
  hooks.MarkKind14(2);
  EXPECT_EQ(b->animPlayer.loopBreak, 1);
  hooks.Deactivate(b->index);
  EXPECT_EQ(b->active, 0);
  hooks.Deactivate(b->index);  // twice: nothing more
  EXPECT_EQ(Cell(5, 5, 1).effect, a->index);
  hooks.SetParticleWorldSize(320, 640, 48);
  EXPECT_EQ(CParticle::WorldHeight(), 640);
  EXPECT_FLOAT_EQ(hooks.Gravity(), 0.969f);
}

TEST_F(MagicHooksTest, AnObscuringEffectCostsALineOfFireOneTile) {
  // Without the effect the line reaches; with a kind-10 effect in a cell on the way it
  // costs 64, a tile of fire line (two per unit), and a limit one tile short fails.
  CLineWalker walker;
  const int from[3] = {2 * 32 + 16, 10 * 32 + 16, 24}, to[3] = {12 * 32 + 16, 10 * 32 + 16, 24};
  const int limit = 10 * 32;
  EXPECT_EQ(walker.TraceFire(from[0], from[1], from[2], to[0], to[1], to[2], limit, -1, -1), kFireReached);
  Start(10, At(6 * 32 + 16, 10 * 32 + 16, 24));
  EXPECT_EQ(walker.TraceFire(from[0], from[1], from[2], to[0], to[1], to[2], limit, -1, -1), kFireObscured);
  EXPECT_EQ(walker.TraceFire(from[0], from[1], from[2], to[0], to[1], to[2], limit + 32, -1, -1), kFireReached);
}

TEST_F(MagicHooksTest, LightSourcesAreActiveEffectsOfLitKindsInTheView) {
  g_mapView.SetMap(&g_map);
  g_mapView.SetViewRect(platform::Rect{0, 0, 800, 600});
  g_mapView.SetCameraCell(10, 10, 1);
  CEffect* fire = StartAs(14, At(10 * 32, 10 * 32, 16));
  Start(43, At(11 * 32, 10 * 32, 16));                   // a marker gives no light
  CEffect* far = StartAs(14, At(40 * 32, 40 * 32, 16));  // out of the view
  IMapEffects& hooks = *g_mapHooks.effects;
  LightSource light;
  const int first = hooks.NextLightSource(-1, light);
  EXPECT_EQ(first, fire->index);
  EXPECT_EQ(light.x, 10);
  EXPECT_EQ(light.level, 1);
  EXPECT_EQ(light.diameter, manager.GetLightSourceDiameter(14));
  EXPECT_EQ(hooks.NextLightSource(first, light), -1);
  (void)far;
  g_noLightSources = 1;
  EXPECT_EQ(hooks.NextLightSource(-1, light), -1);
  g_mapView.SetMap(nullptr);
}

TEST_F(MagicHooksTest, TheViewDrawsAnEffectsCurrentFrameWithItsEntrysPrintType) {
  CEffectViewHooks view;
  CEffect* e = Start(45, At(8 * 32, 8 * 32, 16));
  EffectDrawInfo info;
  e->animPlayer.Stop();
  ASSERT_TRUE(view.GetEffectDrawInfo(e->index, info));
  EXPECT_FALSE(info.shown);  // a stopped player shows nothing
  e->StartEntry(52, 0);      // smoke: see-through
  ASSERT_TRUE(view.GetEffectDrawInfo(e->index, info));
  EXPECT_TRUE(info.shown);
  EXPECT_TRUE(info.picture.frame);
  EXPECT_EQ(info.picture.printType, manager.AniEntry(52)->printType);
  EXPECT_EQ(info.kind, 45);
  EXPECT_EQ(info.x, 8 * 32);
  // Visible in the dark: fire always, others of the local player's creatures only.
  EXPECT_FALSE(info.visible);
  world.Place(3, 1, 1, 1).localPlayers = true;
  e->params[w::kCreature] = 3;
  view.GetEffectDrawInfo(e->index, info);
  EXPECT_TRUE(info.visible);
  e->kind = 14;
  e->params[w::kCreature] = -1;
  view.GetEffectDrawInfo(e->index, info);
  EXPECT_TRUE(info.visible);
  EXPECT_TRUE(info.cutAway);
  e->Deactivate();
  EXPECT_FALSE(view.GetEffectDrawInfo(e->index, info));
}

TEST_F(MagicHooksTest, DrawingTurnsAPictureWithTheViewButNeverRestartsIt) {
  CEffectParams block = At(300, 300, 40);
  block[w::kSpell] = 93;  // an arrow in flight: pitch and heading from its motion
  block.SetFloat(w::kVelocityX, 4.0f);
  block.SetFloat(w::kVelocityY, 0.0f);
  block[w::kValue] = 2;
  CEffect* arrow = Start(4, block);
  arrow->StartEntry(2, 0);
  const int first = manager.AniEntry(2)->animation;
  arrow->UpdateAnimation();
  EXPECT_EQ(arrow->state[s::kHeading], 4);
  EXPECT_EQ(arrow->animPlayer.sequence, first + 32 + 4);
  g_mapView.rotation = 1;
  arrow->UpdateAnimation();
  EXPECT_EQ(arrow->state[s::kViewHeading], 0);
  EXPECT_EQ(arrow->animPlayer.sequence, first + 32);

  // A carrier keeps the heading its set-up chose and turns it with the view.
  block = At(300, 300, 40);
  block[w::kSpell] = 10;
  CEffect* carrier = Start(0, block);
  carrier->state[s::kHeading] = 6;
  carrier->StartEntry(carrier->GetAniIndex(), 2);
  const int entry = manager.AniEntry(carrier->GetAniIndex())->animation;
  for (int tick = 0; tick < 3; ++tick) carrier->animPlayer.Advance();
  const int step = carrier->animPlayer.step - manager.AniEntryAnimation(carrier->GetAniIndex())->GetSequence(entry + 2);
  carrier->UpdateAnimation();
  EXPECT_EQ(carrier->animPlayer.sequence, entry + 2);  // (6 - 4) & 15
  EXPECT_EQ(carrier->animPlayer.step - manager.AniEntryAnimation(carrier->GetAniIndex())->GetSequence(entry + 2), step);

  // The corner pieces of kind 20 switch by word 60 and the rotation, keeping their step.
  block = At(300, 300, 40);
  block[w::kCompanionCount] = 13;
  CEffect* corner = Start(20, block);
  corner->StartEntry(64, 0);
  corner->animPlayer.Advance();
  const int cornerStep = corner->animPlayer.step;
  corner->UpdateAnimation();
  const int base = manager.AniEntry(64)->animation;
  EXPECT_EQ(corner->animPlayer.sequence, base + 6 + ((13 % 4) + 1) % 4);
  const CAnimation* animation = corner->animPlayer.animation;
  EXPECT_EQ(corner->animPlayer.step - animation->GetSequence(corner->animPlayer.sequence),
            cornerStep - animation->GetSequence(base));
  // A player that has ended is left alone: drawing never starts a sequence.
  corner->animPlayer.Stop();
  corner->UpdateAnimation();
  EXPECT_EQ(corner->animPlayer.playing, 0);
}

class Dot : public CParticle {
 public:
  using CParticle::CParticle;
  void Draw(int, int) override {}
  int Update() override { return 1; }
};

TEST_F(MagicHooksTest, ParticlesInTheViewEnterTheDrawListAtTheirCellCentre) {
  g_mapView.SetMap(&g_map);
  g_mapView.SetViewRect(platform::Rect{0, 0, 800, 600});
  g_mapView.SetCameraCell(20, 20, 1);
  g_mapView.drawList.Reset();
  CParticleManager particles;
  particles.Add(std::make_unique<Dot>(20 * 32 + 5, 20 * 32 + 7, 21));
  particles.Add(std::make_unique<Dot>(50 * 32, 50 * 32, 20));  // far from the camera
  particles.AddToDrawList(g_mapView);
  ASSERT_EQ(g_mapView.drawList.Count(), 1);
  const DrawListEntry& entry = g_mapView.drawList.Entry(0);
  EXPECT_EQ(entry.printType, draw_types::kSelfDrawing);
  EXPECT_EQ(entry.object, particles.Slot(0));
  const ScreenPoint at = g_mapView.MapToScreen(20 * 32 + 5, 20 * 32 + 7, 21);
  EXPECT_EQ(entry.screenX, at.x);
  EXPECT_EQ(entry.screenY, at.y);
  g_mapView.drawList.Reset();
  g_mapView.SetMap(nullptr);
}

}  // namespace
}  // namespace magic_test
