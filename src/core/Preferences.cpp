#include "core/Preferences.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/Options.h"
#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/Text.h"

namespace {

// A key counts only when its text is not empty.
bool ReadKey(const std::string& path, const char* section, const char* key, char (&out)[256]) {
  return platform::ReadProfileString(section, key, "", out, sizeof out, path) > 0;
}

bool Is(const char* text, const char* word) { return platform::EqualNoCase(text, word); }

// Line breaks would break the file's lines apart, and a zero would end the text early: they
// are dropped from texts on saving.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r' && c != '\n' && c != '\0') out += c;
  return out;
}

const char* FlagText(int flag) { return flag ? "TRUE" : "FALSE"; }

}  // namespace

CPreferences g_prefs;

CPreferences::CPreferences() { Reset(); }

void CPreferences::Reset() {
  mouseScrollButton = 2;
  mouseScrollSpeed = 32;
  allowUnselectMode = 0;
  isHighRes = 0;
  windowSize = 0;
  transparentBlits = 0;
  alphaBlending = 1;
  terrainLightLevels = 256;
  playFmv = 1;
  playFmvOut = 0;
  cutDownAnims = 0;
  dialogSpeed = 1;
  framePeriod = 50;
  maxFramesPerSec = 20;
  soundEnabled = 0;
  cdMusicEnabled = 0;
  musicVolume = 0;
  sfxVolume = 0;
  playerName.clear();
  lobbyLoginName.clear();
  lobbyPassword.clear();
  tooltipQuickDelay = 200;
  tooltipLongDelay = 600;
}

std::string CPreferences::Path() const {
  std::string dir = platform::CurrentDirectory();
  bool endsInSeparator = !dir.empty() && (dir.back() == '\\' || dir.back() == '/');
  return dir + (endsInSeparator ? "" : "\\") + fileName;
}

void CPreferences::Load() {
  const std::string path = Path();
  char text[256];

  if (ReadKey(path, "MOUSE", "MouseScrollBtn", text)) {
    if (Is(text, "NONE")) mouseScrollButton = 0;
    if (Is(text, "LEFT")) mouseScrollButton = 1;
    if (Is(text, "RIGHT")) mouseScrollButton = 2;
  }
  if (ReadKey(path, "MOUSE", "MouseScrollSpeed", text)) {
    int speed = platform::TextToInt(text);
    speed = speed < 3 ? 2 : (speed > 127 ? 128 : speed);
    if (speed % 8 == 0) mouseScrollSpeed = speed;
  }
  if (ReadKey(path, "MOUSE", "AllowUnselectMode", text)) allowUnselectMode = Is(text, "TRUE") ? 1 : 0;

  if (ReadKey(path, "VIDEO", "IsHighRes", text) && Is(text, "TRUE")) isHighRes = 1;
  if (g_installType == 2) isHighRes = 0;
  if (ReadKey(path, "VIDEO", "PlayFMV", text)) playFmv = Is(text, "TRUE") ? 1 : 0;
  if (ReadKey(path, "VIDEO", "PlayFMVOut", text)) playFmvOut = Is(text, "TRUE") ? 1 : 0;
  if (ReadKey(path, "VIDEO", "CutDownAnims", text)) cutDownAnims = Is(text, "TRUE") ? 1 : 0;
  if (ReadKey(path, "VIDEO", "WindowSize", text)) windowSize = std::clamp(platform::TextToInt(text), 0, 15);
  if (ReadKey(path, "VIDEO", "TransParentBlits", text) && Is(text, "TRUE")) transparentBlits = 1;
  if (ReadKey(path, "VIDEO", "AlphaBlending", text) && Is(text, "FALSE")) alphaBlending = 0;
  if (ReadKey(path, "VIDEO", "TerrainLightLevels", text)) {
    int levels = platform::TextToInt(text);
    terrainLightLevels = levels < 3 ? 2 : (levels > 255 ? 256 : levels);
  }
  if (ReadKey(path, "VIDEO", "DialogSpeed", text)) dialogSpeed = std::clamp(platform::TextToInt(text), 0, 2);
  if (ReadKey(path, "VIDEO", "MaxFramesPerSec", text)) {
    maxFramesPerSec = std::clamp(platform::TextToInt(text), 1, 200);
    framePeriod = 1000 / maxFramesPerSec;
  }

  if (ReadKey(path, "SOUND", "SoundEnabled", text)) soundEnabled = Is(text, "FALSE") ? 0 : 1;
  if (ReadKey(path, "SOUND", "CDMusicEnabled", text)) cdMusicEnabled = Is(text, "FALSE") ? 0 : 1;
  musicVolume = ReadKey(path, "SOUND", "MusicVolume", text) ? platform::TextToInt(text) : 15;
  sfxVolume = ReadKey(path, "SOUND", "SFXVolume", text) ? platform::TextToInt(text) : 0;

  playerName = ReadKey(path, "NETGAME", "PlayerName", text) ? text : "";
  lobbyLoginName = ReadKey(path, "NETGAME", "LobbyLoginName", text) ? text : "";
  lobbyPassword = ReadKey(path, "NETGAME", "LobbyPassword", text) ? text : "";

  if (ReadKey(path, "TOOLTIP", "TooltipQuickDelay", text))
    tooltipQuickDelay = std::clamp(platform::TextToInt(text), 0, 2000);
  if (ReadKey(path, "TOOLTIP", "TooltipLongDelay", text))
    tooltipLongDelay = std::clamp(platform::TextToInt(text), 0, 5000);
}

bool CPreferences::Save() {
  const std::string path = Path();
  // A read-only file is made writable first.
  platform::MakeWritable(path);

  // The whole file is built once and replaces the old one in one write: a save that fails,
  // or a process killed on the way, leaves the old settings whole.
  std::vector<platform::ProfileEntry> entries;
  auto write = [&](const char* section, const char* key, const std::string& value) {
    entries.push_back({section, key, value});
  };
  auto number = [](int value) { return std::to_string(value); };
  // Names and passwords come back exactly as they were: blanks and quotes at their ends
  // included.
  auto text = [](const std::string& value) { return platform::QuoteProfileValue(OneLine(value)); };

  const char* buttons[] = {"NONE", "LEFT", "RIGHT"};
  if (mouseScrollButton >= 0 && mouseScrollButton <= 2) write("MOUSE", "MouseScrollBtn", buttons[mouseScrollButton]);
  write("MOUSE", "MouseScrollSpeed", number(mouseScrollSpeed));
  write("MOUSE", "AllowUnselectMode", FlagText(allowUnselectMode));
  write("VIDEO", "IsHighRes", FlagText(isHighRes));
  write("VIDEO", "PlayFMV", FlagText(playFmv));
  write("VIDEO", "PlayFMVOut", FlagText(playFmvOut));
  write("VIDEO", "CutDownAnims", FlagText(cutDownAnims));
  write("VIDEO", "WindowSize", number(windowSize));
  write("VIDEO", "TransParentBlits", FlagText(transparentBlits));
  write("VIDEO", "AlphaBlending", FlagText(alphaBlending));
  write("VIDEO", "MaxFramesPerSec", number(maxFramesPerSec));
  write("VIDEO", "TerrainLightLevels", number(terrainLightLevels));
  write("VIDEO", "DialogSpeed", number(dialogSpeed));
  write("SOUND", "SoundEnabled", FlagText(soundEnabled));
  write("SOUND", "CDMusicEnabled", FlagText(cdMusicEnabled));
  write("SOUND", "MusicVolume", number(musicVolume));
  write("SOUND", "SFXVolume", number(sfxVolume));
  write("NETGAME", "PlayerName", text(playerName));
  write("NETGAME", "LobbyLoginName", text(lobbyLoginName));
  write("NETGAME", "LobbyPassword", text(lobbyPassword));
  write("TOOLTIP", "TooltipQuickDelay", number(tooltipQuickDelay));
  write("TOOLTIP", "TooltipLongDelay", number(tooltipLongDelay));
  // The file keeps the lobby password: only its owner may read it.
  return platform::WriteProfileStrings(entries, path, platform::FileAccess::kOwnerOnly);
}
