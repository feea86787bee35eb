#include "core/Globals.h"

#include <cstdlib>
#include <vector>

#include "core/Options.h"
#include "core/Preferences.h"
#include "core/Random.h"

namespace {

GlobalObjectEntry g_entries[kGlobalOrderCount];
std::vector<int> g_constructed;  // places, in construction order
void (*g_destructionWatcher)(int order, const char* name) = nullptr;

void DestroyLastConstructed() {
  if (g_constructed.empty()) return;
  int order = g_constructed.back();
  g_constructed.pop_back();
  if (g_destructionWatcher) g_destructionWatcher(order, g_entries[order].name);
  if (g_entries[order].destroy) g_entries[order].destroy();
}

// The exit list takes plain functions: each registration destroys the latest object left.
void DestroyAtExit() { DestroyLastConstructed(); }

void ConstructPreferences() { g_prefs.Reset(); }

void ConstructRandomGenerators() {
  g_battleRandom.Seed(CRandom::kDefaultSeed);
  g_aiRandom.Seed(CRandom::kDefaultSeed);
  g_random.Seed(CRandom::kDefaultSeed);
  g_viewRandom.Seed(CRandom::kDefaultSeed);
}

void ConstructRealmFile() {
  g_realmFile[0] = '\0';
  g_realmName[0] = '\0';
}

bool FillCoreEntries() {
  g_entries[kGlobalPreferences] = {"preferences", ConstructPreferences, nullptr};
  g_entries[kGlobalRandomGenerators] = {"random generators", ConstructRandomGenerators, nullptr};
  g_entries[kGlobalRealmFile] = {"realm file", ConstructRealmFile, nullptr};
  return true;
}
const bool g_coreEntriesFilled = FillCoreEntries();

}  // namespace

void SetGlobalObject(int order, const char* name, void (*construct)(), void (*destroy)()) {
  if (order <= 0 || order >= kGlobalOrderCount) return;
  g_entries[order] = {name, construct, destroy};
}

void NameGlobalObject(int order, const char* name) {
  if (order <= 0 || order >= kGlobalOrderCount) return;
  GlobalObjectEntry& entry = g_entries[order];
  if (!entry.construct && !entry.destroy) entry.name = name;
}

void WatchGlobalObjectDestruction(void (*watcher)(int order, const char* name)) { g_destructionWatcher = watcher; }

void ConstructGlobalObjects(bool registerAtExit) {
  (void)g_coreEntriesFilled;
  for (int order = 1; order < kGlobalOrderCount; ++order) {
    const GlobalObjectEntry& entry = g_entries[order];
    if (!entry.construct && !entry.destroy && !entry.name) continue;
    if (entry.construct) entry.construct();
    g_constructed.push_back(order);
    if (registerAtExit) std::atexit(DestroyAtExit);
  }
}

void DestroyGlobalObjects() {
  while (!g_constructed.empty()) DestroyLastConstructed();
}

int ConstructedGlobalObjectCount() { return static_cast<int>(g_constructed.size()); }
