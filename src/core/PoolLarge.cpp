// Large blocks: each in a system run of its own, behind a 32-byte page header. Growing or
// shrinking in place commits or decommits the run's tail within its reservation.

#include "core/PoolInternal.h"
#include "platform/VirtualMemory.h"

namespace pool_internal {
namespace {

// Beyond this, size + header rounded to pages would overflow.
constexpr size_t kLargestRequest = SIZE_MAX - 2 * kPageAlign;

bool PassesCeiling(const Pool& pool, size_t more) {
  return more > pool.ceiling || pool.bytesInUse > pool.ceiling - more;
}

}  // namespace

LargeResult AllocLarge(Pool& pool, size_t size, void** block, PendingErrors& errors) {
  if (size > kLargestRequest) return LargeResult::kTooBig;
  size_t run = RoundUp(size + kLargeHeader, kSystemPage);
  if (PassesCeiling(pool, run)) {
    errors.Add(kMemExceededCeiling, nullptr);
    return LargeResult::kCeiling;
  }
  PageHeader* page = NewPage(pool, kKindLarge, run, errors);
  if (!page) return LargeResult::kNoMemory;
  page->usedCount = 1;
  *block = Bytes(page) + kLargeHeader;
  return LargeResult::kDone;
}

void FreeLarge(Pool& pool, PageHeader* page) { ReleasePage(pool, page); }

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
