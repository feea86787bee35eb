// Small blocks: carved one after another from 64 KB pages, recycled through one free list
// per 8-byte size class. A block costs one byte of header and a list pop.

#include "core/PoolInternal.h"

namespace pool_internal {
namespace {

// The carving point is read without the lock by the threads' caches (which only need it not
// to be below a block they hold), so it is written as an atomic.
void AdvanceCarve(SmallPage* page, size_t stride) {
  __atomic_store_n(&page->carve, page->carve + static_cast<uint32_t>(stride), __ATOMIC_RELAXED);
}

void PushFree(Pool& pool, uint8_t* block, size_t cls) {
  void* head = pool.smallFree[cls];
  std::memcpy(block, &head, sizeof head);
  block[-1] = static_cast<uint8_t>(cls | kSmallFreeBit);
  pool.smallFree[cls] = block;
}

// The room left at the end of a page that cannot hold the next request becomes a free block
// of the largest class it holds.
void RetireTail(Pool& pool, SmallPage* page) {
  size_t room = page->end - page->carve;
  if (room < 16) return;
  size_t cls = room / 8 - 1;
  if (cls >= static_cast<size_t>(kSmallClasses)) cls = kSmallClasses - 1;
  PushFree(pool, Bytes(page) + page->carve, cls);
  AdvanceCarve(page, SmallStride(cls));
}

void* Carve(Pool& pool, size_t cls, unsigned flags, PendingErrors& errors) {
  size_t stride = SmallStride(cls);
  SmallPage* page = pool.currentSmall;
  if (!page || page->end - page->carve < stride) {
    if (page) RetireTail(pool, page);
    if (flags & kPoolNoNewPages) return nullptr;
    page = static_cast<SmallPage*>(NewPage(pool, kKindSmall, kSmallPageBytes, errors));
    if (!page) return nullptr;
    __atomic_store_n(&page->carve, uint32_t{kSmallFirstBlock}, __ATOMIC_RELAXED);
    page->end = kSmallPageBytes;
    pool.currentSmall = page;
  }
  uint8_t* block = Bytes(page) + page->carve;
  block[-1] = static_cast<uint8_t>(cls);
  AdvanceCarve(page, stride);
  ++page->usedCount;
  return block;
}

}  // namespace

void* AllocSmall(Pool& pool, size_t size, unsigned flags, PendingErrors& errors) {
  size_t cls = SmallClassOf(size);
  if (void* block = PopSmall(pool, cls)) return block;
  return Carve(pool, cls, flags, errors);
}

int FreeSmall(Pool& pool, SmallPage* page, void* pointer) {
  auto* block = static_cast<uint8_t*>(pointer);
  size_t offset = block - Bytes(page);
  if (offset < kSmallFirstBlock || offset >= page->carve || offset % 16 != 0) return kMemBadPointer;
  uint8_t cls = block[-1];
  if (cls & (kSmallFreeBit | kSmallCachedBit)) return kMemBadPointer;  // freed already
  if (cls >= kSmallClasses || offset + SmallStride(cls) > page->carve) return kMemBadBlock;
  PushFree(pool, block, cls);
  --page->usedCount;
  return 0;
}

}  // namespace pool_internal
