#pragma once
// The cursor over the battle map: which pointer the cell and creature under it call for, by
// the battle's mouse mode (creatures selected, a spell chosen, a band being drawn). The
// battle's state belongs to the subsystems above; they answer the questions of
// CMapCursorFacts.

// What the cursor needs to know of a creature.
struct MapCursorCreature {
  int living = 0;
  int army = 0;
  int moving = 0;
  int destinationX = 0, destinationY = 0, destinationLevel = 0;  // of its walk
  int typeFlags = 0;                                             // its creature type's flag byte (0x02, 0x04 are read)
  int isWizardType = 0;
};

class CMapCursorFacts {
 public:
  virtual ~CMapCursorFacts() = default;
  virtual bool CellInsideMap(int x, int y, int level) = 0;
  // A kind the battle forces (a speech box running), 22 for none.
  virtual int ForcedCursorKind() = 0;
  virtual bool HasLocalArmy() = 0;
  // The map view's targeting state, and its change when a spell may target the pointer.
  virtual int TargetingState() = 0;
  virtual void SetTargetingState(int state) = 0;
  virtual int SelectedCount() = 0;
  // The map view's current order (an index into the battle's table of orders) and the kind
  // of target it takes (0, 1 or 2).
  virtual int CurrentOrder() = 0;
  virtual int OrderTargetKind(int order) = 0;
  // The local player's selected creatures, at most capacity of them; answers how many.
  virtual int SelectedLocalCreatures(MapCursorCreature* out, int capacity) = 0;
  // The creature under the pointer; false when there is none.
  virtual bool CreatureUnderPointer(MapCursorCreature& out) = 0;
  // The local army's relation byte toward an army: 0 marks an army the player may attack.
  virtual int LocalRelationToward(int army) = 0;
  virtual int CellTerrainFlags(int x, int y, int level) = 0;
  virtual int CellTerrainKind(int x, int y, int level) = 0;
  virtual bool HasLocalWizard() = 0;
  virtual int LocalWizardMana() = 0;  // the whole part of its 8.8 value
  virtual int ChosenSpellCost() = 0;
  // The spell-target test from the wizard to the creature under the pointer (or the cell's
  // centre).
  virtual int SpellTargetTest() = 0;
};

constexpr int kMaxCursorSelection = 256;

// The cursor kind for the cell x, y, level under the pointer.
int ChooseMapCursor(CMapCursorFacts& facts, int x, int y, int level);
