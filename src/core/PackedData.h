#pragma once
// The packed data format: a 20-byte header (keystream seed, unpacked size, body checksum,
// data checksum, method), everything after the seed scrambled with a keystream of CRandom,
// and a body stored, run-length coded or dictionary coded.

#include <cstddef>
#include <cstdint>

namespace packed {

constexpr size_t kHeaderSize = 20;
constexpr size_t kWindowSize = 4096;

enum Method : uint32_t { kStored = 0, kRunLength = 1, kDictionary = 2 };

// XORs the bytes from offset 4 on with the keystream seeded by the word at offset 0.
// Applying it twice gives back what was there.
void Scramble(uint8_t* buffer, size_t length);

// Words 0, 2, 4, ... combined by exclusive-or, words 1, 3, 5, ... added, over the whole
// 32-bit words of the data (a trailing part of fewer than 4 bytes does not count).
uint32_t Checksum(const uint8_t* data, size_t length);

// Unpacks a packed file held in buffer (length bytes, as read) into out, which holds
// expected bytes. On success the buffer is left unscrambled; on failure it is left as read.
// A run-length body may end before the expected size and a dictionary body with its end
// marker; what was not unpacked keeps its bytes. Nothing is read past the body or written
// past out: a run or code cut off by the body's end, an unknown method, or an unpacked size
// larger than out fails.
bool Unpack(uint8_t* buffer, size_t length, uint8_t* out, size_t expected);

// Decodes a body alone; false when a run or code is cut off by the body's end.
bool DecodeRunLength(const uint8_t* body, size_t bodySize, uint8_t* out, size_t expected);
bool DecodeDictionary(const uint8_t* body, size_t bodySize, uint8_t* out, size_t expected);

}  // namespace packed
