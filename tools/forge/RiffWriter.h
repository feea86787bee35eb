#pragma once
// Builds RIFF files (WAVE sounds, AVI movies): chunks of a four-character id, a 32-bit size
// and data padded to an even length; "RIFF" and "LIST" chunks open with a type and nest.

#include <cstdint>
#include <vector>

#include "core/Bytes.h"

namespace forge {

class RiffWriter {
 public:
  // Opens a chunk (with a type for "RIFF" and "LIST"); answers its handle for Close.
  size_t Open(const char (&id)[5], const char* type = nullptr);
  // Sets the size of an opened chunk and pads it to an even length.
  void Close(size_t handle);
  // A whole chunk.
  void Chunk(const char (&id)[5], const void* data, size_t size);
  void Chunk(const char (&id)[5], const std::vector<uint8_t>& data) { Chunk(id, data.data(), data.size()); }

  bytes::Writer& Out() { return out_; }
  size_t Size() const { return out_.Size(); }
  const std::vector<uint8_t>& Data() const { return out_.Data(); }

 private:
  bytes::Writer out_;
};

}  // namespace forge
