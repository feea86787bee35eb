// Packed data files, one per storage method, as samples and fuzzing seeds.
#include <string>

#include "core/Random.h"
#include "forge/Forge.h"
#include "forge/Packer.h"

namespace {

// Text and runs, so every method has something to do.
std::vector<uint8_t> SampleContents() {
  std::vector<uint8_t> data;
  const std::string text = "The realm wraps at its edges; the realm wraps at its edges. ";
  for (int i = 0; i < 8; ++i) data.insert(data.end(), text.begin(), text.end());
  data.insert(data.end(), 300, 0x55);
  CRandom noise(77);
  for (int i = 0; i < 200; ++i) data.push_back(static_cast<uint8_t>(noise.Next()));
  return data;
}

FORGE_STEP(SamplePackedFiles) {
  const std::vector<uint8_t> data = SampleContents();
  ctx.WriteFile("samples\\packed\\plain.dat", data);
  for (uint32_t method = 0; method <= 2; ++method) {
    ctx.WriteFile("samples\\packed\\method" + std::to_string(method) + ".dat",
                  forge::PackData(data, method, 0x1234567u + method));
  }
}

}  // namespace
