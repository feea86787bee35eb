// Feeds arbitrary bytes to the player slot readers, as a peer would send them: the 316-byte
// record of the network messages and the text form of the lobby protocol. Whatever is read
// must hold the slot's limits and come back the same through its writer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/PlayerSlot.h"

namespace {

void CheckLimits(const CPlayerSlot& slot) {
  if (!std::memchr(slot.name, 0, kPlayerNameSize)) std::abort();
  if (slot.portrait < -1 || slot.portrait >= kSlotPortraits || slot.colour < -1 || slot.colour >= kSlotColours ||
      slot.ready > 1 || slot.handicap < -1 || slot.handicap > kMaxHandicap)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CPlayerSlot slot;
  slot.Reset();
  if (ReadPlayerSlot(data, size, slot)) {
    CheckLimits(slot);
    std::vector<uint8_t> written(kPlayerSlotBytes);
    WritePlayerSlot(slot, written.data());
    if (!ReadPlayerSlot(written.data(), written.size(), slot)) std::abort();
  }

  const std::string text(reinterpret_cast<const char*>(data), size);
  CPlayerSlot parsed;
  parsed.Reset();
  if (ParsePlayerSlotText(text.c_str(), parsed)) {
    CheckLimits(parsed);
    CPlayerSlot again;
    again.Reset();
    if (std::strchr(parsed.name, '"') || !ParsePlayerSlotText(FormatPlayerSlotText(parsed), again)) std::abort();
    if (std::strcmp(again.name, parsed.name) != 0 || again.colour != parsed.colour) std::abort();
  }
  return 0;
}
