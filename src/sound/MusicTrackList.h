#pragma once
// CMusicTrackList: the music tracks of cfg/music.cfg: the main (title) track, and the battle
// tracks listed under a key (the realm's name).

#include <array>

class CMusicTrackList {
 public:
  static constexpr int kCapacity = 12;

  // Reads the main track and, with a key, that key's battle tracks; false when the key is
  // given and not there.
  bool Load(const char* key);
  void Rewind() { nextIndex = 0; }
  // The next battle track, or -1 after the last.
  int Next();

  std::array<int, kCapacity> tracks{};
  int count = 0;
  int mainTrack = 0;
  int nextIndex = 0;
};

// The one track list, made on first use, loaded without a key and rewound.
CMusicTrackList* GetMusicTrackList();
// Deletes it (when the main window goes); the next GetMusicTrackList makes it afresh.
void FreeMusicTrackList();
