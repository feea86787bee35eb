#pragma once
// CDrawList: every sprite the battle map shows in a frame, with a depth key. The list is
// filled in place by the map view, sorted far to near, optionally culled by the occlusion
// pass (which remembers hidden terrain sprites in the map cells) and by the frame cache,
// then printed through the print-type printers.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "graphics/FrameCache.h"
#include "graphics/SpriteFrame.h"

class CSprite;
struct CMapCell;
struct CScreenSegment;

// A thing that prints itself at a screen point (particles).
class IDrawListObject {
 public:
  virtual ~IDrawListObject() = default;
  virtual void Draw(int screenX, int screenY) = 0;
};

// Print types the draw list knows beyond those of the sprite printers.
namespace draw_types {
inline constexpr int kHidden = -2;      // culled by the occlusion pass
inline constexpr int kPlainShaded = 0;  // as PRT_NORMAL
inline constexpr int kSelfDrawing = 8;  // object draws itself
inline constexpr int kLineSegment = 9;  // a bolt piece
inline constexpr int kPlainCopy = 32;   // copied unshaded
inline constexpr int kLitTerrain = 33;  // terrain through the wide lit tables
inline constexpr int kCached = 34;      // the frame cache's pre-shaded copy
}  // namespace draw_types

inline constexpr int16_t kNoClipLine = -30000;

struct DrawListEntry {
  int32_t key = 0;
  CSpriteFrame frame;                       // the sprite frame (for type 9 the dot picture)
  IDrawListObject* object = nullptr;        // print type 8
  const CScreenSegment* segment = nullptr;  // print type 9
  int32_t screenX = 0;                      // hot spot; for type 9 the colour value
  int32_t screenY = 0;
  int16_t shade = 0;  // -127 draws black
  int16_t variant = 0;
  CMapCell* cell = nullptr;  // the cell whose terrain this entry draws
  int32_t printType = 0;
  int16_t clipBelow = kNoClipLine;
  int16_t clipAbove = kNoClipLine;
  uint32_t cacheKey = 0;
};

// Where one sprite goes and how it is printed (the arguments of CDrawList::Add).
struct DrawRequest {
  CSpriteFrame frame;
  int x = 0, y = 0, z = 0;  // map units: the depth position
  int screenX = 0, screenY = 0;
  int depthBias = 0;
  int shade = 0;
  int variant = 0;
  int printType = 0;
  int clipBelow = kNoClipLine;
  CMapCell* cell = nullptr;
  int clipAbove = kNoClipLine;
  int colourValue = 0;  // print type 9
  IDrawListObject* object = nullptr;
  const CScreenSegment* segment = nullptr;
};

// Which outline bits a frame touches and which bits it covers wholly, in the skewed grid of
// the coverage bitmap, whatever the frame's position modulo a bit. Row j of the masks lies
// rowOffset + j rows below the row of the frame's top-left corner; bit 31 of a row is the
// corner's column.
struct OcclusionMask {
  int rowOffset = 0;
  std::vector<uint32_t> outline;
  std::vector<uint32_t> solid;
};

// Builds the masks of a frame; false (no mask) for an empty frame or one too wide for a
// 32-bit row.
bool BuildOcclusionMask(CSpriteFrame frame, OcclusionMask& mask);

// The tables every frame's keys and shades are made with.
extern int g_heightDepth[500];  // (82 z) / 100
extern int g_shadeStep;         // 256 / shade levels
// Rebuilds both from the shade levels of the terrain light preference.
void BuildDepthTables(int shadeLevels);
int HeightDepth(int z);

class CDrawList {
 public:
  static constexpr int kCapacity = 12000;
  static constexpr int kCoverageRows = 339;
  static constexpr int kCoverageBits = 344;
  static constexpr int kCoverageRowBytes = 43;
  static constexpr int kCoverageBytes = kCoverageRows * kCoverageRowBytes;  // 14577
  static constexpr int kCacheSlices = 50;
  static constexpr int kMaxCacheKeys = 2000;
  static constexpr int kCacheGrants = 49;

  CDrawList();
  CDrawList(const CDrawList&) = delete;
  CDrawList& operator=(const CDrawList&) = delete;

  // Sets up the coverage geometry and a zeroed coverage bitmap.
  void Init();
  // The new entry's index, or -1 (nothing stored) when the list is full.
  int Add(const DrawRequest& request);
  void Sort();
  // The occlusion pass over the sorted list; the terrain sprites tell block and side
  // frames apart, in the list's rotation.
  void Occlude(const CSprite* terrainSprites);
  // 1 when the frame at the screen point lies wholly on covered bits; opaque terrain then
  // adds its solid bits.
  int TestCoverage(CSpriteFrame frame, int screenX, int screenY, int printType);
  void UpdateFrameCache(CFrameCache& cache);
  // Prints every entry in list order into the current print target.
  void Draw();
  void Reset();
  void ClearCoverage();

  // Masks for every frame of a sprite set (the terrain), replacing those held.
  void SetOcclusionFrames(const CSprite* sprites);
  const OcclusionMask* MaskOf(CSpriteFrame frame) const;

  DrawListEntry* Entries() { return entries_.data(); }
  const DrawListEntry& Entry(int index) const { return entries_[static_cast<size_t>(index)]; }
  DrawListEntry& Entry(int index) { return entries_[static_cast<size_t>(index)]; }
  int Count() const { return count; }
  bool IsFull() const { return count >= capacity; }
  const uint8_t* Coverage() const { return coverage_.get(); }

  int cursor = 0;
  int count = 0;
  int capacity = kCapacity;
  int rotation = 0;
  int screenWidth = 800;  // of the coverage geometry
  int screenHeight = 600;
  // The display toggle of the battle: clip lines are honoured.
  int clipLinesOn = 0;
  // The view rectangle the clip rectangle returns to after a clipped entry.
  int viewLeft = 0, viewTop = 0, viewRight = 0, viewBottom = 0;
  // Calls of Add since the last sprite log report (stored or not).
  int addCalls = 0;
  int cacheThreshold = 2;
  int cacheFrame = 0;  // 0..49 within the cycle

 private:
  // A key seen in this cycle, with what shading its copy needs (the entries of the list are
  // rebuilt every frame, so the request is kept rather than an entry's index).
  struct CacheKey {
    uint32_t key;
    int count;
    int entry;
    CSpriteFrame frame;
    int light;
    int listIndex;
  };
  void DrawEntry(const DrawListEntry& entry);
  void PrintFrameOfType(const DrawListEntry& entry, int x, int y);
  void MarkHiddenFrames(const DrawListEntry& entry, const CSprite* terrainSprites, bool hidden);
  bool CoverageCorner(CSpriteFrame frame, int screenX, int screenY, int& u, int& v) const;
  // The sort works on the keys and the indexes of their entries (two arrays, so that the
  // scans read keys alone), not on the 80-byte entries.
  void MoveEntriesToOrder(int32_t* order, int n);

  std::vector<DrawListEntry> entries_;
  std::unique_ptr<uint8_t[]> coverage_;
  std::unordered_map<const uint8_t*, OcclusionMask> masks_;
  std::vector<CacheKey> cacheKeys_;
  std::vector<int32_t> sortKeys_, sortOrder_;
};
