#pragma once
// Our stand-in for the CD audio device. There is no disc here: the disc is a folder whose
// audio tracks are WAVE files "track01.wav", "track02.wav", ... (numbered from 1 without a
// gap), played through the process's mixer on the CD line. Results are the device's error
// numbers (0 success). A play asked to notify posts its outcome to the window as the device
// would: successful when it reaches its end, superseded when a new play replaces it, aborted
// when it is stopped.
//
// The CD line has one auxiliary volume device, whose volume scales the tracks.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/AudioMixer.h"

namespace platform {

// Error numbers of the device.
inline constexpr int kCdErrNotOpen = 257;          // no such device open
inline constexpr int kCdErrNoDisc = 262;           // the device does not respond: no disc
inline constexpr int kCdErrNoOutput = 266;         // its driver (the sound output) cannot start
inline constexpr int kCdErrOutOfRange = 282;       // a track the disc does not have
inline constexpr int kCdErrTrackUnreadable = 348;  // a track file that cannot be read

// Modes the device reports.
inline constexpr int kCdModeNotReady = 524;
inline constexpr int kCdModeStop = 525;
inline constexpr int kCdModePlay = 526;

// Outcomes of a play with notification.
inline constexpr int kCdNotifySuccessful = 1;
inline constexpr int kCdNotifySuperseded = 2;
inline constexpr int kCdNotifyAborted = 4;
inline constexpr int kCdNotifyFailure = 8;

// Notifications are posted from the audio thread, where plays end; the window layer moves them
// into the window's message queue as MM_MCINOTIFY (wParam: the outcome) when it next looks for
// messages, on the main thread. TakeCdNotify hands out the next one waiting.
void PostCdNotify(void* window, int code);
bool TakeCdNotify(void** window, int* code);

class CdDrive {
 public:
  static constexpr const char* kDefaultDisc = "cdaudio";

  CdDrive();
  ~CdDrive();
  CdDrive(const CdDrive&) = delete;
  CdDrive& operator=(const CdDrive&) = delete;

  // Opens the drive with the disc in that folder (empty: kDefaultDisc below the current
  // directory). The disc may be missing: the drive then reports kCdModeNotReady.
  int Open(std::string_view disc);
  void Close();
  bool IsOpen() const { return open_; }

  int GetMode(int* mode) const;
  int GetTrackCount(int* count) const;
  // Plays the tracks first to last - 1 in a row; last 0 plays to the end of the disc.
  int Play(int first, int last, void* notifyWindow);
  int Stop();

 private:
  struct Notifier;
  int TrackCount() const;
  std::string TrackPath(int track) const;

  bool open_ = false;
  std::string disc_;
  std::unique_ptr<SoundBuffer> playing_;
  std::shared_ptr<Notifier> notifier_;
};

// The auxiliary audio devices: the stand-in has one, the CD line.
inline constexpr int kAuxBadDevice = 2;
inline constexpr int kAuxTechnologyCdAudio = 1;
inline constexpr int kAuxTechnologyAuxInput = 2;

struct AuxCaps {
  int technology = 0;
  bool volumeControl = false;
};

int AuxDeviceCount();
int AuxGetCaps(int device, AuxCaps* caps);
// Volumes are linear, 0 to 0xFFFF per side: the left side in the low word.
int AuxGetVolume(int device, uint32_t* volume);
int AuxSetVolume(int device, uint32_t volume);

}  // namespace platform
