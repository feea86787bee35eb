#pragma once
// Artifacts: items that lie on the map as world objects or are carried by creatures as item
// events. What happens when a creature reaches an object (it is eaten, picked up and sent to
// the wizard, opened, or it makes the creature a mana source), what each carried item does
// when used, dropping items back on the map or into a chest, and the search for a free cell
// near a cell. Every rule that decides the battle draws from g_battleRandom and asks whether
// an army is a human player's, never which machine it runs on, so that every machine of a
// network battle decides alike.

class CCreature;
class CMapObject;
struct CCreatureEvent;

// Object kinds the artifact rules know.
namespace item_kind {
inline constexpr int kSkeletonSummoner = 12;
inline constexpr int kGreyKey = 16;
inline constexpr int kManaSprite = 19;
inline constexpr int kChest = 50;
inline constexpr int kSilverKey = 51;
inline constexpr int kGoldKey = 52;
inline constexpr int kPlaceOfPower = 61;
inline constexpr int kFirstMessage = 97;
inline constexpr int kLastMessage = 122;
inline constexpr bool IsHealing(int kind) { return (kind >= 0 && kind <= 4) || kind == 6; }
inline constexpr bool IsScroll(int kind) { return kind >= 53 && kind <= 56; }
}  // namespace item_kind

// A creature reached a cell holding the object.
void ApplyMapObjectToCreature(CMapObject& object, CCreature& creature);
// Uses a carried item once; true when it did something (a charge was taken).
bool ApplyItemEvent(CCreatureEvent& event, CCreature& creature);
void OpenChest(CCreature& creature, CMapObject& chest);
// Drops a carried item (into an empty chest on its cell, else on a free cell near it); 0
// when the event holds another kind or no free cell is found. A select-bar button >= 0 is
// refreshed.
int DropCarriedItem(CCreature& creature, int eventIndex, int expectedKind, int button);
// Into the chest on the cell (with intoChest), or as a new world object at the cell.
void DropObjectNear(int kind, int x, int y, int z, const int values[4], bool intoChest);
// A new world object of the kind at a cell; null when the pool is full or the kind unknown.
CMapObject* CreateMapObject(int kind, int x, int y, int z);
// The first cell near (x, y, z) where an object may lie: 1 with it in x, y, z, else 0.
int FindFreeCellNearby(int& x, int& y, int& z);
// The computer player's use of a carried mana item: the first event of kind 19 with charges.
void ProcessItemEvent(CCreature& creature);

// --- the effect starters: each answers 0 when no effect record is free ---
int StartCarriedItemEffect(CCreature& user, int kind);
int FireItemMissile(CCreature& user, int range);
int SummonSkeleton(CCreature& user);
int SummonByItem(CCreature& user, int kind);
int ActivateBehindCreature(CCreature& user, int amount);
int SendObjectToWizard(CMapObject& object, CCreature& creature);
int ShowItemTaken(CMapObject& object, CCreature& creature);

// --- what items do to creatures about them ---
int TeleportRandomly(CCreature& creature, int range);
int HoldUndeadInRange(CCreature& user, int range, int duration);
int CastOnEnemiesInRange(CCreature& user, int range);
int SubvertInRange(CCreature& user, int range, int strength);
