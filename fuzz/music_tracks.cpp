// Feeds arbitrary text to the music track list's reader (cfg/music.cfg): the main track and
// every battle track of a realm's key stand within the tracks there are.
#include <cstdint>

#include "GameDataFuzz.h"
#include "sound/MusicTrackList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("music_tracks", {"cfg"});
  fuzz::WriteInputAs({"cfg/music.cfg"}, data, size);
  for (const char* key : {static_cast<const char*>(nullptr), "moorland", ""}) {
    CMusicTrackList list;
    list.Load(key);
    fuzz::Expect(list.mainTrack >= 0 && list.mainTrack <= 11);
    fuzz::Expect(list.count >= 0 && list.count <= CMusicTrackList::kCapacity);
    int played = 0;
    for (int track = list.Next(); track != -1; track = list.Next()) fuzz::Expect(++played <= list.count);
  }
  return 0;
}
