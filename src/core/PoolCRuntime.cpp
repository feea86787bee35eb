// The C runtime's heap functions over the default pool.

#include <new>

#include "core/PoolInternal.h"

namespace {

std::atomic<int> g_mallocNewMode{0};

// malloc's sizes are multiples of 4 (0 gives 4); a size that cannot be rounded stays as it
// is and fails.
size_t MallocSize(size_t size) { return size == 0 ? 4 : size > SIZE_MAX - 3 ? size : (size + 3) & ~size_t{3}; }

}  // namespace

void* PoolMalloc(size_t size) { return pool_internal::NewBlockForMalloc(MallocSize(size), 0); }

void* PoolCalloc(size_t count, size_t size) {
  if (count && size > SIZE_MAX / count) return nullptr;
  return pool_internal::NewBlockForMalloc(MallocSize(count * size), kPoolZeroInit);
}

void* PoolRealloc(void* block, size_t size) {
  if (!block) return PoolMalloc(size);
  if (size == 0) {
    PoolFree(block);
    return nullptr;
  }
  return PoolResizeBlock(block, MallocSize(size), 0);
}

void* PoolExpand(void* block, size_t size) { return PoolResizeBlock(block, size, kPoolResizeInPlace); }

void PoolFree(void* block) {
  if (block) PoolFreeBlock(block);
}

size_t PoolMsize(const void* block) {
  size_t size = PoolBlockSize(block);
  return size == SIZE_MAX ? SIZE_MAX : size & ~size_t{3};
}

int PoolSetMallocNewMode(int mode) { return g_mallocNewMode.exchange(mode); }

int PoolCallNewHandler(size_t size, bool fromMalloc) {
  if (fromMalloc && !g_mallocNewMode.load()) return 0;
  std::new_handler handler = std::get_new_handler();
  if (!handler) return 0;
  handler();  // frees memory and returns, or throws std::bad_alloc, or ends the program
  return 1;
}

void PoolHeapUsed(size_t* out1, size_t* out2) {
  Pool* pool = g_defaultPool.load(std::memory_order_acquire);
  size_t used = pool ? PoolBytesInUse(pool) : 0;
  if (out1) *out1 = used;
  if (out2) *out2 = used;
}

int PoolHeapMin() {
  if (Pool* pool = g_defaultPool.load(std::memory_order_acquire)) PoolReleasePages(pool);
  return 0;
}

int PoolHeapCheck() {
  Pool* pool = g_defaultPool.load(std::memory_order_acquire);
  return pool ? PoolCheck(pool) : kHeapEmpty;
}

int PoolHeapWalk(PoolHeapEntry* entry) {
  Pool* pool = g_defaultPool.load(std::memory_order_acquire);
  return pool ? PoolWalk(pool, entry) : kHeapEmpty;
}
