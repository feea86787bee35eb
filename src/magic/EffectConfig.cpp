// The effect manager's two configuration files: cfg\effects.cfg gives each of the 89 kinds
// its light and clipping (section FXA_<kind>); cfg\effectani.cfg gives the effect-animation
// table (section HEADER, then ANI_<n>) and names the EFFECTS<j> sprite and animation files.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "graphics/PrintFX.h"
#include "magic/EffectManager.h"
#include "platform/MessageBox.h"
#include "platform/Numbers.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/Text.h"

namespace {

// A key that is not there reads as this text.
constexpr const char* kAbsent = "\x01";

std::string ConfigPath(const char* name) {
  char path[512];
  MakeCurrentDirPath(name, path, sizeof path);
  return path;
}

bool ReadWord(const std::string& section, const char* key, const std::string& path, std::string& out) {
  out = platform::ReadProfileString(section, key, kAbsent, path);
  return out != kAbsent;
}

// Print types by their names in the file; -1 for a word it does not know.
int PrintTypeOfWord(const std::string& word) {
  static const struct {
    const char* name;
    int type;
  } kWords[] = {{"NORMAL", PRT_NORMAL},
                {"TRANSPARENT", PRT_TRAIL},
                {"TRANSPARENT25", PRT_TRANS25},
                {"TRANSPARENT50", PRT_TRANS50},
                {"TRANSPARENT75", PRT_TRANS75}};
  for (const auto& w : kWords)
    if (platform::EqualNoCase(word, w.name)) return w.type;
  return -1;
}

void FatalConfigBox(const char* text) {
  platform::ShowMessageBox(text, "ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

}  // namespace

void CEffectManager::LoadConfig() {
  if (!ReadEffectsCfg()) FatalConfigBox("Can't load effects.cfg");
  if (!ReadEffectAniCfg()) FatalConfigBox("Failed in effectsani.cfg");
}

bool CEffectManager::ReadEffectsCfg() {
  const std::string path = ConfigPath("cfg\\effects.cfg");
  std::string word;
  for (int k = 0; k < kKinds; ++k) {
    const std::string section = "FXA_" + std::to_string(k);
    EffectKindEntry& entry = kindTable[k];
    if (ReadWord(section, "LightSourceDiameter", path, word))
      entry.lightSourceDiameter = platform::TextToIntIn(word, 0, 33);
    if (ReadWord(section, "LightSourceAffected", path, word) && platform::EqualNoCase(word, "TRUE"))
      entry.lightSourceAffected = 1;
    if (ReadWord(section, "ClippedToHeight", path, word) && platform::EqualNoCase(word, "TRUE"))
      entry.clippedToHeight = 1;
  }
  return true;
}

bool CEffectManager::ReadEffectAniCfg() {
  const std::string path = ConfigPath("cfg\\effectani.cfg");
  const int entries = std::clamp(platform::ReadProfileInt("HEADER", "NumberofAnimations", 0, path), 0,
                                 static_cast<int>(kMaxAnimations));
  const int files = std::clamp(platform::ReadProfileInt("HEADER", "NumberOfEffectsFile", 0, path), 1,
                               static_cast<int>(kMaxEffectFiles));

  // Players bound to the animations about to be replaced forget them.
  if (animations)
    for (CEffect& e : effects)
      if (GetAnimSetIndex(e.animPlayer.animation) >= 0) e.animPlayer.Clear();
  aniTable.assign(static_cast<size_t>(entries), EffectAniEntry{});
  animations = std::make_unique<CAnimation[]>(static_cast<size_t>(files));
  sprites = std::make_unique<CSprite[]>(static_cast<size_t>(files));
  fileCount = files;

  std::string word;
  for (int i = 0; i < entries; ++i) {
    const std::string section = "ANI_" + std::to_string(i);
    EffectAniEntry& entry = aniTable[static_cast<size_t>(i)];
    entry.animation = platform::ReadProfileInt(section, "AnimationNo", entry.animation, path);
    if (ReadWord(section, "AnimationFileRef", path, word)) {
      entry.file = -1;  // a name that matches no file leaves the entry's player stopped
      for (int j = 0; j < files; ++j)
        if (platform::EqualNoCase(word, "EFFECTS" + std::to_string(j))) entry.file = j;
    }
    if (ReadWord(section, "SpritePrinter", path, word)) {
      const int type = PrintTypeOfWord(word);
      if (type >= 0) entry.printType = type;
    }
    entry.data = platform::ReadProfileInt(section, "Data1", entry.data, path);
  }

  // The box that follows a failure names only the configuration: the file that is missing
  // goes to stderr before it.
  auto missing = [](const char* name) {
    std::fprintf(stderr, "cfg\\effectani.cfg: cannot load %s\n", name);
    return false;
  };
  for (int j = 0; j < files; ++j) {
    char name[64];
    std::snprintf(name, sizeof name, "sprites\\EFFECTS%d.spr", j);
    if (!sprites[j].Load(name, 16)) return missing(name);
    sprites[j].BuildColourTables(1, 16);
    animations[j].SetSprite(&sprites[j]);
    std::snprintf(name, sizeof name, "sprites\\EFFECTS%d.ani", j);
    if (animations[j].SequenceCount() == 0 && !animations[j].Load(name)) return missing(name);
  }
  return true;
}
