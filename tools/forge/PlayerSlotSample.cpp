// Samples of a player slot as peers send it, the seeds of the slot readers' fuzz target: the
// 316-byte record of a seated player and of an empty place, and the lobby's text form.
#include <string>
#include <vector>

#include "core/PlayerSlot.h"
#include "forge/Forge.h"

namespace {

FORGE_STEP(PlayerSlotSamples) {
  CPlayerSlot seated;
  seated.Reset();
  seated.SetName("Alia of the Fens");
  seated.portrait = 4;
  seated.handicap = 25;
  seated.colour = 2;
  seated.ready = 1;
  seated.lives = 3;
  CPlayerSlot empty;
  empty.Reset();
  std::vector<uint8_t> record(kPlayerSlotBytes);
  WritePlayerSlot(seated, record.data());
  ctx.WriteFile("samples\\slots\\seated.bin", record);
  WritePlayerSlot(empty, record.data());
  ctx.WriteFile("samples\\slots\\empty.bin", record);
  const std::string text = FormatPlayerSlotText(seated);
  ctx.WriteFile("samples\\slots\\seated.txt", std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace
