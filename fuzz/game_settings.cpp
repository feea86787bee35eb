// Feeds arbitrary bytes to the game settings reader, as a peer's set-up message would bring
// them. A record read back must write the same fourteen fields, and the peer limits must hold
// after the pass.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/GameSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CGameSettings settings;
  if (ReadGameSettings(data, size, settings)) {
    std::vector<uint8_t> written(kGameSettingsBytes);
    WriteGameSettings(settings, written.data());
    for (size_t i = 0; i < 4 * kGameSettingsFields; ++i)
      if (written[i] != data[i]) std::abort();
    LimitPeerGameSettings(settings);
    for (int i = 0; i < kGameSettingsFields; ++i)
      if (*GameSettingsField(settings, i) < 0) std::abort();
    if (settings.magicItems > kMaxMagicItems || settings.lawTalisman > kMaxTalismans) std::abort();
  }
  return 0;
}
