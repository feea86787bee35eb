#pragma once
// The forged map sections: square blocks of 20 x 20 cells and 10 levels, each a section map
// file (format 6) with its placement list, event areas and path nodes beside it, in the
// section folder. Their edges carry connection ids: 1 for open ground at level 3, 2 where a
// river crosses the edge's middle.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "forge/MapData.h"
#include "forge/NodeFiles.h"

namespace forge {

inline constexpr int kSectionBlock = 20;  // cells per grid square
inline constexpr int kSectionLevels = 10;
inline constexpr int kGroundLevel = 3;  // the grass most of the land stands in
inline constexpr int kEdgeGround = 1;
inline constexpr int kEdgeRiver = 2;

// One cell of a section: the six words of a map cell.
struct SectionCell {
  uint16_t terrain = 0, effect = 0xFFFF, occupant = 0xFFFF, object = 0xFFFF, shape = 0, state = 0;
};

// A section being painted: blocks across and down, cells, and what lies beside it.
class SectionCanvas {
 public:
  SectionCanvas(int blocksX, int blocksY);
  int Width() const { return width_; }
  int Height() const { return height_; }
  SectionCell& At(int x, int y, int level);
  const SectionCell& At(int x, int y, int level) const;
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Rock at the bottom, earth fill, and the surface type at the ground level; empty above.
  void Ground(int x, int y, int groundLevel, int surface);
  void GroundAll(int groundLevel, int surface);
  // A basin: sand floor at level 1, water above it up to the water level (0x10 shallow, 0x20 deep).
  void Basin(int x, int y, bool deep);
  // A wall block column standing on the ground: fill with a top that can be walked on.
  void Wall(int x, int y, int height);
  // A door column of the given type in a wall.
  void Door(int x, int y, int type, int height);
  // A chest standing on the ground, on chest side `side` (0-3: north, west, south, east) of
  // the cell where its world object lies.
  void Chest(int x, int y, int side);
  // Turns the earth fill beside water (below the water level, across a cell side) into bank
  // fill, which stands and walks as earth does and looks like wet sand through the water.
  void LineBanks();
  // The level a walker stands at in a column (-1 none).
  int StandingLevel(int x, int y) const;

  // Connection ids: north left/right, east top/bottom, south left/right, west top/bottom.
  std::array<int32_t, 8> edges{};
  std::vector<PlacementItem> placements;
  std::vector<EventAreaItem> events;

  std::vector<uint8_t> MapFileBytes() const;
  // Nodes every 5 cells at the standing level, linked to their neighbours along flat ground.
  std::vector<NodeDef> Nodes() const;

 private:
  int width_, height_;
  std::vector<SectionCell> cells_;
};

struct SectionFile {
  int number;
  std::string name;  // without the extension
  SectionCanvas canvas;
};

// Every forged section, painted from its number.
std::vector<SectionFile> ForgedSections();

}  // namespace forge
