#include "frontend/MultiplayerRegions.h"

#include <cstring>
#include <string>

#include "core/Options.h"
#include "platform/Profile.h"

const char* GetMultiplayerRegionName(int n, char* name) {
  if (!name) return nullptr;
  name[0] = '\0';
  char path[512];
  MakeCurrentDirPath(kMultiplayerRealmFile, path, sizeof path);
  platform::ReadProfileString("REGION" + std::to_string(n), "name", "", name, kRegionNameSize, path);
  if (char* comment = std::strchr(name, ';')) *comment = '\0';
  return name[0] ? name : nullptr;
}

int CountMultiplayerRegions() {
  char name[kRegionNameSize];
  int count = 0;
  while (GetMultiplayerRegionName(count + 1, name)) ++count;
  return count;
}
