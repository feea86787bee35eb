// The computer player's decision data as a hostile cfg\ai.cfg could give it: whatever the
// file holds, every entry ends finite and within the whole-number range, and slot 0 stays 0.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzFiles.h"
#include "ai/AIDecisionData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool entered = [] {
    fuzz::Folder("ai-decision-data", true);
    platform::MakeDirectory("cfg");
    return true;
  }();
  (void)entered;
  ClearAIDecisionData();
  fuzz::WriteInput("cfg/ai.cfg", data, size);
  if (LoadAIDecisionData("cfg\\ai.cfg") != 1) __builtin_trap();
  // The raw bytes as one key's value as well.
  const std::string value(reinterpret_cast<const char*>(data), size);
  ApplyAIDecisionValue(1, value.c_str());
  if (g_aiMeasureReference[0] != 0.0f || g_aiMeasureRange[0] != 0.0f) __builtin_trap();
  for (int id = 1; id < kAIMeasureCount; ++id)
    for (float v : {g_aiMeasureReference[id], g_aiMeasureRange[id]})
      if (!std::isfinite(v) || std::fabs(v) >= 2147483648.0f) __builtin_trap();
  return 0;
}
