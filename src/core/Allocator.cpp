// Pools and blocks: creation, the size-class dispatch, freeing, resizing and block sizes.
// Work on a pool's structures happens under its lock; errors are reported after the lock is
// let go, because the error box itself allocates.

#include "core/Allocator.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "core/PoolInternal.h"
#include "platform/VirtualMemory.h"

using namespace pool_internal;

PoolSettings g_poolSettings;
std::atomic<Pool*> g_defaultPool{nullptr};

namespace {

std::mutex g_chainMutex;
Pool* g_poolChain = nullptr;
std::mutex g_defaultPoolMutex;
thread_local bool t_creatingDefaultPool = false;

// An out-of-memory prompt answered Retry this many times in a row gives up: with no display
// the prompt answers its default button, Retry, and nobody is there to free memory.
constexpr int kMaxRetries = 8;

bool IsPool(const Pool* pool) { return pool && pool->signature == kPoolSignature; }

enum class Step { kDone, kCompact, kOutOfMemory, kFailed };

struct AllocRequest {
  size_t size;
  unsigned flags;
  bool compacted = false;
  bool freshRun = false;  // a large block straight from the system reads as zero
  void* block = nullptr;
  PendingErrors errors;
};

Step AllocMedium(Pool& pool, AllocRequest& request, bool* tryLarge) {
  *tryLarge = false;
  if (void* block = AllocMediumFromPages(pool, request.size)) {
    request.block = block;
    return Step::kDone;
  }
  if (pool.compaction && !request.compacted) return Step::kCompact;
  if (!(request.flags & kPoolNoNewPages)) {
    bool ceilingHit = false;
    if (void* block = AllocMediumNewPage(pool, request.size, request.errors, &ceilingHit)) {
      request.block = block;
      return Step::kDone;
    }
    if (ceilingHit) return Step::kFailed;
  }
  *tryLarge = !(request.flags & kPoolNoLarge);
  return Step::kFailed;
}

Step AllocLocked(Pool& pool, AllocRequest& request) {
  size_t size = request.size;
  if (size <= pool.smallLimit) {
    request.block = AllocSmall(pool, size, request.flags, request.errors);
    if (request.block) return Step::kDone;
  }
  if (size <= pool.mediumLimit) {
    bool tryLarge;
    Step step = AllocMedium(pool, request, &tryLarge);
    if (!tryLarge) return step;
  }
  if (request.flags & kPoolNoNewPages) return Step::kFailed;  // a large block needs a run of its own
  switch (AllocLarge(pool, size, &request.block, &request.freshRun, request.errors)) {
    case LargeResult::kDone:
      return Step::kDone;
    case LargeResult::kNoMemory:
      return Step::kOutOfMemory;
    case LargeResult::kTooBig:
      request.errors.Add(kMemBlockTooBig, nullptr);
      return Step::kFailed;
    case LargeResult::kCeiling:
      return Step::kFailed;
  }
  return Step::kFailed;
}

// 0 when `block` is a block in use of `page`, else the error code; *usable gets its size.
int CheckBlockInUse(const Pool& pool, PageHeader* page, const void* block, size_t* usable) {
  const uint8_t* base = Bytes(page);
  size_t offset = static_cast<const uint8_t*>(block) - base;
  switch (page->Kind()) {
    case kKindSmall: {
      auto* small = static_cast<SmallPage*>(page);
      if (offset < kSmallFirstBlock || offset >= small->carve || offset % 16 != 0) return kMemBadPointer;
      uint8_t cls = base[offset - 1];
      if (cls & (kSmallFreeBit | kSmallCachedBit)) return kMemBadPointer;
      if (cls >= kSmallClasses || offset + SmallStride(cls) > small->carve) return kMemBadBlock;
      *usable = SmallUsable(cls);
      return 0;
    }
    case kKindMedium:
    case kKindMoveable: {
      if (offset < kMediumFirstChunk + 2 || offset % 16 != 0 || offset >= page->bytes - 2) return kMemBadPointer;
      uint16_t header = Load16(base + offset - 2);
      if (!(header & kChunkInUse)) return kMemBadPointer;
      size_t size = header & kChunkSizeMask;
      size_t overhead = (header & kChunkBigOverhead) ? 8 : 2;
      if (size < kMediumMinChunk || offset - 2 + size > page->bytes - 2) return kMemBadBlock;
      *usable = size - overhead;
      return 0;
    }
    case kKindFixed: {
      auto* fixed = static_cast<FixedPage*>(page);
      size_t slotSize = pool.fixedBlockSize;
      if (offset < kFixedFirstSlot || (offset - kFixedFirstSlot) % slotSize != 0 ||
          (offset - kFixedFirstSlot) / slotSize >= fixed->slotCount || FixedSlotIsFree(fixed, block))
        return kMemBadPointer;
      *usable = slotSize;
      return 0;
    }
    case kKindLarge:
      if (offset != kLargeHeader) return kMemBadPointer;
      *usable = page->bytes - kLargeHeader;
      return 0;
    default:
      return kMemBadPointer;
  }
}

int FreeLocked(Pool& pool, PageHeader* page, void* block) {
  switch (page->Kind()) {
    case kKindSmall:
      return FreeSmall(pool, static_cast<SmallPage*>(page), block);
    case kKindMedium:
    case kKindMoveable:
      return FreeMedium(pool, static_cast<MediumPage*>(page), block);
    case kKindFixed:
      return FreeFixed(pool, static_cast<FixedPage*>(page), block);
    case kKindLarge:
      if (static_cast<uint8_t*>(block) != Bytes(page) + kLargeHeader) return kMemBadPointer;
      FreeLarge(pool, page);
      return 0;
    default:
      return kMemBadPointer;
  }
}

bool ResizeInPlaceLocked(Pool& pool, PageHeader* page, void* block, size_t size, size_t usable, PendingErrors& errors) {
  switch (page->Kind()) {
    case kKindMedium:
    case kKindMoveable:
      return ResizeMedium(pool, static_cast<MediumPage*>(page), block, size);
    case kKindLarge:
      return ResizeLarge(pool, page, size, errors);
    default:
      return size <= usable;  // small and fixed blocks keep their slot
  }
}

void* NewBlock(size_t size, unsigned flags, Pool* pool, bool fromMalloc) {
  if (size == 0) size = 1;
  if (!pool) pool = g_defaultPool.load(std::memory_order_acquire);
  if (!pool) pool = PoolInitDefault();
  if (!pool) return nullptr;
  for (;;) {
    if (void* block = PoolAllocBlock(pool, size, flags)) return block;
    if (!PoolCallNewHandler(size, fromMalloc)) break;
  }
  if (PoolOutOfMemoryCallback callback = g_poolSettings.outOfMemory) {
    callback(g_defaultPool.load(std::memory_order_acquire));
    return PoolAllocBlock(pool, size, flags);
  }
  return nullptr;
}

}  // namespace

void* pool_internal::NewBlockForMalloc(size_t size, unsigned flags) { return NewBlock(size, flags, nullptr, true); }

// ---- Pools ----

Pool* PoolCreate(size_t fixedBlockSize, size_t initialBlocks, unsigned flags) {
  void* memory = nullptr;
  for (int retries = 0;; ++retries) {
    memory = platform::ReserveMemory(kPoolHeaderBytes);
    if (memory && platform::CommitMemory(memory, kPoolHeaderBytes)) break;
    platform::ReleaseMemory(memory, kPoolHeaderBytes);
    if (PoolReportError(nullptr, kMemOutOfMemory) != 1 || retries + 1 >= kMaxRetries) return nullptr;
  }
  static_assert(sizeof(Pool) <= kPoolHeaderBytes);
  Pool* pool = new (memory) Pool{};
  pool->flags = static_cast<uint16_t>(flags & ~unsigned{kPoolRefusedFlag});
  {
    std::lock_guard<std::mutex> lock(g_chainMutex);
    pool->next = g_poolChain;
    g_poolChain = pool;
  }
  if (flags & kPoolRefusedFlag) PoolReportError(pool, kMemRefusedPoolFlag);
  if (fixedBlockSize && PoolSetFixedBlockSize(pool, fixedBlockSize) && initialBlocks) {
    size_t perPage = (pool->pageSize - kFixedFirstSlot) / pool->fixedBlockSize;
    size_t pages = (initialBlocks + perPage - 1) / perPage;
    PendingErrors errors;
    {
      LockGuard guard(pool->lock);
      for (size_t i = 0; i < pages; ++i) {
        auto* page = static_cast<FixedPage*>(NewPage(*pool, kKindFixed, pool->pageSize, errors));
        if (!page) break;
        InitFixedPage(*pool, page);
      }
    }
    errors.ReportAll();
  }
  return pool;
}

int PoolDestroy(Pool* pool) {
  if (!IsPool(pool) || pool == g_defaultPool.load(std::memory_order_acquire)) return 0;
  {
    std::lock_guard<std::mutex> lock(g_chainMutex);
    for (Pool** link = &g_poolChain; *link; link = &(*link)->next)
      if (*link == pool) {
        *link = pool->next;
        break;
      }
  }
  {
    LockGuard guard(pool->lock);
    ReleaseAllPages(*pool);
    pool->signature = 0;
  }
  platform::ReleaseMemory(pool, kPoolHeaderBytes);
  return 1;
}

Pool* PoolInitDefault() {
  if (t_creatingDefaultPool) return nullptr;  // the error box of a failing creation allocates
  std::lock_guard<std::mutex> lock(g_defaultPoolMutex);
  if (Pool* existing = g_defaultPool.load(std::memory_order_acquire)) return existing;
  t_creatingDefaultPool = true;
  Pool* pool = PoolCreate(24, 0, g_poolSettings.flags);
  if (pool) {
    if (g_poolSettings.pageSize) PoolSetPageSize(pool, g_poolSettings.pageSize);
    if (g_poolSettings.fixedBlockSize != 0xFFFF) PoolSetFixedBlockSize(pool, g_poolSettings.fixedBlockSize);
    g_defaultPool.store(pool, std::memory_order_release);
  }
  t_creatingDefaultPool = false;
  return pool;
}

int PoolSetPageSize(Pool* pool, size_t bytes) {
  if (!IsPool(pool)) return 0;
  size_t size = 4096;
  while (size < bytes && size < kMaxPageSize) size *= 2;
  LockGuard guard(pool->lock);
  if (size < pool->fixedBlockSize + kFixedFirstSlot) return 0;
  pool->pageSize = static_cast<uint32_t>(size);
  pool->mediumLimit = static_cast<uint32_t>(size / 4);
  return 1;
}

int PoolSetFixedBlockSize(Pool* pool, size_t bytes) {
  if (!IsPool(pool)) return 0;
  size_t size = bytes > kMaxPageSize ? kMaxPageSize + 8 : (bytes + 7) & ~size_t{7};
  bool tooBig = false;
  {
    LockGuard guard(pool->lock);
    if (pool->rings[kKindFixed]) return 0;
    tooBig = size == 0 || size > pool->pageSize - kFixedFirstSlot;
    if (!tooBig) pool->fixedBlockSize = static_cast<uint16_t>(size);
  }
  if (tooBig) PoolReportError(pool, kMemBlockTooBig);
  return tooBig ? 0 : 1;
}

void PoolSetCeiling(Pool* pool, size_t bytes) {
  if (!IsPool(pool)) return;
  LockGuard guard(pool->lock);
  pool->ceiling = bytes;
}

void PoolSetCompactionCallback(Pool* pool, PoolCompactionCallback callback) {
  if (!IsPool(pool)) return;
  LockGuard guard(pool->lock);
  pool->compaction = callback;
}

size_t PoolBytesInUse(Pool* pool) {
  if (!IsPool(pool)) return 0;
  LockGuard guard(pool->lock);
  return pool->bytesInUse;
}

size_t PoolReleasePages(Pool* pool) {
  if (!IsPool(pool)) {
    PoolReportError(pool, kMemBadMemPool);
    return 0;
  }
  ReturnThreadCache(pool);
  size_t released;
  PoolCompactionCallback callback;
  {
    LockGuard guard(pool->lock);
    released = ReleaseEmptyPagesLocked(*pool);
    callback = pool->compaction;
  }
  if (callback) callback(pool, kCompactAfterRelease);
  return released;
}

// ---- Blocks ----

void* PoolNewBlock(size_t size, unsigned flags, Pool* pool) { return NewBlock(size, flags, pool, false); }

void* PoolAllocBlock(Pool* pool, size_t size, unsigned flags) {
  if (!IsPool(pool)) {
    PoolReportError(pool, kMemBadMemPool);
    return nullptr;
  }
  if (size <= pool->smallLimit && !(flags & kPoolZeroInit) && !(pool->flags & kPoolZeroFill)) {
    // The common case: a block from this thread's cache, or the head of a small class's
    // free list.
    if (void* block = TakeCachedSmall(*pool, SmallClassOf(size))) return block;
    pool->lock.Lock();
    void* block = PopSmall(*pool, SmallClassOf(size));
    pool->lock.Unlock();
    if (block) return block;
  }
  AllocRequest request{size, flags};
  int retries = 0;
  for (;;) {
    Step step;
    {
      LockGuard guard(pool->lock);
      step = AllocLocked(*pool, request);
    }
    if (request.errors.count) request.errors.ReportAll();
    switch (step) {
      case Step::kDone:
        if (((flags & kPoolZeroInit) || (pool->flags & kPoolZeroFill)) && !request.freshRun)
          std::memset(request.block, 0, size);
        return request.block;
      case Step::kCompact:
        pool->compaction(pool, size);
        request.compacted = true;
        continue;
      case Step::kOutOfMemory:
        if (PoolReleasePages(pool) > 0) continue;
        if (PoolReportError(nullptr, kMemOutOfMemory) == 1 && ++retries < kMaxRetries) continue;
        return nullptr;
      case Step::kFailed:
        return nullptr;
    }
  }
}

void* PoolAllocFixed(Pool* pool) {
  if (!IsPool(pool)) {
    PoolReportError(pool, kMemBadMemPool);
    return nullptr;
  }
  PendingErrors errors;
  void* block;
  {
    LockGuard guard(pool->lock);
    block = AllocFixedLocked(*pool, true, errors);
  }
  errors.ReportAll();
  if (block && (pool->flags & kPoolZeroFill)) std::memset(block, 0, pool->fixedBlockSize);
  return block;
}

int PoolFreeBlock(void* block) {
  PageHeader* page = FindPage(block);
  if (!page) {
    PoolReportError(block, kMemBadPointer);
    return 0;
  }
  Pool& pool = *page->pool;
  if (page->Kind() == kKindSmall && GiveCachedSmall(pool, static_cast<SmallPage*>(page), block)) return 1;
  int code;
  {
    LockGuard guard(pool.lock);
    code = FreeLocked(pool, page, block);
  }
  if (code) {
    PoolReportError(block, code);
    return 0;
  }
  return 1;
}

void* PoolResizeBlock(void* block, size_t size, unsigned flags) {
  PageHeader* page = FindPage(block);
  if (!page) {
    PoolReportError(block, kMemBadPointer);
    return nullptr;
  }
  Pool& pool = *page->pool;
  PendingErrors errors;
  size_t usable = 0;
  bool inPlace = false;
  int code;
  {
    LockGuard guard(pool.lock);
    code = CheckBlockInUse(pool, page, block, &usable);
    if (!code) inPlace = ResizeInPlaceLocked(pool, page, block, size, usable, errors);
  }
  errors.ReportAll();
  if (code) {
    PoolReportError(block, code);
    return nullptr;
  }
  bool zero = (flags & kPoolZeroInit) || (pool.flags & kPoolZeroFill);
  if (inPlace) {
    if (zero && size > usable) std::memset(static_cast<uint8_t*>(block) + usable, 0, size - usable);
    return block;
  }
  if (flags & kPoolResizeInPlace) {
    if (size != 0) PoolReportError(block, kMemResizeFailed);
    return nullptr;
  }
  void* moved = PoolAllocBlock(&pool, size, flags & ~unsigned{kPoolZeroInit});
  if (!moved) return nullptr;
  std::memcpy(moved, block, std::min(usable, size));
  if (zero && size > usable) std::memset(static_cast<uint8_t*>(moved) + usable, 0, size - usable);
  PoolFreeBlock(block);
  return moved;
}

size_t PoolBlockSize(const void* block) {
  PageHeader* page = FindPage(block);
  if (!page) {
    PoolReportError(block, kMemBadPointer);
    return SIZE_MAX;
  }
  if (page->Kind() > kKindSmall) return SIZE_MAX;
  size_t usable = 0;
  int code;
  {
    LockGuard guard(page->pool->lock);
    code = CheckBlockInUse(*page->pool, page, block, &usable);
  }
  if (code) {
    PoolReportError(block, code);
    return SIZE_MAX;
  }
  return usable;
}

bool PoolOwnsBlock(const void* block) {
  PageHeader* page = FindPage(block);
  if (!page) return false;
  size_t usable;
  LockGuard guard(page->pool->lock);
  return CheckBlockInUse(*page->pool, page, block, &usable) == 0;
}
