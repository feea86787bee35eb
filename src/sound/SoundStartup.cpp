#include "sound/SoundStartup.h"

#include <cstdio>

#include "core/Globals.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "platform/CdDrive.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "sound/CDAudio.h"
#include "sound/MoviePlayer.h"
#include "sound/MusicTrackList.h"
#include "sound/SoundCues.h"
#include "sound/SoundManager.h"

namespace {

void ShowSoundError(int32_t result) {
  platform::ShowMessageBox(DirectSoundErrorText(result), "Sound Manager Error !",
                           platform::kBoxTopMost | platform::kBoxIconWarning);
}

}  // namespace

void StartSound(void* mainWindow, void* applicationInstance) {
  if (!g_prefs.soundEnabled) return;
  int32_t result = g_theSoundManager.Init(mainWindow, applicationInstance, "Sounds");
  if (result >= 0) result = g_theSoundManager.LoadLevelSounds(1);
  if (result < 0) {
    ShowSoundError(result);
    g_prefs.soundEnabled = 0;
    g_theSoundManager.Shutdown();
    return;
  }
  g_theSoundManager.SetVolume(g_prefs.sfxVolume);
  g_soundCues.LoadTuning();
}

void PlayIntroMovies(MovieTarget* primary, int clientLeft, int clientTop) {
  if (!g_prefs.playFmv) return;
  const int x = clientLeft + (g_prefs.isHighRes ? 80 : 0);
  const int y = clientTop + (g_prefs.isHighRes ? 120 : 60);
  char path[64];
  std::snprintf(path, sizeof path, "%sfmv/intro0.avi", g_dataPath);
  if (PlayMovie(path, primary, x, y, 0)) {
    std::snprintf(path, sizeof path, "%sfmv/intro1.avi", g_dataPath);
    PlayMovie(path, primary, x, y, 0);
  }
  if (primary) primary->Clear();
}

void PlayIntroMovies(CSurface* primary, int clientLeft, int clientTop) {
  SurfaceMovieTarget target(primary);
  PlayIntroMovies(&target, clientLeft, clientTop);
}

void OpenCdMusic(void* mainWindow) {
  if (!g_prefs.cdMusicEnabled) return;
  if (int error = g_cdAudio.Open(mainWindow); error != 0)
    platform::ShowMessageBox(GetMciErrorText(error), "CD Player Error !",
                             platform::kBoxTopMost | platform::kBoxIconWarning);
  g_cdAudio.SetVolume(g_prefs.musicVolume);
}

void PlayTitleMusic() {
  g_cdAudio.Stop(1);
  g_cdAudio.ClearPlayList();
  g_cdAudio.AddTrack(GetMusicTrackList()->mainTrack);
  g_cdAudio.PlayList(1);
}

void OnDiscInserted() {
  int mode = 0;
  if (g_cdAudio.QueryMode(&mode) == 0 && mode == platform::kCdModeStop) {
    g_cdAudio.ClearPlayList();
    g_cdAudio.PlayShuffled(1);
  }
}

void CloseCdMusic() { g_cdAudio.Close(); }

void StopSoundManager() {
  int32_t result = g_theSoundManager.Shutdown();
  if (result < 0) {
    ShowSoundError(result);
    platform::ExitProcess(1);
  }
}

void ShutdownSound() {
  if (g_prefs.cdMusicEnabled) CloseCdMusic();
  if (g_prefs.soundEnabled) StopSoundManager();
}

void RegisterSoundGlobalObjects() {
  SetGlobalObject(kGlobalSoundManager, "sound manager", nullptr, [] { g_theSoundManager.Shutdown(); });
  SetGlobalObject(kGlobalCdPlayer, "CD player", nullptr, [] { g_cdAudio.Close(); });
}
