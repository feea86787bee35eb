// Large blocks: each in a system run of its own, behind a 32-byte page header. Growing or
// shrinking in place commits or decommits the run's tail within its reservation. The runs
// of freed blocks are kept (up to the retain threshold) for the next large request of the
// same 64 KB reservation size, so that a game that keeps making and dropping buffers does
// not pay a round trip to the system each time.

#include "core/PoolInternal.h"
#include "platform/VirtualMemory.h"

namespace pool_internal {
namespace {

// Freed runs kept for reuse, at most; every byte of them is given back by PoolReleasePages.
constexpr size_t kKeptRunBytes = 0x100000;
// Beyond this, size + header rounded to pages would overflow.
constexpr size_t kLargestRequest = SIZE_MAX - 2 * kPageAlign;

bool PassesCeiling(const Pool& pool, size_t more) {
  return more > pool.ceiling || pool.bytesInUse > pool.ceiling - more;
}

void ReleaseRun(Pool& pool, PageDescriptor* descriptor) {
  PageHeader* page = descriptor->page;
  size_t reserved = descriptor->reservedBytes;
  pool.bytesInUse -= page->bytes;
  GiveBackDescriptor(pool, descriptor);
  platform::ReleaseMemory(page, reserved);
}

// A kept run of the same reservation size, committed up to `run` bytes; null when none.
PageHeader* ReuseRun(Pool& pool, size_t run) {
  size_t reserved = RoundUp(run, kPageAlign);
  PageDescriptor** link = &pool.cachedRuns;
  while (*link && (*link)->reservedBytes != reserved) link = &(*link)->next;
  PageDescriptor* descriptor = *link;
  if (!descriptor) return nullptr;
  *link = descriptor->next;
  PageHeader* page = descriptor->page;
  pool.cachedRunBytes -= page->bytes;
  if (page->bytes < run) {
    size_t more = run - page->bytes;
    if (PassesCeiling(pool, more) || !platform::CommitMemory(Bytes(page) + page->bytes, more) ||
        ((pool.flags & kPoolLockPages) && !platform::LockMemory(page, run))) {
      ReleaseRun(pool, descriptor);
      return nullptr;
    }
    pool.bytesInUse += more;
    page->bytes = run;
  }
  if (!RegisterPage(page)) {
    ReleaseRun(pool, descriptor);
    return nullptr;
  }
  page->kindWord = static_cast<uint16_t>(kPageSignature | kKindLarge);
  LinkPageAtFront(pool, kKindLarge, descriptor);
  return page;
}

}  // namespace

LargeResult AllocLarge(Pool& pool, size_t size, void** block, bool* fresh, PendingErrors& errors) {
  if (size > kLargestRequest) return LargeResult::kTooBig;
  size_t run = RoundUp(size + kLargeHeader, kSystemPage);
  PageHeader* page = ReuseRun(pool, run);
  *fresh = !page;
  if (!page) {
    if (PassesCeiling(pool, run)) {
      errors.Add(kMemExceededCeiling, nullptr);
      return LargeResult::kCeiling;
    }
    page = NewPage(pool, kKindLarge, run, errors);
    if (!page) return LargeResult::kNoMemory;
  }
  page->usedCount = 1;
  *block = Bytes(page) + kLargeHeader;
  return LargeResult::kDone;
}

void FreeLarge(Pool& pool, PageHeader* page) {
  if (pool.cachedRunBytes + page->bytes > kKeptRunBytes) {
    ReleasePage(pool, page);
    return;
  }
  PageDescriptor* descriptor = page->descriptor;
  UnlinkPage(pool, kKindLarge, descriptor);
  UnregisterPage(page);  // a stale pointer to the block is refused while the run waits
  page->kindWord = 0;
  page->usedCount = 0;
  descriptor->next = pool.cachedRuns;
  pool.cachedRuns = descriptor;
  pool.cachedRunBytes += page->bytes;
}

size_t ReleaseCachedRuns(Pool& pool) {
  size_t released = pool.cachedRunBytes;
  while (PageDescriptor* descriptor = pool.cachedRuns) {
    pool.cachedRuns = descriptor->next;
    ReleaseRun(pool, descriptor);
  }
  pool.cachedRunBytes = 0;
  return released;
}

bool ResizeLarge(Pool& pool, PageHeader* page, size_t size, PendingErrors& errors) {
  if (size > kLargestRequest) return false;
  size_t run = RoundUp(size + kLargeHeader, kSystemPage);
  if (run < page->bytes) {
    if (platform::DecommitMemory(Bytes(page) + run, page->bytes - run)) {
      pool.bytesInUse -= page->bytes - run;
      page->bytes = run;
    }
    return true;
  }
  if (run == page->bytes) return true;
  if (run > page->descriptor->reservedBytes) return false;
  size_t more = run - page->bytes;
  if (PassesCeiling(pool, more)) {
    errors.Add(kMemExceededCeiling, nullptr);
    return false;
  }
  if (!platform::CommitMemory(Bytes(page) + page->bytes, more)) return false;
  if ((pool.flags & kPoolLockPages) && !platform::LockMemory(Bytes(page) + page->bytes, more))
    errors.Add(kMemLockError, page);
  pool.bytesInUse += more;
  page->bytes = run;
  return true;
}

}  // namespace pool_internal
