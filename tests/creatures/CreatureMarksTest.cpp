// What a creature wears on the map: the owner's marker and when the view shows it, the status
// marks and health gauge of a selected or inspected creature, the target arrow, and the rank
// badge of a Lord or a King, all from the battle's forged interface sprites.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "CreatureWorld.h"
#include "core/Options.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/CreatureMarks.h"
#include "graphics/Animation.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "platform/Profile.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/ControlArt.h"

namespace creature_test {
namespace {

namespace m = creature_marks;

constexpr int kBrownie = 1;  // one tile
constexpr int kDragon = 18;  // two tiles

// The battle's answers with the forged marker sprite and rank badge loaded.
struct MarkedBattle : RecordingBattle {
  // In the forged data folder.
  void Load() {
    markersLoaded = markers.Load("sprites\\markers.spr", 2);
    badge.SetSprite(&badgeSprite);
    badgeLoaded = badgeSprite.Load("sprites\\lordking.spr", 16) && badge.Load("sprites\\lordking.ani");
  }
  CSprite* MarkerSprite() override { return &markers; }
  CAnimation* RankBadgeAnimation() override { return &badge; }
  CSprite markers, badgeSprite;
  CAnimation badge;
  bool markersLoaded = false, badgeLoaded = false;
};

class CreatureMarks : public CreatureWorld {
 protected:
  void SetUp() override {
    CreatureWorld::SetUp();
    marked.Load();
    ASSERT_TRUE(marked.markersLoaded);
    ASSERT_TRUE(marked.badgeLoaded);
    ASSERT_EQ(marked.markers.FrameCount(), m::kFrameCount);
    UseArmy(1, true);
    UseArmy(2);
    g_armyTable.armies[1].colour = 1;
    g_armyTable.armies[2].colour = 2;
  }
  void TearDown() override {
    g_directAI = 0;
    g_indicatorLightLevel = -64;
    CreatureWorld::TearDown();
  }
  CreatureDrawInfo Marks(int slot) {
    CreatureDrawInfo info;
    FillCreatureMarks(C(slot), 0, 0, 0, info);
    return info;
  }
  bool Is(const DrawLayer& layer, int frame) {
    return layer.frame && layer.frame.data == marked.markers.GetFrame(frame).data;
  }

  MarkedBattle marked;
  HookScope<ICreatureBattle> markedScope{g_creatureBattle, marked};
};

// When the owner's marker is worn, and what stands in its place, by the creature's state, the
// light of its cell (the indicators' level is -64) and the direct control of every army.
TEST_F(CreatureMarks, TheOwnersMarkerFollowsSelectionDeathLightAndDirectControl) {
  enum Look { kNothing, kMarker, kOwnBrackets, kOtherBrackets };
  struct Case {
    const char* what;
    int army;
    bool selected, inspected, dead;
    int spellState, light;
    bool directAI;
    Look look;
  };
  const Case cases[] = {
      {"in the light", 1, false, false, false, 0, 0, false, kMarker},
      {"at the indicators' level", 2, false, false, false, 0, -64, false, kMarker},
      {"in shadow below it", 2, false, false, false, 0, -65, false, kNothing},
      {"in shadow, every army under direct control", 2, false, false, false, 0, -120, true, kMarker},
      {"selected", 1, true, false, false, 0, 0, false, kOwnBrackets},
      {"inspected", 2, false, true, false, 0, 0, false, kOtherBrackets},
      {"flying in state 3", 1, false, false, false, 3, 0, false, kNothing},
      {"a body on the ground", 2, false, false, true, 0, 0, false, kNothing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int slot = Place(kBrownie, c.army, 10, 10);
    CCreature& creature = C(slot);
    creature.selected = c.selected;
    creature.inspected = c.inspected;
    if (c.dead) creature.health = 0;
    g_directAI = c.directAI;
    CreatureDrawInfo info = Marks(slot);
    info.state = c.spellState;
    EXPECT_EQ(ShowsOwnerMarker(info, c.light), c.look == kMarker);
    if (c.look == kMarker) EXPECT_TRUE(Is(info.ownerMarker, m::kOwnerMarkerFirst + g_armyTable.armies[c.army].colour));
    EXPECT_EQ(info.showsStatus, c.look == kOwnBrackets || c.look == kOtherBrackets);
    EXPECT_EQ(Is(info.status[0], m::kSelectedHead) && Is(info.status[1], m::kSelectedFeet), c.look == kOwnBrackets);
    EXPECT_EQ(Is(info.status[0], m::kInspectedHead) && Is(info.status[1], m::kInspectedFeet), c.look == kOtherBrackets);
    EXPECT_EQ(info.gauge != nullptr, info.showsStatus);
    creature.health = 0;
    creature.Detach();
  }
}

// Two armies' markers differ; a large body wears the large brackets; the player's selected
// creature carries its group's number, and the creature it attacks shows the target arrow.
TEST_F(CreatureMarks, ArmiesGroupsLargeBodiesAndTargetsEachShowTheirOwnMark) {
  const int ours = Place(kBrownie, 1, 10, 10);
  const int theirs = Place(kBrownie, 2, 12, 10);
  const int large = Place(kDragon, 1, 14, 14);
  EXPECT_NE(Marks(ours).ownerMarker.frame.data, Marks(theirs).ownerMarker.frame.data);

  C(large).inspected = 1;
  EXPECT_TRUE(Is(Marks(large).status[0], m::kInspectedHeadLarge));
  EXPECT_TRUE(Is(Marks(large).status[1], m::kInspectedFeetLarge));

  C(ours).selected = 1;
  C(ours).group = 3;
  ASSERT_NE(Marks(ours).label, nullptr);
  EXPECT_STREQ(Marks(ours).label, "3");
  C(ours).target = theirs;
  C(ours).order = ORDER_ATTACK_CREATURE;
  CountTargetMarks();
  EXPECT_EQ(C(theirs).targetMarks, 1);
  EXPECT_TRUE(Is(Marks(theirs).status[0], m::kTargetArrow));
  // An unselected attacker marks nothing.
  C(ours).selected = 0;
  CountTargetMarks();
  EXPECT_EQ(C(theirs).targetMarks, 0);
  EXPECT_FALSE(Marks(theirs).showsStatus);
}

// The health gauge is 4 wide and as tall as the type's markers span from the head to the
// feet (the first and third pair of MarkerHoriz), full at full health.
TEST_F(CreatureMarks, TheHealthGaugeTakesItsHeightFromTheTypesMarkers) {
  struct Case {
    int head, feet, height;
  };
  for (const Case& c : {Case{-38, 4, 43}, Case{-22, 4, 27}, Case{-60, -2, 63}, Case{0, 0, 1}}) {
    SCOPED_TRACE(c.height);
    CCreatureType& type = g_creatureTypes[kBrownie];
    type.MarkerHoriz[0][1] = c.head;
    type.MarkerHoriz[2][1] = c.feet;
    const int slot = Place(kBrownie, 1, 10, 10);
    const CBarGauge& gauge = C(slot).healthGauge.bar;
    EXPECT_EQ(gauge.width, 4);
    EXPECT_EQ(gauge.height, c.height);
    EXPECT_EQ(gauge.maximum, C(slot).GetMaxHealth());
    EXPECT_EQ(gauge.value, C(slot).health);
    C(slot).AdjustHealth(-C(slot).health / 2, -1, nullptr, 1);
    EXPECT_EQ(gauge.value, C(slot).health);
    C(slot).health = 0;
    C(slot).Detach();
  }
  // The gauge stands left of the head bracket, its top at the head.
  const int slot = Place(kBrownie, 1, 10, 10);
  C(slot).selected = 1;
  const CreatureDrawInfo info = Marks(slot);
  int headX = 0, headY = 0;
  C(slot).type->GetMarkerOffset(headX, headY, C(slot).facing, 0, 0);
  EXPECT_EQ(info.gaugeY, headY);
  EXPECT_EQ(info.gaugeX + 4, headX - m::kBracketHalfWidth[0] - 3);
}

// A promotion starts the badge of the rank, which runs on with the creature's frames and sits
// on its head; an ordinary creature has none.
TEST_F(CreatureMarks, ALordAndAKingWearTheirBadgesAndTheyRunOn) {
  CCreatureType& type = g_creatureTypes[kBrownie];
  type.LordExperienceLevel = 10;
  type.KingExperienceLevel = 20;
  const int slot = Place(kBrownie, 1, 10, 10);
  CCreature& c = C(slot);
  EXPECT_FALSE(Marks(slot).attached[6].frame);
  c.AddExperience(11);
  ASSERT_EQ(c.rank, 1);
  EXPECT_EQ(c.rankBadge.sequence, 0);
  const CSpriteFrame lord = Marks(slot).attached[6].frame;
  EXPECT_TRUE(lord);
  c.AddExperience(11);
  ASSERT_EQ(c.rank, 2);
  EXPECT_EQ(c.rankBadge.sequence, 1);
  const CreatureDrawInfo king = Marks(slot);
  ASSERT_TRUE(king.attached[6].frame);
  EXPECT_NE(king.attached[6].frame.data, lord.data);
  // Sitting on the head, with the owner's marker lifted over it.
  int headX = 0, headY = 0, aboveX = 0, aboveY = 0;
  c.type->GetMarkerOffset(headX, headY, c.facing, 0, 0);
  c.type->GetMarkerOffset(aboveX, aboveY, c.facing, 3, 0);
  EXPECT_EQ(king.attached[6].offsetY, headY);
  EXPECT_LT(king.ownerMarker.offsetY, aboveY);
  // The badge's frames turn over as the King lives on.
  const int first = c.rankBadge.CurrentFrame();
  bool changed = false;
  for (int frame = 0; frame < 30 && !changed; ++frame) {
    battle.frame = marked.frame = frame;
    c.Update();
    changed = c.rankBadge.CurrentFrame() != first;
  }
  EXPECT_TRUE(changed);
}

// The effect animation table of the forged data for the shared marker players: entries 6, 30
// and 98 all play sequences of the second effects file.
struct MarkerEntries : ICreatureEffects {
  bool Load() {
    animation.SetSprite(&sprite);
    return sprite.Load("sprites\\EFFECTS1.spr", 16) && animation.Load("sprites\\EFFECTS1.ani");
  }
  CAnimation* EffectAnimEntry(int entry, int& first) override {
    first = platform::ReadProfileInt("ANI_" + std::to_string(entry), "AnimationNo", -1, "cfg\\effectani.cfg");
    return first >= 0 && entry != missing ? &animation : nullptr;
  }
  CSprite sprite;
  CAnimation animation;
  int missing = -1;
};

// A battle starts the three shared marker players on their entries (the first from its fourth
// sequence, the smallest of its four sizes) and each battle frame moves them on; an entry the
// table lacks leaves its player without an animation, and the frames pass it by.
TEST_F(CreatureMarks, TheSharedMarkerPlayersStartOnTheirEntriesAndRunEachFrame) {
  MarkerEntries entries;
  ASSERT_TRUE(entries.Load());
  HookScope<ICreatureEffects> effectsScope(g_creatureEffects, entries);
  // The players point into this test's animation: none outlives it.
  struct ClearPlayers {
    ~ClearPlayers() {
      for (CAnimPlayer& player : g_creatureArray.markerAnims) player.Clear();
    }
  } clearPlayers;
  struct Expected {
    int entry, sequenceOffset;
  };
  const Expected expected[3] = {{6, 3}, {30, 0}, {98, 0}};
  g_creatureArray.InitMarkerAnim1();
  g_creatureArray.InitMarkerAnim2();
  g_creatureArray.InitMarkerAnim3();
  for (int i = 0; i < 3; ++i) {
    const CAnimPlayer& player = g_creatureArray.markerAnims[i];
    int first = -1;
    entries.EffectAnimEntry(expected[i].entry, first);
    EXPECT_EQ(player.animation, &entries.animation) << "player " << i;
    EXPECT_EQ(player.sequence, first + expected[i].sequenceOffset) << "player " << i;
    EXPECT_TRUE(player.playing) << "player " << i;
    EXPECT_GE(player.CurrentFrame(), 0) << "player " << i;
  }
  // Each player shows several frames over a few dozen battle frames.
  std::set<int> shown[3];
  for (int frame = 0; frame < 40; ++frame) {
    g_creatureArray.AdvanceMarkerAnims();
    for (int i = 0; i < 3; ++i) shown[i].insert(g_creatureArray.markerAnims[i].CurrentFrame());
  }
  for (int i = 0; i < 3; ++i) EXPECT_GT(shown[i].size(), 1u) << "player " << i << " stood still";

  entries.missing = 30;
  g_creatureArray.InitMarkerAnim2();
  EXPECT_EQ(g_creatureArray.markerAnims[1].animation, nullptr);
  g_creatureArray.AdvanceMarkerAnims();
  EXPECT_EQ(g_creatureArray.markerAnims[1].CurrentFrame(), -1);
}

// The forged marks on the grounds they are seen on (grass, water, stone and the dark), for a
// person to judge: every owner's gem, both sets of brackets and the target arrow stand out of
// each ground in colour.
TEST_F(CreatureMarks, TheMarksReadOnGrassWaterStoneAndInTheDark) {
  const uint16_t grounds[4] = {0x3C43, 0x2A7B, 0x6B4D, 0x0841};  // grass, water, stone, dark
  constexpr int kCell = 60, kWidth = kCell * m::kFrameCount, kHeight = 4 * kCell;
  std::vector<uint16_t> sheet(static_cast<size_t>(kWidth) * kHeight);
  for (int row = 0; row < 4; ++row)
    for (int y = row * kCell; y < (row + 1) * kCell; ++y)
      for (int x = 0; x < kWidth; ++x) sheet[static_cast<size_t>(y) * kWidth + x] = grounds[row];
  SetSpriteTarget(sheet.data(), kWidth, kHeight);
  SetSpriteClipRect(0, 0, kWidth, kHeight);
  for (int row = 0; row < 4; ++row)
    for (int frame = 0; frame < m::kFrameCount; ++frame) {
      const CSpriteFrame f = marked.markers.GetFrame(frame);
      PrintControlFrame(&marked.markers, frame, frame * kCell + kCell / 2, row * kCell + kCell / 2);
      // Each mark has pixels unlike every ground and unlike black: it shows in colour.
      if (frame < m::kOwnerMarkerFirst || row > 0) continue;
      int coloured = 0;
      for (int y = 0; y < f.Height(); ++y)
        for (int x = 0; x < f.Width(); ++x) {
          const uint16_t p = sheet[static_cast<size_t>(row * kCell + kCell / 2 - f.HotspotY() + y) * kWidth +
                                   frame * kCell + kCell / 2 - f.HotspotX() + x];
          const int r = p >> 11, g = (p >> 5) & 63, b = p & 31;
          bool ground = false;
          for (uint16_t q : grounds) ground = ground || p == q;
          coloured += !ground && (r > 12 || g > 24 || b > 12);
        }
      EXPECT_GT(coloured, 6) << "frame " << frame;
    }
  SetSpriteTarget(nullptr, 0, 0);
  EXPECT_TRUE(testing_support::WritePng565(testing_support::TestOutputDir() + "/creature-marks-sheet.png", kWidth,
                                           kHeight, sheet));
}

}  // namespace
}  // namespace creature_test
