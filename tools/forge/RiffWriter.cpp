#include "forge/RiffWriter.h"

namespace forge {

size_t RiffWriter::Open(const char (&id)[5], const char* type) {
  out_.Bytes(id, 4);
  size_t handle = out_.Size();
  out_.U32(0);
  if (type) out_.Bytes(type, 4);
  return handle;
}

void RiffWriter::Close(size_t handle) {
  size_t size = out_.Size() - handle - 4;
  out_.PatchU32(handle, static_cast<uint32_t>(size));
  if (size % 2) out_.U8(0);
}

void RiffWriter::Chunk(const char (&id)[5], const void* data, size_t size) {
  size_t handle = Open(id);
  out_.Bytes(data, size);
  Close(handle);
}

}  // namespace forge
