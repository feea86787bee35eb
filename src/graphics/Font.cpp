#include "graphics/Font.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "graphics/ColourTables.h"
#include "graphics/TypePrinters.h"
#include "platform/Files.h"

namespace {
constexpr int32_t kMaxEdge = 4096;
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Characters 33 to 127 other than the underscore print a glyph; the rest only take room.
bool Prints(char c) {
  const int code = static_cast<signed char>(c);
  return code >= 33 && code <= 127 && c != '_';
}
}  // namespace

void CFont::Free() {
  image_.clear();
  image_.shrink_to_fit();
  palette_ = bands_ = frameOffsets_ = frameBase_ = nullptr;
  colourTables_ = FreeLinkedList(colourTables_);
  glyphCount_ = bandCount_ = topOffset_ = lineHeight_ = 0;
  lineCount_ = 0;
}

bool CFont::Load(const char* path, int shadeLevels) {
  std::vector<uint8_t> image;
  if (!platform::ReadWholeFile(platform::ResolvePath(path ? path : ""), image)) {
    Free();
    return false;
  }
  return LoadImage(std::move(image), shadeLevels);
}

bool CFont::LoadImage(std::vector<uint8_t> image, int shadeLevels) {
  Free();
  image_ = std::move(image);
  if (image_.empty() || !Parse(shadeLevels)) {
    Free();
    return false;
  }
  return true;
}

bool CFont::Parse(int shadeLevels) {
  const int64_t size = static_cast<int64_t>(image_.size());
  if (size < 40 || LoadI32(image_.data() + 4) != size) return false;
  const int32_t layout = LoadI32(image_.data() + 8);
  const int64_t glyphs = LoadI32(image_.data() + 12), bands = LoadI32(image_.data() + 16);
  const bool hasPalette = LoadI32(image_.data() + 32) != 0;
  if (layout != 2 && layout != 3) return false;
  if (glyphs < 0 || glyphs > 223 || bands < 0 || bands > kMaxBands) return false;
  // Layout 2 has no count of its own: its band table covers the glyphs. (Its palette starts
  // at 36, so nothing is written there.)
  int64_t at = layout == 2 ? 36 : 40;
  const int64_t bandChars = layout == 2 ? glyphs : LoadI32(image_.data() + 36);
  if (bandChars < glyphs || bandChars > 223) return false;
  if (hasPalette) {
    palette_ = image_.data() + at;
    at += 768;
  }
  bands_ = image_.data() + at;
  at += 8 * bands * bandChars;
  if (at > size) return false;
  // Edges far outside any glyph would only make the layout's sums overflow.
  for (int64_t i = 0; i < 2 * bands * bandChars; ++i) {
    const int32_t edge = LoadI32(bands_ + 4 * i);
    if (edge < -kMaxEdge || edge > kMaxEdge) return false;
  }
  frameOffsets_ = image_.data() + std::min(at, size);
  at += 4 * glyphs;
  if (at > size) return false;
  frameBase_ = image_.data() + at;
  glyphCount_ = static_cast<int>(glyphs);
  bandCount_ = static_cast<int>(bands);
  topOffset_ = LoadI32(image_.data() + 20);
  const int64_t height = static_cast<int64_t>(topOffset_) + LoadI32(image_.data() + 24);
  if (height < 0 || height > 4096 || topOffset_ < -4096 || topOffset_ > 4096) return false;
  lineHeight_ = static_cast<int>(height);

  FrameRules rules;
  rules.paletteCount = -1;
  rules.lowest = static_cast<size_t>(at);
  for (int i = 0; i < glyphCount_; ++i) {
    const int32_t offset = LoadI32(frameOffsets_ + 4 * i);
    if (offset < 0 || !ValidateFrame(image_.data(), image_.size(), rules.lowest + static_cast<size_t>(offset), rules))
      return false;
  }
  if (hasPalette && shadeLevels != 0) {
    std::vector<uint8_t> palette(palette_, palette_ + 768);
    if (!BuildTablesNormal(shadeLevels, &colourTables_, palette.data())) return false;
  }
  return true;
}

CSpriteFrame CFont::Glyph(char c) const {
  const int index = CharIndex(c);
  if (index < 0) return {};
  return CSpriteFrame{frameBase_ + LoadI32(frameOffsets_ + 4 * index), colourTables_};
}

int CFont::CharIndex(char c) const {
  const int code = static_cast<signed char>(c);
  return code >= 33 && code < 33 + glyphCount_ ? code - 33 : -1;
}

int CFont::BandLeft(int index, int band) const { return LoadI32(bands_ + 8 * (index * bandCount_ + band)); }
int CFont::BandRight(int index, int band) const { return LoadI32(bands_ + 8 * (index * bandCount_ + band) + 4); }

void CFont::ResetBands() { std::fill(std::begin(bandEdges_), std::end(bandEdges_), 0); }

int CFont::GetCharWidth(char c, bool record) {
  if (c == '\t') return tabWidth;
  if (c == '\n') return 0;
  if (c == ' ' || c == '_') c = 'a';
  const int index = CharIndex(c);
  if (index < 0 || bandCount_ == 0) return 0;
  int widest = INT_MIN;
  for (int b = 0; b < bandCount_; ++b) widest = std::max(widest, bandEdges_[b] - BandLeft(index, b));
  if (record)
    for (int b = 0; b < bandCount_; ++b) bandEdges_[b] = BandRight(index, b);
  return widest + spacing;
}

void CFont::SetAlignment(uint8_t& flags, uint8_t bit) {
  if (bit == kTextLeft || bit == kTextCentre || bit == kTextRight) flags &= ~(kTextLeft | kTextRight | kTextCentre);
  flags |= bit;
}

int CFont::LastGlyphExtent() const {
  int extent = 0;
  for (int b = 0; b < bandCount_; ++b) extent = std::max(extent, bandEdges_[b]);
  return extent;
}

void CFont::StoreLine(const char* first, int count, int width, int extent, const TextRect& rect, int startX,
                      uint8_t flags) {
  Line& line = lines_[lineCount_++];
  line.first = first;
  line.count = count;
  // A glyph is printed where the advances bring the pen, and reaches right of that place:
  // placed by its advances alone, a right-aligned line's last glyph would stand past the edge.
  if (flags & kTextCentre)
    line.x = rect.left + (rect.right - rect.left) / 2 - width / 2;
  else if (flags & kTextRight)
    line.x = rect.right - width - extent;
  else
    line.x = lineCount_ == 1 ? startX : rect.left;
}

int CFont::Layout(const char* text, const TextRect& rect, int startX, uint8_t flags, int* lastWidth) {
  lineCount_ = 0;
  int widest = 0, width = 0;
  const char* lineStart = text;
  const char* breakAfter = nullptr;  // just past the last blank of the line
  int widthAtBreak = 0;
  const bool wrap = (flags & kTextWordWrap) != 0;
  ResetBands();
  auto lineLeft = [&] { return lineCount_ == 0 ? startX : rect.left; };
  // Only a printed glyph reaches past its place: a line that ends with a blank ends where
  // the blank stands.
  auto endLine = [&](const char* end, int lineWidth) {
    const char* last = end;
    while (last > lineStart && last[-1] == '\n') --last;
    const int extent = last > lineStart && Prints(last[-1]) ? LastGlyphExtent() : 0;
    StoreLine(lineStart, static_cast<int>(end - lineStart), lineWidth, extent, rect, startX, flags);
    widest = std::max(widest, lineWidth);
    *lastWidth = lineWidth;
    lineStart = end;
    breakAfter = nullptr;
    width = 0;
    ResetBands();
  };
  const char* p = text;
  while (*p && lineCount_ < kMaxLines) {
    const char c = *p;
    if (c == '\n') {
      endLine(p + 1, width);
      p = lineStart;
      continue;
    }
    int saved[kMaxBands];
    std::copy(std::begin(bandEdges_), std::end(bandEdges_), saved);
    const int advance = GetCharWidth(c, true);
    if (wrap && p != lineStart && lineLeft() + width + advance > rect.right) {
      if (breakAfter) {
        endLine(breakAfter, widthAtBreak);
        p = lineStart;  // measure what follows the blank again, on the new line
        continue;
      }
      // No blank on the line: the word runs on to its end and overflows.
      std::copy(std::begin(saved), std::end(saved), bandEdges_);
      while (*p && !IsBlank(*p) && *p != '\n') width += GetCharWidth(*p++, true);
      if (IsBlank(*p)) width += GetCharWidth(*p++, true);
      endLine(p, width);
      continue;
    }
    width += advance;
    ++p;
    if (IsBlank(c)) {
      breakAfter = p;
      widthAtBreak = width;
    }
  }
  // The line under way; once 256 lines are stored the rest of the text is ignored.
  if (lineCount_ < kMaxLines && (p != lineStart || lineCount_ == 0)) endLine(p, width);
  return widest;
}

int CFont::MeasureText(const char* text, const TextRect& rect, uint8_t flags) {
  if (!text || !IsLoaded() || rect.bottom - rect.top < lineHeight_) return 0;
  int last = 0;
  return Layout(text, rect, rect.left, flags, &last);
}

int CFont::PrintText(const char* text, const TextRect& rect, int red, int green, int blue, uint8_t flags,
                     TextPoint* out) {
  return PrintTextAt(text, rect, rect.left, red, green, blue, flags, out);
}

int CFont::PrintTextAt(const char* text, const TextRect& rect, int startX, int red, int green, int blue, uint8_t flags,
                       TextPoint* out) {
  if (!text || !*text || !IsLoaded()) return 0;
  int lastWidth = 0;
  Layout(text, rect, startX, flags, &lastWidth);
  penY_ = rect.top + topOffset_;
  if (flags & kTextCentreVertically) penY_ += (rect.bottom - rect.top) / 2 - lineCount_ * lineHeight_ / 2;
  for (int i = 0; i < lineCount_; ++i) {
    const Line& line = lines_[i];
    penX_ = line.x;
    ResetBands();
    for (int k = 0; k < line.count; ++k) {
      const char c = line.first[k];
      penX_ += GetCharWidth(c, true);
      if (Prints(c)) PrintFontGlyph(Glyph(c), penX_, penY_, red, green, blue);
    }
    if (out) *out = TextPoint{penX_, penY_};
    if (i + 1 < lineCount_) penY_ += lineHeight_;
  }
  return lastWidth;
}
