// The heap walk and the heap check: every block of a pool's pages in order (rings of kinds
// 0 to 4, pages from the front of each ring, blocks by address), then every free structure.
// Both read only memory they have first found to belong to the pool, so a corrupted heap is
// reported rather than followed off a cliff.

#include "core/PoolInternal.h"

using namespace pool_internal;

namespace {

constexpr size_t kMaxRingLength = size_t{1} << 26;

enum class StepResult { kBlock, kEnd, kBad };

// The blocks of one page, by address.
class PageBlocks {
 public:
  PageBlocks(const Pool& pool, PageHeader* page) : pool_(pool), page_(page), base_(Bytes(page)) {
    switch (page->Kind()) {
      case kKindSmall:
        position_ = kSmallFirstBlock;
        break;
      case kKindMedium:
      case kKindMoveable:
        position_ = kMediumFirstChunk;
        break;
      default:
        position_ = 0;
        break;
    }
  }

  StepResult Next(PoolHeapEntry* out) {
    cached_ = false;
    switch (page_->Kind()) {
      case kKindSmall:
        return NextSmall(out);
      case kKindMedium:
      case kKindMoveable:
        return NextMedium(out);
      case kKindFixed:
        return NextFixed(out);
      case kKindLarge:
        return NextLarge(out);
      default:
        return StepResult::kBad;
    }
  }

  // Whether the last block is held by a thread's cache.
  bool Cached() const { return cached_; }

 private:
  StepResult NextSmall(PoolHeapEntry* out) {
    auto* page = static_cast<SmallPage*>(page_);
    if (page->carve > page->end || page->end > page->bytes) return StepResult::kBad;
    if (position_ >= page->carve) return StepResult::kEnd;
    uint8_t byte = base_[position_ - 1];
    size_t cls = byte & ~(kSmallFreeBit | kSmallCachedBit);
    if (cls >= kSmallClasses || position_ + SmallStride(cls) > page->carve) return StepResult::kBad;
    // A block in a thread's cache is free to its users but still counted by its page.
    cached_ = (byte & kSmallCachedBit) != 0;
    *out = {base_ + position_, SmallUsable(cls), !(byte & (kSmallFreeBit | kSmallCachedBit))};
    position_ += SmallStride(cls);
    return StepResult::kBlock;
  }

  StepResult NextMedium(PoolHeapEntry* out) {
    size_t end = page_->bytes - 2;
    if (position_ == end) {
      uint16_t sentinel = Load16(base_ + end) & ~kChunkPrevInUse;
      return sentinel == kChunkInUse ? StepResult::kEnd : StepResult::kBad;
    }
    uint16_t header = Load16(base_ + position_);
    size_t size = header & kChunkSizeMask;
    if (size < kMediumMinChunk || size % 16 != 0 || position_ + size > end) return StepResult::kBad;
    size_t overhead = (header & kChunkBigOverhead) ? 8 : 2;
    *out = {base_ + position_ + 2, size - overhead, (header & kChunkInUse) != 0};
    position_ += size;
    return StepResult::kBlock;
  }

  StepResult NextFixed(PoolHeapEntry* out) {
    auto* page = static_cast<FixedPage*>(page_);
    size_t size = pool_.fixedBlockSize;
    if (size == 0 || kFixedFirstSlot + page->slotCount * size > page->bytes) return StepResult::kBad;
    if (position_ >= page->slotCount) return StepResult::kEnd;
    uint8_t* slot = base_ + kFixedFirstSlot + position_ * size;
    *out = {slot, size, !FixedSlotIsFree(page, slot)};
    ++position_;
    return StepResult::kBlock;
  }

  StepResult NextLarge(PoolHeapEntry* out) {
    if (position_ > 0) return StepResult::kEnd;
    *out = {base_ + kLargeHeader, page_->bytes - kLargeHeader, true};
    ++position_;
    return StepResult::kBlock;
  }

  const Pool& pool_;
  PageHeader* page_;
  uint8_t* base_;
  size_t position_;
  bool cached_ = false;
};

bool PageLooksRight(const Pool& pool, const PageDescriptor* descriptor, int kind) {
  PageHeader* page = descriptor->page;
  return page && IsRegisteredPage(page) && (page->kindWord & kPageSignatureMask) == kPageSignature &&
         page->Kind() == kind && page->pool == &pool && page->descriptor == descriptor &&
         page->bytes <= descriptor->reservedBytes;
}

bool RingLinksHold(const PageDescriptor* descriptor) {
  return descriptor->next && descriptor->prev && descriptor->next->prev == descriptor &&
         descriptor->prev->next == descriptor;
}

// The page's next block into entry: kHeapOk, kHeapBadNode (with MEM_BAD_BLOCK), or kHeapEnd
// when the page has no further block.
int NextBlockOfPage(PageBlocks& blocks, PoolHeapEntry* entry, int* error) {
  switch (blocks.Next(entry)) {
    case StepResult::kBlock:
      return kHeapOk;
    case StepResult::kBad:
      *error = kMemBadBlock;
      return kHeapBadNode;
    case StepResult::kEnd:
      break;
  }
  return kHeapEnd;
}

// The first block of the pages from `descriptor` on (then of the later rings).
int FirstBlockFrom(const Pool& pool, int kind, const PageDescriptor* descriptor, PoolHeapEntry* entry, int* error) {
  for (; kind < kRingCount; ++kind, descriptor = nullptr) {
    const PageDescriptor* head = pool.rings[kind];
    if (!head) continue;
    if (!descriptor) descriptor = head;
    size_t steps = 0;
    do {
      if (!RingLinksHold(descriptor) || !PageLooksRight(pool, descriptor, kind) || ++steps > kMaxRingLength) {
        *error = kMemBadBlock;
        return kHeapBadNode;
      }
      PageBlocks blocks(pool, descriptor->page);
      if (int status = NextBlockOfPage(blocks, entry, error); status != kHeapEnd) return status;
      descriptor = descriptor->next;
    } while (descriptor != head);
  }
  return kHeapEnd;
}

int WalkLocked(const Pool& pool, PoolHeapEntry* entry, int* error) {
  if (!entry->pointer) return FirstBlockFrom(pool, 0, nullptr, entry, error);
  PageHeader* page = FindPage(entry->pointer);
  if (!page || page->Kind() > kKindSmall || page->pool != &pool || page->descriptor->page != page) {
    *error = kMemBadPointer;
    return kHeapBadPtr;
  }
  // Find the entry among its page's blocks, then step past it.
  PageBlocks blocks(pool, page);
  PoolHeapEntry at;
  for (;;) {
    StepResult step = blocks.Next(&at);
    if (step == StepResult::kBad) {
      *error = kMemBadBlock;
      return kHeapBadNode;
    }
    if (step == StepResult::kEnd || static_cast<uint8_t*>(at.pointer) > static_cast<uint8_t*>(entry->pointer)) {
      *error = kMemBadPointer;
      return kHeapBadPtr;
    }
    if (at.pointer == entry->pointer) break;
  }
  if (int status = NextBlockOfPage(blocks, entry, error); status != kHeapEnd) return status;
  int kind = page->Kind();
  const PageDescriptor* next = page->descriptor->next;
  if (next == pool.rings[kind]) return FirstBlockFrom(pool, kind + 1, nullptr, entry, error);
  return FirstBlockFrom(pool, kind, next, entry, error);
}

// ---- The check ----

struct PageCounts {
  size_t inUse = 0;
  size_t free = 0;
};

int CheckMediumFreeList(MediumPage* page, size_t walkedFree) {
  uint8_t* base = Bytes(page);
  size_t end = page->bytes - 2;
  size_t steps = page->bytes / kMediumMinChunk;
  size_t count = 0, previous = 0;
  for (size_t c = page->freeHead; c; c = Load16(base + c + 4)) {
    if (steps-- == 0) return kMemBadFreeBlock;  // the list loops
    if (c < kMediumFirstChunk || c >= end || c % 16 != kMediumFirstChunk % 16) return kMemBadFreeBlock;
    uint16_t header = Load16(base + c);
    size_t size = header & kChunkSizeMask;
    if ((header & kChunkInUse) || !(header & kChunkPrevInUse)) return kMemBadFreeBlock;
    if (size < kMediumMinChunk || c + size > end || Load16(base + c + size - 2) != size) return kMemBadFreeBlock;
    if (Load16(base + c + 2) != previous) return kMemBadFreeBlock;
    if (Load16(base + c + size) & kChunkPrevInUse) return kMemBadFreeBlock;
    if (size > page->descriptor->largestFree) return kMemBadFreeBlock;
    previous = c;
    ++count;
  }
  return count == walkedFree ? 0 : kMemBadFreeBlock;
}

int CheckFixedFreeList(const Pool& pool, FixedPage* page) {
  uint8_t* base = Bytes(page);
  size_t size = pool.fixedBlockSize;
  auto valid = [&](void* slot) {
    size_t offset = static_cast<uint8_t*>(slot) - base;
    return static_cast<uint8_t*>(slot) > base && offset >= kFixedFirstSlot && (offset - kFixedFirstSlot) % size == 0 &&
           (offset - kFixedFirstSlot) / size < page->slotCount;
  };
  auto link = [](void* slot) {
    void* next;
    std::memcpy(&next, slot, sizeof next);
    return next;
  };
  size_t count = 0;
  void* slow = page->freeList;
  void* fast = page->freeList;
  while (fast) {
    for (int i = 0; i < 2 && fast; ++i) {
      if (!valid(fast)) return kMemBadFreeBlock;
      ++count;
      fast = link(fast);
    }
    slow = link(slow);
    if (fast && fast == slow) return kMemBadFreeBlock;  // followed at double pace: a loop
  }
  return page->usedCount + count == page->slotCount ? 0 : kMemBadFreeBlock;
}

int CheckSmallFreeLists(const Pool& pool, size_t walkedFree) {
  size_t count = 0;
  for (int cls = 0; cls < kSmallClasses; ++cls) {
    auto valid = [&](void* node) {
      PageHeader* page = FindPage(node);
      if (!page || page->pool != &pool || page->Kind() != kKindSmall) return false;
      size_t offset = static_cast<uint8_t*>(node) - Bytes(page);
      return offset >= kSmallFirstBlock && offset % 16 == 0 && offset < static_cast<SmallPage*>(page)->carve &&
             static_cast<uint8_t*>(node)[-1] == (cls | kSmallFreeBit);
    };
    auto link = [](void* node) {
      void* next;
      std::memcpy(&next, node, sizeof next);
      return next;
    };
    void* slow = pool.smallFree[cls];
    void* fast = slow;
    while (fast) {
      for (int i = 0; i < 2 && fast; ++i) {
        if (!valid(fast)) return kMemBadFreeBlock;
        ++count;
        fast = link(fast);
      }
      slow = link(slow);
      if (fast && fast == slow) return kMemBadFreeBlock;
    }
  }
  return count == walkedFree ? 0 : kMemBadFreeBlock;
}

int CheckPage(const Pool& pool, PageHeader* page, size_t* smallFree) {
  PageBlocks blocks(pool, page);
  PageCounts counts;
  PoolHeapEntry entry;
  for (;;) {
    StepResult step = blocks.Next(&entry);
    if (step == StepResult::kBad) return kMemBadBlock;
    if (step == StepResult::kEnd) break;
    ++(entry.inUse || blocks.Cached() ? counts.inUse : counts.free);
  }
  switch (page->Kind()) {
    case kKindSmall:
      *smallFree += counts.free;
      return counts.inUse == page->usedCount ? 0 : kMemBadBlock;
    case kKindMedium:
    case kKindMoveable:
      if (counts.inUse != page->usedCount) return kMemBadBlock;
      return CheckMediumFreeList(static_cast<MediumPage*>(page), counts.free);
    case kKindFixed:
      return CheckFixedFreeList(pool, static_cast<FixedPage*>(page));
    default:
      return page->usedCount == 1 ? 0 : kMemBadBlock;
  }
}

int CheckLocked(const Pool& pool) {
  size_t smallFree = 0;
  for (int kind = 0; kind < kRingCount; ++kind) {
    const PageDescriptor* head = pool.rings[kind];
    if (!head) continue;
    const PageDescriptor* descriptor = head;
    size_t steps = 0;
    do {
      if (!RingLinksHold(descriptor) || !PageLooksRight(pool, descriptor, kind) || ++steps > kMaxRingLength)
        return kMemBadBlock;
      if (int code = CheckPage(pool, descriptor->page, &smallFree)) return code;
      descriptor = descriptor->next;
    } while (descriptor != head);
  }
  return CheckSmallFreeLists(pool, smallFree);
}

bool IsPool(const Pool* pool) { return pool && pool->signature == kPoolSignature; }

}  // namespace

int PoolWalk(Pool* pool, PoolHeapEntry* entry) {
  if (!IsPool(pool) || !entry) return kHeapEmpty;
  ReturnThreadCache(pool);
  int error = 0, result;
  {
    LockGuard guard(pool->lock);
    result = WalkLocked(*pool, entry, &error);
  }
  if (error) PoolReportError(entry->pointer, error);
  return result;
}

int PoolCheck(Pool* pool) {
  if (!IsPool(pool)) return kHeapEmpty;
  ReturnThreadCache(pool);
  int error;
  {
    LockGuard guard(pool->lock);
    error = CheckLocked(*pool);
  }
  if (!error) return kHeapOk;
  PoolReportError(nullptr, error);
  return kHeapBadNode;
}
