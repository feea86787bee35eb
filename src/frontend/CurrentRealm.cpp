#include "frontend/CurrentRealm.h"

#include <cstdio>

#include "core/Options.h"
#include "core/RealmPath.h"

void SetCurrentRealm(const char* realmName) {
  std::snprintf(g_realmName, sizeof g_realmName, "%s", realmName ? realmName : "");
  MakeRealmCfgPath(g_realmName, g_realmFile, sizeof g_realmFile);
}
