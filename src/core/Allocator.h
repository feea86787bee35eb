#pragma once
// The pooled memory allocator. Memory comes from the system in pages aligned to 64 KB and is
// handed out in three size classes: small blocks (up to 256 bytes) from per-size free lists,
// medium blocks (up to a quarter of the page size) from boundary-tagged free lists inside
// pages, and large blocks each in a system run of their own. A block's page is found by
// masking its address, so foreign or corrupted pointers are refused rather than freed.
// Every operation is safe to call from several threads at once (one lock per pool); each
// thread keeps a few free small blocks of the default pool at hand, so that most requests
// take no lock.
//
// With the build option VRASK_POOLED_ALLOCATOR the program's global operator new and delete
// come here (core/hooks/PoolOperatorNew.cpp); C allocations of libraries stay with the C
// library. Failures go to an error handler that shows a box offering a retry.

#include <atomic>
#include <cstddef>
#include <cstdint>

struct Pool;

// Flags of PoolCreate.
enum PoolFlags : uint16_t {
  kPoolShared = 0x01,       // shared-memory pool: accepted, served as an ordinary pool
  kPoolRefusedFlag = 0x02,  // refused at creation (error 17)
  kPoolLockPages = 0x04,    // pages are locked into physical memory
  kPoolZeroFill = 0x08,     // every new block is zero-filled
  kPoolSharedAlso = 0x10,   // the second shared-memory flag: served as an ordinary pool
};

// Flags of PoolAllocBlock and PoolResizeBlock.
enum PoolBlockFlags : unsigned {
  kPoolZeroInit = 0x01,       // the new bytes of the block read as zero
  kPoolNoNewPages = 0x02,     // served only from pages the pool already holds
  kPoolNoLarge = 0x04,        // never served as a large block of its own run
  kPoolResizeInPlace = 0x08,  // a resize must not move the block
};

// Error codes given to the error handler.
enum PoolErrorCode : int {
  kMemInternalError = 1,
  kMemOutOfMemory = 2,  // the only code offered with a retry
  kMemBlockTooBig = 3,
  kMemAllocZero = 4,
  kMemResizeFailed = 5,
  kMemLockError = 6,
  kMemExceededCeiling = 7,
  kMemTooManyPages = 8,
  kMemTooManyTasks = 9,
  kMemBadMemPool = 10,
  kMemBadBlock = 11,
  kMemBadFreeBlock = 12,
  kMemBadHandle = 13,
  kMemBadPointer = 14,
  kMemWrongTask = 15,
  kMemRefusedPoolFlag = 17,  // shown as MEM_INTERNAL_ERROR
};

// Answers of the heap walk and the heap check.
enum PoolHeapStatus : int {
  kHeapEmpty = -1,    // there is no pool
  kHeapOk = -2,       // the walk gave the next block / the check found nothing wrong
  kHeapBadNode = -4,  // a bad page, block or free structure was met
  kHeapEnd = -5,      // the walk has passed the last block
  kHeapBadPtr = -6,   // the entry handed to the walk is not a block of the pool
};

// One step of a heap walk. Start with pointer null; each call moves to the next block.
struct PoolHeapEntry {
  void* pointer = nullptr;
  size_t size = 0;  // usable bytes
  bool inUse = false;
};

// The error handler answers 1 to retry the failed operation, 0 to go on without it.
using PoolErrorHandler = int (*)(const void* pointer, int code);
// Called before a medium request takes a new page (with its size) and after empty pages were
// released (with 0xFFFF); it may free blocks to make room.
using PoolCompactionCallback = void (*)(Pool* pool, size_t size);
// Called with the default pool when a new-handler declined to help; the request is then
// tried once more.
using PoolOutOfMemoryCallback = void (*)(Pool* pool);

// What the default pool is made with.
struct PoolSettings {
  uint16_t flags = 0;
  uint32_t pageSize = 0;             // 0: the pool's default
  uint16_t fixedBlockSize = 0xFFFF;  // 0xFFFF: keep the 24 the default pool starts with
  PoolOutOfMemoryCallback outOfMemory = nullptr;
};
extern PoolSettings g_poolSettings;

// The pool operator new serves; null until the first request creates it.
extern std::atomic<Pool*> g_defaultPool;
// The installed error handler; null (or a value that cannot be code) means the default one.
extern std::atomic<PoolErrorHandler> g_poolErrorHandler;

// ---- Pools ----

// A new pool. fixedBlockSize (0 for none) sets the size of the fixed-size blocks and
// initialBlocks how many of them to have ready. Null when the system gives no memory.
Pool* PoolCreate(size_t fixedBlockSize, size_t initialBlocks, unsigned flags);
// Hands every page of a pool back to the system; its blocks become invalid. The default
// pool cannot be destroyed (answers 0).
int PoolDestroy(Pool* pool);
// Creates the default pool from g_poolSettings (once); answers it.
Pool* PoolInitDefault();
// Rounds up to a power of two from 4096 to 32768 and makes a quarter of it the medium
// limit. Refused (0) when the pool's fixed blocks would not fit a page, or pages exist.
int PoolSetPageSize(Pool* pool, size_t bytes);
// (size + 7) rounded down to 8; refused with MEM_BLOCK_TOO_BIG when it does not fit a page
// less 32 bytes, and refused (0) once fixed-size pages exist.
int PoolSetFixedBlockSize(Pool* pool, size_t bytes);
// Above this much system memory held the pool takes no new page (MEM_EXCEEDED_CEILING).
void PoolSetCeiling(Pool* pool, size_t bytes);
void PoolSetCompactionCallback(Pool* pool, PoolCompactionCallback callback);
// System memory the pool holds: its pages, runs and its own 4 KB header.
size_t PoolBytesInUse(Pool* pool);
// Frees every empty medium and fixed-size page, then calls the compaction callback with
// 0xFFFF. Answers the bytes given back.
size_t PoolReleasePages(Pool* pool);

// ---- Blocks ----

// A block of at least `size` bytes (0 counts as 1) from the pool, or from the default pool
// (made on first use) when pool is null. On failure asks the new-handler, then the
// settings' out-of-memory callback; null when nothing helps.
void* PoolNewBlock(size_t size, unsigned flags, Pool* pool);
// The size-class dispatch: small, medium or large. Null on failure (after the error
// handler had its say); MEM_BAD_MEM_POOL for a pool that is not one.
void* PoolAllocBlock(Pool* pool, size_t size, unsigned flags);
// A block of the pool's fixed size. Null when the pool has none set or no page can be had.
void* PoolAllocFixed(Pool* pool);
// Gives a block back. 1 when freed; 0 (after MEM_BAD_POINTER) when the pointer is no block
// of a pool in use: then nothing is touched.
int PoolFreeBlock(void* block);
// Resizes in place when it can; otherwise (unless kPoolResizeInPlace) moves the block into a
// new one of the same pool, keeping its bytes. Null when it fails; the old block then stays.
void* PoolResizeBlock(void* block, size_t size, unsigned flags);
// The usable bytes of a block; SIZE_MAX (after MEM_BAD_POINTER) when it is no block.
size_t PoolBlockSize(const void* block);
// Whether the pointer is a block in use of some pool (no error is reported).
bool PoolOwnsBlock(const void* block);

// ---- The C runtime's heap functions, served by the default pool ----

// Sizes are rounded up to a multiple of 4 (0 gives 4).
void* PoolMalloc(size_t size);
// Zero-filled; null when count x size overflows.
void* PoolCalloc(size_t count, size_t size);
// Null block: PoolMalloc. Size 0: frees the block, answers null.
void* PoolRealloc(void* block, size_t size);
// Resizes in place only: the block, or null (MEM_RESIZE_FAILED) when it cannot.
void* PoolExpand(void* block, size_t size);
// Null is ignored.
void PoolFree(void* block);
// The usable size with the low two bits cleared; SIZE_MAX when the pointer is no block.
size_t PoolMsize(const void* block);
// Whether malloc and calloc ask the new-handler on failure (off by default); answers the
// previous mode.
int PoolSetMallocNewMode(int mode);
// The default pool's bytes in use, written to both (0 without a pool).
void PoolHeapUsed(size_t* out1, size_t* out2);
// PoolReleasePages on the default pool; answers 0.
int PoolHeapMin();
// Checks every block and free structure of the default pool: kHeapEmpty, kHeapOk or
// kHeapBadNode.
int PoolHeapCheck();
// The next block of the default pool after entry->pointer (see PoolHeapStatus).
int PoolHeapWalk(PoolHeapEntry* entry);
// The same for any pool.
int PoolCheck(Pool* pool);
int PoolWalk(Pool* pool, PoolHeapEntry* entry);

// ---- Errors ----

// Hands the code to the installed error handler; answers 1 to retry. Guards against the
// handler re-entering itself too deeply.
int PoolReportError(const void* pointer, int code);
// Boxes: code 2 asks Abort/Retry/Ignore, codes 3 to 15 show their name with OK/Cancel,
// others MEM_INTERNAL_ERROR. Retry answers 1, OK and Ignore 0, Cancel and Abort end the
// process.
int PoolDefaultErrorHandler(const void* pointer, int code);
// The text shown for a code.
const char* PoolErrorName(int code);
// Shows the library's error box with the buttons given; answers the button chosen.
int PoolErrorBox(const char* text, unsigned buttons);
// Asks the installed new-handler to make room: 1 when it did (try again). For malloc only
// when the malloc new-handler mode is on.
int PoolCallNewHandler(size_t size, bool fromMalloc);
