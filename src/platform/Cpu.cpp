#include "platform/Cpu.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Numbers.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

namespace platform {

void Cpuid(uint32_t leaf, uint32_t registers[4]) {
  registers[0] = registers[1] = registers[2] = registers[3] = 0;
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(leaf, &a, &b, &c, &d)) {
    registers[0] = a;
    registers[1] = b;
    registers[2] = c;
    registers[3] = d;
  }
#else
  (void)leaf;
#endif
}

uint64_t ReadTimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return 0;
#endif
}

bool ReadSystemCpuMhz(int& mhz) {
  FILE* file = std::fopen("/proc/cpuinfo", "r");
  if (!file) return false;
  char line[512];
  bool found = false;
  while (!found && std::fgets(line, sizeof line, file)) {
    if (std::strncmp(line, "cpu MHz", 7) != 0) continue;
    const char* colon = std::strchr(line, ':');
    if (!colon) continue;
    mhz = RealToInt(TextToReal(colon + 1), 0);
    found = true;
  }
  std::fclose(file);
  return found;
}

VectorUnits ReadVectorUnits() {
  VectorUnits units;
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  units.avx2 = __builtin_cpu_supports("avx2");
  units.avx512Vbmi = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                     __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi") &&
                     __builtin_cpu_supports("avx512vbmi2");
#endif
  return units;
}

}  // namespace platform
