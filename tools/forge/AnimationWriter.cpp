#include "forge/AnimationWriter.h"

#include "core/Bytes.h"

namespace forge {

std::vector<uint8_t> WriteAnimation(const AniSpec& spec) {
  bytes::Writer out;
  out.Bytes("VANI", 4);
  out.I32(0);  // the total size, patched at the end
  out.I32(0);
  out.I32(spec.layout);
  out.I32(0);
  out.I32(static_cast<int32_t>(spec.sequences.size()) + 1);
  out.FixedString(spec.spriteName, 20);
  int32_t index = 0;
  for (const auto& sequence : spec.sequences) {
    out.I32(index);
    index += static_cast<int32_t>(sequence.size());
  }
  out.I32(index);
  for (const auto& sequence : spec.sequences) {
    for (const AniStep& step : sequence) {
      out.I32(step.kind);
      out.I32(step.value);
      out.I32(step.x);
      out.I32(step.y);
      out.FixedString(step.text, 8);
      const int further = spec.layout == 3 ? 1 : spec.layout == 4 ? 3 : 5;
      const int from = spec.layout == 5 ? 0 : 1;
      for (int i = 0; i < further; ++i) out.I32(step.more[from + i]);
    }
  }
  out.PatchU32(4, static_cast<uint32_t>(out.Size()));
  return std::move(out.Data());
}

}  // namespace forge
