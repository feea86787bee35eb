#pragma once
// What the files of a creature's autonomous behaviour share: the 27-cell block around a cell,
// the type numbers with rules of their own, and the small questions every finder asks.
#include "creatures/Mapelem.h"

namespace behaviour {

// The centre, its 8 neighbours clockwise from north, then the 9 cells above and the 9 below
// in the same order.
struct BlockOffset {
  int dx, dy, dz;
};
extern const BlockOffset kBlock[27];

inline constexpr int kRedcap = 10;
inline constexpr int kDragon = 18;
inline constexpr int kTroll = 21;
inline constexpr int kEye = 22;

// The two bits of a cell's state word the behaviour reads: burning, and a trap (0x20 without
// 0x10, with the trap's effect in the cell: the map data's deep water is no trap).
inline constexpr int kBurningBit = 0x10;
inline constexpr int kTrapBit = 0x20;
bool IsTrapCell(int x, int y, int z);
bool IsBurningCell(int x, int y, int z);
// A cell the map holds (x and y wrapped).
bool InsideMap(int z);

// Whether a human player commands the creature's army, and whether the army has a wizard.
bool HumanArmy(const CCreature& c);
bool ArmyHasWizard(const CCreature& c);
// The creature's army sees the other (its own army's and allies' creatures always).
bool Sees(const CCreature& c, const CCreature& other);
int Distance(const CCreature& a, const CCreature& b);
int DistanceFromPost(const CCreature& c, int x, int y, int z);
int DistanceFromPost(const CCreature& c, const CCreature& other);
// A type-matrix value scaled by the creature's health share.
int ScaledByHealth(const CCreature& c, int value);
// The FearHate value against a type, or 10 under blood lust.
int FearHateOf(const CCreature& c, int otherType);
// A creature standing on the cell, other than `except`.
bool SomeoneStandsOn(int x, int y, int z, int except);

}  // namespace behaviour
