// What spells put over a creature, seen on the map: the wait overlay, the rising levitation,
// the flight of limited duration, the reaction flash and the undead's rising, each drawn by
// the real map view over the creature's body from the forged effect animations, and gone
// again when the creature no longer has it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ForgedMapScene.h"
#include "core/Preferences.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "graphics/Animation.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "platform/Profile.h"
#include "support/CreatureField.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

// The effect animation table of the forged data, for the entries the creatures start: one
// animation file, each entry a sequence of it.
struct ForgedEntries : ICreatureEffects {
  CSprite sprite;
  CAnimation animation;
  bool Load() {
    if (!sprite.Load("sprites\\EFFECTS2.spr", 16)) return false;
    sprite.BuildColourTables(1, 16);
    animation.SetSprite(&sprite);
    return animation.Load("sprites\\EFFECTS2.ani");
  }
  CAnimation* EffectAnimEntry(int entry, int& first) override {
    first = platform::ReadProfileInt("ANI_" + std::to_string(entry), "AnimationNo", -1, "cfg\\effectani.cfg");
    return first >= 0 ? &animation : nullptr;
  }
  CAnimation* GlobalAnim(int number) override {
    int first = 0;
    return EffectAnimEntry(number, first);
  }
};

using testing_support::StandingLevel;

class CreatureOverlays : public creature_test::ForgedMapScene {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ForgedMapScene::SetUp());
    ASSERT_TRUE(entries.Load());
    ASSERT_TRUE(canvas.ready);
    g_prefs.isHighRes = 0;
  }

  CCreature& Place(int type, int x, int y) {
    int level = StandingLevel(type, x, y);
    for (int tries = 0; level < 0 && tries < 8; ++tries) level = StandingLevel(type, ++x, y);
    EXPECT_GE(level, 0);
    CCreature* creature = g_creatureArray.FindFree();
    creature->SetPosition(x, y, level < 0 ? 0 : level, type);
    creature->InitFromType(type, 1);
    creature->SetFacing(3);
    return *creature;
  }

  // The view in full light around a cell, as 565 pixels.
  std::vector<uint16_t> Draw(int x, int y) {
    std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), static_cast<int8_t>(0));
    return canvas.Draw(0, x, y, 4);
  }
  static std::string Write(const std::string& name, const std::vector<uint16_t>& pixels) {
    const std::string path = testing_support::TestOutputDir() + "/" + name;
    EXPECT_TRUE(testing_support::WritePng565(path, kWidth, kHeight, pixels));
    std::printf("creature overlays: %s\n", path.c_str());
    return path;
  }
  static int Differing(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n;
  }

  ForgedEntries entries;
  HookScope<ICreatureEffects> entriesScope{g_creatureEffects, entries};
  testing_support::MapViewCanvas canvas{kWidth, kHeight, "maps/moorland/terrain.spr"};
};

// Which attached picture each look fills, and how it is printed.
TEST_F(CreatureOverlays, EachSpellLookFillsItsOwnAttachedPictureAndOnlyWhileItLasts) {
  const int cx = g_map.width / 2, cy = g_map.height / 2;
  struct Case {
    const char* look;
    int type;
    int slot;
    int printType;
    void (*start)(CCreature&);
    void (*end)(CCreature&);
  };
  const Case cases[] = {
      {"wait overlay", 1, 0, PRT_TRAIL, [](CCreature& c) { c.SetSpellState(1, -1); },
       [](CCreature& c) { c.SetSpellState(0, -1); }},
      {"levitation", 1, 1, PRT_NORMAL, [](CCreature& c) { c.ShowSpellOverlay(); },
       [](CCreature& c) { c.attachAnim1.inUse = 0; }},
      {"levitation of a wide type", 21, 1, PRT_NORMAL, [](CCreature& c) { c.ShowSpellOverlay(); },
       [](CCreature& c) { c.attachAnim1.inUse = 0; }},
      {"flight", 1, 2, PRT_TRAIL, [](CCreature& c) { c.SetSpellState(3, -1); },
       [](CCreature& c) { c.SetSpellState(0, -1); }},
      {"reaction", 1, 3, PRT_NORMAL, [](CCreature& c) { c.PlayEffectReaction(); },
       [](CCreature& c) { c.attachAnims[0].inUse = 0; }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.look);
    CCreature& c = Place(test.type, cx, cy);
    CreatureDrawInfo before;
    ASSERT_TRUE(g_mapViewHooks.creatures->GetDrawInfo(c.index, 0, before));
    for (const DrawLayer& layer : before.attached) EXPECT_FALSE(static_cast<bool>(layer.frame));
    test.start(c);
    CreatureDrawInfo during;
    ASSERT_TRUE(g_mapViewHooks.creatures->GetDrawInfo(c.index, 0, during));
    for (int slot = 0; slot < 7; ++slot) EXPECT_EQ(static_cast<bool>(during.attached[slot].frame), slot == test.slot);
    EXPECT_EQ(during.attached[test.slot].printType, test.printType);
    test.end(c);
    CreatureDrawInfo after;
    ASSERT_TRUE(g_mapViewHooks.creatures->GetDrawInfo(c.index, 0, after));
    for (const DrawLayer& layer : after.attached) EXPECT_FALSE(static_cast<bool>(layer.frame));
    c.Detach();
    g_creatureArray.ReleaseAll();
  }
}

TEST_F(CreatureOverlays, SpellLooksAreDrawnOverTheirCreaturesAndGoneWhenTheyEnd) {
  const int cx = g_map.width / 2, cy = g_map.height / 2;
  CCreature& waiting = Place(1, cx - 2, cy + 1);
  CCreature& levitating = Place(1, cx, cy - 1);
  CCreature& wide = Place(21, cx + 2, cy - 3);
  CCreature& flying = Place(1, cx - 1, cy + 3);
  CCreature& flashed = Place(1, cx + 2, cy + 1);
  Draw(cx, cy);  // the first frame settles the view (the creatures' facings, the occlusion)
  const std::vector<uint16_t> plain = Draw(cx, cy);
  Write("creature-overlays-none.png", plain);

  waiting.SetSpellState(1, -1);
  levitating.ShowSpellOverlay();
  wide.ShowSpellOverlay();
  flying.SetSpellState(3, -1);
  flashed.PlayEffectReaction();
  // A few frames in, where the rising and the flash show most.
  for (int frame = 0; frame < 4; ++frame)
    for (CCreature* c : {&waiting, &levitating, &wide, &flashed}) {
      c->overlayAnim.Advance();
      c->attachAnim1.player.Advance();
      c->attachAnims[0].player.Advance();
    }
  const std::vector<uint16_t> looks = Draw(cx, cy);
  Write("creature-overlays.png", looks);
  EXPECT_GT(Differing(plain, looks), 300);

  // Each look changes the picture by itself, and its end takes it away again.
  waiting.SetSpellState(0, -1);
  levitating.attachAnim1.inUse = 0;
  wide.attachAnim1.inUse = 0;
  flying.SetSpellState(0, -1);
  flashed.attachAnims[0].inUse = 0;
  EXPECT_EQ(Differing(plain, Draw(cx, cy)), 0);
  for (CCreature* c : {&levitating, &wide}) {
    c->attachAnim1.inUse = 1;
    EXPECT_GT(Differing(plain, Draw(cx, cy)), 40);
    c->attachAnim1.inUse = 0;
  }
}

}  // namespace
