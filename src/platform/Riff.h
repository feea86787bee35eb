#pragma once
// RIFF files (WAVE sounds, AVI movies) read from a memory image: a RIFF chunk is a four
// character id, a 32-bit little-endian size and its data, padded to an even length; "RIFF"
// and "LIST" chunks start their data with a four-character type and hold further chunks.
// Every chunk found lies wholly inside its parent and the image: a size that reaches past
// either is refused, never clipped, so a truncated file is seen as broken.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

// A four-character code as it is stored: the first character in the low byte.
constexpr uint32_t FourCC(const char (&code)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}

// Little-endian words of an image; the caller has made sure they lie inside it.
inline uint16_t ReadLE16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
inline uint32_t ReadLE32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(ReadLE16(bytes, at)) | static_cast<uint32_t>(ReadLE16(bytes, at + 2)) << 16;
}

struct RiffChunk {
  uint32_t id = 0;
  uint32_t type = 0;      // form or list type of a "RIFF" or "LIST" chunk, else 0
  size_t offset = 0;      // of the chunk's header in the image
  size_t dataOffset = 0;  // first byte after the header (after the type of RIFF and LIST)
  size_t dataSize = 0;    // bytes of data from dataOffset (the size field, less the type)
  size_t next = 0;        // where a following chunk would start (after the pad byte)
};

class RiffImage {
 public:
  explicit RiffImage(std::span<const uint8_t> image) : image_(image) {}

  // The "RIFF" chunk at the start of the image, when it has this form type.
  std::optional<RiffChunk> Form(uint32_t formType) const;

  // The first child of a RIFF or LIST chunk with this id (and, for "LIST", this list type
  // when listType is not 0). Stops at the first child that does not fit in its parent.
  std::optional<RiffChunk> FindChild(const RiffChunk& parent, uint32_t id, uint32_t listType = 0) const;

  // Calls visit for each child in order, until it answers false or a child does not fit.
  // Answers false when a child did not fit (the parent is broken from there on).
  template <typename Visit>
  bool ForEachChild(const RiffChunk& parent, Visit visit) const {
    size_t at = parent.dataOffset;
    const size_t end = parent.dataOffset + parent.dataSize;
    while (at < end && end - at >= 8) {
      std::optional<RiffChunk> child = ChunkAt(at, end);
      if (!child) return false;
      if (!visit(*child)) return true;
      at = child->next;
    }
    return true;
  }

  // The chunk that follows a chunk of the top level (a further "RIFF" section of a large
  // file), when one starts there and fits in the image.
  std::optional<RiffChunk> After(const RiffChunk& chunk) const { return ChunkAt(chunk.next, image_.size()); }

  // The data bytes of a chunk.
  std::span<const uint8_t> Data(const RiffChunk& chunk) const {
    return image_.subspan(chunk.dataOffset, chunk.dataSize);
  }

  std::span<const uint8_t> Image() const { return image_; }

  static constexpr uint32_t kRiff = FourCC("RIFF");
  static constexpr uint32_t kList = FourCC("LIST");

 private:
  // The chunk whose header starts at offset, when it fits before end.
  std::optional<RiffChunk> ChunkAt(size_t offset, size_t end) const;

  std::span<const uint8_t> image_;
};

}  // namespace platform
