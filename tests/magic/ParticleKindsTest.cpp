// The particle kinds: their update rules as tables of frames, and the exact pixels of glows
// and light textures in both pixel layouts at the edges of the clip rectangle.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MagicTestSupport.h"
#include "core/Options.h"
#include "forge/TerrainTypes.h"
#include "graphics/PixelFormat.h"
#include "graphics/PrintTarget.h"
#include "magic/ParticleFactory.h"
#include "magic/ParticleKinds.h"
#include "magic/ParticleManager.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

struct FakeCreatures : IParticleCreatures {
  std::map<int, ParticleCreature> creatures;
  bool Get(int c, ParticleCreature& out) override {
    auto it = creatures.find(c);
    if (it == creatures.end()) return false;
    out = it->second;
    return true;
  }
};

// A particle that only holds a slot.
struct Filler : CParticle {
  Filler() : CParticle(0, 0, 0) {}
  void Draw(int, int) override {}
  int Update() override { return 1; }
};

// The two bases with nothing to draw.
struct Mover : CMovingParticle {
  using CMovingParticle::CMovingParticle;
  void Draw(int, int) override {}
};
struct Faller : CFallingParticle {
  using CFallingParticle::CFallingParticle;
  void Draw(int, int) override {}
};

// Settings the rules read, put back after each test.
struct SavedSettings {
  int gore = g_percentAsGore, floor = g_goreTimeOnFloor, trail = g_goreTrail, size = g_goreSize;
  int textured = g_texturedGore, flyRandom = g_pestFlyRandom, minDist = g_pestFlyMinDist, top = g_pestFlyTopSpeed;
  int lives = g_spellCastLives, delay = g_spellCastDelay, decay = g_spellCastDecay, boost = g_spellCastBoost;
  ~SavedSettings() {
    g_percentAsGore = gore;
    g_goreTimeOnFloor = floor;
    g_goreTrail = trail;
    g_goreSize = size;
    g_texturedGore = textured;
    g_pestFlyRandom = flyRandom;
    g_pestFlyMinDist = minDist;
    g_pestFlyTopSpeed = top;
    g_spellCastLives = lives;
    g_spellCastDelay = delay;
    g_spellCastDecay = decay;
    g_spellCastBoost = boost;
  }
};

class ParticleKindsTest : public magic_test::EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    g_particleManager.Clear();
    g_viewRandom.Seed(77);
  }
  void TearDown() override {
    g_particleManager.Clear();
    EffectTest::TearDown();
  }
  void FillManager() {
    while (g_particleManager.Count() < CParticleManager::kSlots) g_particleManager.Add(std::make_unique<Filler>());
  }
  // Centre of cell (10, 10) at level 0 (the grass floor fills level 0).
  ParticleCreature& PlaceCreature(int c, bool alive = true) {
    ParticleCreature& info = fake.creatures[c];
    info.centreX = 10 * 32 + 16;
    info.centreY = 10 * 32 + 16;
    info.centreZ = 24;
    info.alive = alive;
    info.seenByLocal = true;
    return info;
  }

  SavedSettings saved;
  FakeCreatures fake;
  HookScope<IParticleCreatures> creatureScope{g_particleCreatures, fake};
};

TEST_F(ParticleKindsTest, MovingAndFallingParticlesEndAtTheFloorOrHighAboveTheMap) {
  struct Case {
    int z, vz;
    bool falling;
    int frames;  // updates until the rule answers 0
  } cases[] = {
      {10, -5, false, 2},    // 5, then 0: down at the floor
      {100, 100, false, 2},  // 200, then 300 > 2 x 128
      {3, 0, true, 3},       // 3, 2 (vz -1), 0 (vz -2)
  };
  for (const Case& c : cases) {
    std::unique_ptr<CMovingParticle> p;
    if (c.falling)
      p = std::make_unique<Faller>(2047, 0, c.z, 1, -1, c.vz);
    else
      p = std::make_unique<Mover>(2047, 0, c.z, 1, -1, c.vz);
    int frames = 1;
    while (p->Update() && frames < 10) ++frames;
    EXPECT_EQ(frames, c.frames) << "z " << c.z << " vz " << c.vz;
    EXPECT_GE(p->x, 0);
    EXPECT_LT(p->y, CParticle::WorldHeight());
  }
}

TEST_F(ParticleKindsTest, GlowVelocityAddsUpToSixteenAndItFadesByItsDecay) {
  for (int i = 0; i < 50; ++i) {
    CGlowParticle glow(500, 500, 60);
    EXPECT_EQ(std::abs(glow.vx) + std::abs(glow.vy) + std::abs(glow.vz), 16);
  }
  CGlowParticle glow(500, 500, 60);
  glow.vx = glow.vy = glow.vz = 0;
  glow.delay = 2;
  EXPECT_EQ(glow.Priority(), 1024);
  std::vector<int> lives;
  while (glow.Update()) lives.push_back(glow.life);
  ASSERT_EQ(lives.size(), 21u);  // two frames of delay, then 100 -> 5 by 5
  EXPECT_EQ(lives[1], 100);
  EXPECT_EQ(lives[2], 95);
  EXPECT_EQ(glow.glow.r, ScaleRedBlue(5 * 128 / 100));
}

TEST_F(ParticleKindsTest, ASparkWhoseTwinIsRefusedGoesOnUnaffected) {
  g_spellCastLives = 4;
  g_spellCastDelay = 5;
  g_spellCastDecay = 6;
  g_spellCastBoost = 24;
  for (bool full : {false, true}) {
    g_particleManager.Clear();
    if (full) FillManager();
    CSpellSparkParticle spark(300, 300, 100);
    spark.SetColour(64, 64, 128);
    spark.drawn = 1;
    spark.vz = -4;  // falls to -5: it has fallen long enough
    const int count = g_particleManager.Count();
    EXPECT_EQ(spark.Update(), 1);
    EXPECT_EQ(spark.lives, 3);
    EXPECT_EQ(spark.brightness, 75 - 6 + 24);
    EXPECT_EQ(spark.vz, 0);
    EXPECT_EQ(spark.drawn, 0);
    EXPECT_EQ(g_particleManager.Count(), full ? count : count + 1) << "full " << full;
    if (!full) {
      auto* twin = static_cast<CSpellSparkParticle*>(g_particleManager.Slot(count));
      EXPECT_EQ(twin->vx, -spark.vx);
      EXPECT_EQ(twin->lives, 3);
    }
  }
}

TEST_F(ParticleKindsTest, SparkEmitterRampsUpOverOnePeriodAndBackOverTheNext) {
  CSpellSparkEmitter emitter(300, 300, 100);
  emitter.period = emitter.countdown = 4;
  std::vector<int> made;
  int frames = 0;
  for (int alive = 1; alive; ++frames) {
    const int before = g_particleManager.Count();
    alive = emitter.Update();
    made.push_back(g_particleManager.Count() - before);
  }
  EXPECT_EQ(made, (std::vector<int>{0, 5, 10, 15, 20, 15, 10, 5}));
}

TEST_F(ParticleKindsTest, GoreAboveTheMapNeverTestsTerrain) {
  CGoreParticle gore(100, 100, 120, 0, 0, 20);
  const int level = gore.cellLevel;
  EXPECT_EQ(gore.Update(), 1);
  EXPECT_GE(gore.z, CParticle::WorldDepth());
  EXPECT_EQ(gore.cellLevel, level);
  EXPECT_EQ(gore.timeOnFloor, g_goreTimeOnFloor);
}

TEST_F(ParticleKindsTest, GoreLandsThroughModesOneTwoThreeAndGoesFortyFramesLater) {
  g_goreTimeOnFloor = 40;
  Set(3, 3, 1, forge::terrain::kEarth);  // a full block on the grass
  CGoreParticle gore(100, 100, 60, 0, 0, 0);
  int frame = 0, landedAt = -1, endedAt = -1;
  std::vector<int> modes;
  for (; frame < 200; ++frame) {
    const int alive = gore.Update();
    if (gore.Landed()) {
      if (landedAt < 0) landedAt = frame;
      if (modes.empty() || modes.back() != gore.light.mode) modes.push_back(gore.light.mode);
      EXPECT_EQ(gore.vx | gore.vy | gore.vz, 0);
    }
    if (!alive) {
      endedAt = frame;
      break;
    }
  }
  ASSERT_GE(landedAt, 0);
  EXPECT_EQ(endedAt - landedAt, 39);  // the 40th frame on the floor is its last
  EXPECT_EQ(modes, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(gore.z, 32);  // where it was before it fell into the block
}

// The battle loads the fly, cure and subvert sprites as it starts and frees them as it ends;
// a fly drawn outside a battle still finds its sprite, loaded on first use.
TEST_F(ParticleKindsTest, TheCreatureSpritesComeAndGoWithTheBattle) {
  const std::string previous = platform::CurrentDirectory();
  platform::ChangeDirectory(testing_support::ForgedDataDir());
  LoadParticleSprites();
  EXPECT_TRUE(ParticleSpritesLoaded());
  const int frames = FlySprite().FrameCount();
  EXPECT_GT(frames, 0);
  LoadParticleSprites();  // loaded already: nothing changes
  EXPECT_EQ(FlySprite().FrameCount(), frames);
  FreeParticleSprites();
  EXPECT_FALSE(ParticleSpritesLoaded());
  EXPECT_EQ(FlySprite().FrameCount(), frames);  // first use loads them again
  EXPECT_TRUE(ParticleSpritesLoaded());
  FreeParticleSprites();
  platform::ChangeDirectory(previous);
}

TEST_F(ParticleKindsTest, BodyPartsByTypeAndVelocityList) {
  const std::string previous = platform::CurrentDirectory();
  platform::ChangeDirectory(testing_support::ForgedDataDir());
  const CSprite* brownie = BodyPartSprite(1);
  ASSERT_NE(brownie, nullptr);
  const int parts = brownie->FrameCount() / 9;
  ASSERT_GT(parts, 0);
  ASSERT_NE(OffalSprite(true), nullptr);
  // Entries of 28 bytes, the velocity in floats at 12, 16 and 20.
  std::vector<uint8_t> list(28 * (parts + 3));
  for (int i = 0; i < parts + 3; ++i) {
    const float v[3] = {float(i), -1.5f, 7.9f};
    std::memcpy(&list[28 * i + 12], v, sizeof v);
  }
  struct Case {
    int type;
    int listLength;
    int wanted;
  } cases[] = {{0, 0, 0}, {24, 0, 0}, {25, 3, 0}, {26, 0, 0}, {1, 0, parts}, {1, parts + 3, parts + 3}};
  for (const Case& c : cases) {
    g_particleManager.Clear();
    SpawnBodyParts(c.type, 300, 300, 40, 128, 128, 128, 32, 0, c.listLength ? list.data() : nullptr, c.listLength);
    EXPECT_EQ(g_particleManager.Count(), c.wanted) << "type " << c.type;
  }
  // The last entry went to part 0; parts past the type's own are offal with a frame.
  auto* first = static_cast<CBodyPartParticle*>(g_particleManager.Slot(0));
  EXPECT_EQ(first->vx, parts + 2);
  EXPECT_EQ(first->vy, -1);
  EXPECT_EQ(first->vz, 7);
  auto* offal = static_cast<CBodyPartParticle*>(g_particleManager.Slot(parts + 2));
  EXPECT_EQ(offal->part, parts + 2);
  EXPECT_GT(offal->Width(), 0);
  platform::ChangeDirectory(previous);
}

TEST_F(ParticleKindsTest, FliesSwarmAndCloseOnesKeepTheirVelocity) {
  g_pestFlyRandom = 0;
  g_pestFlyMinDist = 18;
  g_pestFlyTopSpeed = 8;
  ParticleCreature& host = PlaceCreature(5);
  host.pestered = true;
  struct Case {
    int dx, dy, dz, vx, vy, vz;
    int wantVx, wantVy, wantVz;
  } cases[] = {
      {0, 0, 0, 1, 0, 0, 1, 0, 0},    // 2 units off after its move: unchanged
      {60, 0, 0, 0, 0, 0, -8, 0, 0},  // far on x: drawn back at top speed
      {0, 10, 0, 0, 0, 0, 0, 8, 0},   // inside MinDist: driven away
      {0, 0, -40, 0, 0, 0, 0, 0, 8},  // far below: rises
  };
  for (const Case& c : cases) {
    CFlyParticle fly(host.centreX + c.dx, host.centreY + c.dy, host.centreZ + c.dz);
    fly.creature = 5;
    fly.vx = c.vx;
    fly.vy = c.vy;
    fly.vz = c.vz;
    EXPECT_EQ(fly.Update(), 1);
    EXPECT_EQ(fly.vx, c.wantVx) << c.dx << "," << c.dy << "," << c.dz;
    EXPECT_EQ(fly.vy, c.wantVy) << c.dx << "," << c.dy << "," << c.dz;
    EXPECT_EQ(fly.vz, c.wantVz) << c.dx << "," << c.dy << "," << c.dz;
  }
  host.pestered = false;
  CFlyParticle fly(host.centreX + 30, host.centreY, host.centreZ);
  fly.creature = 5;
  EXPECT_EQ(fly.Update(), 0);  // the pest is over
}

TEST_F(ParticleKindsTest, AnAuraEndsWithItsCreatureOrItsCondition) {
  ParticleCreature& host = PlaceCreature(3);
  host.levitating = true;
  CLevitateEmitter aura(host.centreX, host.centreY, host.centreZ);
  aura.creature = 3;
  aura.follow[0] = aura.follow[1] = aura.follow[2] = 1;
  aura.perFrame = 3;
  EXPECT_EQ(aura.Update(), 1);
  EXPECT_EQ(g_particleManager.Count(), 3);
  host.alive = false;
  EXPECT_EQ(aura.Update(), 0);
  EXPECT_EQ(g_particleManager.Count(), 3);  // nothing more in the frame it ends
  host.alive = true;
  host.levitating = false;
  EXPECT_EQ(aura.Update(), 0);
  CEarthBindEmitter loose(100, 100, 50, 128, 128, 32, 64);  // no creature: it goes on
  EXPECT_EQ(loose.Update(), 1);
}

TEST_F(ParticleKindsTest, BloodSprayMakesDropsOnlyWhileFreshAndRunsOutOfFrames) {
  g_percentAsGore = -1;  // never gore: plain drops only
  CBloodSprayEmitter spray(300, 300, 60, 1, 1, 5);
  spray.drops = 4;
  spray.change = -1;
  std::vector<int> made;
  for (int alive = 1; alive;) {
    const int before = g_particleManager.Count();
    alive = spray.Update();
    made.push_back(g_particleManager.Count() - before);
  }
  EXPECT_EQ(made, (std::vector<int>{4, 0, 0, 0}));  // not drawn after the first frame
  CBloodSprayEmitter seen(300, 300, 60, 1, 1, 5);
  seen.drops = 2;
  seen.change = 0;
  seen.framesLeft = 3;
  int frames = 0, total = 0;
  for (int alive = 1; alive; ++frames) {
    seen.Draw(0, 0);
    const int before = g_particleManager.Count();
    alive = seen.Update();
    total += g_particleManager.Count() - before;
  }
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(total, 6);
}

TEST_F(ParticleKindsTest, CureSparksFollowTheirCreatureAndEnd) {
  ParticleCreature& host = PlaceCreature(2);
  CCureParticle cure(host.centreX + 5, host.centreY - 3, host.centreZ + 4, 2, 25);
  EXPECT_GE(cure.framesLeft, 25);
  host.centreX += 32;
  EXPECT_EQ(cure.Update(), 1);
  EXPECT_EQ(cure.x, host.centreX + 5);
  EXPECT_EQ(cure.y, host.centreY - 3);
  cure.framesLeft = 1;
  EXPECT_EQ(cure.Update(), 0);
}

TEST_F(ParticleKindsTest, TheFactoryMakesTheKinds) {
  IParticleFactory& factory = ParticleKindsFactory();
  const int colour[3] = {64, 64, 128};
  auto spark = factory.MakeSpellSpark(10, 10, 10, colour);
  ASSERT_TRUE(dynamic_cast<CSpellSparkParticle*>(spark.get()));
  SparkEmitterSpec spec;
  spec.creature = 4;
  spec.stageCounts[1] = 7;
  spec.flags[0] = spec.flags[1] = 1;
  auto emitter = factory.MakeSpellSparkEmitter(spec);
  auto* sparks = dynamic_cast<CSpellSparkEmitter*>(emitter.get());
  ASSERT_TRUE(sparks);
  EXPECT_EQ(sparks->counts[1], 7);
  EXPECT_EQ(sparks->creature, 4);
  EXPECT_EQ(sparks->follow[1], 1);
  EXPECT_TRUE(dynamic_cast<CCureParticle*>(factory.MakeCureParticle(1, 1, 1, -1, 25).get()));
  EXPECT_TRUE(dynamic_cast<CSubvertParticle*>(factory.MakeSubvertParticle(1, 1, 1, -1, 25).get()));
  EXPECT_TRUE(dynamic_cast<CGlowParticle*>(factory.MakeGlow(1, 1, 1, 0, 0, 255).get()));
}

// --- pixels -----------------------------------------------------------------------------------------------

class GlowPixelsTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    saved555 = g_is555;
    g_is555 = GetParam();
    pixels.assign(8 * 8, 0);
    SetSpriteTarget(pixels.data(), 8, 8);
    SetSpriteClipRect(1, 1, 7, 7);
  }
  void TearDown() override {
    SetSpriteTarget(nullptr, 0, 0);
    g_is555 = saved555;
  }
  uint16_t Pixel(int r, int g, int b) const { return static_cast<uint16_t>(r << (g_is555 ? 10 : 11) | g << 5 | b); }
  uint16_t& At(int x, int y) { return pixels[static_cast<size_t>(y * 8 + x)]; }
  int saved555 = 0;
  std::vector<uint16_t> pixels;
};

TEST_P(GlowPixelsTest, GlowsAddSaturatingInsideTheClip) {
  const int greenMax = g_is555 ? 31 : 63;
  At(6, 6) = Pixel(30, greenMax - 1, 2);
  CGlowSquare glow;
  glow.Set(2, 2, 40, 40, 255);  // 5, 5 or 10, 31
  glow.Draw(6, 6);              // only (6, 6) lies inside the clip
  EXPECT_EQ(At(6, 6), Pixel(31, greenMax, 31));
  EXPECT_EQ(At(7, 6), 0);
  EXPECT_EQ(At(6, 7), 0);
  glow.Draw(0, 0);  // only (1, 1)
  EXPECT_EQ(At(0, 0), 0);
  EXPECT_EQ(At(1, 1), Pixel(5, g_is555 ? 5 : 10, 31));
  glow.Draw(-5, 2);  // wholly left of the clip
  EXPECT_EQ(At(1, 2), 0);
}

TEST_P(GlowPixelsTest, LightTextureModesBlendWithTheScreen) {
  struct Case {
    int mode;
    int r;  // the red written over a screen red of 20 by a flat colour of red 8
  } cases[] = {{0, 8}, {1, 4 + 2 + 5}, {2, 4 + 10}, {3, 2 + 10 + 5}};
  for (const Case& c : cases) {
    std::fill(pixels.begin(), pixels.end(), Pixel(20, 0, 0));
    CLightTexture light;
    light.mode = c.mode;
    light.width = light.height = 3;
    light.SetColour(64, 0, 0);
    light.Draw(5, -1);  // clipped to columns 5-6, rows 1
    EXPECT_EQ(At(5, 1), Pixel(c.r, 0, 0)) << "mode " << c.mode;
    EXPECT_EQ(At(6, 1), Pixel(c.r, 0, 0));
    EXPECT_EQ(At(7, 1), Pixel(20, 0, 0));
    EXPECT_EQ(At(5, 0), Pixel(20, 0, 0));
    EXPECT_EQ(At(5, 2), Pixel(20, 0, 0));
  }
}

TEST_P(GlowPixelsTest, TexturesFallOffAlongTheDiagonal) {
  const float upper = g_texturedGoreUpper, lower = g_texturedGoreLower;
  g_texturedGoreUpper = 1.5f;
  g_texturedGoreLower = 0.5f;
  CLightTexture light;
  light.width = light.height = 2;
  light.SetColour(160, 160, 160);  // 20; green 20 or 40
  light.Build();
  ASSERT_TRUE(light.texture);
  const int g = g_is555 ? 20 : 40, greenMax = g_is555 ? 31 : 63;
  EXPECT_EQ(light.texture[0], 30);  // 20 x 1.5
  EXPECT_EQ(light.texture[1], std::min(g * 3 / 2, greenMax));
  EXPECT_EQ(light.texture[9], 10);  // the far corner, 20 x 0.5
  light.Draw(1, 1);
  EXPECT_EQ(At(1, 1), Pixel(30, std::min(g * 3 / 2, greenMax), 30));
  EXPECT_EQ(At(2, 2), Pixel(10, g / 2, 10));
  CLightTexture dot;  // a 1 x 1 drop has no texture
  dot.Build();
  EXPECT_FALSE(dot.texture);
  g_texturedGoreUpper = upper;
  g_texturedGoreLower = lower;
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, GlowPixelsTest, ::testing::Values(0, 1));

}  // namespace

// Both emitters scatter their glows through one routine: with the same seed each lets go the
// same glows, draw for draw, as it always has (velocity, place and colour in that order); the
// spark emitter pins its glows to the creature on every followed axis, an aura only
// horizontally, so an aura's glows still rise.
TEST_F(ParticleKindsTest, EmittersScatterTheirGlowsDrawForDraw) {
  ParticleCreature& host = PlaceCreature(4);
  host.levitating = true;
  auto glows = [] {
    std::vector<int> fields;
    for (int i = 0; i < g_particleManager.Count(); ++i) {
      const auto* g = dynamic_cast<const CAttachedGlowParticle*>(g_particleManager.Slot(i));
      if (!g) continue;
      fields.insert(fields.end(), {g->x, g->y, g->z, g->vx, g->vy, g->vz, g->offsetX, g->offsetY, g->offsetZ, g->delay,
                                   g->glow.width, g->glow.height, g->glow.r, g->glow.g, g->glow.b});
    }
    g_particleManager.Clear();
    return fields;
  };
  CSpellSparkEmitter sparks(100, 100, 120);
  sparks.counts[0] = sparks.counts[1] = 2;
  sparks.creature = 4;
  sparks.follow[0] = sparks.follow[1] = sparks.follow[2] = 1;
  sparks.Update();
  const std::vector<int> fromSparks = glows();
  CLevitateEmitter aura(host.centreX, host.centreY, host.centreZ);
  aura.creature = 4;
  aura.follow[0] = aura.follow[1] = aura.follow[2] = 1;
  aura.perFrame = 2;
  aura.Update();
  const std::vector<int> fromAura = glows();
  EXPECT_EQ(fromSparks, (std::vector<int>{344, 341, 24, 0, 0, 0, 8,  5,  0,  2, 2, 2, 19, 33, 2,
                                          352, 351, 37, 0, 0, 0, 16, 15, 13, 1, 2, 2, 12, 26, 1}));
  EXPECT_EQ(fromAura, (std::vector<int>{323, 341, 25, 0, 0, 12, -13, 5, 0, -2, 2, 4, 16, 36, 0,
                                        336, 341, 25, 0, 0, 14, 0,   5, 0, -1, 2, 4, 12, 35, 1}));
}
