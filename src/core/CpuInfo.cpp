#include "core/CpuInfo.h"

#include <cstring>

#include "core/Options.h"
#include "platform/Clock.h"
#include "platform/Cpu.h"

CCpuInfo g_cpuInfo;
namespace {
IPrinterSelection g_neutralPrinterSelection;
}  // namespace
constinit HookSlot<IPrinterSelection> g_printerSelection{&g_neutralPrinterSelection};
int (*g_measureCpuMhz)(bool hasTimeStampCounter) = MeasureCpuMhz;

// The counter's rate over a short sleep against the monotonic clock: a dozen milliseconds give
// the rate to well under a percent (the clock reads to the microsecond), where a spin of a
// quarter second used to hold up every start. The computer player's real-time budget reads it.
int MeasureCpuMhz(bool hasTimeStampCounter) {
  if (!hasTimeStampCounter) {
    int mhz = 0;
    return platform::ReadSystemCpuMhz(mhz) ? mhz : 0;
  }
  constexpr uint32_t kSleepMs = 12;
  constexpr int kTries = 3;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    const uint64_t us0 = platform::MonotonicMicroseconds();
    const uint64_t c0 = platform::ReadTimeStampCounter();
    platform::SleepMs(kSleepMs);
    const uint64_t us1 = platform::MonotonicMicroseconds();
    const uint64_t c1 = platform::ReadTimeStampCounter();
    // A counter that went back (another core's, unsynchronised) or a clock that did not move
    // measures nothing: try again.
    if (c1 > c0 && us1 > us0) return static_cast<int>((c1 - c0) / (us1 - us0));
  }
  int mhz = 0;
  return platform::ReadSystemCpuMhz(mhz) ? mhz : 0;
}

void CCpuInfo::ReadFeatures() {
  uint32_t r[4];
  platform::Cpuid(1, r);
  const uint32_t eax = r[0], edx = r[3];
  stepping = eax & 0xF;
  model = (eax >> 4) & 0xF;
  family = (eax >> 8) & 0xF;
  cpuType = (eax >> 12) & 0x3;
  featureFlags = edx;
  hasFpu = edx & 1;
  hasTsc = (edx >> 4) & 1;
  hasCx8 = (edx >> 8) & 1;
  hasCmov = (edx >> 15) & 1;
  hasMmx = (edx >> 23) & 1;
}

void CCpuInfo::Probe() {
  std::memset(vendor, 0, sizeof vendor);
  uint32_t r[4];
  platform::Cpuid(0, r);
  std::memcpy(vendor, &r[1], 4);
  std::memcpy(vendor + 4, &r[3], 4);
  std::memcpy(vendor + 8, &r[2], 4);
  ReadFeatures();
  mhz = g_measureCpuMhz ? g_measureCpuMhz(hasTsc != 0) : 0;
  ChoosePrinters();
}

void CCpuInfo::ChoosePrinters() const {
  g_printerSelection->SelectProcessorPrinters(family == 6);
  if (g_useCSpritePrinter == 1) g_printerSelection->UsePortableSpritePrinter();
}
