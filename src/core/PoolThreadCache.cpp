// A small cache of free small blocks per thread in front of the default pool's lock: most of
// the game's requests are small, and taking and giving back a block there costs no atomic
// operation (the quick ways are in PoolInternal.h). A block in a cache stays counted as used
// by its page and carries the cached mark in its class byte, so a second free of it, or a
// free from another thread, is refused like the free of any block not in use. The cache
// goes back to the pool, under the lock, a batch at a time when it grows past its depth,
// when its thread ends, and before the thread walks, checks or trims the pool.

#include "core/PoolInternal.h"

namespace pool_internal {

constinit thread_local ThreadCache t_smallCache = {};

namespace {

constexpr uint16_t kKeptAfterFlush = kCacheDepth / 2;
constexpr int kRefill = 8;  // blocks taken from the pool at once

void Push(ThreadCache& cache, size_t cls, uint8_t* block) {
  block[-1] = static_cast<uint8_t>(cls | kSmallCachedBit);
  std::memcpy(block, &cache.heads[cls], sizeof(void*));
  cache.heads[cls] = block;
  ++cache.counts[cls];
}

uint8_t* Pop(ThreadCache& cache, size_t cls) {
  auto* block = static_cast<uint8_t*>(cache.heads[cls]);
  if (!block) return nullptr;
  std::memcpy(&cache.heads[cls], block, sizeof(void*));
  --cache.counts[cls];
  block[-1] = static_cast<uint8_t>(cls);
  return block;
}

// Gives the class's blocks back to the pool down to `keep`; the pool's lock is held.
void ReturnLocked(Pool& pool, ThreadCache& cache, size_t cls, uint16_t keep) {
  while (cache.counts[cls] > keep) {
    uint8_t* block = Pop(cache, cls);
    FreeSmall(pool, static_cast<SmallPage*>(PageOf(block)), block);
  }
}

void ReturnAll(ThreadCache& cache) {
  if (!cache.pool) return;
  bool any = false;
  for (uint16_t count : cache.counts) any |= count != 0;
  if (!any) return;
  LockGuard guard(cache.pool->lock);
  for (size_t cls = 0; cls < static_cast<size_t>(kSmallClasses); ++cls) ReturnLocked(*cache.pool, cache, cls, 0);
}

struct Flusher {
  ~Flusher() {
    ReturnAll(t_smallCache);
    t_smallCache.closed = true;
    t_smallCache.pool = nullptr;
  }
};

// Whether this thread may cache blocks of the pool: the default pool only (unless it fills
// blocks with zeros), and not while the thread ends. The first use makes sure the cache is
// given back when the thread ends.
bool Usable(ThreadCache& cache, Pool& pool) {
  if (cache.pool == &pool) return true;
  if (cache.closed || cache.pool || &pool != g_defaultPool.load(std::memory_order_acquire) ||
      (pool.flags & kPoolZeroFill))
    return false;
  thread_local Flusher flusher;
  (void)flusher;
  cache.pool = &pool;
  return true;
}

}  // namespace

void* TakeCachedSmallSlow(Pool& pool, size_t cls) {
  ThreadCache& cache = t_smallCache;
  if (!Usable(cache, pool)) return nullptr;
  if (uint8_t* block = Pop(cache, cls)) return block;
  // A batch from the pool's free list or its current page, one lock for all; when those
  // are spent the caller's locked path takes a new page (and reports what goes wrong).
  PendingErrors ignored;
  {
    LockGuard guard(pool.lock);
    for (int i = 0; i < kRefill; ++i) {
      auto* fresh = static_cast<uint8_t*>(AllocSmall(pool, cls * 8, kPoolNoNewPages, ignored));
      if (!fresh) break;
      Push(cache, cls, fresh);
    }
  }
  return Pop(cache, cls);
}

bool GiveCachedSmallSlow(Pool& pool, SmallPage* page, void* pointer) {
  ThreadCache& cache = t_smallCache;
  if (!Usable(cache, pool)) return false;
  auto* block = static_cast<uint8_t*>(pointer);
  const size_t cls = block[-1];
  Push(cache, cls, block);
  if (cache.counts[cls] > kCacheDepth) {
    LockGuard guard(pool.lock);
    ReturnLocked(pool, cache, cls, kKeptAfterFlush);
  }
  return true;
}

void ReturnThreadCache(Pool* pool) {
  ThreadCache& cache = t_smallCache;
  if (pool && cache.pool == pool) ReturnAll(cache);
}

}  // namespace pool_internal
