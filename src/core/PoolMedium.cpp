// Medium blocks: boundary-tagged chunks inside pages of the pool's page size, found first-fit
// on each page's free list, split when enough would remain and merged with free neighbours
// when freed. Requests visit the pages from the last one that served.

#include <algorithm>

#include "core/PoolInternal.h"

namespace pool_internal {
namespace {

constexpr size_t kSentinelRoom = 2;  // the zero-sized header that ends a page

struct Chunks {
  MediumPage* page;
  uint8_t* base;
  explicit Chunks(MediumPage* p) : page(p), base(Bytes(p)) {}

  uint16_t Header(size_t c) const { return Load16(base + c); }
  void SetHeader(size_t c, uint16_t h) { Store16(base + c, h); }
  uint16_t Prev(size_t c) const { return Load16(base + c + 2); }
  uint16_t Next(size_t c) const { return Load16(base + c + 4); }
  void SetPrev(size_t c, size_t v) { Store16(base + c + 2, static_cast<uint16_t>(v)); }
  void SetNext(size_t c, size_t v) { Store16(base + c + 4, static_cast<uint16_t>(v)); }
  size_t End() const { return page->bytes - kSentinelRoom; }

  void Push(size_t c) {
    SetPrev(c, 0);
    SetNext(c, page->freeHead);
    if (page->freeHead) SetPrev(page->freeHead, c);
    page->freeHead = static_cast<uint16_t>(c);
  }

  void Unlink(size_t c) {
    uint16_t prev = Prev(c), next = Next(c);
    if (prev)
      SetNext(prev, next);
    else
      page->freeHead = next;
    if (next) SetPrev(next, prev);
  }

  // A free chunk: its predecessor is in use (free neighbours are always merged).
  void MakeFree(size_t c, size_t size) {
    SetHeader(c, static_cast<uint16_t>(size | kChunkPrevInUse));
    Store16(base + c + size - 2, static_cast<uint16_t>(size));
    size_t after = c + size;
    SetHeader(after, Header(after) & ~kChunkPrevInUse);
    Push(c);
    auto& largest = page->descriptor->largestFree;
    largest = std::max<uint16_t>(largest, static_cast<uint16_t>(size));
  }

  // Marks c in use with `size` bytes, out of `available` bytes starting at c; the rest
  // becomes a free chunk when it reaches the split threshold.
  void Occupy(size_t c, size_t size, size_t available) {
    uint16_t prevBit = Header(c) & kChunkPrevInUse;
    if (available - size >= page->splitThreshold) {
      SetHeader(c, static_cast<uint16_t>(size | kChunkInUse | prevBit));
      MakeFree(c + size, available - size);
    } else {
      SetHeader(c, static_cast<uint16_t>(available | kChunkInUse | prevBit));
      SetHeader(c + available, Header(c + available) | kChunkPrevInUse);
    }
  }
};

void* TakeFromPage(Pool& pool, MediumPage* page, size_t need) {
  Chunks chunks(page);
  uint16_t largest = 0;
  size_t steps = page->bytes / kMediumMinChunk;  // a looping list must not hang us
  for (size_t c = page->freeHead; c && steps; c = chunks.Next(c), --steps) {
    size_t size = chunks.Header(c) & kChunkSizeMask;
    if (size >= need) {
      chunks.Unlink(c);
      chunks.Occupy(c, need, size);
      CountBlockIn(pool, page);
      return chunks.base + c + 2;
    }
    largest = std::max<uint16_t>(largest, static_cast<uint16_t>(size));
  }
  if (steps) page->descriptor->largestFree = largest;  // the whole list was seen
  return nullptr;
}

}  // namespace

size_t MediumChunkFor(size_t size) { return std::max(kMediumMinChunk, RoundUp(size + 2, 16)); }

void InitMediumPage(Pool& pool, MediumPage* page) {
  page->freeHead = 0;
  page->splitThreshold = SplitThresholdFor(pool, page->Kind());
  page->descriptor->largestFree = 0;
  Chunks chunks(page);
  chunks.SetHeader(chunks.End(), kChunkInUse);
  chunks.MakeFree(kMediumFirstChunk, chunks.End() - kMediumFirstChunk);
}

void* AllocMediumFromPages(Pool& pool, size_t size) {
  size_t need = MediumChunkFor(size);
  PageDescriptor* start = pool.currentMedium ? pool.currentMedium : pool.rings[kKindMedium];
  if (!start) return nullptr;
  PageDescriptor* descriptor = start;
  do {
    if (descriptor->largestFree >= need) {
      if (void* block = TakeFromPage(pool, static_cast<MediumPage*>(descriptor->page), need)) {
        pool.currentMedium = descriptor;
        return block;
      }
    }
    descriptor = descriptor->next;
  } while (descriptor != start);
  return nullptr;
}

void* AllocMediumNewPage(Pool& pool, size_t size, PendingErrors& errors, bool* ceilingHit) {
  *ceilingHit = pool.pageSize > pool.ceiling || pool.bytesInUse > pool.ceiling - pool.pageSize;
  auto* page = static_cast<MediumPage*>(NewPage(pool, kKindMedium, pool.pageSize, errors));
  if (!page) return nullptr;
  InitMediumPage(pool, page);
  pool.currentMedium = page->descriptor;
  return TakeFromPage(pool, page, MediumChunkFor(size));
}

int FreeMedium(Pool& pool, MediumPage* page, void* block) {
  Chunks chunks(page);
  size_t offset = static_cast<uint8_t*>(block) - chunks.base;
  if (offset < kMediumFirstChunk + 2 || offset % 16 != 0 || offset >= chunks.End()) return kMemBadPointer;
  size_t c = offset - 2;
  uint16_t header = chunks.Header(c);
  if (!(header & kChunkInUse)) return kMemBadPointer;  // freed already, or no block
  size_t size = header & kChunkSizeMask;
  if (size < kMediumMinChunk || c + size > chunks.End()) return kMemBadBlock;

  // Check both neighbours before anything changes.
  size_t start = c, total = size;
  if (!(header & kChunkPrevInUse)) {
    size_t prevSize = Load16(chunks.base + c - 2);
    if (prevSize < kMediumMinChunk || prevSize > c - kMediumFirstChunk) return kMemBadBlock;
    uint16_t prevHeader = chunks.Header(c - prevSize);
    if ((prevHeader & kChunkInUse) || (prevHeader & kChunkSizeMask) != prevSize) return kMemBadBlock;
    start = c - prevSize;
    total += prevSize;
  }
  size_t after = c + size;
  uint16_t afterHeader = chunks.Header(after);
  size_t afterSize = afterHeader & kChunkSizeMask;
  bool mergeAfter = !(afterHeader & kChunkInUse);
  if (mergeAfter && (afterSize < kMediumMinChunk || after + afterSize > chunks.End())) return kMemBadBlock;

  if (start != c) chunks.Unlink(start);
  if (mergeAfter) {
    chunks.Unlink(after);
    total += afterSize;
  }
  chunks.MakeFree(start, total);
  UncountBlockIn(pool, page);
  return 0;
}

bool ResizeMedium(Pool& pool, MediumPage* page, void* block, size_t size) {
  if (size > page->bytes) return false;
  Chunks chunks(page);
  size_t c = static_cast<uint8_t*>(block) - chunks.base - 2;
  size_t have = chunks.Header(c) & kChunkSizeMask;
  size_t need = MediumChunkFor(size);
  size_t after = c + have;
  uint16_t afterHeader = chunks.Header(after);
  size_t available = have;
  if (!(afterHeader & kChunkInUse)) {
    // The free neighbour joins the block's room whether it grows or shrinks.
    if (need > have + (afterHeader & kChunkSizeMask)) return false;
    chunks.Unlink(after);
    available += afterHeader & kChunkSizeMask;
  } else if (need > have) {
    return false;
  }
  chunks.Occupy(c, need, available);
  return true;
}

}  // namespace pool_internal
