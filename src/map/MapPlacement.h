#pragma once
// Placement lists (.mps) and event areas (.evt): a 16-byte header carried from the file (two
// words the list does not use, the format version, the count at loading) and an array of
// fixed-size items of signed 32-bit words. Both are loaded per section, gathered into the
// map's own lists and stored in the map's saved-game block.

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

template <int Words>
class CItemList {
 public:
  static constexpr int kItemWords = Words;
  static constexpr int kItemBytes = Words * 4;
  static constexpr int kHeaderBytes = 16;
  static constexpr int32_t kFileVersion = 1;
  using Item = std::array<int32_t, Words>;

  int32_t header[4] = {};  // carried word, carried word, version, count at loading
  std::vector<Item> items;

  int Count() const { return static_cast<int>(items.size()); }
  // Frees the items; the count becomes 0.
  void Clear() { items.clear(); }
  // Saved-game block: header, count, items. Bytes written or read, -1 on a short write or read
  // (a failed read leaves the list as it was).
  int Write(FILE* file) const;
  int Read(FILE* file);

 protected:
  enum class FileResult { kLoaded, kNotOpened, kShort, kBadVersion, kBadSize };
  // Reads a list file; on kLoaded the header and items are replaced.
  FileResult LoadFile(const char* path);
};

// Placement categories (the fourth word of an item).
enum PlacementCategory : int32_t {
  kPlacementUndefined = 0,
  kPlacementFriendlyWizard = 1,
  kPlacementEnemyWizard = 2,
  kPlacementMultiplayerWizard = 3,
  kPlacementCreature = 4,
  kPlacementArtifact = 5,
};

// Where wizards, creatures and objects may be deployed: items of ten words (x, y, level,
// category, then six words of deployment). Two items are the same when their first four
// words are.
class CMapPlacement : public CItemList<10> {
 public:
  // 1 on success; on failure the previous items stay and the player is told.
  int Load(const char* path);
  // Appends a copy unless the same item is held (then the player is told).
  void AddItem(const Item& item);
  // 1 when the same item was found and removed, else 0 (and the player is told).
  int RemoveItem(const Item& item);
};

// Boxes of map cells the battle script watches: items of eighteen words (first corner x, y,
// level, opposite corner x, y, level, then twelve words of the script).
class CEventAreas : public CItemList<18> {
 public:
  // 1 on success; on failure the previous items stay.
  int Load(const char* path);
  // Appends a copy unless its first corner equals a corner of a held item (then the player
  // is told); answers the count.
  int AddItem(const Item& item);
};
