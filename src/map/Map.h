#pragma once
// CMap: the one battle map. A torus of W x H tiles with L levels of 12-byte cells (x fastest,
// then y, then level), with the lists and tables that belong to the map: placements, regions
// of power, the water level, the animated cells, the light buffers and the event areas.

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "map/MapCell.h"
#include "map/MapPlacement.h"
#include "map/TerrainAnimation.h"
#include "map/TerrainType.h"

// The creature a passability test or route search is for.
struct CMoveQuery {
  int32_t height = 1;        // levels
  int32_t size = 1;          // footprint 1, or 2 for 2 x 2 columns
  int32_t airborne = 0;      // non-zero: may leave the ground by one level
  int32_t movementKind = 0;  // 0-3, how it may be in water; 2 the swimmer
  uint8_t deepWater = 0;     // non-zero: deep-water cells are allowed
  int32_t typeIndex = 0;     // type 22 stands anywhere and never steps
  uint8_t flying = 0;

  // Height 1, size 1, a walker that may enter deep water.
  static CMoveQuery MinimalWalker() {
    CMoveQuery query;
    query.deepWater = 1;
    return query;
  }
};

inline constexpr int kMovementSwimmer = 2;
inline constexpr int kSpecialCreatureType = 22;

// Step kinds reported by CMap::CanStepBetween.
enum StepKind : int {
  kStepGround = 0,
  kStepFlying = 1,
  kStepTakeOff = 2,
  kStepLanding = 3,
  kStepSwimming = 4,
  kStepRefused = 5,
};

struct CRegionOfPower {
  int32_t x = 0, y = 0, level = 0;
  int32_t fourth = 0;  // taken by a wizard's deployment
  int32_t value = 0;   // its entry node in the path network, -1 none
};

// One animated cell: the cell (null when gone) and the player stepping its terrain.
struct CAnimatedCell {
  CMapCell* cell = nullptr;
  std::unique_ptr<ITerrainAnimPlayer> player;
};

class CMap {
 public:
  static constexpr int kMinSize = 43;
  static constexpr int kMaxLevels = 32;   // size of the level offset table
  static constexpr int kMaxHeight = 128;  // size of the row offset table
  static constexpr int kMaxWidth = 128;   // kept like the height, so sizes stay small
  static constexpr int kMaxRegions = 15;
  static constexpr int kPlayers = 8;
  static constexpr int kLightBuffers = 5;
  static constexpr int kHeaderWords = 19;  // the 76-byte header

  CMap();
  ~CMap();
  CMap(const CMap&) = delete;
  CMap& operator=(const CMap&) = delete;

  // --- header (76 bytes, also the header of a section map file) -------------------------
  int32_t format = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t levels = 0;
  int32_t cellsPerLevel = 0;
  int32_t cellCount = 0;
  int32_t sectionsX = 0;
  int32_t sectionsY = 0;
  int32_t reserved[8] = {};
  int32_t sectionValues[3] = {};

  CMapCell* cells = nullptr;  // cellCount cells, owned
  int32_t sectionSize = 0;
  CMapPlacement deploymentZones;
  CMapPlacement otherPlacements;
  CRegionOfPower regions[kMaxRegions];
  int32_t regionHolders[kMaxRegions][kPlayers];   // holding creature per player, -1 none
  int32_t regionCounters[kMaxRegions][kPlayers];  // frames since the holder changed
  int32_t deploymentTable[28] = {};
  int32_t mapTable[123] = {};
  std::vector<int8_t> light[kLightBuffers];  // see the light map
  int32_t lightBufferSize = 0;
  std::list<CAnimatedCell> animatedCells;
  int32_t waterLevel = 0;
  int32_t regionCursor = 0;  // round-robin cursor over the regions, kept for their users
  int32_t maxRegionsOfPower = 0;
  int32_t manaSpriteCount = 0;
  int32_t maxWaterLevel = 0;
  int32_t minWaterLevel = 0;
  int32_t levelOffset[kMaxLevels] = {};  // z * cellsPerLevel
  int32_t rowOffset[kMaxHeight] = {};    // y * width
  CEventAreas eventAreas;
  int32_t backgroundDirty = 0;  // a terrain change waits to be redrawn by the map view
  int32_t viewFlag = 0;

  // --- creation and addressing ---------------------------------------------------------
  // 1 when made; a size below the minimum or above the tables is refused with a box and 0.
  int Create(int width, int height, int levels, int sectionsX, int sectionsY);
  // Empties the header, frees the cells, the light buffers and the animated cells; no
  // region is held.
  void Clear();
  bool HasCells() const { return cells != nullptr; }
  int GetWidth() const { return width; }
  int GetHeight() const { return height; }
  int GetLevelCount() const { return levels; }
  bool IsInside(int x, int y, int level) const {
    return x >= 0 && x < width && y >= 0 && y < height && level >= 0 && level < levels;
  }
  // The cell at a position inside the map (no wrap, no check).
  CMapCell& CellAt(int x, int y, int level) const { return cells[x + rowOffset[y] + levelOffset[level]]; }
  // The cell with x and y wrapped; null when the level is outside the map or there are no cells.
  CMapCell* CellAtWrapped(int x, int y, int level) const;
  // The cell inside the map, or null.
  CMapCell* CellIfInside(int x, int y, int level) const {
    return cells && IsInside(x, y, level) ? &CellAt(x, y, level) : nullptr;
  }
  int CellIndex(int x, int y, int level) const { return x + rowOffset[y] + levelOffset[level]; }
  int CellIndexFromPointer(const CMapCell* cell) const;
  CMapCell* CellPointerFromIndex(int index) const;
  // Saved effects refer to cells by number.
  int CellToNumber(const CMapCell* cell) const { return CellIndexFromPointer(cell); }
  CMapCell* NumberToCell(int number) const { return CellPointerFromIndex(number); }
  // The position of a cell of the array; false (and zeros) for a pointer outside it.
  bool UnpackCellOffset(const CMapCell* cell, int& x, int& y, int& level) const;

  // --- terrain shapes ------------------------------------------------------------------
  // Recomputes the corner and open-sky bits around a changed cell.
  void UpdateCellShape(CMapCell* cell);
  // The corner, class and open-sky rules over the whole map, then the sealing of enclosed cells.
  void FinishTerrainShapes();
  // Touching voxel pairs across the face between two neighbouring cells; 0 outside the map.
  int CountVoxelContact(int x1, int y1, int z1, int x2, int y2, int z2) const;

  // --- passability (x, y, level in cells) -----------------------------------------------
  int CellSupports(int x, int y, int level, const CMoveQuery& query) const;
  int CellHasRoom(int x, int y, int level, const CMoveQuery& query) const;
  int ColumnFreeOf(int x, int y, int level, int creature, int columnHeight) const;
  int IsColumnBlocked(int x, int y, int level, int columnHeight, int mode, int creature) const;
  int AnyTerrainInFootprint(int x, int y, int level, const CMoveQuery& query) const;
  int TallTerrainInFootprint(int x, int y, int level, const CMoveQuery& query) const;
  int FindGroundSupport(int x, int y, int level, const CMoveQuery& query) const;
  int IsBlockedByWater(int x, int y, int level, const CMoveQuery& query) const;
  // startSupport: -1 when not yet known; the support of the start is handed back.
  int CanStepBetween(int x0, int y0, int z0, int x1, int y1, int z1, const CMoveQuery& query, int* stepKind,
                     int* startSupport) const;
  int HasRoomAt(int x, int y, int level, const CMoveQuery& query) const;
  int HasRoomForCreature(int x, int y, int level, int creature, const CMoveQuery& query) const;
  int CanOccupy(int x, int y, int level, const CMoveQuery& query) const;
  // Walk, flyer-blocked and walk-above flags of a cell, compared before and after a change.
  void GetCellPassability(int x, int y, int level, int out[3]) const;

  // --- doors --------------------------------------------------------------------------
  // Opens the door whose column holds the cell, and the door columns beside it.
  void OpenDoor(int x, int y, int level, int arg, int* result);
  // Collapses the structure (a door, locked or not) at a cell: 1 when there was one. The
  // sound of its opening goes to `sound` (-1 none).
  int DestroyStructure(int x, int y, int level, int army, int* sound);

  // --- regions of power, water and animated cells ----------------------------------------
  void BuildRegionOfPower(int x, int y, int level, int pattern);
  void GetRegionOfPowerPosition(int n, int& x, int& y, int& level) const;
  int GetRegionOfPowerValue(int n) const;
  void SetRegionOfPowerHolder(int region, int player, int creature);
  void TickRegionOfPowerCounters();
  int CountRegionsOfPower() const;
  void SetWaterLevel(int level);
  void SetWaterLimits(int minLevel, int maxLevel);
  void ChangeWaterLevel(int delta);
  // Starts a sequence of the terrain animation on a cell that is not animated yet.
  void AnimateCell(CMapCell* cell, int sequence, ITerrainAnimation* animation, int frames);
  void StepCellAnimations();
  void StopCellAnimation(CMapCell* cell, int type);
  void FinishCellAnimation(CMapCell* cell);
  // Starts a cell's animation as the builder does for cells marked animated in the data.
  bool StartCellAnimation(CMapCell* cell, int sequence);
  std::list<CAnimatedCell>::iterator FindAnimatedCell(const CMapCell* cell);

  // --- light ---------------------------------------------------------------------------
  // Allocates the five light buffers when absent and fills them with black.
  void ResetLight();

 private:
  void FillOffsets();
  void ApplyCornerRule(int x, int y, int z, bool wholeMap);
  void SealEnclosedCells();
};

extern CMap g_map;

// Two copies of the current map's level count kept for fast access: L and 16L.
extern int g_mapLevels;
extern int g_mapTopUnits;

// The type record of a cell's terrain.
inline const CTerrainType& TerrainOf(const CMapCell& cell) { return TerrainOf(cell.terrain); }

// Turns a cell's passability before and after a change into the path network's change
// kind (0, 1 or 2), or -1 when the change needs no notice.
int ComparePassability(int before0, int before1, int before2, int after0, int after1, int after2);
inline int ComparePassability(const int before[3], const int after[3]) {
  return ComparePassability(before[0], before[1], before[2], after[0], after[1], after[2]);
}

// Tells the path network that a cell changed (kind as ComparePassability gives it).
// The path network installs itself here; until then nothing listens.
extern void (*g_pathCellChanged)(int x, int y, int level, int kind);
void NotifyPathNetwork(int x, int y, int level, int kind);
