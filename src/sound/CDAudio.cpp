#include "sound/CDAudio.h"

#include <algorithm>

#include "platform/Clock.h"

CRandom g_cdRandom;
CCDAudio g_cdAudio;

namespace {

constexpr uint32_t kVolumeStep = 0x11111111;  // volume 0-15 spread over both 16-bit sides

// Waits about that many milliseconds by the tick clock. Bounded by the count as well, so a
// clock that stands still (a test's) cannot hold the caller for long.
void WaitMs(uint32_t ms) {
  const uint32_t start = platform::TickCount();
  for (uint32_t i = 0; i < ms && platform::TickCount() - start < ms; ++i) platform::SleepMs(1);
}

}  // namespace

CCDAudio::CCDAudio() { g_cdRandom.Seed(platform::SystemTimeMs()); }

int CCDAudio::Open(void* notifyWindow) {
  if (!notifyWindow) return kCdNoWindow;
  window = notifyWindow;
  if (int error = drive_.Open(elementName.size() > 1 ? elementName : std::string()); error != 0) return error;
  auxDevices.clear();
  savedAuxVolumes.clear();
  for (int device = 0; device < platform::AuxDeviceCount(); ++device) {
    platform::AuxCaps caps;
    if (platform::AuxGetCaps(device, &caps) != 0) {
      drive_.Close();
      return kCdNoAuxDevice;
    }
    bool cdLine =
        caps.technology == platform::kAuxTechnologyCdAudio || caps.technology == platform::kAuxTechnologyAuxInput;
    if (!caps.volumeControl || !cdLine) continue;
    uint32_t volume = 0;
    if (platform::AuxGetVolume(device, &volume) != 0) {
      drive_.Close();
      return kCdVolumeReadError;
    }
    auxDevices.push_back(device);
    savedAuxVolumes.push_back(volume);
  }
  opened = 1;
  return 0;
}

void CCDAudio::Close() {
  if (!opened) return;
  Stop(1);
  for (size_t i = 0; i < auxDevices.size(); ++i) platform::AuxSetVolume(auxDevices[i], savedAuxVolumes[i]);
  auxDevices.clear();
  savedAuxVolumes.clear();
  drive_.Close();
  opened = 0;
}

int CCDAudio::AddTrack(int track) {
  if (playCount >= kMaxTracks) return kCdPlayListFull;
  playList[static_cast<size_t>(playCount++)] = track;
  return 0;
}

int CCDAudio::PlayList(int loopFlag) {
  if (!opened || !enabled) return 0;
  loop = loopFlag;
  position = 0;
  if (playCount == 0) return kCdPlayListEmpty;
  workList = playList;
  workCount = playCount;
  if (int error = Stop(1); error != 0) return error;
  return PlayTrack(workList[0]);
}

int CCDAudio::PlayShuffled(int loopFlag) {
  if (!opened || !enabled) return 0;
  std::vector<int> scratch;
  if (playCount == 0) {
    int tracks = 0;
    if (int error = drive_.GetTrackCount(&tracks); error != 0) return error;
    if (tracks == 0) return 0;
    for (int track = 1; track <= tracks; ++track) scratch.push_back(track);
  } else {
    scratch.assign(playList.begin(), playList.begin() + playCount);
  }
  const uint32_t count = static_cast<uint32_t>(scratch.size());
  if (count > 1) {
    for (int swap = 0; swap < 100; ++swap) {
      uint32_t a = (g_cdRandom.Next() & 0x7FFFFFFF) % count;
      uint32_t b = (g_cdRandom.Next() & 0x7FFFFFFF) % count;
      std::swap(scratch[a], scratch[b]);
    }
  }
  playCount = std::min<int>(static_cast<int>(count), kMaxTracks);
  std::copy(scratch.begin(), scratch.begin() + playCount, playList.begin());
  return PlayList(loopFlag);
}

int CCDAudio::PlayTrack(int track) {
  if (!opened || !enabled) return 0;
  int error = drive_.Play(track, track + 1, window);
  if (error == 0) {
    finished = 0;
    return 0;
  }
  // The last track has no next one to stop at: it plays to the end of the disc.
  int tracks = 0;
  if (drive_.GetTrackCount(&tracks) == 0 && track == tracks) {
    int result = drive_.Play(track, 0, window);
    if (result == 0) finished = 0;
    return result;
  }
  return error;
}

int CCDAudio::PlayNext() {
  if (!opened || !enabled) return 0;
  if (workCount == 0) return kCdPlayListEmpty;
  int next = position + 1;
  if (next < workCount && next < 98 && workList[static_cast<size_t>(next)] != 0) {
    position = next;
    return PlayTrack(workList[static_cast<size_t>(next)]);
  }
  if (loop) {
    position = 0;
    return PlayTrack(workList[0]);
  }
  finished = 1;
  return kCdPlayListFinished;
}

int CCDAudio::Stop(int fade) {
  if (!opened || !enabled) return 0;
  int mode = 0;
  if (drive_.GetMode(&mode) == 0 && mode == platform::kCdModeStop) return 0;
  int volume = 0;
  bool faded = false;
  if (fade) {
    uint32_t raw = 0;
    bool known = auxDevices.empty() || platform::AuxGetVolume(auxDevices[0], &raw) == 0;
    volume = static_cast<int>(raw / kVolumeStep);
    if (known && volume > 0) {
      // About half a second from the current volume down to silence.
      const uint32_t stepMs = static_cast<uint32_t>(1000 / volume / 2);
      for (int step = volume - 1; step >= 0; --step) {
        if (SetVolume(step) != 0) break;
        WaitMs(stepMs);
      }
      faded = true;
    }
  }
  drive_.Stop();
  // Back to the volume before the fade, which also enables the player that volume 0 disabled.
  if (faded) SetVolume(volume);
  finished = 0;
  return 0;
}

int CCDAudio::SetVolume(int volume) {
  if (!opened) return 0;
  volume = std::clamp(volume, 0, 15);
  if (volume == 0) {
    Stop(0);
    enabled = 0;
  } else {
    enabled = 1;
  }
  for (int device : auxDevices)
    if (platform::AuxSetVolume(device, static_cast<uint32_t>(volume) * kVolumeStep) != 0) return kCdVolumeSetError;
  return 0;
}

int CCDAudio::GetVolume(int* volumeOut) {
  int volume = 0;
  if (opened && enabled && !auxDevices.empty()) {
    uint32_t raw = 0;
    if (platform::AuxGetVolume(auxDevices[0], &raw) != 0) return kCdVolumeReadError;
    volume = static_cast<int>(raw / kVolumeStep);
  }
  if (volumeOut) *volumeOut = volume;
  return volume;
}

int CCDAudio::OnNotify(int code) {
  if (code == platform::kCdNotifySuccessful) {
    int mode = 0;
    if (drive_.GetMode(&mode) == 0 && mode == platform::kCdModeStop) return PlayNext();
    return 0;
  }
  if (code == platform::kCdNotifyFailure) return kCdPlayError;
  return 0;
}

int CCDAudio::QueryMode(int* mode) const {
  if (!opened) return platform::kCdErrNotOpen;
  return drive_.GetMode(mode);
}

const char* GetMciErrorText(int code) {
  switch (code) {
    case 0:
      return "False error condition: check code !";
    case -1:
      return "No window handle supplied.";
    case -2:
      return "Play list is now full.";
    case -3:
      return "Play list has finished. Play again to restart.";
    case -4:
      return "Play list empty.";
    case -5:
      return "Error getting the CD volume level.";
    case -6:
      return "Error setting the CD volume level.";
    case -7:
      return "No AUX sound device found.";
    case -8:
      return "Error trying to play the CD.";
    case 257:
      return "The device is not open, or no such device exists.";
    case 261:
      return "The device does not know this command.";
    case 262:
      return "CD player not responding. Check that a disk is inserted\nin the drive.";
    case 263:
      return "The device name is not valid.";
    case 264:
      return "There is not enough memory for this command.\nClose some programs and try again.";
    case 265:
      return "This program has the device open already.";
    case 266:
      return "The device driver could not be loaded.";
    case 272:
    case 278:
      return "The device driver reported an error.\nTry restarting the computer.";
    case 273:
      return "The command needs a parameter that was not given.";
    case 274:
      return "The device cannot do what the command asks.";
    case 275:
      return "The file could not be found.";
    case 276:
      return "The device is not ready.";
    case 277:
      return "The multimedia system failed internally.";
    case 279:
      return "This command cannot be sent to every device at once.";
    case 280:
      return "Errors occurred on more than one device.";
    case 281:
      return "No device plays files of this type.";
    case 282:
      return "A value given is outside the range the device accepts.";
    case 284:
      return "The options given cannot be used together.";
    case 286:
      return "The file could not be saved.";
    case 287:
      return "The device could not be found; give its type.";
    case 288:
      return "The device is busy. Wait a moment and try again.";
    case 289:
      return "This program already uses that alias.";
    case 291:
      return "Another program is using the device.\nIt can only be shared.";
    case 293:
      return "The device does not know this time format.";
    case 296:
      return "The device cannot play this file.\nIt may be damaged or of another format.";
    case 297:
      return "A parameter block was missing.";
    case 298:
      return "An untitled file needs a name to be saved.";
    case 301:
      return "This device takes no file name.";
    case 302:
      return "The commands came in an order the device cannot follow.";
    case 303:
      return "This command cannot be used on a device opened on its own.";
    case 304:
      return "The file name is not valid.";
    case 305:
      return "Nothing may follow the closing quote.";
    case 306:
      return "The device is not installed.";
    case 307:
      return "The file or device cannot be reached.\nTry another folder or restart the computer.";
    case 308:
      return "The file or device cannot be reached from the current folder.";
    case 309:
      return "The drive cannot be reached.";
    case 310:
      return "The device or driver name is too long.";
    case 311:
      return "The device or driver name is too long.\nUse a shorter one.";
    case 312:
      return "The command needs a whole number.";
    case 346:
      return "There is no window to show the output in.";
    case 347:
      return "The window for the output could not be made.";
    case 348:
      return "The file could not be read.";
    case 349:
      return "The file could not be written.";
    default:
      return "Undefined Error !";
  }
}
