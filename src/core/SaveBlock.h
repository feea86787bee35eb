#pragma once
// Save blocks: each subsystem's part of a saved game is written as one block of fields at the
// stream's position and read back whole before any of it is taken. Most blocks are counted:
// a count word, that many records of a fixed size, then fixed fields. The reader bounds the
// count before it reads a byte of the records, so a hostile count never sizes a buffer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/Bytes.h"

namespace bytes {

// Appends the count and then, for each record in order, what writeRecord(out, index) writes.
template <class WriteRecord>
void WriteCounted(Writer& out, int32_t count, WriteRecord&& writeRecord) {
  out.I32(count);
  for (int32_t i = 0; i < count; ++i) writeRecord(out, i);
}

// Writes a finished block; answers its byte count, or -1 on a short write.
int WriteSaveBlock(FILE* file, const Writer& block);

// A counted block as read back: the count, and the bytes of its records and fixed fields.
struct CountedBlock {
  int32_t count = 0;
  std::vector<uint8_t> data;
  // The bytes the block took in the stream, the count word included.
  int Size() const { return 4 + static_cast<int>(data.size()); }
};

// Reads the count word, bounds it to [minCount, maxCount], then reads count records of
// recordBytes each and tailBytes after them. False, with nothing read past the count, on a
// count out of bounds; false on a short read.
bool ReadCountedBlock(FILE* file, int32_t minCount, int32_t maxCount, size_t recordBytes, size_t tailBytes,
                      CountedBlock& block);

}  // namespace bytes
