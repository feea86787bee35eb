#pragma once
// The processor: its identification instructions, its cycle counter, and its clock as the
// system reports it.

#include <cstdint>

namespace platform {

// CPUID of a leaf: EAX, EBX, ECX, EDX. All zero where the instruction is missing.
void Cpuid(uint32_t leaf, uint32_t registers[4]);
// The time-stamp counter; 0 where there is none.
uint64_t ReadTimeStampCounter();
// The clock in MHz as the system reports it (the first processor of /proc/cpuinfo); false
// when it says nothing.
bool ReadSystemCpuMhz(int& mhz);

// The wide vector units that the processor has and the system lets programs use.
struct VectorUnits {
  bool avx2 = false;
  bool avx512Vbmi = false;  // AVX-512 F, BW, VL, VBMI and VBMI2 (byte permutes and expands)
};
VectorUnits ReadVectorUnits();

}  // namespace platform
