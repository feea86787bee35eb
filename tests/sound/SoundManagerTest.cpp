#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "forge/Wave.h"
#include "platform/AudioOutput.h"
#include "platform/Files.h"
#include "sound/SoundManager.h"
#include "support/TestSupport.h"

using testing_support::BoxRecorder;
using testing_support::TempDir;

namespace {

const char* kSoundsIni =
    "[Sounds]\n"
    "; the interface\n"
    "801=click\n"
    "802=pick\n"
    "410=fallback\n"
    "5=five\n"
    "6=six\n"
    "7=seven\n"
    "8=eight\n"
    "6=six again\n"
    "0=zero\n"
    "[Randomised]\n"
    "100=801,802,0,-4\n"
    "101=\n"
    "102=999\n"
    "[1 Load Permanent]\n"
    "801\n"
    "410\n"
    "[1 Load Temporary]\n"
    "5\n"
    "410\n";

// Every sound holds its id times ten in each sample, so the mix tells which one plays.
int16_t ValueOf(int id) { return static_cast<int16_t>(id * 10); }

class SoundManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetManualAudioOutput(true);
    for (int id : {801, 802, 410, 5, 6, 7, 8}) WriteSound(NameOf(id), ValueOf(id));
    dir_.Write("Sounds/Sounds.ini", kSoundsIni);
  }
  void TearDown() override {
    manager_.reset();
    platform::SetManualAudioOutput(false);
  }

  static std::string NameOf(int id) {
    switch (id) {
      case 801:
        return "click";
      case 802:
        return "pick";
      case 410:
        return "fallback";
      case 5:
        return "five";
      case 6:
        return "six";
      case 7:
        return "seven";
      default:
        return "eight";
    }
  }
  void WriteSound(const std::string& name, int16_t value, size_t frames = 4) {
    dir_.Write("Sounds/" + name + ".wav", forge::WaveFileBytes({}, std::vector<int16_t>(frames, value)));
  }
  // The sound file with sound 900, the only permanent sound of level 2.
  static std::string WithBigPermanentSound() {
    std::string text = kSoundsIni;
    text.insert(text.find("[Randomised]"), "900=big\n");
    return text + "[2 Load Permanent]\n900\n";
  }
  CSoundManager& Started(int level = 1) {
    manager_ = std::make_unique<CSoundManager>();
    EXPECT_EQ(manager_->Init(nullptr, nullptr, "Sounds"), 0);
    EXPECT_EQ(manager_->LoadLevelSounds(level), 0);
    return *manager_;
  }
  // The left samples of the next frames of the mix.
  std::vector<int> Mix(size_t frames) {
    std::vector<int16_t> out(frames * 2);
    platform::TheMixer().Mix(out.data(), frames);
    std::vector<int> left;
    for (size_t f = 0; f < frames; ++f) left.push_back(out[2 * f]);
    return left;
  }

  TempDir dir_{true};
  BoxRecorder boxes_;
  std::unique_ptr<CSoundManager> manager_;
};

TEST_F(SoundManagerTest, InitReadsTheSoundFileIntoSortedTables) {
  CSoundManager& sound = Started();
  EXPECT_TRUE(sound.IsLive());
  EXPECT_EQ(g_soundManager, &sound);
  EXPECT_EQ(sound.soundIds, (std::vector<int32_t>{5, 6, 7, 8, 410, 801, 802}));  // a repeated id once, 0 dropped
  EXPECT_EQ(sound.groupIds, (std::vector<int32_t>{100, 101, 102}));
  EXPECT_EQ(sound.GroupOf(100)->members, (std::vector<int32_t>{801, 802}));
  EXPECT_TRUE(sound.GroupOf(101)->members.empty());
  EXPECT_TRUE(platform::AudioOutputIsOpen());
}

TEST_F(SoundManagerTest, InitFailsOnABadSoundFileAndCreatesNothing) {
  std::string overflow = "[Sounds]\n";
  while (overflow.size() < 17000) overflow += std::to_string(overflow.size() % 900000 + 1) + "=some_sound_name\n";
  struct Case {
    const char* name;
    std::string text;
  };
  std::vector<Case> cases = {
      {"an id of seven characters", "[Sounds]\n1234567=x\n"},
      {"a line without a name", "[Sounds]\n12\n"},
      {"no id above 0", "[Sounds]\n0=x\n-3=y\n"},
      {"an empty section", "[Sounds]\n[Other]\n1=x\n"},
      {"a section that does not fit", overflow},
      {"a bad group id", "[Sounds]\n1=x\n[Randomised]\n=1,2\n"},
  };
  for (const Case& c : cases) {
    dir_.Write("Sounds/Sounds.ini", c.text);
    CSoundManager sound;
    EXPECT_EQ(sound.Init(nullptr, nullptr, "Sounds"), kSoundFail) << c.name;
    EXPECT_FALSE(sound.IsLive()) << c.name;
    EXPECT_TRUE(sound.soundIds.empty()) << c.name;
  }
  CSoundManager sound;
  EXPECT_EQ(sound.Init(nullptr, nullptr, "NoSuchFolder"), kSoundFail);
  EXPECT_FALSE(platform::AudioOutputIsOpen());
}

TEST_F(SoundManagerTest, LevelSectionsSetLoadKindsAndSizeTheRing) {
  CSoundManager& sound = Started();
  EXPECT_EQ(sound.LoadKindOf(801), kSoundPermanent);
  EXPECT_EQ(sound.LoadKindOf(410), kSoundFree);  // in both sections: temporary...
  EXPECT_EQ(sound.permanentCount, 2u);           // ...but counted as permanent
  EXPECT_EQ(sound.LoadKindOf(5), kSoundFree);
  EXPECT_EQ(sound.LoadKindOf(6), kSoundOrdinary);
  const uint32_t clickBytes = 44 + 8;
  EXPECT_EQ(sound.permanentBytes, clickBytes);
  EXPECT_EQ(sound.ringSize, static_cast<int32_t>(2 + (1048576 - clickBytes) / 46080));
  std::vector<CSoundInstance*> ring = sound.RingRecords();
  ASSERT_EQ(ring.size(), static_cast<size_t>(sound.ringSize));
  EXPECT_EQ(ring[0]->id, 801);
  EXPECT_EQ(ring[0]->kind, kSoundPermanent);
  EXPECT_EQ(ring[1]->id, -1);
}

TEST_F(SoundManagerTest, PlayMixesTheSoundAtItsVolumeAndPan) {
  CSoundManager& sound = Started();
  CSoundInstance* playing = nullptr;
  ASSERT_EQ(sound.Play(6, 0, 0, &playing, 0), 0);
  ASSERT_NE(playing, nullptr);
  EXPECT_EQ(playing->id, 6);
  EXPECT_EQ(playing->IsPlaying(0), 1);
  EXPECT_EQ(Mix(5), (std::vector<int>{60, 60, 60, 60, 0}));
  EXPECT_EQ(playing->IsPlaying(0), 0);

  ASSERT_EQ(sound.Play(7, -2000, 10000, &playing, 0), 0);  // a tenth, on the right only
  std::vector<int16_t> out(2);
  platform::TheMixer().Mix(out.data(), 1);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], static_cast<int16_t>(70 * platform::GainOf(-2000) >> 16));
  EXPECT_EQ(playing->volume, -2000);
}

TEST_F(SoundManagerTest, LoopingPlaysUntilStopped) {
  CSoundManager& sound = Started();
  CSoundInstance* playing = nullptr;
  ASSERT_EQ(sound.Play(8, 0, 0, &playing, 1), 0);
  EXPECT_EQ(Mix(10), std::vector<int>(10, 80));
  EXPECT_EQ(playing->Stop(1), 0);
  EXPECT_EQ(Mix(2), (std::vector<int>{0, 0}));
  EXPECT_EQ(playing->buffer->Position(), 0u);  // rewound
}

TEST_F(SoundManagerTest, AnUnknownIdPlaysTheFallbackSound) {
  CSoundManager& sound = Started();
  CSoundInstance* playing = nullptr;
  ASSERT_EQ(sound.Play(12345, 0, 0, &playing, 0), 0);
  EXPECT_EQ(playing->id, kFallbackSoundId);
  EXPECT_EQ(Mix(1), (std::vector<int>{4100}));
}

TEST_F(SoundManagerTest, AGroupPlaysAMemberChosenByTheSoundGenerator) {
  CSoundManager& sound = Started();
  g_soundRandom.Seed(99);
  CRandom expected(99);
  std::set<int> heard;
  for (int i = 0; i < 12; ++i) {
    CSoundInstance* playing = nullptr;
    ASSERT_EQ(sound.Play(100, 0, 0, &playing, 0), 0);
    int member = (expected.Next() & 0x7FFFFFFF) % 2 == 0 ? 801 : 802;
    EXPECT_EQ(playing->id, member);
    heard.insert(member);
    Mix(4);
  }
  EXPECT_EQ(heard.size(), 2u);

  // An empty group, and a group whose member is no sound, fall back like an unknown id.
  for (int group : {101, 102}) {
    CSoundInstance* playing = nullptr;
    ASSERT_EQ(sound.Play(group, 0, 0, &playing, 0), 0) << group;
    EXPECT_EQ(playing->id, kFallbackSoundId) << group;
    Mix(4);
  }
  EXPECT_EQ(sound.LoadSound(101, nullptr), 0);
}

TEST_F(SoundManagerTest, ASoundPlayedWhilePlayingGetsADuplicate) {
  CSoundManager& sound = Started();
  CSoundInstance* first = nullptr;
  CSoundInstance* second = nullptr;
  ASSERT_EQ(sound.Play(6, 0, 0, &first, 0), 0);
  Mix(1);
  ASSERT_EQ(sound.Play(6, -600, 0, &second, 0), 0);
  ASSERT_NE(first, second);
  EXPECT_EQ(first->firstCopy, second);
  EXPECT_EQ(second->id, 6);
  EXPECT_EQ(first->volume, -600);  // the source keeps the volume of its last play
  // The first plays on from its second frame; the copy starts at -6 dB.
  int copy = 60 * static_cast<int>(platform::GainOf(-600)) >> 16;
  EXPECT_EQ(Mix(4), (std::vector<int>{60 + copy, 60 + copy, 60 + copy, copy}));
  EXPECT_EQ(first->IsPlaying(1), 0);
}

TEST_F(SoundManagerTest, AnIdleRecordWithCopiesMovesBehindThemWhenPlayed) {
  CSoundManager& sound = Started();
  CSoundInstance* record = nullptr;
  CSoundInstance* copy = nullptr;
  sound.Play(6, 0, 0, &record, 0);
  sound.Play(6, 0, 0, &copy, 0);
  Mix(4);  // both end

  CSoundInstance* playing = nullptr;
  ASSERT_EQ(sound.Play(6, 0, 0, &playing, 0), 0);
  EXPECT_EQ(playing, record);
  EXPECT_EQ(sound.RingRecords()[0], copy);  // the copy started longest ago holds the ring place
  EXPECT_EQ(copy->firstCopy, record);
  EXPECT_EQ(record->firstCopy, nullptr);
  EXPECT_EQ(record->prev, nullptr);
  Mix(4);

  ASSERT_EQ(sound.Play(6, 0, 0, &playing, 0), 0);
  EXPECT_EQ(playing, copy);
  EXPECT_EQ(sound.RingRecords()[0], record);
  EXPECT_EQ(record->firstCopy, copy);
}

TEST_F(SoundManagerTest, TheLeastRecentlyUsedIdleSoundMakesRoom) {
  // A permanent sound that leaves room for two more records.
  dir_.Write("Sounds/Sounds.ini", WithBigPermanentSound());
  WriteSound("big", 9000, 470000);
  CSoundManager& sound = Started(2);
  ASSERT_EQ(sound.ringSize, 3);

  sound.Play(6, 0, 0, nullptr, 0);
  sound.Play(7, 0, 0, nullptr, 0);
  Mix(4);
  ASSERT_EQ(sound.Play(8, 0, 0, nullptr, 0), 0);
  std::vector<int> ids;
  for (CSoundInstance* record : sound.RingRecords()) ids.push_back(record->id);
  EXPECT_EQ(ids, (std::vector<int>{8, 7, 900}));  // 6 went: the permanent sound never does

  // A sound still playing keeps its record.
  CSoundInstance* looping = nullptr;
  sound.Play(7, 0, 0, &looping, 1);
  Mix(4);  // 8 ends, 7 plays on
  ASSERT_EQ(sound.Play(6, 0, 0, nullptr, 0), 0);
  ids.clear();
  for (CSoundInstance* record : sound.RingRecords()) ids.push_back(record->id);
  EXPECT_EQ(ids, (std::vector<int>{6, 7, 900}));
  // With every other record busy there is no room.
  EXPECT_EQ(sound.Play(8, 0, 0, nullptr, 0), kSoundFail);
}

TEST_F(SoundManagerTest, PermanentSoundsBeyondTheBudgetNeverWrapTheRing) {
  dir_.Write("Sounds/Sounds.ini", WithBigPermanentSound());
  WriteSound("big", 9000, 600000);  // more than 1 MiB
  CSoundManager& sound = Started(2);
  EXPECT_EQ(sound.ringSize, 1);
  EXPECT_EQ(sound.Play(6, 0, 0, nullptr, 0), kSoundFail);  // no room, and no division by zero
  EXPECT_EQ(sound.Play(900, 0, 0, nullptr, 0), 0);
}

TEST_F(SoundManagerTest, ALostBufferIsLoadedAgainOnItsNextPlay) {
  CSoundManager& sound = Started();
  CSoundInstance* playing = nullptr;
  sound.Play(6, 0, 0, &playing, 0);
  Mix(4);
  playing->buffer->MarkLost();
  CSoundInstance* again = nullptr;
  ASSERT_EQ(sound.Play(6, 0, 0, &again, 0), 0);
  EXPECT_EQ(Mix(1), (std::vector<int>{60}));
  EXPECT_EQ(again->kind, kSoundOrdinary);
}

TEST_F(SoundManagerTest, AMissingWaveFileIsReportedOnce) {
  platform::RemoveFile("Sounds/seven.wav");
  dir_.Write("Sounds/eight.wav", "RIFF....WAVEnot really");
  CSoundManager& sound = Started();
  EXPECT_EQ(sound.Play(7, 0, 0, nullptr, 0), kSoundFail);
  EXPECT_EQ(sound.Play(7, 0, 0, nullptr, 0), kSoundFail);
  EXPECT_EQ(sound.Play(8, 0, 0, nullptr, 0), kSoundFail);
  ASSERT_EQ(boxes_.Count(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Sound Manager Load Error !");
  EXPECT_EQ(boxes_.Boxes()[0].text, "Sounds\\seven.wav");
  EXPECT_EQ(boxes_.Boxes()[1].text, "Sounds\\eight.wav");
  for (CSoundInstance* record : sound.RingRecords()) EXPECT_NE(record->id, 7);  // left empty

  // A file the reader takes but whose samples cannot be played (ADPCM) says so once too.
  std::vector<uint8_t> adpcm = forge::WaveFileBytes({}, std::vector<int16_t>(4, 50));
  adpcm[20] = 2;  // the format tag
  dir_.Write("Sounds/five.wav", adpcm);
  boxes_.Clear();
  EXPECT_NE(sound.Play(5, 0, 0, nullptr, 0), 0);
  EXPECT_NE(sound.Play(5, 0, 0, nullptr, 0), 0);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Sounds\\five.wav");
}

// A sound named by a path that climbs out of the data folder is refused like a missing one,
// though a good WAVE file waits there.
TEST_F(SoundManagerTest, ASoundNamedOutsideTheDataFolderIsRefusedAndReported) {
  const std::string outside = std::filesystem::path(dir_.Path()).filename().string() + "-outside";
  const std::string outsideFile = std::filesystem::path(dir_.Path()).parent_path().string() + "/" + outside + ".wav";
  const std::vector<uint8_t> wave = forge::WaveFileBytes({}, std::vector<int16_t>(4, 70));
  ASSERT_TRUE(platform::WriteWholeFile(outsideFile, wave.data(), wave.size()));
  std::string text = kSoundsIni;
  text.insert(text.find("[Randomised]"), "9=..\\..\\" + outside + "\n");
  dir_.Write("Sounds/Sounds.ini", text);
  CSoundManager& sound = Started();
  EXPECT_EQ(sound.Play(9, 0, 0, nullptr, 0), kSoundFail);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Sounds\\..\\..\\" + outside + ".wav");
  for (CSoundInstance* record : sound.RingRecords()) EXPECT_NE(record->id, 9);
  platform::RemoveFile(outsideFile);
}

TEST_F(SoundManagerTest, WithSoundOffEverythingSucceedsSilently) {
  CSoundManager sound;
  CSoundInstance* playing = nullptr;
  EXPECT_EQ(sound.Play(6, 0, 0, &playing, 1), 0);
  ASSERT_EQ(playing, sound.SilentInstance());
  EXPECT_EQ(playing->IsPlaying(1), 0);
  EXPECT_EQ(playing->Stop(1), 0);
  EXPECT_EQ(playing->SetVolume(-100, 1), 0);
  EXPECT_EQ(playing->SetPan(100, 1), 0);
  CSoundInstance* loaded = nullptr;
  EXPECT_EQ(sound.LoadSound(6, &loaded), 0);
  EXPECT_EQ(loaded, sound.SilentInstance());
  int32_t volume = 123;
  EXPECT_EQ(sound.GetVolume(&volume), 0);
  EXPECT_EQ(volume, 123);
  EXPECT_EQ(sound.Shutdown(), 0);
}

TEST_F(SoundManagerTest, ShutdownRestoresTheMasterVolumeAndReleasesEverything) {
  CSoundManager& sound = Started();
  ASSERT_EQ(sound.SetVolume(-1500), 0);
  int32_t volume = 0;
  sound.GetVolume(&volume);
  EXPECT_EQ(volume, -1500);
  EXPECT_EQ(platform::TheMixer().MasterVolume(), -1500);
  sound.Play(8, 0, 0, nullptr, 1);
  EXPECT_EQ(sound.Shutdown(), 0);
  EXPECT_EQ(platform::TheMixer().MasterVolume(), 0);
  EXPECT_EQ(platform::TheMixer().PlayingCount(), 0u);
  EXPECT_EQ(g_soundManager, nullptr);
  EXPECT_FALSE(sound.IsLive());
  EXPECT_TRUE(sound.RingRecords().empty());
  EXPECT_FALSE(platform::AudioOutputIsOpen());
}

TEST_F(SoundManagerTest, TheForgedSoundSetLoadsAndEverySoundPlays) {
  testing_support::ForgedDataCopy data;
  CSoundManager& sound = Started();
  EXPECT_GT(sound.soundIds.size(), 100u);
  EXPECT_TRUE(sound.IsGroup(500));
  EXPECT_EQ(sound.LoadKindOf(801), kSoundPermanent);
  for (int32_t id : sound.soundIds) {
    CSoundInstance* playing = nullptr;
    EXPECT_EQ(sound.Play(id, 0, 0, &playing, 0), 0) << id;
    EXPECT_EQ(playing->id, id);
    playing->Stop(0);
  }
  EXPECT_EQ(boxes_.Count(), 0u);
}

TEST(SoundNames, ATrailingCommentIsCut) {
  struct Case {
    const char* value;
    const char* name;
  };
  for (Case c : {Case{"click", "click"}, Case{"'click' ; the click", "'click'"}, Case{"click ; a comment", "click"},
                 Case{"a'b;c'd", "a'"}, Case{"", ""}})
    EXPECT_EQ(CutSoundName(c.value), c.name) << c.value;
}

TEST(SoundErrors, EachResultHasItsText) {
  EXPECT_STREQ(DirectSoundErrorText(0), "False error condition: check code !");
  EXPECT_STREQ(DirectSoundErrorText(kSoundFail), "An undetermined error occurred inside\nthe DirectSound subsystem.");
  EXPECT_STREQ(DirectSoundErrorText(platform::kAudioNoDriver), "No sound driver is available for use.");
  EXPECT_STREQ(DirectSoundErrorText(platform::kAudioBadFormat), "The specified wave format is not supported.");
  EXPECT_STREQ(DirectSoundErrorText(-1), "Undefined Error !");
}

TEST(SoundGroups, ParseKeepsThePositiveMembersInOrder) {
  CSoundGroup group;
  group.Parse("3, 5,0,-2,3,x,12");
  EXPECT_EQ(group.members, (std::vector<int32_t>{3, 5, 3, 12}));
  group.Parse("");
  EXPECT_TRUE(group.members.empty());
}

}  // namespace
