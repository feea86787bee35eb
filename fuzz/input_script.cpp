// Feeds arbitrary text to the reader of the input scripts the tests lead the game with: the
// commands come out in frame order, and a line it cannot read is reported, not taken.
#include <cstdint>
#include <string>

#include "game/ScriptedInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const InputScript script = ParseInputScript(std::string(reinterpret_cast<const char*>(data), size));
  for (size_t i = 1; i < script.commands.size(); ++i)
    if (script.commands[i].frame < script.commands[i - 1].frame) __builtin_trap();
  return 0;
}
