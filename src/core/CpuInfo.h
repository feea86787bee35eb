#pragma once
// CCpuInfo: the processor probe. Start-up probes once; the result chooses the sprite
// printers, which the graphics engine fills through the selection below.

#include <cstdint>

#include "core/Hooks.h"

class CCpuInfo {
 public:
  // Fills the record, measures the clock and chooses the printers.
  void Probe();
  // CPUID leaf 1 into family, model, stepping, type and the feature flags.
  void ReadFeatures();
  // The printers for the family found, and the portable main printer when the option says so.
  void ChoosePrinters() const;

  int hasMmx = 0;
  int hasCmov = 0;
  int hasFpu = 0;
  int hasCx8 = 0;
  uint8_t hasTsc = 0;
  int mhz = 0;
  char vendor[16] = {};
  int cpuType = 0;
  int family = 0;
  int model = 0;
  int stepping = 0;
  uint32_t featureFlags = 0;
};

extern CCpuInfo g_cpuInfo;

// The sprite printers' choice, which the probe makes. The graphics engine installs its own
// at start-up (InstallGraphicsHooks); the neutral one chooses nothing.
class IPrinterSelection {
 public:
  virtual ~IPrinterSelection() = default;
  // Chooses the processor-tuned printers: the family 6 set when family6 is set, the other set
  // otherwise.
  virtual void SelectProcessorPrinters(bool family6) {}
  // Puts the portable printer in the main printer pointer (the option UseCSpritePrinter).
  virtual void UsePortableSpritePrinter() {}
};
extern HookSlot<IPrinterSelection> g_printerSelection;

// The clock measurement of the probe: answers MHz. Tests replace it (the real one spins on the
// tick count for at least 250 ms).
extern int (*g_measureCpuMhz)(bool hasTimeStampCounter);
int MeasureCpuMhz(bool hasTimeStampCounter);
