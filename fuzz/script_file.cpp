// Feeds arbitrary text to the reader of a battle's script file (realms\<realm>\<realm>Script<n>.cfg)
// and to the checks that tell its author what is wrong: whatever the file holds, the events it
// takes go into a saved game and come back from it, byte for byte.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "GameDataFuzz.h"
#include "battle/Script.h"
#include "core/Options.h"

namespace {

// The events' block of a saved game, as the battle writes it.
std::vector<uint8_t> SavedEvents(const CScript& script) {
  FILE* file = std::tmpfile();
  fuzz::Expect(file != nullptr);
  const int written = script.SaveEvents(file);
  fuzz::Expect(written > 0);
  std::vector<uint8_t> bytes(static_cast<size_t>(written));
  std::rewind(file);
  fuzz::Expect(std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size());
  std::fclose(file);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("script_file", {});
  fuzz::WriteInputAs({"script.cfg"}, data, size);
  g_validateScripts = 1;
  // A script of fewer records than the battle's keeps the run quick; the reader is the same.
  static CScript script(24), reloaded(24);
  try {
    LoadScriptEventsFrom(script, fuzz::InFolder("script.cfg"));
    ValidateScriptEvents(script);
  } catch (const fuzz::ProgramEnded&) {
    return 0;
  }
  fuzz::Expect(script.eventCount >= 0 && script.eventCount <= script.capacity);
  const std::vector<uint8_t> saved = SavedEvents(script);
  FILE* file = std::tmpfile();
  fuzz::Expect(file != nullptr);
  std::fwrite(saved.data(), 1, saved.size(), file);
  std::rewind(file);
  reloaded.Clear();
  fuzz::Expect(reloaded.LoadEvents(file) == static_cast<int>(saved.size()));
  std::fclose(file);
  fuzz::Expect(SavedEvents(reloaded) == saved);
  return 0;
}
