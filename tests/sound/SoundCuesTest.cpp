// Positional sound cues: volume and pan from a place on the map relative to the listener,
// the creature and spell cues' sound ids, and what reaches the sound manager.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "forge/Wave.h"
#include "platform/AudioOutput.h"
#include "platform/Profile.h"
#include "sound/SoundCues.h"
#include "sound/SoundManager.h"
#include "support/TestSupport.h"

namespace {

// A listener looking at a fixed cell of a 256 x 200 map.
struct FixedListener : ISoundListener {
  int cellX = 10, cellY = 10, orientation = 0;
  void ListenerCell(int, int, int& x, int& y) override {
    x = cellX;
    y = cellY;
  }
  int ListenerOrientation() override { return orientation; }
  int ListenerMapWidth() override { return 256; }
  int ListenerMapHeight() override { return 200; }
};

constexpr int kIds[] = {286, 265, 284, 263, 506, 504, 391, 398, 71, 410, 418, 412, 1011};

class SoundCuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetManualAudioOutput(true);
    std::string ini = "[Sounds]\n";
    for (int id : kIds) {
      ini += std::to_string(id) + "=s" + std::to_string(id) + "\n";
      dir_.Write("Sounds/s" + std::to_string(id) + ".wav", forge::WaveFileBytes({}, std::vector<int16_t>(64, 1000)));
    }
    ini += "[1 Load Temporary]\n410\n[Tuning]\nMaxSoundDistance=60\nMaxPanDistance=20\n";
    dir_.Write("Sounds/Sounds.ini", ini);
    manager_ = std::make_unique<CSoundManager>();
    ASSERT_EQ(manager_->Init(nullptr, nullptr, "Sounds"), 0);
    ASSERT_EQ(manager_->LoadLevelSounds(1), 0);
    g_soundListener = &listener_;
    cues_.localPlayer = 0;
  }
  void TearDown() override {
    g_soundListener = nullptr;
    manager_.reset();
    platform::SetManualAudioOutput(false);
  }
  // The buffer of the last record that played an id (null when none did).
  CSoundInstance* Played(int id) {
    for (CSoundInstance* record : manager_->RingRecords())
      if (record->id == id && record->buffer && record->IsPlaying(1)) return record;
    return nullptr;
  }
  // A creature standing where the listener hears it at full volume in orientation 0.
  SoundCreature Near(int type, int owner = 0) {
    SoundCreature c;
    c.type = type;
    c.owner = owner;
    c.x = listener_.cellX - 6;
    c.y = listener_.cellY - 6;
    return c;
  }

  testing_support::TempDir dir_{true};
  testing_support::BoxRecorder boxes_;
  std::unique_ptr<CSoundManager> manager_;
  FixedListener listener_;
  CSoundCues cues_;
};

TEST_F(SoundCuesTest, VolumeAndPanFromThePlaceOnTheMap) {
  struct Case {
    const char* name;
    int orientation, dx, dy;  // from the listener's point (its cell and offset)
    int volume, pan;
  };
  const Case cases[] = {
      {"at the listener", 0, 0, 0, 0, 0},
      {"40 tiles off", 0, 40, 0, (60 - 40) * 5000 / 60 - 5000, 3333},
      {"exactly the maximum away", 0, 60, 0, kInaudible, 0},
      {"beyond it", 0, 0, -61, kInaudible, 0},
      {"20 to the right", 0, 20, -20, (60 - 30) * 5000 / 60 - 5000, 3333},
      {"20 to the left", 0, -20, 20, (60 - 30) * 5000 / 60 - 5000, -3333},
      {"a little to the right", 0, 4, -4, (60 - 6) * 5000 / 60 - 5000, 4 * 3333 / 20},
      {"turned: the same place on the other side", 2, 20, -20, (60 - 30) * 5000 / 60 - 5000, -3333},
      {"across the seam: 250 to the right is 6 to the left", 0, 250, 0, (60 - 6) * 5000 / 60 - 5000, -3 * 3333 / 20},
  };
  for (const Case& c : cases) {
    listener_.orientation = c.orientation;
    static constexpr int kOffsets[4][2] = {{-6, -6}, {6, -6}, {6, 6}, {-6, 6}};
    const int lx = listener_.cellX + kOffsets[c.orientation][0], ly = listener_.cellY + kOffsets[c.orientation][1];
    int32_t volume = 1, pan = 1;
    cues_.PositionSound(lx + c.dx, ly + c.dy, volume, pan);
    EXPECT_EQ(volume, c.volume) << c.name;
    if (volume != kInaudible) EXPECT_EQ(pan, c.pan) << c.name;
  }
  // The map wraps: once round in x and y is the same place.
  int32_t volume = 0, pan = 0, wrappedVolume = 0, wrappedPan = 0;
  listener_.orientation = 0;
  cues_.PositionSound(30, 7, volume, pan);
  cues_.PositionSound(30 - 256, 7 + 200, wrappedVolume, wrappedPan);
  EXPECT_EQ(volume, wrappedVolume);
  EXPECT_EQ(pan, wrappedPan);
}

TEST_F(SoundCuesTest, InaudibleSoundsAreNotPlayed) {
  CSoundInstance* instance = reinterpret_cast<CSoundInstance*>(1);
  EXPECT_EQ(cues_.PlayAt(410, listener_.cellX - 6 + 60, listener_.cellY - 6, &instance, 0), 0);
  EXPECT_EQ(instance, nullptr);
  EXPECT_EQ(Played(410), nullptr);
  EXPECT_EQ(cues_.PlayAt(410, listener_.cellX - 6, listener_.cellY - 6, &instance, 0), 0);
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance->volume, 0);
  EXPECT_EQ(instance->buffer->Pan(), 0);
  // A loop that moves away is re-levelled and panned.
  cues_.UpdateLoopPosition(instance, listener_.cellX - 6 + 20, listener_.cellY - 6 - 20);
  EXPECT_EQ(instance->volume, (60 - 30) * 5000 / 60 - 5000);
  EXPECT_EQ(instance->buffer->Pan(), 3333);
}

TEST_F(SoundCuesTest, AcknowledgementsComeOnlyFromTheLocalPlayersCreatures) {
  cues_.PlaySelectSound(Near(5, 1));
  cues_.PlayOrderSound(Near(19, 1));
  EXPECT_EQ(Played(286), nullptr);
  EXPECT_EQ(Played(263), nullptr);
  cues_.PlaySelectSound(Near(5));
  cues_.PlayOrderSound(Near(19));
  EXPECT_NE(Played(286), nullptr);
  EXPECT_NE(Played(263), nullptr);
  cues_.PlayTauntSound(Near(23));  // two sounds
  EXPECT_NE(Played(391), nullptr);
  EXPECT_NE(Played(398), nullptr);
}

TEST_F(SoundCuesTest, FootstepsAreScaledByTheCreaturesWeight) {
  int32_t weights[kCreatureTypeCount];
  for (int i = 0; i < kCreatureTypeCount; ++i) weights[i] = 10 + i;
  cues_.ScanCreatureTypes(weights);
  EXPECT_EQ(cues_.smallestStepWeight, 10);
  EXPECT_EQ(cues_.largestStepWeight, 37);
  SoundCreature light = Near(2);
  light.stepWeight = 10;
  cues_.PlayFootstepSound(light, 1, 0);
  EXPECT_EQ(Played(506), nullptr);  // the lightest makes no sound
  SoundCreature heavy = Near(2);
  heavy.stepWeight = 37;
  cues_.PlayFootstepSound(heavy, 1, 0);
  CSoundInstance* step = Played(506);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->buffer->Volume(), 80 * 5000 / 100 - 5000);
  // Types that make no step sound, and the same creature below the water.
  cues_.PlayFootstepSound(Near(8), 1, 0);
  heavy.type = 3;
  cues_.PlayFootstepSound(heavy, 3, 1);
  EXPECT_NE(Played(504), nullptr);
}

TEST_F(SoundCuesTest, TuningRefusesAZeroMaximumAndTakesTheLargest) {
  struct Case {
    const char* distance;
    const char* pan;
    int32_t expectedDistance, expectedPan;
  };
  for (const Case& c :
       {Case{"0", "12", 60, 12}, Case{"-4", "0", 60, 20}, Case{"2147483647", "2147483647", 2147483647, 2147483647}}) {
    dir_.Write("Sounds/Sounds.ini", std::string("[Sounds]\n410=s410\n[Tuning]\nMaxSoundDistance=") + c.distance +
                                        "\nMaxPanDistance=" + c.pan + "\n");
    manager_.reset();
    platform::FlushProfileCache();
    manager_ = std::make_unique<CSoundManager>();
    ASSERT_EQ(manager_->Init(nullptr, nullptr, "Sounds"), 0);
    cues_.LoadTuning();
    EXPECT_EQ(cues_.maxSoundDistance, c.expectedDistance) << c.distance;
    EXPECT_EQ(cues_.maxPanDistance, c.expectedPan) << c.pan;
  }
  // The largest distances still give volumes from -5000 to 0 and no overflow.
  int32_t volume = 1, pan = 1;
  cues_.PositionSound(listener_.cellX - 6, listener_.cellY - 6, volume, pan);
  EXPECT_EQ(volume, 0);
  EXPECT_EQ(pan, 0);
  cues_.PositionSound(listener_.cellX + 100, listener_.cellY - 6, volume, pan);
  EXPECT_LE(volume, 0);
  EXPECT_GT(volume, -5000);
  EXPECT_GE(pan, 0);
}

TEST(SoundCueIds, TablesByTypeWizardAndSpell) {
  EXPECT_EQ(CSoundCues::EventSoundId(0, 3), 1100);  // a wizard kind by its number
  EXPECT_EQ(CSoundCues::DeathSoundId(26, 4), 1202);
  EXPECT_EQ(CSoundCues::TauntSoundId(24, 1), 0);  // wizards do not taunt
  EXPECT_EQ(CSoundCues::ActionSoundId(9, 0), 92);
  EXPECT_EQ(CSoundCues::IdleSoundId(2, 0, 83), 73);  // only while walking
  EXPECT_EQ(CSoundCues::IdleSoundId(2, 0, 90), 0);
  EXPECT_EQ(CSoundCues::IdleSoundId(19, 0, 90), 266);
  EXPECT_EQ(CSoundCues::IdleSoundId(19, 0, 10), 255);
  EXPECT_EQ(CSoundCues::FootstepSoundId(11, 3, 0), 503);
  EXPECT_EQ(CSoundCues::FootstepSoundId(9, 1, 1), 508);
  EXPECT_EQ(CSoundCues::FootstepSoundId(15, 1, 0), 0);
  EXPECT_EQ(CSoundCues::FootstepSoundId(4, 5, 0), 0);
  EXPECT_EQ(CSoundCues::SpellCastSoundId(23), 701);
  EXPECT_EQ(CSoundCues::SpellCastSoundId(24), 0);
  EXPECT_EQ(CSoundCues::SpellCastSoundId(102), 394);
  // Numbers out of range are refused, never used as indexes.
  EXPECT_EQ(CSoundCues::EventSoundId(0, 5), 0);
  EXPECT_EQ(CSoundCues::EventSoundId(-1, 0), 0);
  EXPECT_EQ(CSoundCues::DeathSoundId(28, 0), 0);
  EXPECT_EQ(CSoundCues::HitClass(0, 7), -1);
  EXPECT_EQ(CSoundCues::HitClass(40, 0), -1);
  EXPECT_EQ(CSoundCues::HitClass(24, 3), 26);
  EXPECT_EQ(CSoundCues::HitClass(5, 0), 7);
}

TEST(SoundCueIds, HitSoundsOfTheTellingRows) {
  struct Case {
    int attacker, target;
    std::vector<int> ids;
  };
  const Case cases[] = {
      {0, 3, {418, 410, 0}},   {0, 7, {418, 412, 0}},    {0, 15, {418, 0, 0}},   {7, 3, {279, 404, 410}},
      {7, 6, {279, 404, 409}}, {7, 13, {279, 404, 413}}, {7, 22, {279, 404, 0}}, {22, 13, {414, 0, 0}},
      {22, 3, {0, 0, 0}},      {24, 5, {0, 0, 0}},       {9, 28, {0, 0, 0}},     {5, 29, {0, 0, 0}},
      {28, 3, {0, 0, 0}},      {-1, 3, {0, 0, 0}},       {3, 30, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    int ids[3] = {9, 9, 9};
    CSoundCues::HitSoundIds(c.attacker, c.target, ids);
    EXPECT_EQ(std::vector<int>(ids, ids + 3), c.ids) << c.attacker << " hits " << c.target;
  }
}

}  // namespace
