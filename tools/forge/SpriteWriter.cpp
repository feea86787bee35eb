#include "forge/SpriteWriter.h"

#include <algorithm>
#include <stdexcept>

#include "core/Bytes.h"

namespace forge {

std::vector<uint8_t> EncodeRowRuns(const Canvas& canvas, int row) {
  std::vector<uint8_t> out;
  const int width = canvas.Width();
  int column = 0;
  while (column < width) {
    int gap = 0;
    while (column + gap < width && !canvas.Opaque(column + gap, row)) ++gap;
    while (gap > 255) {
      out.push_back(255);
      out.push_back(0);
      gap -= 255;
      column += 255;
    }
    out.push_back(static_cast<uint8_t>(gap));
    column += gap;
    if (column >= width) break;
    int run = 0;
    while (column + run < width && canvas.Opaque(column + run, row)) ++run;
    bool first = true;
    while (run > 0) {
      const int piece = std::min(run, 255);
      if (!first) out.push_back(0);
      out.push_back(static_cast<uint8_t>(piece));
      run -= piece;
      column += piece;
      first = false;
    }
  }
  return out;
}

std::vector<uint8_t> EncodeFrame(const Canvas& canvas, int hotspotX, int hotspotY, int palette) {
  const int width = canvas.Width(), height = canvas.Height();
  const int pixelSize = palette < 0 ? 2 : 1;
  std::vector<std::vector<uint8_t>> controls(static_cast<size_t>(height));
  std::vector<std::vector<uint8_t>> pixels(static_cast<size_t>(height));
  for (int row = 0; row < height; ++row) {
    controls[static_cast<size_t>(row)] = EncodeRowRuns(canvas, row);
    for (int column = 0; column < width; ++column) {
      if (!canvas.Opaque(column, row)) continue;
      const int value = canvas.At(column, row);
      pixels[static_cast<size_t>(row)].push_back(static_cast<uint8_t>(value));
      if (pixelSize == 2) pixels[static_cast<size_t>(row)].push_back(static_cast<uint8_t>(value >> 8));
    }
  }
  const size_t rowTable = 40, controlStart = rowTable + 8 * static_cast<size_t>(height);
  size_t controlSize = 0, pixelSizeTotal = 0;
  for (int row = 0; row < height; ++row) {
    controlSize += controls[static_cast<size_t>(row)].size();
    pixelSizeTotal += pixels[static_cast<size_t>(row)].size();
  }
  const size_t pixelStart = controlStart + controlSize, end = pixelStart + pixelSizeTotal;

  bytes::Writer out;
  out.I32(0);  // no next part
  out.I32(width);
  out.I32(height);
  out.I32(hotspotX);
  out.I32(hotspotY);
  out.Zeros(8);
  out.I32(palette);
  out.I32(height > 0 ? static_cast<int32_t>(end) : 0);
  out.I32(0);
  size_t control = controlStart, pixel = pixelStart;
  for (int row = 0; row < height; ++row) {
    out.I32(static_cast<int32_t>(control));
    out.I32(static_cast<int32_t>(pixel));
    control += controls[static_cast<size_t>(row)].size();
    pixel += pixels[static_cast<size_t>(row)].size();
  }
  for (const auto& c : controls) out.Bytes(c.data(), c.size());
  for (const auto& p : pixels) out.Bytes(p.data(), p.size());
  return std::move(out.Data());
}

std::vector<uint8_t> ChainFrames(const std::vector<std::vector<uint8_t>>& parts) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < parts.size(); ++i) {
    const size_t at = out.size();
    out.insert(out.end(), parts[i].begin(), parts[i].end());
    if (i + 1 < parts.size()) bytes::StoreU32(out.data() + at, static_cast<uint32_t>(parts[i].size()));
  }
  return out;
}

int SpriteFileWriter::AddFrame(std::vector<uint8_t> frame) {
  frames_.push_back(std::move(frame));
  entries_.push_back(static_cast<int>(frames_.size()) - 1);
  return static_cast<int>(entries_.size()) - 1;
}

int SpriteFileWriter::AddAlias(int frame) {
  if (frame < 0 || frame >= static_cast<int>(entries_.size())) throw std::runtime_error("sprite alias of no frame");
  entries_.push_back(entries_[static_cast<size_t>(frame)]);
  return static_cast<int>(entries_.size()) - 1;
}

std::vector<uint8_t> SpriteFileWriter::Bytes() const {
  bytes::Writer out;
  out.Bytes("VRSPRITE", 8);
  out.I32(4);
  out.I32(static_cast<int32_t>(entries_.size()));
  out.I32(static_cast<int32_t>(palettes_.size()));
  out.I32(0);
  for (const auto& palette : palettes_) out.Bytes(palette.data(), palette.size());
  std::vector<int32_t> offsets;
  int32_t at = 0;
  for (const auto& frame : frames_) {
    offsets.push_back(at);
    at += static_cast<int32_t>(frame.size());
  }
  for (int entry : entries_) out.I32(offsets[static_cast<size_t>(entry)]);
  for (const auto& frame : frames_) out.Bytes(frame.data(), frame.size());
  return std::move(out.Data());
}

}  // namespace forge
