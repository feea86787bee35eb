#include "platform/Riff.h"

namespace platform {

std::optional<RiffChunk> RiffImage::ChunkAt(size_t offset, size_t end) const {
  if (end > image_.size() || offset > end || end - offset < 8) return std::nullopt;
  RiffChunk chunk;
  chunk.offset = offset;
  chunk.id = ReadLE32(image_, offset);
  size_t size = ReadLE32(image_, offset + 4);
  if (size > end - offset - 8) return std::nullopt;
  chunk.dataOffset = offset + 8;
  chunk.dataSize = size;
  if (chunk.id == kRiff || chunk.id == kList) {
    if (size < 4) return std::nullopt;
    chunk.type = ReadLE32(image_, offset + 8);
    chunk.dataOffset += 4;
    chunk.dataSize -= 4;
  }
  chunk.next = offset + 8 + size + (size & 1);
  return chunk;
}

std::optional<RiffChunk> RiffImage::Form(uint32_t formType) const {
  std::optional<RiffChunk> form = ChunkAt(0, image_.size());
  if (!form || form->id != kRiff || form->type != formType) return std::nullopt;
  return form;
}

std::optional<RiffChunk> RiffImage::FindChild(const RiffChunk& parent, uint32_t id, uint32_t listType) const {
  std::optional<RiffChunk> found;
  ForEachChild(parent, [&](const RiffChunk& child) {
    if (child.id != id || (listType != 0 && child.type != listType)) return true;
    found = child;
    return false;
  });
  return found;
}

}  // namespace platform
