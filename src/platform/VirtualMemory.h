#pragma once
// Memory taken straight from the system, below any allocator: reserved address space that is
// made usable (committed) piece by piece and handed back whole.

#include <cstddef>

namespace platform {

// Commits and decommits work in pages of this size.
constexpr size_t kSystemPageBytes = 4096;
// Reservations start at a multiple of this and are a multiple of it long.
constexpr size_t kReserveGranularity = 0x10000;

// Reserves `bytes` (rounded up to the granularity) of address space, aligned to the
// granularity, that is not yet usable. Null when the system refuses.
void* ReserveMemory(size_t bytes);

// Makes [address, address + bytes) of a reservation readable and writable; pages never
// committed before read as zero. Both ends must be page aligned. False when refused.
bool CommitMemory(void* address, size_t bytes);

// Gives the pages' contents back to the system; the range stays reserved but unusable.
bool DecommitMemory(void* address, size_t bytes);

// Hands a whole reservation back (address and size as reserved). Its memory goes back to
// the system at once; the address space of a single granule may be kept for reuse.
void ReleaseMemory(void* address, size_t bytes);

// Keeps committed pages in physical memory. False when the system refuses (limits).
bool LockMemory(void* address, size_t bytes);

}  // namespace platform
