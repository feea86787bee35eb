// The effect manager's two configuration files, read from hand-made files: clamps, words,
// bounds, and the fatal box when an effect sprite is missing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MagicTestSupport.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace magic_test {
namespace {

using testing_support::BoxRecorder;
using testing_support::ExitCodeOf;
using testing_support::ExitTrap;
using testing_support::TempDir;

class EffectConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::MakeDirectory(dir.File("cfg"));
    platform::MakeDirectory(dir.File("sprites"));
  }
  void TearDown() override { platform::FlushProfileCache(); }
  void Write(const std::string& name, const std::string& text) {
    dir.Write(name, text);
    platform::FlushProfileCache();
  }
  // The forged EFFECTS0 sprite and animation as effect file j of this folder.
  void CopyForgedFile(int j) {
    for (const char* extension : {".spr", ".ani"}) {
      std::vector<uint8_t> bytes;
      ASSERT_TRUE(platform::ReadWholeFile(testing_support::ForgedDataDir() + "/sprites/EFFECTS0" + extension, bytes));
      const std::string to = dir.File("sprites/EFFECTS" + std::to_string(j) + extension);
      ASSERT_TRUE(platform::WriteWholeFile(to, bytes.data(), bytes.size()));
    }
  }
  TempDir dir{true};
  std::unique_ptr<CEffectManager> manager = std::make_unique<CEffectManager>(120);
};

TEST_F(EffectConfigTest, LightDiametersAreClampedAndFlagsReadOnlyTrue) {
  Write("cfg/effects.cfg",
        "[FXA_0]\nLightSourceDiameter=40\nLightSourceAffected=true\nClippedToHeight=yes\n"
        "[FXA_1]\nLightSourceDiameter=0\n[FXA_2]\nLightSourceDiameter=-5\n[FXA_3]\nLightSourceDiameter=32\n"
        "[FXA_88]\nLightSourceDiameter=1\nClippedToHeight=TRUE\n[FXA_89]\nLightSourceDiameter=7\n");
  ASSERT_TRUE(manager->ReadEffectsCfg());
  struct Case {
    int kind, diameter, affected, clipped;
  } cases[] = {{0, 33, 1, 0}, {1, 0, 0, 0}, {2, 0, 0, 0}, {3, 32, 0, 0}, {4, 0, 0, 0}, {88, 1, 0, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(manager->GetLightSourceDiameter(c.kind), c.diameter) << c.kind;
    EXPECT_EQ(manager->KindEntry(c.kind)->lightSourceAffected, c.affected) << c.kind;
    EXPECT_EQ(manager->KindEntry(c.kind)->clippedToHeight, c.clipped) << c.kind;
  }
  EXPECT_EQ(manager->GetLightSourceDiameter(89), 0);  // no kind 89
  // A missing file changes nothing and is no failure.
  platform::RemoveFile(dir.File("cfg/effects.cfg"));
  platform::FlushProfileCache();
  EXPECT_TRUE(manager->ReadEffectsCfg());
  EXPECT_EQ(manager->GetLightSourceDiameter(0), 33);
}

TEST_F(EffectConfigTest, EntriesReadTheirWordsAndBadReferencesLeaveThePlayerStopped) {
  CopyForgedFile(0);
  Write("cfg/effectani.cfg",
        "[HEADER]\nNumberofAnimations=5\nNumberOfEffectsFile=0\n"
        "[ANI_0]\nAnimationNo=3\nAnimationFileRef=effects0\nSpritePrinter=transparent50\nData1=17\n"
        "[ANI_1]\nAnimationNo=2\nAnimationFileRef=EFFECTS7\nSpritePrinter=ADDITIVE\n"
        "[ANI_2]\nAnimationNo=99999\nAnimationFileRef=EFFECTS0\nSpritePrinter=NORMAL\n"
        "[ANI_3]\nSpritePrinter=TRANSPARENT\n"
        "[ANI_9]\nAnimationNo=1\n");
  ASSERT_TRUE(manager->ReadEffectAniCfg());
  EXPECT_EQ(manager->fileCount, 1);
  ASSERT_EQ(manager->AniEntryCount(), 5);
  struct Case {
    int entry, animation, file, printType, data;
  } cases[] = {{0, 3, 0, 4, 17}, {1, 2, -1, 0, 0}, {2, 99999, 0, 31, 0}, {3, 0, 0, 2, 0}, {4, 0, 0, 0, 0}};
  for (const Case& c : cases) {
    const EffectAniEntry* e = manager->AniEntry(c.entry);
    EXPECT_EQ(e->animation, c.animation) << c.entry;
    EXPECT_EQ(e->file, c.file) << c.entry;
    EXPECT_EQ(e->printType, c.printType) << c.entry;
    EXPECT_EQ(e->data, c.data) << c.entry;
  }
  EXPECT_EQ(manager->AniEntry(5), nullptr);

  CEffect& effect = *manager->At(110);
  effect.StartEntry(0, 0);
  EXPECT_EQ(effect.animPlayer.playing, 1);
  EXPECT_EQ(effect.animPlayer.sequence, 3);
  EXPECT_EQ(effect.state[effect_state::kPrintType], 4);
  for (int entry : {1, 2, 9, 5000}) {
    effect.StartEntry(entry, 0);
    EXPECT_EQ(effect.animPlayer.playing, 0) << entry;
  }
  CAnimation* animation = nullptr;
  int first = 0, data = 0;
  EXPECT_FALSE(manager->GetGlobalAnimation(1, animation, first, data));
  EXPECT_TRUE(manager->GetGlobalAnimation(0, animation, first, data));
  EXPECT_EQ(data, 17);
}

TEST_F(EffectConfigTest, CountsAreBounded) {
  CopyForgedFile(0);
  Write("cfg/effectani.cfg", "[HEADER]\nNumberofAnimations=5000\nNumberOfEffectsFile=1\n");
  ASSERT_TRUE(manager->ReadEffectAniCfg());
  EXPECT_EQ(manager->AniEntryCount(), CEffectManager::kMaxAnimations);
  Write("cfg/effectani.cfg", "[HEADER]\nNumberofAnimations=-3\nNumberOfEffectsFile=2\n");
  CopyForgedFile(1);
  ASSERT_TRUE(manager->ReadEffectAniCfg());
  EXPECT_EQ(manager->AniEntryCount(), 0);
  EXPECT_EQ(manager->fileCount, 2);
  // More files than the bound are never looked for: the 64th is the last.
  Write("cfg/effectani.cfg", "[HEADER]\nNumberOfEffectsFile=900\n");
  EXPECT_FALSE(manager->ReadEffectAniCfg());
  EXPECT_EQ(manager->fileCount, CEffectManager::kMaxEffectFiles);
}

TEST_F(EffectConfigTest, AMissingEffectSpriteEndsTheProgramWithItsBox) {
  CopyForgedFile(0);
  Write("cfg/effectani.cfg", "[HEADER]\nNumberofAnimations=1\nNumberOfEffectsFile=2\n[ANI_0]\nAnimationNo=0\n");
  BoxRecorder boxes;
  ExitTrap trap;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ExitCodeOf([&] { manager->LoadConfig(); }), 1);
  // stderr names the file that is missing, and the configuration that asks for it.
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cfg\\effectani.cfg: cannot load sprites\\EFFECTS1.spr"),
            std::string::npos);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Failed in effectsani.cfg");
  EXPECT_EQ(boxes.Boxes()[0].caption, "ERROR");
  // With both files there, no box.
  CopyForgedFile(1);
  boxes.Clear();
  EXPECT_EQ(ExitCodeOf([&] { manager->LoadConfig(); }), -1);
  EXPECT_EQ(boxes.Count(), 0u);
}

}  // namespace
}  // namespace magic_test
