#include "core/PackedData.h"

#include <cstring>
#include <vector>

#include "core/Bytes.h"
#include "core/Random.h"

namespace packed {

void Scramble(uint8_t* buffer, size_t length) {
  if (length < 4) return;
  CRandom keystream(bytes::LoadU32(buffer));
  size_t pos = 4;
  for (; pos + 4 <= length; pos += 4) bytes::StoreU32(buffer + pos, bytes::LoadU32(buffer + pos) ^ keystream.Next());
  if (pos < length) {
    uint32_t key = keystream.Next();
    for (size_t i = 0; pos + i < length; ++i) buffer[pos + i] ^= static_cast<uint8_t>(key >> (8 * i));
  }
}

uint32_t Checksum(const uint8_t* data, size_t length) {
  uint32_t sum = 0;
  size_t words = length / 4;
  for (size_t i = 0; i < words; ++i) {
    uint32_t w = bytes::LoadU32(data + 4 * i);
    sum = (i % 2 == 0) ? (sum ^ w) : (sum + w);
  }
  return sum;
}

bool DecodeRunLength(const uint8_t* body, size_t bodySize, uint8_t* out, size_t expected) {
  size_t in = 0, written = 0;
  // The runs end at the expected size or with the body, whichever comes first; a run that
  // would read past the body is refused.
  while (written < expected && in < bodySize) {
    int count = static_cast<int8_t>(body[in++]);
    if (count <= 0) {
      size_t n = static_cast<size_t>(-count);
      if (n > bodySize - in) return false;
      if (n > expected - written) n = expected - written;
      std::memcpy(out + written, body + in, n);
      in += static_cast<size_t>(-count);
      written += n;
    } else {
      if (in >= bodySize) return false;
      uint8_t value = body[in++];
      size_t n = static_cast<size_t>(count);
      if (n > expected - written) n = expected - written;
      std::memset(out + written, value, n);
      written += n;
    }
  }
  return true;
}

namespace {

// Most significant bit first; reports when the body ran out.
class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), bits_(size * 8) {}
  bool Read(int count, uint32_t& value) {
    if (static_cast<size_t>(count) > bits_ - pos_) return false;
    value = 0;
    for (int i = 0; i < count; ++i, ++pos_) value = (value << 1) | ((data_[pos_ / 8] >> (7 - pos_ % 8)) & 1);
    return true;
  }

 private:
  const uint8_t* data_;
  size_t bits_;
  size_t pos_ = 0;
};

}  // namespace

bool DecodeDictionary(const uint8_t* body, size_t bodySize, uint8_t* out, size_t expected) {
  std::vector<uint8_t> window(kWindowSize, 0);  // belongs to this call: unpacking is reentrant
  size_t writePos = 1, written = 0;
  BitReader bits(body, bodySize);
  while (written < expected) {
    uint32_t flag, value;
    if (!bits.Read(1, flag)) return false;
    if (flag) {
      if (!bits.Read(8, value)) return false;
      out[written++] = static_cast<uint8_t>(value);
      window[writePos] = static_cast<uint8_t>(value);
      writePos = (writePos + 1) % kWindowSize;
      continue;
    }
    uint32_t position, length;
    if (!bits.Read(12, position) || !bits.Read(4, length)) return false;
    if (position == 0) return true;  // the end marker: the data ends here
    for (uint32_t i = 0; i < length + 2 && written < expected; ++i) {
      uint8_t byte = window[(position + i) % kWindowSize];
      out[written++] = byte;
      window[writePos] = byte;
      writePos = (writePos + 1) % kWindowSize;
    }
  }
  return true;
}

bool Unpack(uint8_t* buffer, size_t length, uint8_t* out, size_t expected) {
  if (length < kHeaderSize + 1) return false;
  Scramble(buffer, length);
  const uint32_t unpackedSize = bytes::LoadU32(buffer + 4);
  const uint32_t bodySum = bytes::LoadU32(buffer + 8);
  const uint32_t dataSum = bytes::LoadU32(buffer + 12);
  const uint32_t method = bytes::LoadU32(buffer + 16);
  const uint8_t* body = buffer + kHeaderSize;
  const size_t bodySize = length - kHeaderSize;

  bool ok = Checksum(body, bodySize) == bodySum && unpackedSize <= expected;
  if (ok) {
    switch (method) {
      case kStored:
        ok = unpackedSize <= bodySize;
        if (ok) std::memcpy(out, body, unpackedSize);
        break;
      case kRunLength:
        ok = DecodeRunLength(body, bodySize, out, expected);
        break;
      case kDictionary:
        ok = DecodeDictionary(body, bodySize, out, expected);
        break;
      default:
        ok = false;
        break;
    }
  }
  if (ok && unpackedSize == expected) ok = Checksum(out, expected) == dataSum;
  if (!ok) Scramble(buffer, length);  // back to the bytes as read
  return ok;
}

}  // namespace packed
