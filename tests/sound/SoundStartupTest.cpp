#include <gtest/gtest.h>

#include "core/Globals.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "platform/AudioOutput.h"
#include "platform/CdDrive.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/KeyState.h"
#include "sound/CDAudio.h"
#include "sound/MoviePlayer.h"
#include "sound/MusicTrackList.h"
#include "sound/SoundManager.h"
#include "sound/SoundStartup.h"
#include "support/TestSupport.h"

using testing_support::BoxRecorder;
using testing_support::TempDir;

namespace {

int g_window = 0;

class SoundStartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalOptions();
    FreeMusicTrackList();  // read afresh from this test's copy of the data
    g_prefs.Reset();
    g_prefs.soundEnabled = 1;
    g_prefs.cdMusicEnabled = 1;
    g_prefs.playFmv = 1;
    g_prefs.musicVolume = 15;
    g_prefs.sfxVolume = -500;
    platform::SetManualAudioOutput(true);
    platform::SetTickSource([this] { return tick_ += 100; });
    platform::SetKeyStateSource([this](int) { return escapeAfter_ >= 0 && screen_.FramesDrawn() >= escapeAfter_; });
  }
  void TearDown() override {
    ShutdownSound();
    FreeMusicTrackList();
    platform::SetKeyStateSource({});
    platform::SetTickSource({});
    platform::SetManualAudioOutput(false);
    g_prefs.Reset();
    while (platform::TakeCdNotify(nullptr, nullptr)) {
    }
  }
  int NextSample() {
    int16_t out[2];
    platform::TheMixer().Mix(out, 1);
    return out[0];
  }

  testing_support::ForgedDataCopy data_;  // the current directory while the test runs
  BoxRecorder boxes_;
  uint32_t tick_ = 0;
  int escapeAfter_ = -1;
  FrameBufferTarget screen_{640, 480, false};
};

TEST_F(SoundStartupTest, StartUpPlaysTheIntroMoviesAndTheTitleTrack) {
  StartSound(&g_window, nullptr);
  ASSERT_TRUE(SoundIsLive());
  EXPECT_EQ(platform::TheMixer().MasterVolume(), -500);

  PlayIntroMovies(&screen_, 0, 0);
  EXPECT_EQ(screen_.FramesDrawn(), 12 + 10);
  EXPECT_EQ(screen_.Pixel(100, 100), 0);  // cleared after the movies

  OpenCdMusic(&g_window);
  ASSERT_TRUE(g_cdAudio.IsOpen());
  PlayTitleMusic();
  int mode = 0;
  g_cdAudio.QueryMode(&mode);
  EXPECT_EQ(mode, platform::kCdModePlay);
  int loud = 0;
  for (int i = 0; i < 2000; ++i) loud += NextSample() != 0;
  EXPECT_GT(loud, 1000);
  EXPECT_EQ(g_cdAudio.playList[0], 1);  // the main track of cfg/music.cfg
  EXPECT_EQ(boxes_.Count(), 0u);

  ShutdownSound();
  EXPECT_FALSE(SoundIsLive());
  EXPECT_FALSE(g_cdAudio.IsOpen());
  EXPECT_FALSE(platform::AudioOutputIsOpen());
}

TEST_F(SoundStartupTest, EscapeOnTheFirstMovieSkipsTheSecond) {
  escapeAfter_ = 2;
  g_prefs.isHighRes = 1;
  FrameBufferTarget large(800, 600, false);
  PlayIntroMovies(&screen_, 0, 0);
  EXPECT_EQ(screen_.FramesDrawn(), 2);
  g_prefs.playFmv = 0;
  escapeAfter_ = -1;
  PlayIntroMovies(&large, 0, 0);
  EXPECT_EQ(large.FramesDrawn(), 0);
}

TEST_F(SoundStartupTest, FailuresShowTheirBoxesAndTheGameGoesOn) {
  TempDir empty(true);
  StartSound(&g_window, nullptr);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Sound Manager Error !");
  EXPECT_EQ(boxes_.Boxes()[0].text, DirectSoundErrorText(kSoundFail));
  EXPECT_EQ(g_prefs.soundEnabled, 0);
  EXPECT_FALSE(SoundIsLive());

  OpenCdMusic(nullptr);
  ASSERT_EQ(boxes_.Count(), 2u);
  EXPECT_EQ(boxes_.Boxes()[1].caption, "CD Player Error !");
  EXPECT_EQ(boxes_.Boxes()[1].text, "No window handle supplied.");
  PlayTitleMusic();  // harmless with the player closed
  EXPECT_EQ(platform::TheMixer().PlayingCount(), 0u);
}

TEST_F(SoundStartupTest, AnExitThroughTheGlobalObjectsStopsSoundAndMusic) {
  RegisterSoundGlobalObjects();
  ConstructGlobalObjects(false);  // builds the preferences afresh as well
  g_prefs.soundEnabled = 1;
  g_prefs.cdMusicEnabled = 1;
  g_prefs.musicVolume = 15;
  StartSound(&g_window, nullptr);
  OpenCdMusic(&g_window);
  PlayTitleMusic();
  ASSERT_TRUE(SoundIsLive());
  ASSERT_TRUE(g_cdAudio.IsOpen());

  // What the exit list does after a fatal box: no shut-down ran, the objects' ends stop both.
  DestroyGlobalObjects();
  EXPECT_FALSE(SoundIsLive());
  EXPECT_FALSE(g_cdAudio.IsOpen());
  EXPECT_FALSE(platform::AudioOutputIsOpen());
  for (int order : {kGlobalSoundManager, kGlobalCdPlayer}) SetGlobalObject(order, nullptr, nullptr, nullptr);
}

}  // namespace
