// The forged creature art read back by the game's own loaders: every file passes the
// animation checks in both sets and paces its type as the table says, holds the sequences
// and events the creature code plays, and draws each type apart from the others. Contact
// sheets of every type and set go to the test output.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Options.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "forge/CreatureArt.h"
#include "forge/CreatureTable.h"
#include "graphics/Animation.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/SpritePrinter.h"
#include "platform/Files.h"
#include "support/ContactSheet.h"
#include "support/TestSupport.h"

namespace {

namespace blocks = forge::creature_blocks;
using forge::CreatureArtFile;

const std::vector<CreatureArtFile>& Files() {
  static const std::vector<CreatureArtFile> files = forge::CreatureArtFiles();
  return files;
}

std::string AniPath(int set, const std::string& name) {
  return std::string(set == 0 ? forge::kCreatureFolder : forge::kCutDownCreatureFolder) + name + ".ani";
}

// An animation file with its sprite, read from the forged data.
struct Art {
  CAnimation animation{0};
  CSprite sprite;
  bool Load(int set, const std::string& name) {
    const std::string ani = AniPath(set, name);
    const std::string spr = ani.substr(0, ani.size() - 4) + ".spr";
    return animation.Load(ani.c_str()) && sprite.Load(spr.c_str(), 16);
  }
  CSpriteFrame FirstFrame(int sequence) const { return sprite.GetFrame(animation.GetFirstFrame(sequence)); }
  CSpriteFrame LastFrame(int sequence) const {
    int last = -1;
    for (int s = animation.GetSequence(sequence); s <= animation.SequenceEnd(sequence); ++s)
      if (animation.Step(s).kind == kStepFrame) last = animation.Step(s).value;
    return sprite.GetFrame(last);
  }
};

// What a sequence holds: its frames, its events in order, whether it loops back.
struct Summary {
  std::vector<int> frames;
  std::vector<int> events;
  bool jumpsBack = false;
  bool empty = false;
};

Summary Summarise(const CAnimation& animation, int sequence) {
  Summary s;
  const int first = animation.GetSequence(sequence), end = animation.SequenceEnd(sequence);
  s.empty = animation.Step(first).kind == kStepEnd;
  for (int i = first; i < end; ++i) {
    const AnimStep& step = animation.Step(i);
    if (step.kind == kStepFrame) s.frames.push_back(step.value);
    if (step.kind == kStepEvent) s.events.push_back(step.value);
    if (step.kind == kStepJump && step.value < 0) s.jumpsBack = true;
  }
  return s;
}

size_t Distinct(const std::vector<int>& values) { return std::set<int>(values.begin(), values.end()).size(); }

// The opaque pixels of a frame hung at (0, 0), as a set of points.
std::set<std::pair<int, int>> Mask(CSpriteFrame frame) {
  std::set<std::pair<int, int>> mask;
  for (int y = -frame.HotspotY(); y < frame.Height() - frame.HotspotY(); ++y)
    for (int x = -frame.HotspotX(); x < frame.Width() - frame.HotspotX(); ++x)
      if (SpriteFrameHitTest(frame, 0, 0, x, y)) mask.insert({x, y});
  return mask;
}

// The part of two masks' union that only one of them covers.
double Difference(const std::set<std::pair<int, int>>& a, const std::set<std::pair<int, int>>& b) {
  size_t both = 0;
  for (const auto& p : a) both += b.count(p);
  const size_t any = a.size() + b.size() - both;
  return any ? static_cast<double>(any - both) / static_cast<double>(any) : 0;
}

// Runs with the forged data folder as the working directory (reading only) while it lives.
class InForgedData {
 public:
  InForgedData() : here_(platform::CurrentDirectory()) {
    EXPECT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));
  }
  ~InForgedData() { platform::ChangeDirectory(here_); }

 private:
  std::string here_;
};

class CreatureArt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InForgedData in;
    ASSERT_EQ(LoadSpells("cfg\\spells.cfg", g_spellDefs), 1);
    ASSERT_EQ(ReadCreatureConfig("cfg\\creature.cfg", "cfg\\hth.cfg", g_creatureTypes), 1);
  }
  static void TearDownTestSuite() {
    for (auto& set : g_creatureTypeAnims) set.reset();
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
    g_creatureAnimChecks = 0;
  }
  const forge::CreatureRow& Row(int type) const { return forge::CreatureTable()[static_cast<size_t>(type)]; }
};

int Sum(const int32_t (&advances)[12]) {
  int sum = 0;
  for (int a : advances) sum += a;
  return sum;
}

TEST_F(CreatureArt, EveryFilePassesTheAnimationChecksAndPacesItsTypeAsTheTableSays) {
  InForgedData in;
  g_creatureAnimChecks = 1;
  std::map<std::string, std::pair<int, int>> durations;  // file -> attack, ranged duration
  for (int set = 0; set < 2; ++set)
    for (const CreatureArtFile& file : Files()) {
      SCOPED_TRACE(AniPath(set, file.name));
      CCreatureType& type = g_creatureTypes[file.type];
      g_creatureTypeAnims[file.type].reset();
      testing_support::BoxRecorder boxes;
      ASSERT_TRUE(LoadCreatureTypeAnims(type, file.type, AniPath(set, file.name).c_str()));
      EXPECT_EQ(boxes.Count(), 0u);
      const forge::CreatureRow& row = Row(file.type);
      // A straight cycle covers 6 x its shift in units, a diagonal one the same: one step
      // (192) for the slowest types, two for the swiftest.
      const int walk = 6 * forge::CycleShift(row.GroundSpeed);
      EXPECT_EQ(Sum(type.walkAdvanceStraight), walk);
      EXPECT_EQ(Sum(type.walkAdvanceDiagonal), walk);
      EXPECT_GE(walk, 192);
      EXPECT_LE(walk, 384);
      if (row.CanFly) {
        EXPECT_EQ(Sum(type.flyAdvanceStraight), 6 * forge::CycleShift(row.FlyingSpeed));
        EXPECT_EQ(Sum(type.flyAdvanceDiagonal), 6 * forge::CycleShift(row.FlyingSpeed));
      }
      // A blow takes half a second to two and a half at seventeen frames a second, the
      // heavy ones longest; a shot takes its fire rate and the drawing of the shot.
      EXPECT_GE(type.attackDuration, 9);
      EXPECT_LE(type.attackDuration, 42);
      if (type.rangedAttackSpell != kNoRangedAttack) {
        EXPECT_GT(type.rangedAttackDuration, type.FireRate);
        EXPECT_LE(type.rangedAttackDuration, type.FireRate + 40);
      }
      // Both sets keep the same pace and timings.
      const std::pair<int, int> measured{type.attackDuration, type.rangedAttackDuration};
      if (set == 0)
        durations[file.name] = measured;
      else
        EXPECT_EQ(durations[file.name], measured);
    }
  EXPECT_LT(durations["brownie"].first, durations["troll"].first);
  EXPECT_LT(durations["elf"].first, durations["dragon"].first);
  for (auto& set : g_creatureTypeAnims) set.reset();
  g_creatureAnimChecks = 0;
}

TEST_F(CreatureArt, SequencesHoldTheFramesAndEventsTheCreatureCodePlays) {
  InForgedData in;
  const std::set<int> shooters = {1, 2, 3, 8, 9, 10, 18, 20, 23};
  for (const CreatureArtFile& file : Files()) {
    SCOPED_TRACE(file.name);
    Art art;
    ASSERT_TRUE(art.Load(0, file.name));
    ASSERT_EQ(art.animation.SequenceCount(), blocks::kSequences);
    const bool flies = Row(file.type).CanFly;
    const bool floats = file.name == "eye" || file.name == "wraith";
    for (int facing = 0; facing < 8; ++facing) {
      SCOPED_TRACE(facing);
      auto at = [&](int base) { return Summarise(art.animation, base + facing); };
      auto expectCycle = [&](int base, std::vector<int> events) {
        const Summary s = at(base);
        ASSERT_EQ(s.frames.size(), 13u) << base;  // twelve and the first again
        EXPECT_EQ(s.frames.back(), s.frames.front()) << base;
        EXPECT_EQ(s.events, events) << base;
        // The pictures change from frame to frame through the cycle.
        EXPECT_GE(Distinct(s.frames), 3u) << base;
        for (size_t j = 1; j < 12; ++j) EXPECT_NE(s.frames[j], s.frames[j - 1]) << base << " " << j;
      };
      expectCycle(blocks::kWalk, floats ? std::vector<int>{2} : std::vector<int>{5, 2});
      for (int base : {blocks::kFly, blocks::kAirWait}) {
        if (flies)
          expectCycle(base, {2});
        else
          EXPECT_TRUE(at(base).empty) << base;
      }
      for (int base : {blocks::kGlide, blocks::kSwoop}) {
        if (file.type == 12)
          expectCycle(base, {2});
        else
          EXPECT_TRUE(at(base).empty) << base;
      }
      for (int base : {blocks::kAttack1, blocks::kAttack2, blocks::kAttack3}) {
        // Two sounds, then the blow lands at the strike; and the blow ends.
        EXPECT_EQ(at(base).events, (std::vector<int>{3, 4, 2})) << base;
        EXPECT_GE(Distinct(at(base).frames), 4u) << base;
        EXPECT_FALSE(at(base).jumpsBack) << base;
      }
      const Summary ranged = at(blocks::kRanged);
      if (file.type == 21)
        EXPECT_EQ(ranged.events, std::vector<int>{3});  // a troll eating
      else if (file.type == 5)
        EXPECT_FALSE(ranged.empty);  // a hero catching breath
      else if (shooters.count(file.type) || file.type == 0)
        EXPECT_EQ(ranged.events, std::vector<int>{2});  // the shot leaves
      else
        EXPECT_TRUE(ranged.empty);
      EXPECT_FALSE(ranged.jumpsBack);
      const Summary stunned = at(blocks::kStunned);
      EXPECT_EQ(stunned.events, (std::vector<int>{100, 3}));
      EXPECT_TRUE(stunned.jumpsBack);  // a loop the creature leaves when the hold runs out
      for (int base : {blocks::kIdle, blocks::kIdle + 8, blocks::kIdle + 16, blocks::kIdle + 24, blocks::kIdle + 32,
                       blocks::kIdle + 40, blocks::kTaunt, blocks::kDying, blocks::kTrapped})
        EXPECT_EQ(at(base).events, std::vector<int>{3}) << base;
      EXPECT_EQ(at(blocks::kDipCap).events, file.type == 10 ? std::vector<int>{3} : std::vector<int>{});
      EXPECT_EQ(at(blocks::kDipCap).empty, file.type != 10);
      EXPECT_EQ(at(blocks::kRetreat).events, std::vector<int>{});
      EXPECT_EQ(at(blocks::kStand).frames.size(), 1u);
      for (int stage = 0; stage < 4; ++stage) EXPECT_EQ(at(blocks::kDead + 8 * stage).frames.size(), 1u) << stage;
      // Unused blocks are empty.
      for (int base : {8, 48, 120, 128, 136, 152, 160, 168, 184, 192, 200, 224, 240, 272, 280})
        EXPECT_TRUE(at(base).empty) << base;
    }
  }
}

TEST_F(CreatureArt, BothSetsShareOneStepProgramAndDifferOnlyInTheirPictures) {
  InForgedData in;
  for (const CreatureArtFile& file : Files()) {
    SCOPED_TRACE(file.name);
    std::vector<uint8_t> normal, cutDown, normalSprite, cutDownSprite;
    ASSERT_TRUE(platform::ReadWholeFile("creatures/" + file.name + ".ani", normal));
    ASSERT_TRUE(platform::ReadWholeFile("creatures/16Mb Anims/" + file.name + ".ani", cutDown));
    EXPECT_EQ(normal, cutDown);
    Art a, b;
    ASSERT_TRUE(a.Load(0, file.name));
    ASSERT_TRUE(b.Load(1, file.name));
    EXPECT_EQ(a.sprite.FrameCount(), b.sprite.FrameCount());
    ASSERT_TRUE(platform::ReadWholeFile("creatures/" + file.name + ".spr", normalSprite));
    ASSERT_TRUE(platform::ReadWholeFile("creatures/16Mb Anims/" + file.name + ".spr", cutDownSprite));
    EXPECT_NE(normalSprite, cutDownSprite);
  }
}

TEST_F(CreatureArt, TypesDifferBySilhouetteAndEachTypesFacingsDiffer) {
  InForgedData in;
  // Standing, mid-stride and at the strike of a blow: file, pose, facing.
  struct Pose {
    int base, step;
  };
  const Pose poses[] = {{blocks::kStand, 0}, {blocks::kWalk, 3}, {blocks::kAttack1, 3}};
  std::vector<std::vector<std::vector<std::set<std::pair<int, int>>>>> outlines;
  for (const CreatureArtFile& file : Files()) {
    Art art;
    ASSERT_TRUE(art.Load(0, file.name));
    std::vector<std::vector<std::set<std::pair<int, int>>>> byPose;
    for (const Pose& pose : poses) {
      std::vector<std::set<std::pair<int, int>>> masks;
      for (int facing = 0; facing < 8; ++facing) {
        const Summary s = Summarise(art.animation, pose.base + facing);
        ASSERT_GT(s.frames.size(), static_cast<size_t>(pose.step)) << file.name << " " << pose.base;
        masks.push_back(Mask(art.sprite.GetFrame(s.frames[static_cast<size_t>(pose.step)])));
        EXPECT_GT(masks.back().size(), 40u) << file.name;
      }
      byPose.push_back(masks);
    }
    // Seen from eight sides the figure shows eight pictures.
    std::set<int> frames;
    for (int facing = 0; facing < 8; ++facing) frames.insert(art.animation.GetFirstFrame(blocks::kStand + facing));
    EXPECT_EQ(frames.size(), 8u) << file.name;
    const auto& stands = byPose[0];
    for (int f = 0; f < 8; ++f)
      for (int g = f + 1; g < 8; ++g)
        if (file.name != "eye") EXPECT_GT(Difference(stands[f], stands[g]), 0.04) << file.name << " " << f << " " << g;
    outlines.push_back(byPose);
  }
  // Every pair of types differs in outline, in every pose and facing (the six wizard looks,
  // one type, differ a little less; in motion, two winged beasts seen from behind come
  // nearer than standing).
  for (size_t a = 0; a < Files().size(); ++a)
    for (size_t b = a + 1; b < Files().size(); ++b) {
      const bool wizards = Files()[a].type == 0 && Files()[b].type == 0;
      for (size_t pose = 0; pose < std::size(poses); ++pose)
        for (int facing = 0; facing < 8; ++facing)
          EXPECT_GT(Difference(outlines[a][pose][facing], outlines[b][pose][facing]), wizards     ? 0.05
                                                                                      : pose == 0 ? 0.15
                                                                                                  : 0.12)
              << Files()[a].name << " and " << Files()[b].name << " pose " << pose << " facing " << facing;
    }
}

// Ticks until the sequence ends when played from its start, -1 when it still runs after 400.
int TicksToEnd(CAnimation& animation, int sequence) {
  CAnimPlayer player;
  player.SetAnimation(&animation);
  if (!player.Start(sequence, 0)) return -1;
  for (int tick = 1; tick <= 400; ++tick)
    if (player.Advance() == 1) return tick;
  return -1;
}

// (That dying ends lower than it starts is checked on the figures themselves, in the forge's
// tests: on screen a body lying along the ground can reach as high as it stood.)
TEST_F(CreatureArt, BlowsAndShotsEnd) {
  InForgedData in;
  for (const CreatureArtFile& file : Files()) {
    SCOPED_TRACE(file.name);
    Art art;
    ASSERT_TRUE(art.Load(0, file.name));
    for (int facing = 0; facing < 8; ++facing) {
      SCOPED_TRACE(facing);
      for (int base : {blocks::kAttack1, blocks::kAttack2, blocks::kAttack3, blocks::kRanged}) {
        if (Summarise(art.animation, base + facing).empty) continue;
        const int ticks = TicksToEnd(art.animation, base + facing);
        EXPECT_GT(ticks, 4) << base;
        EXPECT_LT(ticks, 60) << base;
      }
    }
  }
}

// --- contact sheets ---------------------------------------------------------------------

struct SheetRow {
  const char* what;
  int base;
  int step;  // which frame of the sequence: -1 the last
};

// The frame number at a frame step of a sequence (-1 the last frame).
int FrameAt(const CAnimation& animation, int sequence, int which) {
  const Summary s = Summarise(animation, sequence);
  if (s.frames.empty()) return -1;
  if (which < 0) return s.frames.back();
  return s.frames[static_cast<size_t>(std::min<int>(which, static_cast<int>(s.frames.size()) - 1))];
}

// One sheet per type: the normal set's rows, then a few rows of the cut-down set.
void WriteSheet(const Art& normal, const Art& cutDown, const std::string& fileName, const std::vector<SheetRow>& rows,
                const std::vector<SheetRow>& cutDownRows, bool large) {
  const int cellWidth = large ? 144 : 72, cellHeight = large ? 112 : 64, anchor = large ? 80 : 50;
  testing_support::ContactSheet sheet(8, static_cast<int>(rows.size() + cutDownRows.size()), cellWidth, cellHeight,
                                      anchor);
  SetSpriteTarget(sheet.Pixels(), sheet.Width(), sheet.Height());
  SetSpriteClipRect(0, 0, sheet.Width(), sheet.Height());
  auto print = [&](const Art& art, const SheetRow& row, int at) {
    for (int facing = 0; facing < 8; ++facing) {
      const int frame = FrameAt(art.animation, row.base + facing, row.step);
      if (frame < 0) continue;
      const testing_support::SheetPoint p = sheet.Anchor(facing, at);
      PrintSpriteFrame(art.sprite.GetFrame(frame), p.x, p.y, 0, 0);
    }
  };
  for (size_t r = 0; r < rows.size(); ++r) print(normal, rows[r], static_cast<int>(r));
  for (size_t r = 0; r < cutDownRows.size(); ++r) print(cutDown, cutDownRows[r], static_cast<int>(rows.size() + r));
  SetSpriteTarget(nullptr, 0, 0);
  EXPECT_TRUE(sheet.Write(fileName));
}

TEST_F(CreatureArt, ContactSheetsShowEveryTypeInBothSets) {
  InForgedData in;
  for (const CreatureArtFile& file : Files()) {
    const forge::CreatureRow& row = Row(file.type);
    std::vector<SheetRow> rows = {{"stand", blocks::kStand, 0},   {"walk", blocks::kWalk, 0},
                                  {"walk", blocks::kWalk, 6},     {"chop", blocks::kAttack1, 3},
                                  {"swing", blocks::kAttack2, 3}, {"thrust", blocks::kAttack3, 3},
                                  {"taunt", blocks::kTaunt, 3},   {"dying", blocks::kDying, 3},
                                  {"dead", blocks::kDead, 0},     {"bones", blocks::kDead + 24, 0}};
    if (file.traits.ranged || file.type == 21 || file.type == 5) rows.push_back({"long range", blocks::kRanged, 3});
    if (row.CanFly) rows.push_back({"fly", blocks::kFly, 3});
    if (file.type == 10) rows.push_back({"dip cap", blocks::kDipCap, 3});
    const std::vector<SheetRow> cutDownRows = {rows[0], rows[2], rows[3]};
    Art normal, cutDown;
    ASSERT_TRUE(normal.Load(0, file.name));
    ASSERT_TRUE(cutDown.Load(1, file.name));
    // The last three rows show the cut-down set.
    WriteSheet(normal, cutDown, "creature_" + file.name + ".png", rows, cutDownRows, row.TileSizeXY == 2);
  }
}

// The body-part sprite names by type, as the particle code loads them.
const char* const kBodyParts[kCreatureTypes] = {
    "wiz3n1", "brownie",  "centaur", "elf",    "griffin", "hero",   "phoenix",  "unicorn",   "dog",    "manticore",
    "redcap", "skeleton", "vampire", "wraith", "zombie",  "bat",    "basilisk", "crocodile", "dragon", "faun",
    "law",    "troll",    "eye",     "vrask",  "wiz3n1",  "wiz3n1", "wiz3n1",   nullptr};

TEST_F(CreatureArt, BodyPartsHoldWholePartsAndParticlesTheirPictures) {
  InForgedData in;
  std::vector<std::string> names;
  for (const char* name : kBodyParts)
    if (name && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  names.push_back("offal");
  names.push_back("offalsml");
  testing_support::ContactSheet sheet(30, static_cast<int>(names.size()) + 1, 40, 40, 26);
  SetSpriteTarget(sheet.Pixels(), sheet.Width(), sheet.Height());
  SetSpriteClipRect(0, 0, sheet.Width(), sheet.Height());
  for (size_t row = 0; row < names.size(); ++row) {
    SCOPED_TRACE(names[row]);
    CSprite parts;
    ASSERT_TRUE(parts.Load(("creatures\\bodyparts\\" + names[row] + ".spr").c_str(), 8));
    // Whole parts of nine frames: eight tumbling, then one lying on the ground.
    EXPECT_EQ(parts.FrameCount() % 9, 0);
    EXPECT_GE(parts.FrameCount(), 18);
    for (int part = 0; part < parts.FrameCount() / 9; ++part) {
      std::set<std::set<std::pair<int, int>>> turns;
      for (int k = 0; k < 9; ++k) {
        const CSpriteFrame frame = parts.GetFrame(9 * part + k);
        EXPECT_GT(frame.Width() * frame.Height(), 4) << part << " " << k;
        if (k < 8) turns.insert(Mask(frame));
        const int column = part * 6 + (k < 8 ? k / 2 : 4);
        if ((k % 2 == 0 || k == 8) && column < 30) {
          const testing_support::SheetPoint at = sheet.Anchor(column, static_cast<int>(row));
          PrintSpriteFrame(frame, at.x, at.y, 0, 0);
        }
      }
      EXPECT_GE(turns.size(), 6u) << part;  // it turns as it flies
      // Lying, its hot spot is the ground under it: near the frame's foot.
      const CSpriteFrame lying = parts.GetFrame(9 * part + 8);
      EXPECT_GE(lying.HotspotY(), lying.Height() / 3) << part;
    }
  }
  const char* const particles[] = {"sprites\\FLYS.SPR", "sprites\\CURE.SPR", "sprites\\Subvert.SPR"};
  for (int i = 0; i < 3; ++i) {
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(particles[i], 2)) << particles[i];
    EXPECT_GE(sprite.FrameCount(), 4) << particles[i];
    for (int f = 0; f < sprite.FrameCount(); ++f) {
      const testing_support::SheetPoint at = sheet.Anchor(i * 8 + f, static_cast<int>(names.size()));
      PrintSpriteFrame(sprite.GetFrame(f), at.x, at.y, 0, 0);
    }
  }
  SetSpriteTarget(nullptr, 0, 0);
  EXPECT_TRUE(sheet.Write("creature_bodyparts_and_particles.png"));
}

}  // namespace
