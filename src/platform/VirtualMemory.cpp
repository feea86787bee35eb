#include "platform/VirtualMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <mutex>

namespace platform {
namespace {

size_t RoundUp(size_t bytes, size_t unit) { return (bytes + unit - 1) & ~(unit - 1); }

// Released reservations of one granule are kept as bare address space (their memory is
// given back) for the next reservation: taking one costs no system call, where a fresh
// aligned one costs three.
constexpr int kKeptGranules = 512;
std::mutex g_keptMutex;
void* g_kept[kKeptGranules];
int g_keptCount = 0;

void* TakeKeptGranule() {
  std::lock_guard<std::mutex> lock(g_keptMutex);
  return g_keptCount > 0 ? g_kept[--g_keptCount] : nullptr;
}

bool KeepGranule(void* address) {
  std::lock_guard<std::mutex> lock(g_keptMutex);
  if (g_keptCount == kKeptGranules) return false;
  g_kept[g_keptCount++] = address;
  return true;
}

}  // namespace

void* ReserveMemory(size_t bytes) {
  if (bytes == 0 || bytes > SIZE_MAX / 2) return nullptr;
  bytes = RoundUp(bytes, kReserveGranularity);
  if (bytes == kReserveGranularity)
    if (void* kept = TakeKeptGranule()) return kept;
  // mmap only promises page alignment: map a little more and cut the ends off.
  size_t mapped = bytes + kReserveGranularity - kSystemPageBytes;
  void* raw = mmap(nullptr, mapped, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  uintptr_t aligned = RoundUp(start, kReserveGranularity);
  if (aligned > start) munmap(raw, aligned - start);
  uintptr_t end = start + mapped;
  if (end > aligned + bytes) munmap(reinterpret_cast<void*>(aligned + bytes), end - (aligned + bytes));
  return reinterpret_cast<void*>(aligned);
}

bool CommitMemory(void* address, size_t bytes) {
  return bytes == 0 || mprotect(address, bytes, PROT_READ | PROT_WRITE) == 0;
}

bool DecommitMemory(void* address, size_t bytes) {
  if (bytes == 0) return true;
  // A fresh inaccessible mapping over the range drops the contents and the commit charge.
  void* again = mmap(address, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED, -1, 0);
  return again != MAP_FAILED;
}

void ReleaseMemory(void* address, size_t bytes) {
  if (!address) return;
  bytes = RoundUp(bytes, kReserveGranularity);
  if (bytes == kReserveGranularity && DecommitMemory(address, bytes) && KeepGranule(address)) return;
  munmap(address, bytes);
}

bool LockMemory(void* address, size_t bytes) { return mlock(address, bytes) == 0; }

}  // namespace platform
