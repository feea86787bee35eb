#pragma once
// CSprite: a sprite file (.spr) of run-length frames with up to four 256-colour palettes,
// loaded whole into one block and checked once, then printed from in place.
//
// File: 8 bytes unread, version (4), frame count N, palette count P (0..4), 4 bytes
// unread, P palettes of 768 bytes, N frame offsets counted from the end of the offset
// table, then the frames (SpriteFrame.h). Frames of a file with palettes are 8-bit, each
// naming its palette; frames of a file without palettes are 16-bit (stored 5-6-5).

#include <cstdint>
#include <vector>

#include "graphics/SpriteFrame.h"

class CSprite {
 public:
  static constexpr int kVersion = 4;
  static constexpr int kMaxPalettes = 4;
  static constexpr int kHeaderSize = 24;

  CSprite() = default;
  ~CSprite() { Free(); }
  CSprite(const CSprite&) = delete;
  CSprite& operator=(const CSprite&) = delete;

  // Loads the file and builds each palette's colour tables with shadeLevels levels. False
  // (with the sprite left empty) when the file is missing, short, malformed or of another
  // version (that one also shows "Incorrect Sprite Version").
  bool Load(const char* path, int shadeLevels);
  // The same from a file image already in memory (the name is the one the box shows).
  bool LoadImage(std::vector<uint8_t> image, int shadeLevels, const char* name);
  void Free();

  // Adds a node of the table type (0..9) to every palette's list; other types do nothing.
  bool BuildColourTables(int tableType, int shadeLevels);
  // Kind 1 rebuilds list positions 1 and 3 of every palette with the light builders.
  bool BuildLightingTables(int kind, int shadeLevels, double p1, double p2, double p3);

  int FrameCount() const { return frameCount_; }
  int PaletteCount() const { return paletteCount_; }
  bool IsLoaded() const { return !image_.empty(); }
  // Frame n with its palette's colour-table list; an index outside the sprite gives frame 0
  // (an empty frame when the sprite has none).
  CSpriteFrame GetFrame(int n) const;
  // A palette's 768 bytes, or null.
  uint8_t* Palette(int p) { return p >= 0 && p < paletteCount_ ? palettes_ + 768 * p : nullptr; }
  ShadeTableList* ColourTables(int p) const { return p >= 0 && p < kMaxPalettes ? colourTables_[p] : nullptr; }

 private:
  bool CheckFrames() const;
  void Convert16BitFramesTo555();

  std::vector<uint8_t> image_;
  uint8_t* palettes_ = nullptr;
  const uint8_t* frameOffsets_ = nullptr;
  const uint8_t* frameBase_ = nullptr;
  ShadeTableList* colourTables_[kMaxPalettes] = {};
  int frameCount_ = 0;
  int paletteCount_ = 0;
};
