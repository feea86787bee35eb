#pragma once
// Writes packed data files that the game's packed-file reader accepts: the 20-byte header,
// the body stored, run-length coded or dictionary coded, and the keystream scrambling.

#include <cstdint>
#include <vector>

namespace forge {

// method: 0 stored, 1 run-length, 2 dictionary coder. seed: the keystream seed.
std::vector<uint8_t> PackData(const std::vector<uint8_t>& data, uint32_t method, uint32_t seed);

// The bodies alone (unscrambled, no header).
std::vector<uint8_t> EncodeRunLength(const std::vector<uint8_t>& data);
std::vector<uint8_t> EncodeDictionary(const std::vector<uint8_t>& data);

}  // namespace forge
