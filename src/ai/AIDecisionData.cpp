// Reading cfg\ai.cfg into the reference and range tables.
#include "ai/AIDecisionData.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/Files.h"
#include "platform/Profile.h"

float g_aiMeasureReference[kAIMeasureCount] = {};
float g_aiMeasureRange[kAIMeasureCount] = {};

namespace {

constexpr size_t kValueBufferSize = 256;

// A number the folds can truncate to a whole number without overflow.
bool IsUsable(float v) {
  return std::isfinite(v) && v > static_cast<float>(INT_MIN) && v < static_cast<float>(INT_MAX);
}

// The current directory joined with the relative name, one separator between.
std::string PathBelowCurrentDirectory(const char* path) {
  std::string dir = platform::CurrentDirectory();
  if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) dir += "\\";
  return dir + (path ? path : "");
}

}  // namespace

int ApplyAIDecisionValue(int id, const char* value) {
  if (id < 1 || id >= kAIMeasureCount || !value || !*value) return 0;
  float reference = 0.0f, range = 0.0f;
  const int numbers = std::sscanf(value, "%f ,%f", &reference, &range);
  if (numbers < 1 || !IsUsable(reference)) return 0;
  g_aiMeasureReference[id] = reference;
  if (numbers < 2 || !IsUsable(range)) return 1;
  g_aiMeasureRange[id] = range;
  return 2;
}

int LoadAIDecisionData(const char* path) {
  const std::string file = PathBelowCurrentDirectory(path);
  char value[kValueBufferSize];
  for (int id = 1; id < kAIMeasureCount; ++id) {
    platform::ReadProfileString(kAIDecisionSection, AIMeasureKeyName(id), "", value, sizeof value, file);
    ApplyAIDecisionValue(id, value);
  }
  return 1;
}

void ClearAIDecisionData() {
  for (int id = 0; id < kAIMeasureCount; ++id) g_aiMeasureReference[id] = g_aiMeasureRange[id] = 0.0f;
}
