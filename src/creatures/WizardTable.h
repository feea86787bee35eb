#pragma once
// CWizardTable: the one table of 80 wizard records that the campaign, the front end and the
// battle share. The front end fills records, the battle deploys them as wizard creatures and
// counts the player's victories toward a rank, and the table travels in the saved game and
// in a file of its own around battle playback.

#include <cstdio>

#include "creatures/Wizard.h"

inline constexpr int kWizardRecords = 80;

class CWizardTable {
 public:
  CWizardTable();
  CWizardTable(const CWizardTable&) = delete;
  CWizardTable& operator=(const CWizardTable&) = delete;

  // The first record not in use, -1 when all 80 are.
  int FindFree() const;
  // Every record reset (and the wizard types all free).
  void Clear();
  // The first record of the player's side (computer flag 0) named exactly so, in use or not.
  CWizard* FindByName(const char* name);
  // The number of records in use whose group key is key, and of those the computer wizards.
  int CountMatching(int key) const;
  int CountInGroup(int key) const;
  CWizard* At(int index) { return index >= 0 && index < kWizardRecords ? &records[index] : nullptr; }
  // The index of a record of this table, -1 for any other.
  int IndexOf(const CWizard* wizard) const;
  // The shared animation-file buffer SpawnCreature builds the name in.
  const char* GetAnimFileName() const;

  // The wizard numbers 0-3 (types 0, 24, 25, 26) taken by wizard creatures of this battle.
  bool WizardNumberUsed(int number) const { return number >= 0 && number < 4 && wizardNumberUsed[number]; }
  // The first free wizard number, taken; -1 when all four are.
  int TakeWizardNumber();
  void FreeWizardNumber(int number);
  void FreeWizardNumbers();

  // The saved-game block: all 80 records. Save answers the bytes written, -1 on a failed
  // write; Load the bytes read, or -1 (the table unchanged) when a record is short or bad.
  int Save(FILE* file) const;
  int Load(FILE* file);
  // The table's own file: false when it cannot be opened or a record fails. Saving replaces
  // the file only when whole; loading changes the table only when every record was read.
  bool SaveToFile(const char* path) const;
  bool LoadFromFile(const char* path);

  CWizard records[kWizardRecords];
  int32_t wizardNumberUsed[4] = {};
};

extern CWizardTable g_wizardTable;

// The index of the player's wizard: the first record in use with the computer flag clear;
// -1 when none.
int FindPlayerWizardIndex();

// Makes the wizard table answer the creatures' notices: wizard creatures leaving the map and
// things the player saw (noted in the player's wizard record).
void InstallWizards();
