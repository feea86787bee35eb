#pragma once
// CRealmState: the campaign's record of one realm: the realm being played, its wizards (who
// they are, where they stand or walk, whether they are still in the realm), who owns each
// region and which realm follows. It is filled from the realm's start file
// "realms\<realm>\realmview.cfg", changed by the realm view as wizards move and battles end, and
// stored whole (5084 bytes, little-endian) in every saved game.
//
// Regions are numbered 1 to the realm's count (at most 20); 0 is no region. Wizards are
// numbered from 0; at most 80 are in use.

#include <cstdint>
#include <cstdio>

#include "core/Bytes.h"

inline constexpr int kRealmWizards = 80;
inline constexpr int kRealmRegions = 20;
inline constexpr int kRealmNameSize = 256;
inline constexpr int kRealmWizardNameSize = 16;
inline constexpr int kRealmStateBytes = 5084;
// The most flag paths a region has (a path slot is one of them, or -1).
inline constexpr int kRealmPathSlots = 8;
// The highest flag or icon sequence a start file may name: the markers add 50 to an icon.
inline constexpr int kRealmMaxSequence = 999;

// Where a wizard walks: out of the old region along its flag path `pathSlot` (-1 when it must
// be looked up again), `countdown` points still to go (0 standing); x, y its marker's place in
// the region it stands in (a start slot, 800 x 600 coordinates), -1 when it has none.
struct CRealmMovement {
  int32_t oldRegion = 0;
  int32_t pathSlot = 0;
  int32_t countdown = 0;
  int32_t x = -1;
  int32_t y = -1;
};

class CRealmState {
 public:
  CRealmState() { Clear(); }
  // Everything zero, no wizards, no last region.
  void Clear();

  // Reads "<current directory>/realms/<realm>/realmview.cfg" key by key; a missing file or key
  // leaves its field as it was (lastRegion becomes -1 at least). Counts are bounded to the
  // record's capacities and every region and wizard number to what the record can hold.
  void Load(const char* realmName);
  // The same from a named file.
  void LoadFile(const char* path);

  // Active wizards below the count standing in, or walking to, the region.
  int CountWizardsInRegion(int region) const;
  bool IsWizard(int w) const { return w >= 0 && w < wizardCount && w < kRealmWizards; }
  bool IsActiveWizard(int w) const { return IsWizard(w) && active[w] != 0; }
  // The owner of region r (1..20), -1 outside.
  int OwnerOf(int region) const { return region >= 1 && region <= kRealmRegions ? regionOwners[region - 1] : -1; }

  // The saved-game block: 5084 bytes, or -1 on a short write or read. A read that is short, or
  // whose record is not sound (counts, player, regions, owners, path slots, countdowns,
  // unterminated names), answers -1 and leaves the record as it was.
  int WriteSave(FILE* file) const;
  int ReadSave(FILE* file);
  void Write(bytes::Writer& out) const;
  // From exactly 5084 bytes; false, changing nothing, when they are not a sound record.
  bool Read(const uint8_t* data, size_t size);

  char currentRealmName[kRealmNameSize];
  int32_t playerWizard;
  int32_t wizardCount;
  int32_t lastRegion;  // reaching it ends the realm; -1 none
  char nextRealm[kRealmNameSize];
  CRealmMovement movement[kRealmWizards];
  char wizardNames[kRealmWizards][kRealmWizardNameSize];
  int32_t active[kRealmWizards];        // 1 still in the realm, 0 defeated
  int32_t icons[kRealmWizards];         // the base sequence of the wizard's own marker
  int32_t locations[kRealmWizards];     // the region it stands in or walks to
  int32_t destinations[kRealmWizards];  // the region it is heading for
  int32_t flags[kRealmWizards];         // the sequence shown on regions it owns
  int32_t regionOwners[kRealmRegions];  // entry r-1: the owner of region r
};
