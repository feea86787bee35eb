#pragma once
// CFont: a bitmap font (.sft) of one run-length glyph frame per printable character, whose
// pixels are coverage levels 0..63, with a band table giving each glyph's left and right
// edge in each horizontal band, so that glyphs close up where their shapes allow. Text is
// measured, wrapped and aligned in a rectangle and printed through PrintFontGlyph into the
// print target.
//
// File (int32 fields): 0 unread, 4 total size, 8 layout (2 or 3), 12 glyph count G
// (characters 33 .. 32 + G), 16 band count B (at most 32), 20 top offset, 24 second
// metric (line height = the two added), 28 unread, 32 palette flag, 36 (layout 3 only) the
// characters K of the band table. Then, from 36 (layout 2) or 40: the palette (768 bytes)
// when flagged, the band table ({left, right} per band per character from 33), G glyph
// frame offsets counted from the end of that table, and the glyph frames.

#include <cstdint>
#include <vector>

#include "graphics/SpriteFrame.h"

struct TextRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct TextPoint {
  int x = 0, y = 0;
};

enum TextFlags : uint8_t {
  kTextLeft = 0x1,
  kTextRight = 0x2,
  kTextCentre = 0x4,
  kTextCentreVertically = 0x8,
  kTextWordWrap = 0x10,
};

class CFont {
 public:
  static constexpr int kMaxBands = 32;
  static constexpr int kMaxLines = 256;

  CFont() = default;
  ~CFont() { Free(); }
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  // Loads the whole file; with a palette and shade levels, builds its colour tables.
  // False, with nothing loaded, for a missing, short or malformed file.
  bool Load(const char* path, int shadeLevels);
  // The same from a file image already in memory.
  bool LoadImage(std::vector<uint8_t> image, int shadeLevels);
  void Free();

  // The advance of one character (as the pen moves before printing it); with record, the
  // character's right edges become the band edges the next character is measured against.
  int GetCharWidth(char c, bool record);
  // Sets one alignment bit in flags (clearing the others of left, right and centre), or
  // another flag bit.
  static void SetAlignment(uint8_t& flags, uint8_t bit);

  // Lays the text out in the rectangle and prints it in the colour; answers the width of
  // the last line, and gives the pen after the last character in out.
  int PrintText(const char* text, const TextRect& rect, int red, int green, int blue, uint8_t flags,
                TextPoint* out = nullptr);
  // The same with the first line starting at startX.
  int PrintTextAt(const char* text, const TextRect& rect, int startX, int red, int green, int blue, uint8_t flags,
                  TextPoint* out = nullptr);
  // The width of the widest line of the layout; 0 for no text or a rectangle lower than a
  // line.
  int MeasureText(const char* text, const TextRect& rect, uint8_t flags);

  int GetLineHeight() const { return lineHeight_; }
  bool IsLoaded() const { return !image_.empty(); }
  int GlyphCount() const { return glyphCount_; }
  int BandCount() const { return bandCount_; }
  // The glyph of a character 33 .. 32 + G, or an empty frame.
  CSpriteFrame Glyph(char c) const;
  int LineCount() const { return lineCount_; }
  // The lines of the last layout (of PrintText, PrintTextAt or MeasureText): where each
  // begins in the text and how many characters it holds.
  const char* LineStart(int line) const { return line >= 0 && line < lineCount_ ? lines_[line].first : nullptr; }
  int LineLength(int line) const { return line >= 0 && line < lineCount_ ? lines_[line].count : 0; }

  int tabWidth = 0;
  int spacing = 0;

 private:
  struct Line {
    int x = 0;
    int count = 0;
    const char* first = nullptr;
  };
  bool Parse(int shadeLevels);
  int CharIndex(char c) const;
  int BandLeft(int index, int band) const;
  int BandRight(int index, int band) const;
  void ResetBands();
  // Fills the line table; answers the width of the widest line.
  int Layout(const char* text, const TextRect& rect, int startX, uint8_t flags, int* lastWidth);
  // width is the sum of the line's advances (where its last glyph stands); extent is how far
  // that glyph reaches past its place, so that right-aligned text ends at the edge.
  void StoreLine(const char* first, int count, int width, int extent, const TextRect& rect, int startX, uint8_t flags);
  // How far the last glyph recorded reaches right of its place (its widest band edge).
  int LastGlyphExtent() const;

  std::vector<uint8_t> image_;
  const uint8_t* palette_ = nullptr;
  const uint8_t* bands_ = nullptr;
  const uint8_t* frameOffsets_ = nullptr;
  const uint8_t* frameBase_ = nullptr;
  ShadeTableList* colourTables_ = nullptr;
  int glyphCount_ = 0;
  int bandCount_ = 0;
  int topOffset_ = 0;
  int lineHeight_ = 0;
  int bandEdges_[kMaxBands] = {};
  int penX_ = 0, penY_ = 0;
  Line lines_[kMaxLines];
  int lineCount_ = 0;
};
