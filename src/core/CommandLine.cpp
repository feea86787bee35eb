// The command line: switches separated by '/', '-' or blanks, each "name" or "name=value".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/RealmPath.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Text.h"

namespace {

bool SwitchIs(const std::string& name, const char* expected) { return platform::EqualNoCase(name, expected); }

void ApplySwitch(const std::string& name, const std::string& value) {
  if (SwitchIs(name, "profile")) platform::ChangeDirectory("/projects/vrask");
  if (SwitchIs(name, "win")) g_windowed = 1;
  if (SwitchIs(name, "direct")) g_directStart = 1;
  if (SwitchIs(name, "directAI")) g_directAI = 1;
  if (SwitchIs(name, "train")) {
    g_directAI = 1;
    if (value == "random") g_trainingSpells = 2;
  }
  if (SwitchIs(name, "playback")) {
    g_playBattle = 1;
    g_recordBattle = 0;
  }
  if (SwitchIs(name, "log")) {
    g_recordBattle = 1;
    g_playBattle = 0;
  }
  if (SwitchIs(name, "realm")) {
    // An invalid path is refused and the previous realm stays.
    char realmName[256];
    if (IsValidRealmPath(value.c_str(), realmName, sizeof realmName)) {
      std::snprintf(g_realmFile, sizeof g_realmFile, "%s", value.c_str());
      std::snprintf(g_realmName, sizeof g_realmName, "%s", realmName);
    } else {
      ShowGeneralError("invalid realm path");
    }
  }
  if (SwitchIs(name, "region")) g_startRegion = platform::TextToInt(value);
  if (SwitchIs(name, "mapseed")) {
    g_mapSeed = platform::TextToInt(value);
    if (g_mapSeed == 0) g_mapSeed = static_cast<int>(platform::SystemTimeMs());
  }
  if (SwitchIs(name, "wizard")) {
    // The value is cut so that ".wzd" always fits.
    std::snprintf(g_startWizardFile, sizeof g_startWizardFile, "%.*s.wzd",
                  static_cast<int>(sizeof g_startWizardFile - 5), value.c_str());
  }
  // The difficulty indexes the four-entry difficulty tables: kept inside them.
  if (SwitchIs(name, "difficulty")) g_difficulty = std::clamp(platform::TextToInt(value), 0, 3);
}

}  // namespace

void ParseCommandLine(const char* commandLine) {
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
  IsValidRealmPath(g_realmFile, g_realmName, sizeof g_realmName);

  char buffer[256];  // command lines are at most 255 characters
  std::snprintf(buffer, sizeof buffer, "%s", commandLine ? commandLine : "");
  for (const std::string& text : platform::SplitTokens(buffer, "/- ")) {
    size_t equals = text.find('=');
    std::string name = equals == std::string::npos ? text : text.substr(0, equals);
    std::string value = equals == std::string::npos ? std::string() : text.substr(equals + 1);
    ApplySwitch(name, value);
  }
}
