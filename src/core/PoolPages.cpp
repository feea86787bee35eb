// Pages of a pool: taking them from the system, their descriptors and rings, and giving
// them back.

#include <new>
#include <thread>

#include "core/PoolInternal.h"
#include "platform/VirtualMemory.h"

namespace pool_internal {

// Descriptors are carved from blocks of system memory chained to the pool.
struct DescriptorBlock {
  DescriptorBlock* next;
};
namespace {

constexpr size_t kDescriptorBlockBytes = 4096;

PageDescriptor* TakeDescriptor(Pool& pool) {
  if (!pool.freeDescriptors) {
    void* memory = platform::ReserveMemory(kDescriptorBlockBytes);
    if (!memory || !platform::CommitMemory(memory, kDescriptorBlockBytes)) {
      platform::ReleaseMemory(memory, kDescriptorBlockBytes);
      return nullptr;
    }
    auto* block = new (memory) DescriptorBlock{pool.descriptorBlocks};
    pool.descriptorBlocks = block;
    auto* first = reinterpret_cast<PageDescriptor*>(static_cast<uint8_t*>(memory) + sizeof(PageDescriptor));
    size_t count = kDescriptorBlockBytes / sizeof(PageDescriptor) - 1;
    for (size_t i = 0; i < count; ++i) {
      auto* descriptor = new (first + i) PageDescriptor{};
      descriptor->next = pool.freeDescriptors;
      pool.freeDescriptors = descriptor;
    }
  }
  PageDescriptor* descriptor = pool.freeDescriptors;
  pool.freeDescriptors = descriptor->next;
  *descriptor = PageDescriptor{};
  return descriptor;
}

}  // namespace

void GiveBackDescriptor(Pool& pool, PageDescriptor* descriptor) {
  descriptor->page = nullptr;
  descriptor->next = pool.freeDescriptors;
  pool.freeDescriptors = descriptor;
}

void LinkPageAtFront(Pool& pool, uint16_t kind, PageDescriptor* descriptor) {
  PageDescriptor*& head = pool.rings[kind];
  if (!head) {
    descriptor->next = descriptor->prev = descriptor;
  } else {
    descriptor->next = head;
    descriptor->prev = head->prev;
    head->prev->next = descriptor;
    head->prev = descriptor;
  }
  head = descriptor;
}

void UnlinkPage(Pool& pool, uint16_t kind, PageDescriptor* descriptor) {
  PageDescriptor*& head = pool.rings[kind];
  if (descriptor->next == descriptor) {
    head = nullptr;
  } else {
    descriptor->prev->next = descriptor->next;
    descriptor->next->prev = descriptor->prev;
    if (head == descriptor) head = descriptor->next;
  }
  if (pool.currentMedium == descriptor) pool.currentMedium = pool.rings[kKindMedium];
}

namespace {

PageHeader* FindEmptyPage(Pool& pool, uint16_t kind) {
  PageDescriptor* head = pool.rings[kind];
  if (!head) return nullptr;
  PageDescriptor* descriptor = head;
  do {
    if (descriptor->page->usedCount == 0) return descriptor->page;
    descriptor = descriptor->next;
  } while (descriptor != head);
  return nullptr;
}

}  // namespace

void PoolLock::WaitWhileHeld() {
  // Spin briefly (the lock is held for a few instructions), then let the holder run.
  for (int spins = 0; held_.load(std::memory_order_relaxed); ++spins) {
    if (spins < 64) {
#if defined(__x86_64__) || defined(__i386__)
      __builtin_ia32_pause();
#endif
    } else {
      std::this_thread::yield();
    }
  }
}

void PendingErrors::Add(int code, const void* pointer) {
  for (int i = 0; i < count; ++i)
    if (codes[i] == code) return;  // one report per kind of trouble per request
  if (count == 4) return;
  codes[count] = code;
  pointers[count] = pointer;
  ++count;
}

void PendingErrors::ReportAll() {
  int n = count;
  count = 0;
  for (int i = 0; i < n; ++i) PoolReportError(pointers[i], codes[i]);
}

PageHeader* NewPage(Pool& pool, uint16_t kind, size_t bytes, PendingErrors& errors) {
  if (bytes > pool.ceiling || pool.bytesInUse > pool.ceiling - bytes) {
    errors.Add(kMemExceededCeiling, nullptr);
    return nullptr;
  }
  PageDescriptor* descriptor = TakeDescriptor(pool);
  if (!descriptor) {
    errors.Add(kMemTooManyPages, nullptr);
    return nullptr;
  }
  size_t reserved = RoundUp(bytes, kPageAlign);
  void* memory = platform::ReserveMemory(reserved);
  bool ok = memory && platform::CommitMemory(memory, bytes) && RegisterPage(memory);
  if (!ok) {
    platform::ReleaseMemory(memory, reserved);
    GiveBackDescriptor(pool, descriptor);
    return nullptr;
  }
  if ((pool.flags & kPoolLockPages) && !platform::LockMemory(memory, bytes)) errors.Add(kMemLockError, memory);
  auto* page = static_cast<PageHeader*>(memory);
  page->pool = &pool;
  page->descriptor = descriptor;
  page->bytes = bytes;
  page->usedCount = 0;
  page->kindWord = static_cast<uint16_t>(kPageSignature | kind);
  page->spare = 0;
  descriptor->page = page;
  descriptor->reservedBytes = reserved;
  descriptor->flagsKind = static_cast<uint16_t>(kind << 12);
  LinkPageAtFront(pool, kind, descriptor);
  pool.bytesInUse += bytes;
  if (kind != kKindLarge && kind != kKindSmall) pool.emptyPageBytes += bytes;
  return page;
}

void ReleasePage(Pool& pool, PageHeader* page) {
  PageDescriptor* descriptor = page->descriptor;
  uint16_t kind = page->Kind();
  UnlinkPage(pool, kind, descriptor);
  if (pool.currentSmall == page) pool.currentSmall = nullptr;
  pool.bytesInUse -= page->bytes;
  if (kind != kKindLarge && kind != kKindSmall && page->usedCount == 0) pool.emptyPageBytes -= page->bytes;
  size_t reserved = descriptor->reservedBytes;
  GiveBackDescriptor(pool, descriptor);
  page->kindWord = 0;  // a stale pointer into a reused range must not look like a page
  UnregisterPage(page);
  platform::ReleaseMemory(page, reserved);
}

void ReleaseIfBeyondRetain(Pool& pool, PageHeader* page) {
  if (pool.emptyPageBytes > pool.retainThreshold) ReleasePage(pool, page);
}

size_t ReleaseEmptyPagesLocked(Pool& pool) {
  size_t released = 0;
  for (uint16_t kind : {kKindMedium, kKindFixed, kKindMoveable}) {
    while (PageHeader* empty = FindEmptyPage(pool, kind)) {
      released += empty->bytes;
      ReleasePage(pool, empty);
    }
  }
  return released + ReleaseCachedRuns(pool);
}

void ReleaseAllPages(Pool& pool) {
  ReleaseCachedRuns(pool);
  for (int kind = 0; kind < kRingCount; ++kind)
    while (pool.rings[kind]) ReleasePage(pool, pool.rings[kind]->page);
  while (pool.descriptorBlocks) {
    DescriptorBlock* block = pool.descriptorBlocks;
    pool.descriptorBlocks = block->next;
    platform::ReleaseMemory(block, kDescriptorBlockBytes);
  }
  pool.freeDescriptors = nullptr;
  for (void*& head : pool.smallFree) head = nullptr;
}

}  // namespace pool_internal
