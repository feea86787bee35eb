// The four ways a battle fills the army table: from the realm configuration of the campaign
// region, the default three armies, numbered network armies, and a quick battle's player
// slots.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "creatures/Armies.h"
#include "creatures/CreatureHooks.h"
#include "platform/Profile.h"

namespace {

constexpr int kEntryTextSize = 256;

void CopyName(CArmy& army, const char* name) { std::snprintf(army.name, sizeof army.name, "%s", name); }

// The entry's tokens, split at commas and blanks, each cut at its first '='.
std::vector<std::string> Tokens(const char* value) {
  std::vector<std::string> tokens;
  std::string token;
  auto flush = [&] {
    if (!token.empty()) tokens.push_back(token.substr(0, token.find('=')));
    token.clear();
  };
  for (const char* p = value; *p; ++p) {
    if (*p == ',' || *p == ' ' || *p == '\t')
      flush();
    else
      token += *p;
  }
  flush();
  return tokens;
}

bool ReportRealmFailure(const char* text) {
  ShowGeneralError(text);
  return false;
}

}  // namespace

bool CArmyTable::InitFromRealm() {
  char name[512];
  std::snprintf(name, sizeof name, "%s", g_realmFile);
  char path[1024];
  MakeCurrentDirPath(name, path, sizeof path);
  return InitFromRealmFile(path, g_creatureBattle->CampaignRegion());
}

bool CArmyTable::InitFromRealmFile(const char* path, int region) {
  ResetAll();
  char section[32];
  std::snprintf(section, sizeof section, "REGION%d", region);
  int entries = 0;
  int codesRead[kArmyCount] = {};
  for (int n = 0; n < kArmyCount; ++n) {
    char key[32], value[kEntryTextSize];
    std::snprintf(key, sizeof key, "Army_%i", n);
    platform::ReadProfileString(section, key, "", value, sizeof value, path ? path : "");
    if (value[0] == '\0') break;

    CArmy* army = nullptr;
    for (CArmy& record : armies)
      if (!record.inUse) {
        army = &record;
        break;
      }
    if (!army) break;
    army->inUse = 1;
    ++entries;

    const std::vector<std::string> tokens = Tokens(value);
    if (tokens.empty()) return ReportRealmFailure("army initialisation config info. contains no army name");
    CopyName(*army, tokens[0].c_str());
    size_t next = 1;
    if (tokens.size() > 1) {
      const char colour = tokens[1][0];
      if (colour >= '0' && colour <= '7') {
        army->colour = colour - '0';
        next = 2;
      } else {
        ShowGeneralError("army initialisation config info contains invalid colour code\nshould be 0..7");
        army->colour = 0;
      }
    }
    int codes = 0;
    for (size_t t = next; t < tokens.size() && codes < kArmyCount; ++t, ++codes) {
      const int other = codes;
      switch (std::tolower(static_cast<unsigned char>(tokens[t][0]))) {
        case 'f':
          if (tokens[t].size() == 1) {
            if (other != army->index) army->SetAlliance(other, 1);
            continue;
          }
          break;
        case 'e':
          if (tokens[t].size() == 1) {
            if (other != army->index) army->SetAlliance(other, 0);
            continue;
          }
          break;
        case 'x':
          if (tokens[t].size() == 1) continue;
          break;
        default:
          break;
      }
      return ReportRealmFailure("army initialisation config info contains invalid alliance code\nshould be 'F' or 'E'");
    }
    codesRead[army->index] = codes;
  }
  if (entries == 0) return ReportRealmFailure("no army data was found in the realm config file for current region");
  for (int n = 0; n < entries; ++n)
    if (codesRead[n] != entries)
      return ReportRealmFailure(
          "one or more army data entries in the realm config file (for current region)has incorrect number of "
          "alignment entries \n ");
  return true;
}

bool CArmyTable::InitDefault() {
  ResetAll();
  const char* const names[3] = {"WANDERING", kDefaultPlayerWizardName, "secondAI"};
  for (int n = 0; n < 3; ++n) {
    armies[n].inUse = 1;
    CopyName(armies[n], names[n]);
    armies[n].colour = n;
  }
  for (int n = 0; n < 3; ++n) armies[n].SetRelationToAll(0);
  return true;
}

int CArmyTable::InitNumbered(int count, int local) {
  ResetAll();
  if (count < 1 || count > 7 || local < 0 || local >= count) return 0;
  for (int n = 0; n < count; ++n) {
    armies[n].inUse = 1;
    armies[n].human = 1;
    std::snprintf(armies[n].name, sizeof armies[n].name, "%s%d", "net", n);
    armies[n].colour = n;
  }
  for (int n = 0; n < count; ++n) armies[n].SetRelationToAll(0);
  SetActiveArmy(local);
  return 1;
}

bool CArmyTable::InitSkirmish() {
  ResetAll();
  armies[0].inUse = 1;
  armies[0].human = 1;
  armies[0].local = 1;
  CopyName(armies[0], g_creatureBattle->PlayerSlotName(0));
  for (int slot = 1; slot <= 3; ++slot) {
    if (std::strcmp(g_creatureBattle->PlayerSlotName(slot), "No Player") == 0) continue;
    armies[slot].inUse = 1;
    std::snprintf(armies[slot].name, sizeof armies[slot].name, "secondAI%d", slot);
  }
  // Each army wears its player's colour (the set-up screen gives every player another).
  for (int slot = 0; slot < kPlayerSlotCount; ++slot) {
    const int colour = g_playerSlots[slot].colour;
    armies[slot].colour = colour >= 0 && colour < kSlotColours ? colour : slot;
  }
  for (CArmy& army : armies)
    if (army.inUse) army.SetRelationToAll(0);
  SetActiveArmy(0);
  return true;
}
