#pragma once
// CArmyTable: the eight armies that own the creatures of a battle, and which of them is the
// army of the player at this machine. A battle fills the table once before deployment, from
// the campaign region's realm configuration, as the default three armies, as numbered network
// armies or from the quick battle's player slots. While the battle runs it says who is allied
// with whom, who shares vision, which creature is each army's wizard and which army is local;
// it travels in the saved game.

#include <cstdint>
#include <cstdio>

inline constexpr int kArmyCount = 8;
inline constexpr int kArmyNameSize = 256;
// Damage points one army's creatures deal an ally before the alliance breaks.
inline constexpr int kGrievanceLimit = 100;
// The name of the player's wizard and of its army in the default set-up; the battle finds the
// player's wizard record by the same name.
inline constexpr const char* kDefaultPlayerWizardName = "Edric";

class CArmyTable;
class CCreature;

class CArmy {
 public:
  // Not in use, no flags, no wizard, every alliance byte 1, no shared vision, no grievance;
  // name and colour stay.
  void Reset();
  // Sets both armies' bytes; nothing when other is this army or outside 0-7.
  void SetAlliance(int other, int value);
  void SetSharedVision(int other, int value);
  // This army's alliance with each of the seven others, both ways.
  void SetRelationToAll(int value);
  // No longer commanded by a person; a local army stops being local.
  void Deactivate();
  // A human local army whose wizard is gone (-1) leaves the table without a local army.
  void SetWizardCreature(int creature);
  // Damage by this army's creatures to an ally's: at 100 points the alliance ends both ways.
  void AddGrievance(int points, int victimArmy);
  bool IsAlliedWith(int other) const { return other >= 0 && other < kArmyCount && alliance[other] != 0; }
  // Allied with the other army and sharing its vision.
  bool SharesVisionWith(int other) const { return IsAlliedWith(other) && sharedVision[other] != 0; }

  int32_t inUse = 0;
  int32_t human = 0;  // commanded by a person at some machine
  int32_t local = 0;  // the army of the player at this machine
  int32_t wizardCreature = -1;
  int32_t wizardRecord = -1;
  int32_t deploymentKey = -1;
  uint8_t alliance[kArmyCount] = {1, 1, 1, 1, 1, 1, 1, 1};
  uint8_t sharedVision[kArmyCount] = {};
  int32_t grievance[kArmyCount] = {};
  char name[kArmyNameSize] = {};
  int32_t colour = 0;

  // Set by the table: the record's own index and its table.
  int32_t index = 0;
  CArmyTable* table = nullptr;
};

class CArmyTable {
 public:
  CArmyTable();
  CArmyTable(const CArmyTable&) = delete;
  CArmyTable& operator=(const CArmyTable&) = delete;

  // Resets the eight records; no local army.
  void ResetAll();
  // The record of an army 0-7, null for anything else.
  CArmy* GetArmy(int index);
  // The army's wizard creature, null when the army is not in use or has none on the map.
  CCreature* GetWizard(int index) const;
  // The first record named exactly so, in use or not; null when none.
  CArmy* FindByName(const char* name);
  // Makes the human army in use with that index the local one: 1 when a local army is set.
  int SetActiveArmy(int index);

  // The four set-ups. InitFromRealm reads the realm configuration of the current campaign
  // region (false, after its message, on a bad entry); the others cannot fail except
  // InitNumbered on a bad count.
  bool InitFromRealm();
  // The same from a named configuration file and region, as the campaign hands them over.
  bool InitFromRealmFile(const char* path, int region);
  bool InitDefault();
  int InitNumbered(int count, int local);
  bool InitSkirmish();

  // The saved-game block: Save answers the bytes written or -1; Load answers the bytes read,
  // or -1 on a short read or a block that breaks the table's rules (and then changes nothing).
  int Save(FILE* file) const;
  int Load(FILE* file);

  CArmy armies[kArmyCount];
  int32_t localIndex = -1;
  int32_t spare = 0;  // cleared with the local index
};

extern CArmyTable g_armyTable;
// The local army: the table's local index, -1 when none.
extern int& g_localArmy;
