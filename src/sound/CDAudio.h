#pragma once
// CCDAudio: the game's music, played from the audio tracks of the disc. It keeps a play list
// of track numbers, plays it in order or shuffled, moves to the next track when the device
// reports that a track has ended, and sets the CD line's volume (0 to 15) through the
// auxiliary volume devices. Results: 0 success, positive numbers are the device's errors,
// negative ones the player's own (see GetMciErrorText).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Random.h"
#include "platform/CdDrive.h"

inline constexpr int kCdNoWindow = -1;
inline constexpr int kCdPlayListFull = -2;
inline constexpr int kCdPlayListFinished = -3;
inline constexpr int kCdPlayListEmpty = -4;
inline constexpr int kCdVolumeReadError = -5;
inline constexpr int kCdVolumeSetError = -6;
inline constexpr int kCdNoAuxDevice = -7;
inline constexpr int kCdPlayError = -8;

class CCDAudio {
 public:
  static constexpr int kMaxTracks = 99;

  // Enabled, not open; reseeds the track generator from the clock.
  CCDAudio();
  ~CCDAudio() { Close(); }
  CCDAudio(const CCDAudio&) = delete;
  CCDAudio& operator=(const CCDAudio&) = delete;

  // Opens the device, notifying the window, and finds the CD line's volume devices.
  int Open(void* notifyWindow);
  // Fades out and stops, puts the volumes back and closes the device.
  void Close();
  int AddTrack(int track);
  void ClearPlayList() { playCount = 0; }
  int PlayList(int loopFlag);
  int PlayShuffled(int loopFlag);
  int PlayTrack(int track);
  int PlayNext();
  int Stop(int fade);
  // The volume 0 to 15 (also stored through the pointer).
  int GetVolume(int* volumeOut);
  // 0 stops the music and disables the player until a volume above 0 is set.
  int SetVolume(int volume);
  // Handles the device's notification (its code): plays the next track when one ended.
  int OnNotify(int code);

  bool IsOpen() const { return opened != 0; }
  // The device's mode (525 stopped), asked now.
  int QueryMode(int* mode) const;

  void* window = nullptr;
  std::array<int, kMaxTracks> playList{};
  int playCount = 0;
  std::array<int, kMaxTracks> workList{};
  int workCount = 0;
  int position = 0;
  int enabled = 1;
  int opened = 0;
  int finished = 0;
  int loop = 0;
  std::vector<int> auxDevices;
  std::vector<uint32_t> savedAuxVolumes;
  std::string elementName;  // the disc to open, when longer than one character

 private:
  platform::CdDrive drive_;
};

// The message text of a result of the CD player.
const char* GetMciErrorText(int code);

extern CRandom g_cdRandom;  // the shuffle of the play list
extern CCDAudio g_cdAudio;
