#pragma once
// CPreferences: the settings the player changes in the option screens, kept in
// cfg\prefs.cfg. One global instance, g_prefs, holds the defaults until start-up reads the
// file; the option and network screens write it back.

#include <string>

class CPreferences {
 public:
  CPreferences();

  // Reads the file (the current directory joined with fileName).
  void Load();
  // Writes every field back; false when the file cannot be written.
  bool Save();
  // Puts every field back to its default (the constructor's values).
  void Reset();

  const char* fileName = "cfg\\prefs.cfg";
  int mouseScrollButton;  // 0 none, 1 left, 2 right
  int mouseScrollSpeed;
  unsigned char allowUnselectMode;
  int isHighRes;   // 800x600 instead of 640x480
  int windowSize;  // 0..15: index of the battle view size
  int transparentBlits;
  int alphaBlending;
  int terrainLightLevels;
  int playFmv;
  int playFmvOut;
  int cutDownAnims;
  int dialogSpeed;  // 0..2
  int framePeriod;  // milliseconds, 1000 / maxFramesPerSec
  int maxFramesPerSec;
  int soundEnabled;
  int cdMusicEnabled;
  int musicVolume;  // 0..15
  int sfxVolume;
  std::string playerName;
  std::string lobbyLoginName;
  std::string lobbyPassword;
  int tooltipQuickDelay;  // milliseconds
  int tooltipLongDelay;

 private:
  std::string Path() const;
};

extern CPreferences g_prefs;
