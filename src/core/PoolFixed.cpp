// Fixed-size blocks: pages of equal slots, all chained into the page's free list when the
// page is made.

#include "core/PoolInternal.h"

namespace pool_internal {
namespace {

void* Link(const void* slot) {
  void* next;
  std::memcpy(&next, slot, sizeof next);
  return next;
}

void SetLink(void* slot, void* next) { std::memcpy(slot, &next, sizeof next); }

}  // namespace

void InitFixedPage(Pool& pool, FixedPage* page) {
  size_t size = pool.fixedBlockSize;
  page->slotCount = static_cast<uint32_t>((page->bytes - kFixedFirstSlot) / size);
  page->freeList = nullptr;
  uint8_t* first = Bytes(page) + kFixedFirstSlot;
  for (size_t i = page->slotCount; i-- > 0;) {
    SetLink(first + i * size, page->freeList);
    page->freeList = first + i * size;
  }
}

void* AllocFixedLocked(Pool& pool, bool mayGrow, PendingErrors& errors) {
  if (pool.fixedBlockSize == 0) return nullptr;
  FixedPage* page = nullptr;
  if (PageDescriptor* head = pool.rings[kKindFixed]) {
    PageDescriptor* descriptor = head;
    do {
      auto* candidate = static_cast<FixedPage*>(descriptor->page);
      if (candidate->freeList) {
        page = candidate;
        break;
      }
      descriptor = descriptor->next;
    } while (descriptor != head);
  }
  if (!page) {
    if (!mayGrow) return nullptr;
    page = static_cast<FixedPage*>(NewPage(pool, kKindFixed, pool.pageSize, errors));
    if (!page) return nullptr;
    InitFixedPage(pool, page);
  }
  void* slot = page->freeList;
  page->freeList = Link(slot);
  CountBlockIn(pool, page);
  return slot;
}

bool FixedSlotIsFree(const FixedPage* page, const void* slot) {
  size_t steps = page->slotCount;
  for (void* free = page->freeList; free && steps; free = Link(free), --steps)
    if (free == slot) return true;
  return false;
}

int FreeFixed(Pool& pool, FixedPage* page, void* block) {
  size_t offset = static_cast<uint8_t*>(block) - Bytes(page);
  size_t size = pool.fixedBlockSize;
  if (offset < kFixedFirstSlot || (offset - kFixedFirstSlot) % size != 0 ||
      (offset - kFixedFirstSlot) / size >= page->slotCount || FixedSlotIsFree(page, block))
    return kMemBadPointer;
  SetLink(block, page->freeList);
  page->freeList = block;
  UncountBlockIn(pool, page);
  return 0;
}

}  // namespace pool_internal
