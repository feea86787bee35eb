#pragma once
// What the front-end menus ask of the wizard table: the quick battle menu empties it when a
// battle is being set up from it and puts the player's wizard back when it closes; the new
// campaign loads the player's wizard. Until the wizard table exists these do nothing; its
// owner installs the real calls at start-up. Tests install fakes with FrontEndWizardsScope.

class IFrontEndWizards {
 public:
  virtual ~IFrontEndWizards() = default;
  // Clears all 80 wizard records.
  virtual void ClearTable() {}
  // Loads the definition "_start.wzd" into a wizard record: the given one, or the first free
  // one for -1.
  virtual void LoadStartWizard(int record) {}

  // A quick battle's magic (records 0-3, one per player slot). A drawn magic item (0-20) joins
  // the record's list of 25 known items.
  virtual void AddItem(int record, int item) {}
  virtual void SetTalismans(int record, int law, int neutral, int vrask) {}
  // The record's known items (up to 25, ending at the first -1) into items; answers how many.
  virtual int KnownItems(int record, int items[25]) { return 0; }
  // Spells join the record's spell pool, the spells it carries into battle.
  virtual void AddSpellsToPool(int record, const int* spells, int count) {}
  // The number of records whose group is the region (the wizards waiting there).
  virtual int CountInGroup(int group) { return 0; }
};

IFrontEndWizards& FrontEndWizards();
// Installs the wizard table's calls; null puts the neutral ones back.
void InstallFrontEndWizards(IFrontEndWizards* wizards);

// Installs a fake for a test's life.
class FrontEndWizardsScope {
 public:
  explicit FrontEndWizardsScope(IFrontEndWizards& fake) { InstallFrontEndWizards(&fake); }
  ~FrontEndWizardsScope() { InstallFrontEndWizards(nullptr); }
  FrontEndWizardsScope(const FrontEndWizardsScope&) = delete;
  FrontEndWizardsScope& operator=(const FrontEndWizardsScope&) = delete;
};
