#include "forge/Packer.h"

#include <stdexcept>

#include "core/Bytes.h"
#include "core/PackedData.h"

namespace forge {

std::vector<uint8_t> EncodeRunLength(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < data.size()) {
    size_t run = 1;
    while (i + run < data.size() && run < 127 && data[i + run] == data[i]) ++run;
    if (run >= 3) {
      out.push_back(static_cast<uint8_t>(run));
      out.push_back(data[i]);
      i += run;
      continue;
    }
    // Literals until the next run of three or the 128-byte limit.
    size_t start = i, count = 0;
    while (i < data.size() && count < 128) {
      if (i + 2 < data.size() && data[i] == data[i + 1] && data[i] == data[i + 2]) break;
      ++i;
      ++count;
    }
    out.push_back(static_cast<uint8_t>(-static_cast<int>(count)));
    out.insert(out.end(), data.begin() + static_cast<long>(start), data.begin() + static_cast<long>(start + count));
  }
  return out;
}

namespace {

class BitWriter {
 public:
  void Write(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      if (bit_ == 0) out_.push_back(0);
      if ((value >> i) & 1) out_.back() |= static_cast<uint8_t>(0x80 >> bit_);
      bit_ = (bit_ + 1) % 8;
    }
  }
  std::vector<uint8_t>& Bytes() { return out_; }

 private:
  std::vector<uint8_t> out_;
  int bit_ = 0;
};

// How many of the coming bytes a copy from window position p would give, with the
// reader's rules: each copied byte is also written at the write position as it goes.
size_t MatchLength(const std::vector<uint8_t>& window, size_t writePos, size_t p, const std::vector<uint8_t>& data,
                   size_t at, size_t most) {
  uint8_t copied[17];
  size_t n = 0;
  for (; n < most; ++n) {
    size_t source = (p + n) % packed::kWindowSize;
    // Sources already overwritten by this copy read the new bytes.
    size_t distance = (source + packed::kWindowSize - writePos) % packed::kWindowSize;
    uint8_t byte = distance < n ? copied[distance] : window[source];
    if (byte != data[at + n]) break;
    copied[n] = byte;
  }
  return n;
}

}  // namespace

std::vector<uint8_t> EncodeDictionary(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> window(packed::kWindowSize, 0);
  size_t writePos = 1;
  BitWriter bits;
  size_t at = 0;
  auto put = [&](uint8_t byte) {
    window[writePos] = byte;
    writePos = (writePos + 1) % packed::kWindowSize;
  };
  while (at < data.size()) {
    size_t most = std::min<size_t>(17, data.size() - at);
    size_t bestLength = 0, bestPos = 0;
    if (most >= 2) {
      for (size_t p = 1; p < packed::kWindowSize && bestLength < most; ++p) {
        size_t length = MatchLength(window, writePos, p, data, at, most);
        if (length > bestLength) {
          bestLength = length;
          bestPos = p;
        }
      }
    }
    if (bestLength >= 2) {
      bits.Write(0, 1);
      bits.Write(static_cast<uint32_t>(bestPos), 12);
      bits.Write(static_cast<uint32_t>(bestLength - 2), 4);
      for (size_t i = 0; i < bestLength; ++i) put(data[at + i]);
      at += bestLength;
    } else {
      bits.Write(1, 1);
      bits.Write(data[at], 8);
      put(data[at]);
      ++at;
    }
  }
  bits.Write(0, 1);  // end marker: window position 0
  bits.Write(0, 16);
  return bits.Bytes();
}

std::vector<uint8_t> PackData(const std::vector<uint8_t>& data, uint32_t method, uint32_t seed) {
  std::vector<uint8_t> body;
  switch (method) {
    case packed::kStored: body = data; break;
    case packed::kRunLength: body = EncodeRunLength(data); break;
    case packed::kDictionary: body = EncodeDictionary(data); break;
    default: throw std::invalid_argument("unknown packing method");
  }
  bytes::Writer out;
  out.U32(seed);
  out.U32(static_cast<uint32_t>(data.size()));
  out.U32(packed::Checksum(body.data(), body.size()));
  out.U32(packed::Checksum(data.data(), data.size()));
  out.U32(method);
  out.Bytes(body.data(), body.size());
  std::vector<uint8_t> file = out.Data();
  packed::Scramble(file.data(), file.size());
  return file;
}

}  // namespace forge
