#include "graphics/FrameCache.h"

#include <new>

#include "graphics/Frame16.h"

bool CFrameCache::Create(int slotSize, int slotCount) {
  Free();
  if (slotSize <= 0 || slotCount <= 0) return false;
  try {
    memory_.assign(static_cast<size_t>(slotSize) * static_cast<size_t>(slotCount), 0);
    slots_.resize(static_cast<size_t>(slotCount));
  } catch (const std::bad_alloc&) {
    Free();
    return false;
  }
  for (int i = 0; i < slotCount; ++i)
    slots_[static_cast<size_t>(i)].buffer = memory_.data() + static_cast<size_t>(i) * slotSize;
  slotSize_ = slotSize;
  slotCount_ = slotCount;
  return true;
}

void CFrameCache::Free() {
  slots_.clear();
  slots_.shrink_to_fit();
  memory_.clear();
  memory_.shrink_to_fit();
  slotSize_ = 0;
  slotCount_ = 0;
}

uint8_t* CFrameCache::Find(uint32_t key) {
  // An unused slot holds nothing, whatever its key says.
  for (Slot& slot : slots_)
    if (slot.useCount > 0 && slot.key == key) return slot.buffer;
  return nullptr;
}

uint8_t* CFrameCache::Acquire(const FrameCacheRequest& request) {
  for (Slot& slot : slots_) {
    if (slot.useCount > 0 && slot.key == request.key) {
      ++slot.useCount;
      return slot.buffer;
    }
  }
  if (ShadedFrameSize(request.frame) > static_cast<size_t>(slotSize_)) return nullptr;
  for (Slot& slot : slots_) {
    if (slot.useCount != 0) continue;
    if (ShadeFrameToCache(request.frame, slot.buffer, static_cast<size_t>(slotSize_), request.light,
                          request.listIndex) != 0)
      return nullptr;
    slot.useCount = 1;
    slot.key = request.key;
    return slot.buffer;
  }
  return nullptr;
}
