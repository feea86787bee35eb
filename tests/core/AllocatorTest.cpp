#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "core/Allocator.h"
#include "core/Random.h"
#include "platform/MessageBox.h"
#include "support/TestSupport.h"

namespace {

// Records the codes given to the error handler instead of showing boxes; answers from a
// script (then 0: go on).
class RecordedErrors {
 public:
  RecordedErrors() {
    current_ = this;
    previous_ = g_poolErrorHandler.exchange(&Handler);
  }
  ~RecordedErrors() {
    g_poolErrorHandler.store(previous_);
    current_ = nullptr;
  }
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  std::vector<int> Codes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return codes_;
  }

 private:
  static int Handler(const void*, int code) {
    std::lock_guard<std::mutex> lock(current_->mutex_);
    current_->codes_.push_back(code);
    if (current_->answers_.empty()) return 0;
    int answer = current_->answers_.front();
    current_->answers_.erase(current_->answers_.begin());
    return answer;
  }
  static inline RecordedErrors* current_ = nullptr;
  PoolErrorHandler previous_;
  std::mutex mutex_;
  std::vector<int> codes_;
  std::vector<int> answers_;
};

// A pool of its own for each test, handed back at the end.
class OwnPool {
 public:
  explicit OwnPool(size_t fixedSize = 0, size_t initialBlocks = 0, unsigned flags = 0)
      : pool_(PoolCreate(fixedSize, initialBlocks, flags)) {}
  ~OwnPool() { PoolDestroy(pool_); }
  OwnPool(const OwnPool&) = delete;
  OwnPool& operator=(const OwnPool&) = delete;
  Pool* get() const { return pool_; }
  operator Pool*() const { return pool_; }

 private:
  Pool* pool_;
};

void Fill(void* block, size_t size, uint8_t tag) {
  auto* bytes = static_cast<uint8_t*>(block);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(tag + i * 7);
}

bool Holds(const void* block, size_t size, uint8_t tag) {
  auto* bytes = static_cast<const uint8_t*>(block);
  for (size_t i = 0; i < size; ++i)
    if (bytes[i] != static_cast<uint8_t>(tag + i * 7)) return false;
  return true;
}

std::vector<PoolHeapEntry> Walk(Pool* pool, int* status) {
  std::vector<PoolHeapEntry> blocks;
  PoolHeapEntry entry;
  while ((*status = PoolWalk(pool, &entry)) == kHeapOk) blocks.push_back(entry);
  return blocks;
}

}  // namespace

TEST(PooledAllocator, ZeroSizedRequestsStillGiveUsableBlocks) {
  void* fromMalloc = PoolMalloc(0);
  ASSERT_NE(fromMalloc, nullptr);
  EXPECT_GE(PoolMsize(fromMalloc), 4u);
  void* fromNew = PoolNewBlock(0, 0, nullptr);
  ASSERT_NE(fromNew, nullptr);
  EXPECT_GE(PoolBlockSize(fromNew), 1u);
  EXPECT_NE(fromMalloc, fromNew);
  PoolFree(fromMalloc);
  PoolFree(fromNew);
  EXPECT_EQ(PoolMsize(PoolMalloc(24)), 28u);  // class 3: 31 usable, low bits cleared
}

TEST(PooledAllocator, UsableSizePerSizeClass) {
  OwnPool pool;
  struct Case {
    size_t request;
    size_t usable;
  };
  const Case cases[] = {
      {1, 7},       {4, 7},           {7, 7},       {8, 15},
      {24, 31},     {100, 103},       {255, 255},   {256, 263},  // small: class x 8 + 7
      {257, 270},   {300, 302},       {4096, 4110},              // medium: chunks of 16 less the header
      {4097, 8160}, {100000, 102368},                            // large: the run less its header
  };
  for (const Case& c : cases) {
    void* block = PoolAllocBlock(pool, c.request, 0);
    ASSERT_NE(block, nullptr) << c.request;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u) << c.request;
    EXPECT_EQ(PoolBlockSize(block), c.usable) << c.request;
    Fill(block, c.usable, 3);  // every usable byte is ours to write
  }
  EXPECT_EQ(PoolCheck(pool), kHeapOk);
}

TEST(PooledAllocator, PointersThatAreNoBlockAreRefusedAndNothingIsFreed) {
  OwnPool pool;
  RecordedErrors errors;
  void* small = PoolAllocBlock(pool, 40, 0);
  void* medium = PoolAllocBlock(pool, 1000, 0);
  void* large = PoolAllocBlock(pool, 20000, 0);
  void* keep = PoolAllocBlock(pool, 40, 0);
  Fill(keep, 40, 9);
  void* freedSmall = PoolAllocBlock(pool, 40, 0);
  void* freedMedium = PoolAllocBlock(pool, 1000, 0);
  void* freedLarge = PoolAllocBlock(pool, 20000, 0);
  ASSERT_EQ(PoolFreeBlock(freedSmall), 1);
  ASSERT_EQ(PoolFreeBlock(freedMedium), 1);
  ASSERT_EQ(PoolFreeBlock(freedLarge), 1);
  size_t held = PoolBytesInUse(pool);

  int onStack = 0;
  void* fromC = std::malloc(64);
  void* const refused[] = {
      &onStack,
      fromC,
      nullptr,
      static_cast<char*>(small) + 1,
      static_cast<char*>(medium) + 8,
      static_cast<char*>(large) + 4096,
      freedSmall,
      freedMedium,
      freedLarge,  // freed already
  };
  for (void* pointer : refused) EXPECT_EQ(PoolFreeBlock(pointer), 0) << pointer;
  std::free(fromC);
  EXPECT_EQ(errors.Codes(), std::vector<int>(std::size(refused), kMemBadPointer));
  EXPECT_EQ(PoolBytesInUse(pool), held);
  EXPECT_TRUE(Holds(keep, 40, 9));
  EXPECT_EQ(PoolCheck(pool), kHeapOk);
  EXPECT_EQ(PoolBlockSize(freedSmall), SIZE_MAX);
  EXPECT_FALSE(PoolOwnsBlock(freedMedium));
  EXPECT_TRUE(PoolOwnsBlock(medium));
}

TEST(PooledAllocator, ResizingAcrossSizeClassesKeepsTheBytes) {
  OwnPool pool;
  struct Case {
    size_t from, to;
    bool samePlace;
  };
  const Case cases[] = {
      {24, 300, false},                           // small to medium
      {24, 16, true},                             // a small block shrinks in its slot
      {300, 20000, false},                        // medium to large
      {300, 1000, true},                          // the free space after it is taken in place
      {3000, 200, true},                          // a medium block shrinks in place
      {24, 70000, false},                         // small to large
      {5000, 60000, true},                        // large grows within its reservation
      {5000, 100000, false}, {100000, 50, true},  // large shrinks in place
  };
  for (const Case& c : cases) {
    void* block = PoolAllocBlock(pool, c.from, 0);
    ASSERT_NE(block, nullptr);
    Fill(block, c.from, static_cast<uint8_t>(c.to));
    void* resized = PoolResizeBlock(block, c.to, 0);
    ASSERT_NE(resized, nullptr) << c.from << " -> " << c.to;
    EXPECT_EQ(resized == block, c.samePlace) << c.from << " -> " << c.to;
    EXPECT_TRUE(Holds(resized, std::min(c.from, c.to), static_cast<uint8_t>(c.to))) << c.from << " -> " << c.to;
    EXPECT_GE(PoolBlockSize(resized), c.to);
    Fill(resized, c.to, 1);
    EXPECT_EQ(PoolCheck(pool), kHeapOk) << c.from << " -> " << c.to;
    PoolFreeBlock(resized);
  }
  // realloc's own edges, on the default pool.
  void* block = PoolRealloc(nullptr, 10);
  ASSERT_NE(block, nullptr);
  Fill(block, 10, 5);
  block = PoolRealloc(block, 2000);
  EXPECT_TRUE(Holds(block, 10, 5));
  EXPECT_EQ(PoolRealloc(block, 0), nullptr);
  EXPECT_FALSE(PoolOwnsBlock(block));
}

TEST(PooledAllocator, InPlaceResizeThatCannotBeDoneFailsAndKeepsTheBlock) {
  OwnPool pool;
  RecordedErrors errors;
  void* small = PoolAllocBlock(pool, 24, 0);
  void* medium = PoolAllocBlock(pool, 500, 0);
  void* neighbour = PoolAllocBlock(pool, 500, 0);  // right after `medium`: no room to grow
  ASSERT_NE(neighbour, nullptr);
  Fill(small, 24, 1);
  Fill(medium, 500, 2);
  EXPECT_EQ(PoolExpand(small, 300), nullptr);
  EXPECT_EQ(PoolExpand(medium, 1000), nullptr);
  EXPECT_EQ(errors.Codes(), (std::vector<int>{kMemResizeFailed, kMemResizeFailed}));
  EXPECT_TRUE(Holds(small, 24, 1));
  EXPECT_TRUE(Holds(medium, 500, 2));
  EXPECT_EQ(PoolExpand(small, 31), small);  // within its usable size
  EXPECT_EQ(PoolExpand(medium, 100), medium);
  EXPECT_EQ(PoolCheck(pool), kHeapOk);
}

TEST(PooledAllocator, HeapCheckHoldsOverASeededSeriesOfRequests) {
  OwnPool pool;
  struct Live {
    void* block;
    size_t size;
    uint8_t tag;
  };
  std::vector<Live> live;
  CRandom random(20240611);
  auto randomSize = [&] {
    uint32_t kind = random.Next() % 100;
    if (kind < 75) return size_t{1} + random.Next() % 256;
    if (kind < 97) return size_t{257} + random.Next() % 3840;
    return size_t{4097} + random.Next() % 60000;
  };
  for (int step = 1; step <= 30000; ++step) {
    uint32_t action = random.Next() % 10;
    if (live.empty() || action < 5) {
      size_t size = randomSize();
      void* block = PoolAllocBlock(pool, size, 0);
      ASSERT_NE(block, nullptr);
      Live entry{block, size, static_cast<uint8_t>(step)};
      Fill(block, size, entry.tag);
      live.push_back(entry);
    } else {
      size_t index = random.Next() % live.size();
      Live& entry = live[index];
      ASSERT_TRUE(Holds(entry.block, entry.size, entry.tag)) << "step " << step;
      if (action < 9) {
        ASSERT_EQ(PoolFreeBlock(entry.block), 1);
        entry = live.back();
        live.pop_back();
      } else {
        size_t size = randomSize();
        void* resized = PoolResizeBlock(entry.block, size, 0);
        ASSERT_NE(resized, nullptr);
        ASSERT_TRUE(Holds(resized, std::min(size, entry.size), entry.tag));
        entry = {resized, size, static_cast<uint8_t>(step)};
        Fill(resized, size, entry.tag);
      }
    }
    if (step % 2500 == 0) {
      ASSERT_EQ(PoolCheck(pool), kHeapOk) << "step " << step;
      int status;
      std::vector<PoolHeapEntry> blocks = Walk(pool, &status);
      ASSERT_EQ(status, kHeapEnd);
      size_t inUse = std::count_if(blocks.begin(), blocks.end(), [](const PoolHeapEntry& e) { return e.inUse; });
      EXPECT_EQ(inUse, live.size());
      for (const Live& entry : live) {
        auto found = std::find_if(blocks.begin(), blocks.end(),
                                  [&](const PoolHeapEntry& e) { return e.pointer == entry.block; });
        ASSERT_NE(found, blocks.end());
        EXPECT_TRUE(found->inUse);
        EXPECT_GE(found->size, entry.size);
      }
    }
  }
  for (const Live& entry : live) ASSERT_EQ(PoolFreeBlock(entry.block), 1);
  EXPECT_EQ(PoolCheck(pool), kHeapOk);
  PoolReleasePages(pool);
  int status;
  for (const PoolHeapEntry& entry : Walk(pool, &status)) EXPECT_FALSE(entry.inUse);
  EXPECT_EQ(status, kHeapEnd);
}

TEST(PooledAllocator, HeapCheckReportsCorruption) {
  struct Case {
    const char* what;
    int error;
    void (*corrupt)(Pool* pool);
  };
  const Case cases[] = {
      {"medium header overwritten", kMemBadBlock,
       [](Pool* pool) {
         auto* block = static_cast<uint8_t*>(PoolAllocBlock(pool, 600, 0));
         block[-2] = 0x03;  // size 0, in use
         block[-1] = 0x00;
       }},
      {"medium free block's backward link overwritten", kMemBadFreeBlock,
       [](Pool* pool) {
         PoolAllocBlock(pool, 600, 0);
         auto* freed = static_cast<uint8_t*>(PoolAllocBlock(pool, 600, 0));
         PoolAllocBlock(pool, 600, 0);
         PoolFreeBlock(freed);
         freed[0] ^= 0x10;
       }},
      {"small free list loops", kMemBadFreeBlock,
       [](Pool* pool) {
         void* first = PoolAllocBlock(pool, 40, 0);
         void* second = PoolAllocBlock(pool, 40, 0);
         PoolFreeBlock(first);
         PoolFreeBlock(second);                       // the list: second, first
         std::memcpy(first, &second, sizeof second);  // first points back at second
       }},
      {"small class byte overwritten", kMemBadBlock,
       [](Pool* pool) {
         auto* block = static_cast<uint8_t*>(PoolAllocBlock(pool, 40, 0));
         block[-1] = 0x7F;
       }},
  };
  for (const Case& c : cases) {
    OwnPool pool;
    c.corrupt(pool);
    RecordedErrors errors;
    EXPECT_EQ(PoolCheck(pool), kHeapBadNode) << c.what;
    EXPECT_EQ(errors.Codes(), std::vector<int>{c.error}) << c.what;
    PoolHeapEntry entry;
    int status;
    while ((status = PoolWalk(pool, &entry)) == kHeapOk) {
    }
    EXPECT_TRUE(status == kHeapEnd || status == kHeapBadNode) << c.what;
  }
}

TEST(PooledAllocator, HeapWalkVisitsEveryBlockAndRefusesStrangers) {
  OwnPool pool(24, 10, 0);
  void* medium = PoolAllocBlock(pool, 1000, 0);
  void* fixed = PoolAllocFixed(pool);
  void* large = PoolAllocBlock(pool, 10000, 0);
  void* small = PoolAllocBlock(pool, 10, 0);
  void* freed = PoolAllocBlock(pool, 10, 0);
  PoolFreeBlock(freed);
  ASSERT_EQ(PoolBlockSize(fixed), 24u);
  int status;
  std::vector<PoolHeapEntry> blocks = Walk(pool, &status);
  EXPECT_EQ(status, kHeapEnd);
  auto inUse = [&](void* pointer) {
    for (const PoolHeapEntry& e : blocks)
      if (e.pointer == pointer) return e.inUse ? 1 : 0;
    return -1;
  };
  EXPECT_EQ(inUse(medium), 1);
  EXPECT_EQ(inUse(fixed), 1);
  EXPECT_EQ(inUse(large), 1);
  EXPECT_EQ(inUse(small), 1);
  EXPECT_EQ(inUse(freed), 0);
  // Kinds in order: medium pages, fixed, large, small.
  EXPECT_EQ(blocks.front().pointer, medium);
  EXPECT_EQ(blocks.back().pointer, freed);

  RecordedErrors errors;
  int local = 0;
  PoolHeapEntry stranger{&local, 0, false};
  EXPECT_EQ(PoolWalk(pool, &stranger), kHeapBadPtr);
  PoolHeapEntry inside{static_cast<char*>(medium) + 16, 0, false};
  EXPECT_EQ(PoolWalk(pool, &inside), kHeapBadPtr);
  EXPECT_EQ(errors.Codes(), (std::vector<int>{kMemBadPointer, kMemBadPointer}));
  EXPECT_EQ(PoolWalk(nullptr, &stranger), kHeapEmpty);
  EXPECT_EQ(PoolCheck(nullptr), kHeapEmpty);
}

TEST(PooledAllocator, ManyThreadsAllocateAndFreeAtOnce) {
  constexpr int kThreads = 8;
  constexpr int kSteps = 20000;
  std::mutex exchangeMutex;
  std::vector<std::pair<void*, size_t>> exchange;  // blocks handed to another thread to free
  std::atomic<int> failures{0};
  Pool* pool = PoolInitDefault();
  std::vector<CRandom> randoms;  // seeded here: seeding moves a state the whole process shares
  for (int id = 0; id < kThreads; ++id) randoms.emplace_back(1000 + id);
  auto work = [&](int id) {
    CRandom& random = randoms[id];
    std::vector<std::pair<void*, size_t>> mine;
    for (int step = 0; step < kSteps; ++step) {
      uint32_t action = random.Next() % 8;
      if (mine.empty() || action < 4) {
        uint32_t kind = random.Next() % 100;
        size_t size = kind < 80 ? 1 + random.Next() % 256 : kind < 98 ? 257 + random.Next() % 3800 : 5000;
        void* block = PoolNewBlock(size, 0, pool);
        if (!block) {
          ++failures;
          continue;
        }
        Fill(block, size, static_cast<uint8_t>(size));
        mine.emplace_back(block, size);
      } else {
        auto [block, size] = mine.back();
        mine.pop_back();
        if (!Holds(block, size, static_cast<uint8_t>(size))) ++failures;
        if (action == 7) {
          std::lock_guard<std::mutex> lock(exchangeMutex);
          exchange.emplace_back(block, size);
        } else if (PoolFreeBlock(block) != 1) {
          ++failures;
        }
      }
      if (step % 64 == 0) {
        std::pair<void*, size_t> other{nullptr, 0};
        {
          std::lock_guard<std::mutex> lock(exchangeMutex);
          if (!exchange.empty()) {
            other = exchange.back();
            exchange.pop_back();
          }
        }
        if (other.first &&
            (!Holds(other.first, other.second, static_cast<uint8_t>(other.second)) || PoolFreeBlock(other.first) != 1))
          ++failures;
      }
    }
    for (auto [block, size] : mine)
      if (!Holds(block, size, static_cast<uint8_t>(size)) || PoolFreeBlock(block) != 1) ++failures;
  };
  std::vector<std::thread> threads;
  for (int id = 0; id < kThreads; ++id) threads.emplace_back(work, id);
  for (std::thread& thread : threads) thread.join();
  for (auto [block, size] : exchange) EXPECT_EQ(PoolFreeBlock(block), 1);
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(PoolHeapCheck(), kHeapOk);
}

TEST(PooledAllocator, OutOfMemoryOffersRetryAndCeilingRefuses) {
  OwnPool pool;
  {
    RecordedErrors errors;
    errors.QueueAnswer(1);  // retry once, then give up
    EXPECT_EQ(PoolAllocBlock(pool, size_t{1} << 50, 0), nullptr);
    EXPECT_EQ(errors.Codes(), (std::vector<int>{kMemOutOfMemory, kMemOutOfMemory}));
  }
  {
    RecordedErrors errors;  // always Retry, as a box with nobody to answer it does
    for (int i = 0; i < 20; ++i) errors.QueueAnswer(1);
    EXPECT_EQ(PoolAllocBlock(pool, size_t{1} << 50, 0), nullptr);
    EXPECT_EQ(errors.Codes(), std::vector<int>(8, kMemOutOfMemory));
  }
  {
    RecordedErrors errors;
    EXPECT_EQ(PoolAllocBlock(pool, SIZE_MAX - 100, 0), nullptr);
    EXPECT_EQ(errors.Codes(), std::vector<int>{kMemBlockTooBig});
  }
  {
    RecordedErrors errors;
    PoolSetCeiling(pool, PoolBytesInUse(pool) + 0x10000);
    EXPECT_NE(PoolAllocBlock(pool, 100, 0), nullptr);   // one small page fits under the ceiling
    EXPECT_EQ(PoolAllocBlock(pool, 2000, 0), nullptr);  // a medium page would pass it
    EXPECT_EQ(PoolAllocBlock(pool, 9000, 0), nullptr);  // and so would a run
    EXPECT_EQ(errors.Codes(), (std::vector<int>{kMemExceededCeiling, kMemExceededCeiling}));
  }
  {
    RecordedErrors errors;
    alignas(16) unsigned char notAPool[256] = {};
    EXPECT_EQ(PoolAllocBlock(reinterpret_cast<Pool*>(notAPool), 10, 0), nullptr);
    EXPECT_EQ(errors.Codes(), std::vector<int>{kMemBadMemPool});
  }
}

namespace {
std::vector<size_t> g_compactionCalls;
void RecordCompaction(Pool*, size_t size) { g_compactionCalls.push_back(size); }
}  // namespace

TEST(PooledAllocator, EmptyPagesAreKeptUpToTheRetainThreshold) {
  OwnPool pool;
  g_compactionCalls.clear();
  PoolSetCompactionCallback(pool, RecordCompaction);
  std::vector<void*> blocks;
  for (int i = 0; i < 150; ++i) blocks.push_back(PoolAllocBlock(pool, 4000, 0));  // 4 a page: 38 pages
  EXPECT_EQ(g_compactionCalls.size(), 38u);                                       // asked before each new page
  EXPECT_EQ(g_compactionCalls.front(), 4000u);
  size_t full = PoolBytesInUse(pool);
  for (void* block : blocks) PoolFreeBlock(block);
  size_t kept = PoolBytesInUse(pool);
  EXPECT_LT(kept, full);
  EXPECT_GE(kept, size_t{0x40000});  // up to 256 KB of empty pages stay for reuse
  EXPECT_LT(kept, size_t{0x40000} + 16384);
  PoolFreeBlock(PoolAllocBlock(pool, 20000, 0));  // its run of 20480 bytes is kept too
  EXPECT_EQ(PoolBytesInUse(pool), kept + 20480);
  g_compactionCalls.clear();
  EXPECT_EQ(PoolReleasePages(pool), kept - 4096 + 20480);
  EXPECT_EQ(PoolBytesInUse(pool), 4096u);
  EXPECT_EQ(g_compactionCalls, std::vector<size_t>{0xFFFF});
  EXPECT_EQ(PoolCheck(pool), kHeapOk);
}

TEST(PooledAllocator, FixedSizeBlocksAndZeroFill) {
  OwnPool fixed(20, 5, 0);  // rounded to 24
  void* a = PoolAllocFixed(fixed);
  void* b = PoolAllocFixed(fixed);
  ASSERT_TRUE(a && b && a != b);
  EXPECT_EQ(PoolBlockSize(a), 24u);
  PoolFreeBlock(a);
  EXPECT_EQ(PoolAllocFixed(fixed), a);
  {
    RecordedErrors errors;
    EXPECT_EQ(PoolSetFixedBlockSize(OwnPool().get(), 20000), 0);
    EXPECT_EQ(errors.Codes(), std::vector<int>{kMemBlockTooBig});
  }

  OwnPool zeroed(0, 0, kPoolZeroFill);
  for (size_t size : {size_t{40}, size_t{900}, size_t{20000}}) {  // the run of a freed large block is reused
    void* block = PoolAllocBlock(zeroed, size, 0);
    std::memset(block, 0xAB, size);
    PoolFreeBlock(block);
    auto* again = static_cast<uint8_t*>(PoolAllocBlock(zeroed, size, 0));
    EXPECT_EQ(again, block);
    EXPECT_TRUE(std::all_of(again, again + size, [](uint8_t v) { return v == 0; })) << size;
  }
  auto* cleared = static_cast<uint8_t*>(PoolCalloc(10, 30));
  EXPECT_TRUE(std::all_of(cleared, cleared + 300, [](uint8_t v) { return v == 0; }));
  PoolFree(cleared);
  EXPECT_EQ(PoolCalloc(SIZE_MAX / 2, 3), nullptr);  // count x size overflows
}

// The default pool's small blocks pass through a cache per thread: a block freed into it is
// still refused a second time, by its own thread or another, and is no block in use; blocks
// held in one thread's cache keep the heap check whole while another thread looks; a thread
// that ends gives its cache back.
TEST(PooledAllocator, ThreadCachesOfTheDefaultPoolKeepItsChecks) {
  Pool* pool = PoolInitDefault();
  RecordedErrors errors;
  void* block = PoolNewBlock(40, 0, nullptr);
  ASSERT_EQ(PoolFreeBlock(block), 1);
  EXPECT_EQ(PoolFreeBlock(block), 0);
  std::thread([&] { EXPECT_EQ(PoolFreeBlock(block), 0); }).join();
  EXPECT_FALSE(PoolOwnsBlock(block));
  EXPECT_EQ(PoolBlockSize(block), SIZE_MAX);
  EXPECT_EQ(PoolResizeBlock(block, 80, 0), nullptr);
  EXPECT_EQ(errors.Codes(), std::vector<int>(4, kMemBadPointer));
  EXPECT_EQ(PoolNewBlock(40, 0, nullptr), block);  // the freed block comes back first
  EXPECT_EQ(PoolFreeBlock(block), 1);

  std::mutex mutex;
  std::condition_variable changed;
  int stage = 0;
  std::vector<void*> kept;
  std::thread other([&] {
    std::vector<void*> blocks;
    for (int i = 0; i < 300; ++i) blocks.push_back(PoolNewBlock(1 + i % 200, 0, nullptr));
    for (size_t i = 0; i < blocks.size(); i += 2) EXPECT_EQ(PoolFreeBlock(blocks[i]), 1);
    for (size_t i = 1; i < blocks.size(); i += 2) kept.push_back(blocks[i]);
    std::unique_lock<std::mutex> lock(mutex);
    stage = 1;
    changed.notify_all();
    changed.wait(lock, [&] { return stage == 2; });
  });
  {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return stage == 1; });
  }
  // The other thread's cache holds blocks: the check and the walk still agree with the pages.
  EXPECT_EQ(PoolCheck(pool), kHeapOk);
  int status;
  std::vector<PoolHeapEntry> blocks = Walk(pool, &status);
  EXPECT_EQ(status, kHeapEnd);
  for (void* held : kept)
    EXPECT_TRUE(std::any_of(blocks.begin(), blocks.end(),
                            [&](const PoolHeapEntry& e) { return e.pointer == held && e.inUse; }));
  {
    std::lock_guard<std::mutex> lock(mutex);
    stage = 2;
    changed.notify_all();
  }
  other.join();
  for (void* held : kept) EXPECT_EQ(PoolFreeBlock(held), 1);
  EXPECT_EQ(PoolCheck(pool), kHeapOk);
  EXPECT_EQ(errors.Codes().size(), 4u);
}

TEST(PooledAllocator, DefaultHeapFunctions) {
  void* block = PoolMalloc(100);
  size_t used1 = 0, used2 = 0;
  PoolHeapUsed(&used1, &used2);
  EXPECT_GT(used1, 0u);
  EXPECT_EQ(used1, used2);
  EXPECT_EQ(PoolHeapCheck(), kHeapOk);
  EXPECT_EQ(PoolHeapMin(), 0);
  PoolHeapEntry entry;
  EXPECT_EQ(PoolHeapWalk(&entry), kHeapOk);
  PoolFree(block);
  PoolFree(nullptr);
}

// ---- Error reporting ----

TEST(PooledAllocatorErrors, DefaultHandlerShowsItsBoxes) {
  testing_support::BoxRecorder boxes;
  struct Case {
    int code;
    const char* text;
  };
  const Case cases[] = {
      {3, "MEM_BLOCK_TOO_BIG"},    {4, "MEM_ALLOC_ZERO"},      {5, "MEM_RESIZE_FAILED"},   {6, "MEM_LOCK_ERROR"},
      {7, "MEM_EXCEEDED_CEILING"}, {8, "MEM_TOO_MANY_PAGES"},  {9, "MEM_TOO_MANY_TASKS"},  {10, "MEM_BAD_MEM_POOL"},
      {11, "MEM_BAD_BLOCK"},       {12, "MEM_BAD_FREE_BLOCK"}, {13, "MEM_BAD_HANDLE"},     {14, "MEM_BAD_POINTER"},
      {15, "MEM_WRONG_TASK"},      {1, "MEM_INTERNAL_ERROR"},  {16, "MEM_INTERNAL_ERROR"}, {17, "MEM_INTERNAL_ERROR"},
  };
  for (const Case& c : cases) {
    boxes.Clear();
    boxes.QueueAnswer(platform::kAnswerOk);
    EXPECT_EQ(PoolReportError(nullptr, c.code), 0) << c.code;
    ASSERT_EQ(boxes.Count(), 1u);
    const platform::MessageBoxCall& box = boxes.Boxes()[0];
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, "Dorvane Library");
    EXPECT_EQ(box.flags, platform::kBoxOkCancel | platform::kBoxIconError | platform::kBoxDefaultButton2 |
                             platform::kBoxTaskModal);
  }

  boxes.Clear();
  boxes.QueueAnswer(platform::kAnswerRetry);
  boxes.QueueAnswer(platform::kAnswerIgnore);
  EXPECT_EQ(PoolReportError(nullptr, kMemOutOfMemory), 1);
  EXPECT_EQ(PoolReportError(nullptr, kMemOutOfMemory), 0);
  ASSERT_EQ(boxes.Count(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Out of memory.  Please free some memory, then choose retry.");
  EXPECT_EQ(boxes.Boxes()[0].flags & platform::kBoxButtonsMask, platform::kBoxAbortRetryIgnore);

  // A box that could not be shown is tried again system-modal.
  boxes.Clear();
  boxes.QueueAnswer(0);
  boxes.QueueAnswer(platform::kAnswerOk);
  EXPECT_EQ(PoolReportError(nullptr, kMemBadBlock), 0);
  ASSERT_EQ(boxes.Count(), 2u);
  EXPECT_TRUE(boxes.Boxes()[1].flags & platform::kBoxSystemModal);

  // A pool created with the refused flag still works; the flag is reported.
  boxes.Clear();
  boxes.QueueAnswer(platform::kAnswerOk);
  OwnPool refused(0, 0, kPoolRefusedFlag);
  ASSERT_NE(refused.get(), nullptr);
  EXPECT_NE(PoolAllocBlock(refused, 10, 0), nullptr);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "MEM_INTERNAL_ERROR");
}

TEST(PooledAllocatorErrors, CancelAndAbortEndTheProcess) {
  testing_support::BoxRecorder boxes;
  boxes.QueueAnswer(platform::kAnswerCancel);
  EXPECT_EQ(testing_support::ExitCodeOf([] { PoolReportError(nullptr, kMemBadPointer); }), 3);
  boxes.QueueAnswer(platform::kAnswerAbort);
  EXPECT_EQ(testing_support::ExitCodeOf([] { PoolReportError(nullptr, kMemOutOfMemory); }), 3);
  // Unanswered, the default button of the pointer box is Cancel.
  EXPECT_EQ(testing_support::ExitCodeOf([] { PoolFreeBlock(reinterpret_cast<void*>(0x1234)); }), 3);
}

namespace {
int g_reentries = 0;
int ReenteringHandler(const void* pointer, int code) {
  ++g_reentries;
  return PoolReportError(pointer, code);
}
int AnswerRetry(const void*, int) { return 1; }
}  // namespace

TEST(PooledAllocatorErrors, HandlerThatReentersItselfIsStopped) {
  testing_support::BoxRecorder boxes;
  PoolErrorHandler previous = g_poolErrorHandler.exchange(ReenteringHandler);
  g_reentries = 0;
  EXPECT_EQ(PoolReportError(nullptr, kMemBadBlock), 0);
  EXPECT_EQ(g_reentries, 2);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "\n\rDorvane error handler recursively re-entered.\n\r");

  // A handler that cannot be code is replaced by the default one.
  g_poolErrorHandler.store(reinterpret_cast<PoolErrorHandler>(uintptr_t{0x1000}));
  boxes.Clear();
  boxes.QueueAnswer(platform::kAnswerOk);
  EXPECT_EQ(PoolReportError(nullptr, kMemBadBlock), 0);
  EXPECT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(g_poolErrorHandler.load(), &PoolDefaultErrorHandler);

  g_poolErrorHandler.store(AnswerRetry);
  EXPECT_EQ(PoolReportError(nullptr, kMemOutOfMemory), 1);
  g_poolErrorHandler.store(previous);
}
