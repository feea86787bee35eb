// Feeds arbitrary text to the readers of the options file (cfg\vrask.cfg) and the player's
// preferences (cfg\prefs.cfg), both from the one input: whatever they hold, the values that
// index tables stay inside them.
#include <cstdint>

#include "GameDataFuzz.h"
#include "core/Options.h"
#include "core/Preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("options_files", {"cfg"});
  fuzz::WriteInputAs({"cfg/vrask.cfg", "cfg/prefs.cfg"}, data, size);
  try {
    ResetGlobalOptions();
    ReadGlobalOptions();
    g_prefs.Load();
  } catch (const fuzz::ProgramEnded&) {
  }
  fuzz::Expect(g_difficulty >= 0 && g_difficulty <= 3);
  return 0;
}
