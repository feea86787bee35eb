// The program's global operator new and delete, served by the pooled allocator's default
// pool. Linked into a program as the object library vrask_allocator_hooks (an object in a
// static library would only be pulled in by chance). The forms with an alignment argument
// stay with the C++ runtime, which pairs them with its own delete.

#include <new>

#include "core/Allocator.h"

namespace {

void* NewOrThrow(std::size_t size) {
  if (void* block = PoolNewBlock(size, 0, nullptr)) return block;
  throw std::bad_alloc();
}

void Delete(void* block) noexcept {
  if (block) PoolFreeBlock(block);
}

}  // namespace

void* operator new(std::size_t size) { return NewOrThrow(size); }
void* operator new[](std::size_t size) { return NewOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return PoolNewBlock(size, 0, nullptr); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return PoolNewBlock(size, 0, nullptr); }

void operator delete(void* block) noexcept { Delete(block); }
void operator delete[](void* block) noexcept { Delete(block); }
void operator delete(void* block, std::size_t) noexcept { Delete(block); }
void operator delete[](void* block, std::size_t) noexcept { Delete(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Delete(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Delete(block); }
