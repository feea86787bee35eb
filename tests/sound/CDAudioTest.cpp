#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "forge/Wave.h"
#include "platform/AudioOutput.h"
#include "platform/CdDrive.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "sound/CDAudio.h"
#include "sound/MusicTrackList.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

namespace {

int g_window = 0;  // any address stands for the main window
void* const kWindow = &g_window;

class CDAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetManualAudioOutput(true);
    // Each read of the clock moves it on, so the fade's waits end at once.
    platform::SetTickSource([this] { return tick_ += 50; });
    platform::AuxSetVolume(0, 0xFFFFFFFF);
    while (platform::TakeCdNotify(nullptr, nullptr)) {
    }
    WriteDisc(3);
  }
  void TearDown() override {
    cd_.Close();
    platform::SetTickSource({});
    platform::SetManualAudioOutput(false);
    platform::AuxSetVolume(0, 0xFFFFFFFF);
  }

  // A disc of tracks whose samples are the track number times 100, four frames each.
  void WriteDisc(int tracks) {
    for (int track = 1; track <= tracks; ++track) {
      char name[32];
      std::snprintf(name, sizeof name, "cdaudio/track%02d.wav", track);
      dir_.Write(name, forge::WaveFileBytes({}, std::vector<int16_t>(4, static_cast<int16_t>(track * 100))));
    }
  }
  // The track playing now, from the next frame of the mix (0 for silence).
  int PlayingTrack() {
    int16_t out[2];
    platform::TheMixer().Mix(out, 1);
    return out[0] / 100;
  }
  // Plays out the current track and hands the device's notifications to the player.
  std::vector<int> FinishTrack() {
    int16_t out[16];
    platform::TheMixer().Mix(out, 8);
    std::vector<int> codes;
    void* window = nullptr;
    int code = 0;
    while (platform::TakeCdNotify(&window, &code)) {
      EXPECT_EQ(window, kWindow);
      codes.push_back(code);
      cd_.OnNotify(code);
    }
    return codes;
  }
  int Mode() {
    int mode = 0;
    EXPECT_EQ(cd_.QueryMode(&mode), 0);
    return mode;
  }

  uint32_t tick_ = 0;
  TempDir dir_{true};
  CCDAudio cd_;
};

TEST_F(CDAudioTest, OpenNeedsAWindowAndAFailedOpenLeavesThePlayerClosed) {
  EXPECT_EQ(cd_.Open(nullptr), kCdNoWindow);
  EXPECT_FALSE(cd_.IsOpen());
  cd_.AddTrack(1);
  EXPECT_EQ(cd_.PlayList(0), 0);
  EXPECT_EQ(PlayingTrack(), 0);
  ASSERT_EQ(cd_.Open(kWindow), 0);
  EXPECT_EQ(cd_.auxDevices.size(), 1u);
  EXPECT_EQ(Mode(), platform::kCdModeStop);
}

TEST_F(CDAudioTest, AFullPlayListTakesNoMoreTracks) {
  for (int i = 0; i < CCDAudio::kMaxTracks; ++i) ASSERT_EQ(cd_.AddTrack(i % 3 + 1), 0);
  EXPECT_EQ(cd_.AddTrack(2), kCdPlayListFull);
  EXPECT_EQ(cd_.playCount, CCDAudio::kMaxTracks);
  EXPECT_EQ(cd_.playList[98], 98 % 3 + 1);
}

TEST_F(CDAudioTest, TheListPlaysOnFromTrackToTrackAndEndsOrLoops) {
  ASSERT_EQ(cd_.Open(kWindow), 0);
  cd_.AddTrack(2);
  cd_.AddTrack(3);  // the last track of the disc: played to its end
  ASSERT_EQ(cd_.PlayList(0), 0);
  EXPECT_EQ(PlayingTrack(), 2);
  EXPECT_EQ(FinishTrack(), (std::vector<int>{platform::kCdNotifySuccessful}));
  EXPECT_EQ(PlayingTrack(), 3);
  FinishTrack();
  EXPECT_EQ(PlayingTrack(), 0);
  EXPECT_EQ(cd_.finished, 1);
  EXPECT_EQ(cd_.PlayNext(), kCdPlayListFinished);

  ASSERT_EQ(cd_.PlayList(1), 0);
  FinishTrack();
  FinishTrack();
  EXPECT_EQ(PlayingTrack(), 2);  // round again
}

TEST_F(CDAudioTest, TheShuffleIsReproducibleFromItsSeedAndRepeatsNoTrackInACycle) {
  WriteDisc(6);
  ASSERT_EQ(cd_.Open(kWindow), 0);
  auto shuffled = [&](uint32_t seed) {
    g_cdRandom.Seed(seed);
    cd_.ClearPlayList();
    EXPECT_EQ(cd_.PlayShuffled(1), 0);
    return std::vector<int>(cd_.playList.begin(), cd_.playList.begin() + cd_.playCount);
  };
  std::vector<int> first = shuffled(2024);
  EXPECT_EQ(shuffled(2024), first);
  std::vector<int> sorted = first;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_NE(first, sorted);
  EXPECT_NE(shuffled(7), first);

  // One whole cycle of the looping list, as heard.
  shuffled(2024);
  std::vector<int> heard;
  for (int i = 0; i < 6; ++i) {
    heard.push_back(PlayingTrack());
    FinishTrack();
  }
  EXPECT_EQ(heard, first);
  EXPECT_EQ(PlayingTrack(), first[0]);

  // A given list is shuffled in place.
  g_cdRandom.Seed(5);
  cd_.ClearPlayList();
  for (int track : {2, 4, 6}) cd_.AddTrack(track);
  cd_.PlayShuffled(0);
  std::set<int> given(cd_.playList.begin(), cd_.playList.begin() + cd_.playCount);
  EXPECT_EQ(given, (std::set<int>{2, 4, 6}));
}

TEST_F(CDAudioTest, AnEmptyListShufflesTheWholeDisc) {
  TempDir single(true);
  single.Write("cdaudio/track01.wav", forge::WaveFileBytes({}, std::vector<int16_t>(4, 100)));
  ASSERT_EQ(cd_.Open(kWindow), 0);
  ASSERT_EQ(cd_.PlayShuffled(0), 0);
  EXPECT_EQ(cd_.playCount, 1);
  EXPECT_EQ(PlayingTrack(), 1);
}

TEST_F(CDAudioTest, WithoutADiscThePlayerSaysSo) {
  TempDir empty(true);
  ASSERT_EQ(cd_.Open(kWindow), 0);
  EXPECT_EQ(Mode(), platform::kCdModeNotReady);
  EXPECT_EQ(cd_.PlayShuffled(0), platform::kCdErrNoDisc);
  cd_.AddTrack(1);
  EXPECT_EQ(cd_.PlayList(0), platform::kCdErrNoDisc);
  EXPECT_STREQ(GetMciErrorText(platform::kCdErrNoDisc),
               "CD player not responding. Check that a disk is inserted\nin the drive.");
}

TEST_F(CDAudioTest, VolumeZeroStopsTheMusicUntilAVolumeIsSetAgain) {
  ASSERT_EQ(cd_.Open(kWindow), 0);
  cd_.AddTrack(1);
  cd_.PlayList(0);
  ASSERT_EQ(cd_.SetVolume(0), 0);
  EXPECT_EQ(Mode(), platform::kCdModeStop);
  EXPECT_EQ(cd_.enabled, 0);
  EXPECT_EQ(cd_.PlayTrack(1), 0);  // does nothing while disabled
  EXPECT_EQ(Mode(), platform::kCdModeStop);
  int volume = -1;
  EXPECT_EQ(cd_.GetVolume(&volume), 0);

  ASSERT_EQ(cd_.SetVolume(5), 0);
  EXPECT_EQ(cd_.enabled, 1);
  EXPECT_EQ(Mode(), platform::kCdModeStop);  // not restarted
  uint32_t raw = 0;
  platform::AuxGetVolume(0, &raw);
  EXPECT_EQ(raw, 5 * 0x11111111u);
  EXPECT_EQ(cd_.GetVolume(&volume), 5);
  EXPECT_EQ(volume, 5);

  cd_.PlayTrack(1);  // the CD line's volume scales the music
  int16_t out[2];
  platform::TheMixer().Mix(out, 1);
  EXPECT_EQ(out[0], 100 * 21846 >> 16);
  EXPECT_EQ(cd_.SetVolume(40), 0);  // clamped to 15
  EXPECT_EQ(cd_.GetVolume(nullptr), 15);
}

TEST_F(CDAudioTest, StoppingFadesOutAndPutsTheVolumeBack) {
  ASSERT_EQ(cd_.Open(kWindow), 0);
  cd_.SetVolume(12);
  cd_.AddTrack(1);
  cd_.PlayList(0);
  ASSERT_EQ(Mode(), platform::kCdModePlay);
  ASSERT_EQ(cd_.Stop(1), 0);
  EXPECT_EQ(Mode(), platform::kCdModeStop);
  EXPECT_EQ(cd_.GetVolume(nullptr), 12);
  EXPECT_EQ(cd_.enabled, 1);
  std::vector<int> codes = FinishTrack();
  EXPECT_EQ(codes, (std::vector<int>{platform::kCdNotifyAborted}));  // and no next track
  EXPECT_EQ(PlayingTrack(), 0);
}

TEST_F(CDAudioTest, ANewPlaySupersedesTheOldAndFailuresAreReported) {
  ASSERT_EQ(cd_.Open(kWindow), 0);
  ASSERT_EQ(cd_.PlayTrack(1), 0);
  ASSERT_EQ(cd_.PlayTrack(2), 0);
  int code = 0;
  ASSERT_TRUE(platform::TakeCdNotify(nullptr, &code));
  EXPECT_EQ(code, platform::kCdNotifySuperseded);
  EXPECT_EQ(cd_.OnNotify(platform::kCdNotifySuperseded), 0);
  EXPECT_EQ(cd_.OnNotify(platform::kCdNotifyFailure), kCdPlayError);
  EXPECT_EQ(cd_.PlayTrack(9), platform::kCdErrOutOfRange);
}

TEST_F(CDAudioTest, CloseStopsAndPutsTheVolumesBack) {
  platform::AuxSetVolume(0, 0x77777777);
  ASSERT_EQ(cd_.Open(kWindow), 0);
  cd_.SetVolume(3);
  cd_.PlayTrack(1);
  cd_.Close();
  EXPECT_FALSE(cd_.IsOpen());
  uint32_t raw = 0;
  platform::AuxGetVolume(0, &raw);
  EXPECT_EQ(raw, 0x77777777u);
  EXPECT_EQ(platform::TheMixer().PlayingCount(), 0u);
  EXPECT_FALSE(platform::AudioOutputIsOpen());
}

intptr_t QuietProc(platform::WindowHandle w, unsigned m, uintptr_t wp, intptr_t lp) {
  return platform::DefaultWindowProc(w, m, wp, lp);
}

TEST_F(CDAudioTest, TheEndOfATrackReachesTheWindowAsANotifyMessage) {
  if (!platform::IsWindowClassRegistered("CD_TEST")) platform::RegisterWindowClass("CD_TEST", QuietProc);
  platform::WindowHandle window = platform::CreateAppWindow("CD_TEST", "music", platform::WindowPlacement{});
  ASSERT_NE(window, nullptr);
  platform::ClearMessageQueue();
  ASSERT_EQ(cd_.Open(window), 0);
  cd_.AddTrack(1);
  cd_.AddTrack(2);
  cd_.PlayList(0);
  int16_t out[16];
  platform::TheMixer().Mix(out, 8);
  platform::Message message;
  bool notified = false;
  while (platform::PeekMessage(message, true)) {
    if (message.message != platform::MM_MCINOTIFY) continue;
    EXPECT_EQ(message.window, window);
    EXPECT_EQ(message.wParam, static_cast<uintptr_t>(platform::kCdNotifySuccessful));
    cd_.OnNotify(static_cast<int>(message.wParam));
    notified = true;
  }
  EXPECT_TRUE(notified);
  EXPECT_EQ(PlayingTrack(), 2);
  cd_.Close();
  platform::DestroyAppWindow(window);
  platform::ClearMessageQueue();
}

TEST(CDAudioErrors, EachCodeHasItsText) {
  struct Case {
    int code;
    const char* text;
  };
  for (Case c : {Case{0, "False error condition: check code !"}, Case{-1, "No window handle supplied."},
                 Case{-2, "Play list is now full."}, Case{-3, "Play list has finished. Play again to restart."},
                 Case{-4, "Play list empty."}, Case{-5, "Error getting the CD volume level."},
                 Case{-6, "Error setting the CD volume level."}, Case{-7, "No AUX sound device found."},
                 Case{-8, "Error trying to play the CD."}, Case{9999, "Undefined Error !"}})
    EXPECT_STREQ(GetMciErrorText(c.code), c.text) << c.code;
  EXPECT_STREQ(GetMciErrorText(272), GetMciErrorText(278));
  for (int code : {257, 261, 266, 282, 296, 312, 346, 349}) EXPECT_STRNE(GetMciErrorText(code), "Undefined Error !");
}

class MusicTrackListTest : public ::testing::Test {
 protected:
  CMusicTrackList Loaded(const std::string& text, const char* key, bool expected = true) {
    dir_.Write("cfg/music.cfg", text);
    CMusicTrackList list;
    EXPECT_EQ(list.Load(key), expected);
    return list;
  }
  std::vector<int> Tracks(CMusicTrackList& list) {
    std::vector<int> tracks;
    list.Rewind();
    for (int track = list.Next(); track != -1; track = list.Next()) tracks.push_back(track);
    return tracks;
  }
  TempDir dir_{true};
};

TEST_F(MusicTrackListTest, ReadsTheMainTrackAndEveryBattleTrackOfAKey) {
  const std::string text =
      "[GENERAL]\nmainTrack=3\n[BATTLE_TRACKS]\nSample=3=x,0,7\nTwo=2,4\nMany=1,2,3,4,5,6,7,8,9,10,11,12,13,14\n";
  CMusicTrackList list = Loaded(text, "Sample");
  EXPECT_EQ(list.mainTrack, 3);
  EXPECT_EQ(Tracks(list), (std::vector<int>{3, 0, 7}));
  list = Loaded(text, "Two");
  EXPECT_EQ(Tracks(list), (std::vector<int>{2, 4}));  // the last entry too
  list = Loaded(text, "Many");
  EXPECT_EQ(list.count, CMusicTrackList::kCapacity);
  list = Loaded(text, "Missing", false);
  EXPECT_EQ(list.count, 0);
  list = Loaded(text, nullptr);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.mainTrack, 3);
}

TEST_F(MusicTrackListTest, TheMainTrackIsClamped) {
  for (auto [value, expected] : {std::pair{"20", 11}, std::pair{"-3", 0}, std::pair{"0", 0}, std::pair{"11", 11}})
    EXPECT_EQ(Loaded(std::string("[GENERAL]\nmainTrack=") + value + "\n", nullptr).mainTrack, expected) << value;
  EXPECT_EQ(Loaded("", nullptr).mainTrack, 0);
}

TEST(MusicTrackList, TheForgedListNamesATrackOfTheForgedDisc) {
  testing_support::ForgedDataCopy data;
  FreeMusicTrackList();
  CMusicTrackList* list = GetMusicTrackList();
  EXPECT_EQ(list, GetMusicTrackList());
  EXPECT_GE(list->mainTrack, 1);
  platform::CdDrive drive;
  platform::SetManualAudioOutput(true);
  ASSERT_EQ(drive.Open(""), 0);
  int tracks = 0;
  ASSERT_EQ(drive.GetTrackCount(&tracks), 0);
  EXPECT_LE(list->mainTrack, tracks);
  EXPECT_TRUE(list->Load("Default"));
  for (int i = 0; i < list->count; ++i) EXPECT_LE(list->tracks[static_cast<size_t>(i)], tracks);
  drive.Close();
  platform::SetManualAudioOutput(false);
  FreeMusicTrackList();
}

}  // namespace
