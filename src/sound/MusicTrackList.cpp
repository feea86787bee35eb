#include "sound/MusicTrackList.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

namespace {

CMusicTrackList* g_musicTrackList = nullptr;

std::string MusicFilePath() {
  std::string path = platform::CurrentDirectory();
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += "\\";
  return path + "cfg/music.cfg";
}

// A track number as the file gives it: numbers below 1 are 0.
int TrackNumber(const std::string& text) { return std::max(platform::TextToInt(text), 0); }

}  // namespace

bool CMusicTrackList::Load(const char* key) {
  count = 0;
  mainTrack = 0;
  const std::string path = MusicFilePath();
  std::string main = platform::ReadProfileString("GENERAL", "mainTrack", "", path);
  if (!main.empty()) mainTrack = std::min(TrackNumber(main), 11);
  if (key == nullptr) return true;

  // A value nobody would write tells a missing key from an empty one.
  const char* kMissing = "\x01missing";
  std::string value = platform::ReadProfileString("BATTLE_TRACKS", key, kMissing, path);
  if (value == kMissing) return false;
  size_t at = 0;
  // Every token, the last one (with no comma after it) included; empty ones are no tracks.
  while (count < kCapacity && at <= value.size()) {
    size_t comma = value.find(',', at);
    if (comma == std::string::npos) comma = value.size();
    std::string token = value.substr(at, comma - at);
    if (!token.empty()) tracks[static_cast<size_t>(count++)] = TrackNumber(token.substr(0, token.find('=')));
    at = comma + 1;
  }
  return true;
}

int CMusicTrackList::Next() {
  if (nextIndex >= count) return -1;
  return tracks[static_cast<size_t>(nextIndex++)];
}

CMusicTrackList* GetMusicTrackList() {
  if (!g_musicTrackList) {
    g_musicTrackList = new CMusicTrackList;
    g_musicTrackList->Load(nullptr);
    g_musicTrackList->Rewind();
  }
  return g_musicTrackList;
}

void FreeMusicTrackList() {
  delete g_musicTrackList;
  g_musicTrackList = nullptr;
}
