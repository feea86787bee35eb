// Which 64 KB-aligned addresses start a page of a pool: a two-level bit map over the user
// address space, so that a pointer can be checked before anything at its page start is read.
// Lookups take no lock; leaves are made once and never freed.

#include <atomic>
#include <cstdint>

#include "core/PoolInternal.h"
#include "platform/VirtualMemory.h"

namespace pool_internal {
namespace {

constexpr int kAddressBits = 47;  // user space of x86-64 (and of other 64-bit systems)
constexpr int kPageBits = 16;
constexpr int kLeafBits = 16;
constexpr size_t kLeafWords = (size_t{1} << kLeafBits) / 64;
constexpr size_t kTopEntries = size_t{1} << (kAddressBits - kPageBits - kLeafBits);

using Leaf = std::atomic<uint64_t>;
std::atomic<Leaf*> g_top[kTopEntries];

struct Slot {
  size_t top;
  size_t word;
  uint64_t bit;
};

bool SlotOf(const void* page, Slot* slot) {
  uintptr_t address = reinterpret_cast<uintptr_t>(page);
  if (address >> kAddressBits) return false;
  size_t index = address >> kPageBits;
  slot->top = index >> kLeafBits;
  size_t inLeaf = index & ((size_t{1} << kLeafBits) - 1);
  slot->word = inLeaf / 64;
  slot->bit = uint64_t{1} << (inLeaf % 64);
  return true;
}

Leaf* LeafFor(size_t top) {
  Leaf* leaf = g_top[top].load(std::memory_order_acquire);
  if (leaf) return leaf;
  constexpr size_t bytes = kLeafWords * sizeof(Leaf);
  void* memory = platform::ReserveMemory(bytes);
  if (!memory || !platform::CommitMemory(memory, bytes)) {
    platform::ReleaseMemory(memory, bytes);
    return nullptr;
  }
  Leaf* fresh = static_cast<Leaf*>(memory);  // zero pages: every bit clear
  if (g_top[top].compare_exchange_strong(leaf, fresh, std::memory_order_acq_rel)) return fresh;
  platform::ReleaseMemory(memory, bytes);  // another thread made it first
  return leaf;
}

}  // namespace

bool RegisterPage(const void* page) {
  Slot slot;
  if (!SlotOf(page, &slot)) return false;
  Leaf* leaf = LeafFor(slot.top);
  if (!leaf) return false;
  leaf[slot.word].fetch_or(slot.bit, std::memory_order_release);
  return true;
}

void UnregisterPage(const void* page) {
  Slot slot;
  if (!SlotOf(page, &slot)) return;
  if (Leaf* leaf = g_top[slot.top].load(std::memory_order_acquire))
    leaf[slot.word].fetch_and(~slot.bit, std::memory_order_release);
}

bool IsRegisteredPage(const void* page) {
  Slot slot;
  if (!SlotOf(page, &slot)) return false;
  Leaf* leaf = g_top[slot.top].load(std::memory_order_acquire);
  return leaf && (leaf[slot.word].load(std::memory_order_acquire) & slot.bit);
}

PageHeader* FindPage(const void* pointer) {
  uintptr_t address = reinterpret_cast<uintptr_t>(pointer);
  auto* page = reinterpret_cast<PageHeader*>(address & ~(kPageAlign - 1));
  if (!pointer || !IsRegisteredPage(page)) return nullptr;
  if ((page->kindWord & kPageSignatureMask) != kPageSignature) return nullptr;
  if (!page->pool || page->pool->signature != kPoolSignature) return nullptr;
  return page;
}

}  // namespace pool_internal
