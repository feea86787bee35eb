#pragma once
// The pooled allocator's own structures, shared by its units. Nothing outside the allocator
// includes this.
//
// Every page starts at a multiple of 64 KB with a 32-byte PageHeader. Blocks are 16-byte
// aligned (what operator new must give on this platform):
// - small pages (64 KB): blocks carved one after another; the byte before each block holds
//   its size class (bit 7 set while the block is free); the stride of class c is
//   c x 8 + 8 rounded up to 16, so its usable c x 8 + 7 bytes end just before the next
//   block's class byte.
// - medium pages (the pool's page size): chunks with a 16-bit header just before the block
//   (size in bits 2-14, bit 0 in use, bit 1 previous chunk in use, bit 15 eight bytes of
//   overhead); a free chunk keeps 16-bit page offsets of its neighbours on the page's free
//   list after its header and repeats its size in its last two bytes. A zero-sized header
//   marked in use ends the page.
// - fixed-size pages: slots of the pool's fixed size chained into the page's free list.
// - large runs: the header, then the block at +32.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/Allocator.h"

namespace pool_internal {

constexpr size_t kPageAlign = 0x10000;
constexpr size_t kSystemPage = 4096;
constexpr size_t kPoolHeaderBytes = 4096;
constexpr uint16_t kPoolSignature = 0xBEAD;
constexpr uint16_t kPageSignature = 0xCAD0;
constexpr uint16_t kPageSignatureMask = 0xFFF8;

enum PageKind : uint16_t { kKindMedium = 0, kKindFixed = 1, kKindMoveable = 2, kKindLarge = 3, kKindSmall = 4 };
constexpr int kRingCount = 5;

constexpr size_t kSmallLimit = 256;
constexpr int kSmallClasses = kSmallLimit / 8 + 1;
constexpr uint8_t kSmallFreeBit = 0x80;
constexpr uint8_t kSmallCachedBit = 0x40;  // free, held by a thread's cache (PoolThreadCache.cpp)
constexpr size_t kSmallPageBytes = 0x10000;
constexpr size_t kSmallFirstBlock = 48;

constexpr size_t kDefaultPageSize = 16384;
constexpr size_t kMaxPageSize = 32768;    // medium chunk sizes must fit 15 bits
constexpr size_t kMediumFirstChunk = 46;  // its block lands on offset 48
constexpr size_t kMediumMinChunk = 16;
constexpr uint16_t kChunkInUse = 0x1;
constexpr uint16_t kChunkPrevInUse = 0x2;
constexpr uint16_t kChunkBigOverhead = 0x8000;
constexpr uint16_t kChunkSizeMask = 0x7FFC;

constexpr size_t kFixedFirstSlot = 48;
constexpr size_t kLargeHeader = 32;
constexpr size_t kDefaultRetain = 0x40000;
constexpr size_t kNoCeiling = SIZE_MAX;
constexpr size_t kCompactAfterRelease = 0xFFFF;

inline size_t RoundUp(size_t value, size_t unit) { return (value + unit - 1) & ~(unit - 1); }

struct PageHeader;

// A page's node in its kind's ring.
struct PageDescriptor {
  PageHeader* page = nullptr;
  PageDescriptor* next = nullptr;
  PageDescriptor* prev = nullptr;
  size_t reservedBytes = 0;  // address space reserved for the page or run
  uint16_t largestFree = 0;  // medium: no free chunk is larger (an upper bound)
  uint16_t flagsKind = 0;    // kind in bits 12-14
};

struct PageHeader {
  Pool* pool;
  PageDescriptor* descriptor;
  size_t bytes;  // committed bytes of the page or run
  uint16_t usedCount;
  uint16_t kindWord;  // kPageSignature | kind
  uint32_t spare;
  uint16_t Kind() const { return kindWord & 0x7; }
};
static_assert(sizeof(PageHeader) == 32);

struct SmallPage : PageHeader {
  uint32_t carve;  // offset of the next block to carve
  uint32_t end;    // end of the carvable area
};

struct MediumPage : PageHeader {
  uint16_t freeHead;        // offset of the first free chunk, 0 for none
  uint16_t splitThreshold;  // a found chunk is split only when this much would remain
};

struct FixedPage : PageHeader {
  void* freeList;
  uint32_t slotCount;
};

// A spin lock: the fast path is one exchange and one store, and holders never wait on
// anything but the lock (errors are reported after it is let go).
class PoolLock {
 public:
  void Lock() {
    while (held_.exchange(true, std::memory_order_acquire)) WaitWhileHeld();
  }
  void Unlock() { held_.store(false, std::memory_order_release); }

 private:
  void WaitWhileHeld();
  std::atomic<bool> held_{false};
};

class LockGuard {
 public:
  explicit LockGuard(PoolLock& lock) : lock_(lock) { lock_.Lock(); }
  ~LockGuard() { lock_.Unlock(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  PoolLock& lock_;
};

struct DescriptorBlock;

}  // namespace pool_internal

struct Pool {
  pool_internal::PageDescriptor* rings[pool_internal::kRingCount] = {};
  pool_internal::PageDescriptor* freeDescriptors = nullptr;
  pool_internal::DescriptorBlock* descriptorBlocks = nullptr;
  uint16_t signature = pool_internal::kPoolSignature;
  uint16_t flags = 0;
  uint16_t fixedBlockSize = 0;
  uint16_t smallLimit = pool_internal::kSmallLimit;
  uint32_t pageSize = pool_internal::kDefaultPageSize;
  uint32_t mediumLimit = pool_internal::kDefaultPageSize / 4;
  size_t bytesInUse = pool_internal::kPoolHeaderBytes;
  size_t emptyPageBytes = 0;  // medium and fixed-size pages with no block in use
  size_t retainThreshold = pool_internal::kDefaultRetain;
  size_t ceiling = pool_internal::kNoCeiling;
  PoolCompactionCallback compaction = nullptr;
  Pool* next = nullptr;
  void* smallFree[pool_internal::kSmallClasses] = {};
  // Where the next small block is carved and where medium requests start looking.
  pool_internal::SmallPage* currentSmall = nullptr;
  pool_internal::PageDescriptor* currentMedium = nullptr;
  // Runs of freed large blocks kept for the next large request, up to the retain threshold.
  pool_internal::PageDescriptor* cachedRuns = nullptr;
  size_t cachedRunBytes = 0;
  pool_internal::PoolLock lock;
};

namespace pool_internal {

// Errors met while the lock was held; reported once it is let go.
struct PendingErrors {
  int count = 0;
  int codes[4];
  const void* pointers[4];
  void Add(int code, const void* pointer);
  void ReportAll();
};

// PoolNewBlock on the default pool that asks the new-handler only in malloc's new mode.
void* NewBlockForMalloc(size_t size, unsigned flags);

// ---- Page map (PoolPageMap.cpp): which 64 KB-aligned addresses start a page of ours ----
bool RegisterPage(const void* page);
void UnregisterPage(const void* page);
bool IsRegisteredPage(const void* page);

// The page of a pointer when it lies in a page of a live pool; null otherwise.
PageHeader* FindPage(const void* pointer);

// ---- Pages (PoolPages.cpp); all with the pool's lock held ----
// A new page of the kind, committed and linked at the front of its ring; null on failure
// (a ceiling passed adds MEM_EXCEEDED_CEILING, no descriptor MEM_TOO_MANY_PAGES).
PageHeader* NewPage(Pool& pool, uint16_t kind, size_t bytes, PendingErrors& errors);
// Unlinks the page and gives its memory back.
void ReleasePage(Pool& pool, PageHeader* page);
void LinkPageAtFront(Pool& pool, uint16_t kind, PageDescriptor* descriptor);
void UnlinkPage(Pool& pool, uint16_t kind, PageDescriptor* descriptor);
// Empty medium and fixed-size pages are kept for reuse up to the retain threshold; beyond it
// a page that falls empty goes back to the system.
void ReleaseIfBeyondRetain(Pool& pool, PageHeader* page);
// Empty pages (and kept runs) back to the system; answers the bytes given back.
size_t ReleaseEmptyPagesLocked(Pool& pool);
void ReleaseAllPages(Pool& pool);
void GiveBackDescriptor(Pool& pool, PageDescriptor* descriptor);

// A medium or fixed-size page's used count going up from 0 or down to 0 moves it out of or
// into the pool's count of empty pages.
inline void CountBlockIn(Pool& pool, PageHeader* page) {
  if (page->usedCount++ == 0) pool.emptyPageBytes -= page->bytes;
}
inline void UncountBlockIn(Pool& pool, PageHeader* page) {
  if (--page->usedCount == 0) {
    pool.emptyPageBytes += page->bytes;
    ReleaseIfBeyondRetain(pool, page);
  }
}

inline uint8_t* Bytes(PageHeader* page) { return reinterpret_cast<uint8_t*>(page); }
inline uint16_t Load16(const uint8_t* at) {
  uint16_t v;
  std::memcpy(&v, at, 2);
  return v;
}
inline void Store16(uint8_t* at, uint16_t v) { std::memcpy(at, &v, 2); }

// ---- Small blocks (PoolSmall.cpp) ----
inline size_t SmallClassOf(size_t size) { return (size < 4 ? 4 : size) / 8; }
inline size_t SmallStride(size_t cls) { return RoundUp(cls * 8 + 8, 16); }
inline size_t SmallUsable(size_t cls) { return cls * 8 + 7; }
inline PageHeader* PageOf(const void* block) {
  return reinterpret_cast<PageHeader*>(reinterpret_cast<uintptr_t>(block) & ~(kPageAlign - 1));
}
// The head of the class's free list, or null; the pool's lock is held.
inline void* PopSmall(Pool& pool, size_t cls) {
  void* head = pool.smallFree[cls];
  if (!head) return nullptr;
  std::memcpy(&pool.smallFree[cls], head, sizeof(void*));
  static_cast<uint8_t*>(head)[-1] = static_cast<uint8_t>(cls);
  ++PageOf(head)->usedCount;
  return head;
}
void* AllocSmall(Pool& pool, size_t size, unsigned flags, PendingErrors& errors);
int FreeSmall(Pool& pool, SmallPage* page, void* block);  // 0 or an error code

// ---- The threads' caches of small blocks of the default pool (PoolThreadCache.cpp) ----
// Each thread keeps a few free small blocks of each class. Trivially destructible and
// constant-initialised, so that the thread reaches it without a guard.
struct ThreadCache {
  Pool* pool;   // the default pool while the thread may use the cache, else null
  bool closed;  // the thread is ending: everything goes straight to the pool
  void* heads[kSmallClasses];
  uint16_t counts[kSmallClasses];
};
extern constinit thread_local ThreadCache t_smallCache;
constexpr uint16_t kCacheDepth = 32;  // blocks of one class a thread keeps at most

// The slow ways of the two below: the first use in a thread, a refill, an overflow.
void* TakeCachedSmallSlow(Pool& pool, size_t cls);
bool GiveCachedSmallSlow(Pool& pool, SmallPage* page, void* block);

// A block of the class from this thread's cache (refilled from the pool); null when the
// pool is not one the thread caches, or the pool has none without a new page.
inline void* TakeCachedSmall(Pool& pool, size_t cls) {
  ThreadCache& cache = t_smallCache;
  auto* block = static_cast<uint8_t*>(cache.heads[cls]);
  if (cache.pool != &pool || !block) return TakeCachedSmallSlow(pool, cls);
  std::memcpy(&cache.heads[cls], block, sizeof(void*));
  --cache.counts[cls];
  block[-1] = static_cast<uint8_t>(cls);
  return block;
}

// Keeps a block being freed in this thread's cache: false (nothing done) when the pool is
// not cached or the block does not look like a small block in use. The checks are those of
// FreeSmall, made without the lock: a block in use lies below the carving point, which only
// grows while the page lives. Anything doubtful takes the locked path, which reports it.
inline bool GiveCachedSmall(Pool& pool, SmallPage* page, void* pointer) {
  ThreadCache& cache = t_smallCache;
  auto* block = static_cast<uint8_t*>(pointer);
  const size_t offset = block - Bytes(page);
  const uint32_t carve = __atomic_load_n(&page->carve, __ATOMIC_RELAXED);
  if (offset < kSmallFirstBlock || offset >= carve || offset % 16 != 0) return false;
  const uint8_t cls = block[-1];
  if (cls >= kSmallClasses || offset + SmallStride(cls) > carve) return false;
  if (cache.pool != &pool || cache.counts[cls] >= kCacheDepth) return GiveCachedSmallSlow(pool, page, block);
  block[-1] = static_cast<uint8_t>(cls | kSmallCachedBit);
  std::memcpy(block, &cache.heads[cls], sizeof(void*));
  cache.heads[cls] = block;
  ++cache.counts[cls];
  return true;
}

// Gives this thread's cached blocks of the pool back to it.
void ReturnThreadCache(Pool* pool);

// ---- Medium blocks (PoolMedium.cpp) ----
size_t MediumChunkFor(size_t size);
void InitMediumPage(Pool& pool, MediumPage* page);
void* AllocMediumFromPages(Pool& pool, size_t size);  // the ring only; null when no page has room
void* AllocMediumNewPage(Pool& pool, size_t size, PendingErrors& errors, bool* ceilingHit);
int FreeMedium(Pool& pool, MediumPage* page, void* block);
// In place; false when it cannot.
bool ResizeMedium(Pool& pool, MediumPage* page, void* block, size_t size);
inline uint16_t SplitThresholdFor(const Pool& pool, uint16_t kind) {
  if (kind == kKindMoveable || pool.smallLimit <= 67) return 16;
  return static_cast<uint16_t>((pool.smallLimit / 4 + 7) & ~7u);
}

// ---- Fixed-size blocks (PoolFixed.cpp) ----
void* AllocFixedLocked(Pool& pool, bool mayGrow, PendingErrors& errors);
int FreeFixed(Pool& pool, FixedPage* page, void* block);
bool FixedSlotIsFree(const FixedPage* page, const void* slot);
void InitFixedPage(Pool& pool, FixedPage* page);

// ---- Large blocks (PoolLarge.cpp) ----
enum class LargeResult { kDone, kNoMemory, kCeiling, kTooBig };
// *fresh tells whether the run came straight from the system (and so reads as zero).
LargeResult AllocLarge(Pool& pool, size_t size, void** block, bool* fresh, PendingErrors& errors);
// Keeps the run for reuse while the kept runs stay within the retain threshold.
void FreeLarge(Pool& pool, PageHeader* page);
size_t ReleaseCachedRuns(Pool& pool);
bool ResizeLarge(Pool& pool, PageHeader* page, size_t size, PendingErrors& errors);

// Usable bytes of a block known to lie in `page`; 0 when the block is not one in use.
size_t UsableSize(const PageHeader* page, const void* block);

}  // namespace pool_internal
