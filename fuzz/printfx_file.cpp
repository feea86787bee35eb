// Feeds arbitrary text to the reader of cfg\printfx.cfg: the table holds at most its
// capacity of records, each with at most its capacity of steps.
#include <cstdint>

#include "GameDataFuzz.h"
#include "graphics/PrintFX.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("printfx_file", {"cfg"});
  fuzz::WriteInputAs({"cfg/printfx.cfg"}, data, size);
  LoadPrintFX();
  fuzz::Expect(g_printFXCount >= 0 && g_printFXCount <= kMaxPrintFX);
  for (int i = 0; i < g_printFXCount; ++i) {
    const PrintFXRecord* record = PrintFXRecordOf(i);
    fuzz::Expect(record && record->stepCount >= 0 && record->stepCount <= kMaxPrintFXSteps);
  }
  FreePrintFX();
  return 0;
}
