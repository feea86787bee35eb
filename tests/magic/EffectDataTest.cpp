// The forged effect data as the effect core reads it: every entry of cfg\effectani.cfg
// starts and shows a picture, the sequences the kinds and creatures ask for exist, impacts
// end and missiles loop, sequences picked by a heading or a rotation run alike, and the
// pictures a person judges the art by.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "MagicTestSupport.h"
#include "graphics/PrintTarget.h"
#include "graphics/TypePrinters.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace magic_test {
namespace {

// The entries the forged file defines.
std::vector<int> DefinedEntries() {
  std::vector<int> out;
  const std::string path = testing_support::ForgedDataDir() + "/cfg/effectani.cfg";
  for (const std::string& name : platform::ReadProfileSectionNames(path))
    if (name.rfind("ANI_", 0) == 0) out.push_back(std::stoi(name.substr(4)));
  std::sort(out.begin(), out.end());
  return out;
}

class EffectDataTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    ASSERT_TRUE(LoadForgedEffectTables());
  }
  // The animation of an entry and its first sequence.
  CAnimation* AnimationOf(int entry, int& first) {
    const EffectAniEntry* e = manager.AniEntry(entry);
    first = e ? e->animation : -1;
    return manager.AniEntryAnimation(entry);
  }
  // Ticks until the sequence ends, or -1 when it still runs after `limit`.
  static int TicksToEnd(CAnimation* animation, int sequence, int limit, bool finish = false) {
    CAnimPlayer player;
    player.SetAnimation(animation);
    if (!player.Start(sequence, 0)) return -2;
    if (finish) player.loopBreak = 1;
    for (int tick = 1; tick <= limit; ++tick)
      if (player.Advance() == 1) return tick;
    return -1;
  }
};

TEST_F(EffectDataTest, TheTablesAreReadWithTheirLightAndThreeFiles) {
  EXPECT_EQ(g_numEffectFiles, 3);
  EXPECT_EQ(manager.AniEntryCount(), 296);
  EXPECT_EQ(manager.GetLightSourceDiameter(14), 9);  // fire
  EXPECT_GT(manager.GetLightSourceDiameter(8), 0);   // summoning
  EXPECT_GT(manager.GetLightSourceDiameter(1), 0);   // a missile
  EXPECT_GT(manager.GetLightSourceDiameter(45), 0);  // a blast
  EXPECT_EQ(manager.GetLightSourceDiameter(43), 0);  // a marker
  EXPECT_EQ(manager.GetLightSourceDiameter(82), 0);  // a digit
  EXPECT_EQ(manager.GetLightSourceDiameter(89), 0);  // past the kinds
  EXPECT_TRUE(manager.KindEntry(14)->clippedToHeight);
  for (int j = 0; j < g_numEffectFiles; ++j) {
    EXPECT_TRUE(g_effectSprites[j].IsLoaded()) << j;
    EXPECT_EQ(manager.GetAnimSetIndex(&manager.animations[j]), j);
  }
  EXPECT_EQ(manager.GetAnimSetIndex(nullptr), -1);
}

TEST_F(EffectDataTest, EveryEntryStartsAndShowsAPicture) {
  const std::vector<int> entries = DefinedEntries();
  ASSERT_GE(entries.size(), 100u);
  CEffect* e = Start(1, At(100, 100, 16));
  for (int n : entries) {
    e->StartEntry(n, 0);
    EXPECT_EQ(e->animPlayer.playing, 1) << "entry " << n;
    EXPECT_GE(e->animPlayer.CurrentFrame(), 0) << "entry " << n;
    EXPECT_EQ(e->state[effect_state::kPrintType], manager.AniEntry(n)->printType);
    CAnimation* animation = e->animPlayer.animation;
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(animation->Sprite()->GetFrame(e->animPlayer.CurrentFrame())) << "entry " << n;
    CAnimation* global = nullptr;
    int first = 0, data = 0;
    ASSERT_TRUE(manager.GetGlobalAnimation(n, global, first, data));
    EXPECT_EQ(global, animation);
    EXPECT_EQ(data, first);
  }
  // Past the table the player stops.
  e->StartEntry(296, 0);
  EXPECT_EQ(e->animPlayer.playing, 0);
  e->StartEntry(-1, 0);
  EXPECT_EQ(e->animPlayer.playing, 0);
}

TEST_F(EffectDataTest, TheSequencesTheKindsAndCreaturesAskForExist) {
  struct Need {
    int entry, sequences;
  };
  std::vector<Need> needs = {{2, 80}, {4, 80}, {64, 18}, {45, 328}, {6, 4},  {43, 16}, {60, 2},  {80, 2},
                             {68, 5}, {72, 8}, {44, 8},  {22, 8},   {35, 8}, {36, 8},  {180, 2}, {61, 104}};
  // Every entry a spell's GetAniIndex can name has a sequence per heading.
  for (int n : {0,  3,  5,  11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 27, 28, 30, 34,
                43, 48, 49, 51, 55, 56, 57, 59, 63, 69, 70, 71, 73, 74, 75, 78, 87})
    needs.push_back({n, 16});
  for (int n = 82; n <= 86; ++n) needs.push_back({n, 10});
  // Entries that kinds, creatures and objects start at their first sequence.
  for (int n : {1,  8,  9,  10, 12, 23, 29, 32, 33, 37, 39, 40, 41, 42, 46,  47,  50,  52,  53,  54,  58,  62,  65,
                66, 67, 76, 77, 81, 88, 89, 90, 91, 94, 95, 96, 97, 98, 192, 288, 289, 290, 291, 292, 293, 294, 295})
    needs.push_back({n, 1});
  for (const Need& need : needs) {
    int first = -1;
    CAnimation* animation = AnimationOf(need.entry, first);
    ASSERT_NE(animation, nullptr) << "entry " << need.entry;
    EXPECT_TRUE(animation->HasSequence(first + need.sequences - 1)) << "entry " << need.entry;
  }
  // A trap and its damaged look play on one player: the same file.
  EXPECT_EQ(manager.AniEntry(43)->file, manager.AniEntry(46)->file);
}

TEST_F(EffectDataTest, ImpactsEndAndMissilesMarkersAndAurasLoop) {
  // Entries whose kinds wait for the end (the computer player times 34, 69, 70, 73 and 74).
  for (int n :
       {1,  8,  9,  10, 11, 12, 28, 29, 30, 32, 33, 34, 37, 39, 40, 41, 42, 44, 47, 48, 50, 51, 53, 54, 56, 57,
        58, 59, 63, 64, 67, 68, 69, 70, 72, 73, 74, 75, 76, 77, 82, 88, 89, 96, 97, 98, 14, 15, 16, 17, 18, 19}) {
    int first = -1;
    CAnimation* animation = AnimationOf(n, first);
    const int ticks = TicksToEnd(animation, first, 2000);
    EXPECT_GT(ticks, 0) << "entry " << n << " never ends";
  }
  for (int n : {0, 2, 3, 4, 5, 13, 20, 21, 22, 27, 35, 36, 43, 45, 46, 49, 55, 60, 65, 66, 78, 80, 81, 87, 94, 95}) {
    int first = -1;
    CAnimation* animation = AnimationOf(n, first);
    EXPECT_EQ(TicksToEnd(animation, first, 500), -1) << "entry " << n;
  }
  // Fire, smoke and a creature's cell marker burn on until told to finish, then end.
  for (int n : {6, 52, 62, 71}) {
    int first = -1;
    CAnimation* animation = AnimationOf(n, first);
    EXPECT_EQ(TicksToEnd(animation, first, 500), -1) << "entry " << n;
    EXPECT_GT(TicksToEnd(animation, first, 500, true), 0) << "entry " << n;
  }
}

// A sequence's program with its frame numbers left out.
std::vector<std::vector<int>> ProgramShape(const CAnimation& animation, int sequence) {
  std::vector<std::vector<int>> out;
  for (int i = animation.GetSequence(sequence); i <= animation.SequenceEnd(sequence); ++i) {
    const AnimStep& s = animation.Step(i);
    out.push_back({s.kind, s.kind == kStepFrame ? 0 : s.value});
  }
  return out;
}

TEST_F(EffectDataTest, SequencesPickedByHeadingRotationOrFacingRunAlike) {
  struct Group {
    int entry, sequences;
  } groups[] = {{2, 80}, {4, 80}, {5, 16}, {14, 16}, {15, 16}, {59, 16},  {64, 18}, {68, 5},  {72, 8},
                {44, 8}, {6, 4},  {43, 3}, {22, 8},  {36, 8},  {45, 328}, {82, 10}, {86, 10}, {61, 104}};
  for (const Group& g : groups) {
    int first = -1;
    CAnimation* animation = AnimationOf(g.entry, first);
    ASSERT_NE(animation, nullptr);
    const auto shape = ProgramShape(*animation, first);
    for (int s = 1; s < g.sequences; ++s)
      EXPECT_EQ(ProgramShape(*animation, first + s), shape) << "entry " << g.entry << " sequence " << s;
  }
}

// Dark ground in two tones, so that see-through pictures show.
void Ground(std::vector<uint16_t>& pixels, int width, int height, int cell) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<size_t>(y * width + x)] = ((x / cell + y / cell) % 2) ? 0x2965 : 0x31A6;
}

void PrintAt(CAnimation* animation, int frameStep, int printType, int x, int y) {
  const AnimStep& step = animation->Step(frameStep);
  PrintSpriteOfType(printType, animation->Sprite()->GetFrame(step.value), x + step.x, y + step.y, 0, 0);
}

TEST_F(EffectDataTest, PicturesOfEveryEntry) {
  const std::vector<int> entries = DefinedEntries();
  // Sheet 1: each entry's first frame, in a grid by entry number (16 to a row).
  constexpr int kCell = 64, kColumns = 16;
  const int rows = (296 + kColumns - 1) / kColumns;
  std::vector<uint16_t> sheet(static_cast<size_t>(kCell * kColumns * kCell * rows));
  Ground(sheet, kCell * kColumns, kCell * rows, kCell);
  SetSpriteTarget(sheet.data(), kCell * kColumns, kCell * rows);
  CEffect* e = Start(1, At(100, 100, 16));
  for (int n : entries) {
    e->StartEntry(n, 0);
    const int x = (n % kColumns) * kCell + kCell / 2, y = (n / kColumns) * kCell + kCell * 2 / 3;
    SetSpriteClipRect((n / kColumns) * kCell, (n % kColumns) * kCell, (n % kColumns + 1) * kCell,
                      (n / kColumns + 1) * kCell);
    PrintAt(e->animPlayer.animation, e->animPlayer.frameStep, e->state[effect_state::kPrintType], x, y);
  }
  const std::string first = testing_support::TestOutputDir() + "/effects-first-frames.png";
  EXPECT_TRUE(testing_support::WritePng565(first, kCell * kColumns, kCell * rows, sheet));
  std::printf("effect pictures: %s\n", first.c_str());

  // Sheet 2: each entry's sequence as it plays, a row per entry, up to 12 frames.
  constexpr int kFrames = 12;
  const int height = kCell * static_cast<int>(entries.size());
  std::vector<uint16_t> play(static_cast<size_t>(kCell * kFrames * height));
  Ground(play, kCell * kFrames, height, kCell);
  SetSpriteTarget(play.data(), kCell * kFrames, height);
  int shownFrames = 0;
  for (size_t row = 0; row < entries.size(); ++row) {
    e->StartEntry(entries[row], 0);
    CAnimPlayer& player = e->animPlayer;
    int last = -1;
    for (int column = 0, tick = 0; column < kFrames && tick < 200 && player.playing; ++tick) {
      if (player.frameStep != last && player.frameStep >= 0) {
        last = player.frameStep;
        const int top = static_cast<int>(row) * kCell, left = column * kCell;
        SetSpriteClipRect(top, left, left + kCell, top + kCell);
        PrintAt(player.animation, player.frameStep, e->state[effect_state::kPrintType], left + kCell / 2,
                top + kCell * 2 / 3);
        ++column;
        ++shownFrames;
      }
      player.Advance();
    }
  }
  // Sheet 3: the first frames of the sequences that a heading, a pitch, a size, a digit, a
  // direction or a facing picks, 16 to a row.
  struct Variants {
    int entry, sequences;
  } variants[] = {{2, 80}, {4, 80}, {5, 16}, {6, 4},   {82, 10}, {85, 10}, {86, 10}, {44, 8},
                  {72, 8}, {22, 8}, {36, 8}, {64, 18}, {68, 5},  {43, 3},  {60, 2},  {180, 2}};
  int variantRows = 0;
  for (const Variants& v : variants) variantRows += (v.sequences + 15) / 16;
  std::vector<uint16_t> turns(static_cast<size_t>(kCell * 16 * kCell * variantRows));
  Ground(turns, kCell * 16, kCell * variantRows, kCell);
  SetSpriteTarget(turns.data(), kCell * 16, kCell * variantRows);
  int row = 0;
  for (const Variants& v : variants) {
    for (int s = 0; s < v.sequences; ++s) {
      e->StartEntry(v.entry, s);
      const int top = (row + s / 16) * kCell, left = (s % 16) * kCell;
      SetSpriteClipRect(top, left, left + kCell, top + kCell);
      if (e->animPlayer.frameStep >= 0)
        PrintAt(e->animPlayer.animation, e->animPlayer.frameStep, e->state[effect_state::kPrintType], left + kCell / 2,
                top + kCell * 2 / 3);
    }
    row += (v.sequences + 15) / 16;
  }
  const std::string turned = testing_support::TestOutputDir() + "/effects-variants.png";
  EXPECT_TRUE(testing_support::WritePng565(turned, kCell * 16, kCell * variantRows, turns));
  std::printf("effect variants: %s\n", turned.c_str());
  SetSpriteTarget(nullptr, 0, 0);
  const std::string frames = testing_support::TestOutputDir() + "/effects-sequences.png";
  EXPECT_TRUE(testing_support::WritePng565(frames, kCell * kFrames, height, play));
  std::printf("effect sequences: %s\n", frames.c_str());
  // Not blank: the pictures cover a good part of their cells in many colours.
  EXPECT_GT(shownFrames, static_cast<int>(entries.size()) * 3);
  const std::set<uint16_t> colours(sheet.begin(), sheet.end());
  EXPECT_GT(colours.size(), 100u);
}

}  // namespace
}  // namespace magic_test
