// Feeds arbitrary bytes to the script's two parts of a saved game: the first byte chooses the
// events of the battle's block (even) or the campaign's script state (odd), the rest is the
// block. A block taken saves back byte for byte as far as it was read (the events' capacity
// word aside, which the writer always writes as its own); one refused changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SavedBlock.h"
#include "battle/Script.h"
#include "battle/ScriptActors.h"

namespace {

struct EventsBlock {
  int Save(FILE* file) { return g_script.SaveEvents(file); }
  int Load(FILE* file) { return g_script.LoadEvents(file); }
};

struct StateBlock {
  int Save(FILE* file) { return CScript::Save(file); }
  int Load(FILE* file) { return CScript::Load(file); }
};

// A small script under way: a dialogue, a command and a flag event; two characters.
void SetUpScript() {
  g_script.Clear();
  g_script.eventCount = 3;
  CScriptEvent& speech = g_script.Event(0);
  speech.inUse = 1;
  speech.type = kScriptDialogue;
  speech.ResetDialogue();
  std::strcpy(speech.dialogue.speakingCharacter, "Herald");
  std::strcpy(speech.dialogue.speech, "Who goes there?");
  speech.runState = kScriptRunning;
  CScriptEvent& command = g_script.Event(1);
  command.inUse = 1;
  command.type = kScriptCommand;
  command.ResetCommand();
  std::strcpy(command.command.commandCharacter, "Bran");
  CScriptEvent& flag = g_script.Event(2);
  flag.inUse = 1;
  flag.type = kScriptFlag;
  flag.flag.setFlag = 4;
  flag.snapshotStart = 0;
  g_script.snapshot[0] = 3;
  g_scriptActors.Clear();
  g_scriptActors.Register("Bran")->creature = 5;
  g_scriptActors.Register("Herald");
  g_scriptActors.SetFlag(4, true);
}

template <class Block>
void Check(const uint8_t* data, size_t size, size_t skipped) {
  Block block;
  const std::vector<uint8_t> before = fuzz::SavedBytes(block);
  const fuzz::Loaded loaded = fuzz::LoadBytes(block, data, size);
  if (loaded.result == -1) {
    if (fuzz::SavedBytes(block) != before) __builtin_trap();
    return;
  }
  if (loaded.result != loaded.consumed) __builtin_trap();
  const std::vector<uint8_t> after = fuzz::SavedBytes(block);
  if (static_cast<long>(after.size()) != loaded.consumed ||
      std::memcmp(after.data() + skipped, data + skipped, after.size() - skipped) != 0)
    __builtin_trap();
}

std::vector<uint8_t> Seed(uint8_t choice, std::vector<uint8_t> block) {
  block.insert(block.begin(), choice);
  return block;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::SeedEmptyCorpus(*argc, *argv, [](const std::string& folder) {
    SetUpScript();
    EventsBlock events;
    StateBlock state;
    fuzz::WriteSeed(folder + "/events", Seed(0, fuzz::SavedBytes(events)));
    fuzz::WriteSeed(folder + "/state", Seed(1, fuzz::SavedBytes(state)));
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  SetUpScript();
  if (data[0] % 2 == 0)
    Check<EventsBlock>(data + 1, size - 1, 4);
  else
    Check<StateBlock>(data + 1, size - 1, 0);
  return 0;
}
