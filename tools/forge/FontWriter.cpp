#include "forge/FontWriter.h"

#include <algorithm>

#include "core/Bytes.h"
#include "forge/SpriteWriter.h"

namespace forge {

std::vector<std::array<int32_t, 2>> GlyphBands(const FontGlyph& glyph, const FontSpec& spec) {
  const int height = std::max(1, spec.topOffset + spec.secondMetric);
  const Canvas& c = glyph.canvas;
  int inkRight = 0;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (c.Opaque(x, y)) inkRight = std::max(inkRight, x + 1);
  std::vector<std::array<int32_t, 2>> bands(static_cast<size_t>(spec.bands), {inkRight, 0});
  for (int y = 0; y < c.Height(); ++y) {
    const int lineRow = spec.topOffset - glyph.hotspotY + y;
    const int band = std::clamp(lineRow * spec.bands / height, 0, spec.bands - 1);
    for (int x = 0; x < c.Width(); ++x) {
      if (!c.Opaque(x, y)) continue;
      auto& edge = bands[static_cast<size_t>(band)];
      if (edge[1] == 0 && edge[0] == inkRight) edge = {x, x + 1};
      edge[0] = std::min(edge[0], x);
      edge[1] = std::max(edge[1], x + 1);
    }
  }
  return bands;
}

std::vector<uint8_t> WriteFont(const FontSpec& spec) {
  bytes::Writer out;
  out.Bytes("VFNT", 4);
  out.I32(0);  // the total size, patched at the end
  out.I32(spec.layout);
  out.I32(static_cast<int32_t>(spec.glyphs.size()));
  out.I32(spec.bands);
  out.I32(spec.topOffset);
  out.I32(spec.secondMetric);
  out.I32(0);
  out.I32(spec.hasPalette ? 1 : 0);
  if (spec.layout == 3) out.I32(static_cast<int32_t>(spec.glyphs.size()));
  if (spec.hasPalette) out.Bytes(spec.palette.data(), spec.palette.size());
  for (const FontGlyph& glyph : spec.glyphs)
    for (const auto& band : GlyphBands(glyph, spec)) {
      out.I32(band[0]);
      out.I32(band[1]);
    }
  std::vector<std::vector<uint8_t>> frames;
  for (const FontGlyph& glyph : spec.glyphs) frames.push_back(EncodeFrame(glyph.canvas, 0, glyph.hotspotY, 0));
  int32_t offset = 0;
  for (const auto& frame : frames) {
    out.I32(offset);
    offset += static_cast<int32_t>(frame.size());
  }
  for (const auto& frame : frames) out.Bytes(frame.data(), frame.size());
  out.PatchU32(4, static_cast<uint32_t>(out.Size()));
  return std::move(out.Data());
}

}  // namespace forge
