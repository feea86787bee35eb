#pragma once
// CNamedList: the battle's list of experience awards. Scripts add to it, the victory adds its
// sum to the player's wizard, and the battle's part of a saved game keeps it. An entry is
// 264 bytes on file: its value, a 256-character name and an item (a spell number or -1).

#include <cstdint>
#include <cstdio>
#include <vector>

class CNamedList {
 public:
  static constexpr int kGrowth = 10;
  static constexpr int kNameBytes = 256;
  static constexpr int kEntryBytes = 4 + kNameBytes + 4;
  // More entries than any battle's scripts could add: a saved count above it is refused.
  static constexpr int kMaxEntries = 4096;

  struct Entry {
    int32_t value = 0;           // experience points
    char name[kNameBytes] = {};  // zero-terminated
    int32_t item = -1;           // a spell number or -1
  };

  // Storage for ten entries, none in use.
  void Init();
  // The name is cut to 255 characters.
  void Add(int32_t value, const char* name, int32_t item);
  // Null when the index is not below the count.
  const Entry* At(int index) const;
  // Entries go; the storage stays.
  void Clear();
  void Free();
  int SumValues() const;
  // 4 + 264 per entry, or -1 on a short write.
  int Save(FILE* file) const;
  // The bytes read, or -1 with the list as it was: on a short read, a count above
  // kMaxEntries or a name that is not terminated.
  int Load(FILE* file);

  int count = 0;
  int spare = 0;

 private:
  std::vector<Entry> items_;
};

// The single list, made on first use with room for ten entries.
CNamedList* GetNamedList();
