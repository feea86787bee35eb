#pragma once
// What the front-end menus ask of the wizard table: the quick battle menu empties it when a
// battle is being set up from it and puts the player's wizard back when it closes; the new
// campaign loads the player's wizard; the quick battle set-up and the spell box give wizards
// their magic. Until the wizard table exists a stand-in keeps the magic of the first eight
// records (their items, talismans and spell pools) and does nothing else; the table's owner
// installs the real calls at start-up. Tests install fakes with FrontEndWizardsScope.

class IFrontEndWizards {
 public:
  virtual ~IFrontEndWizards() = default;
  // Clears all 80 wizard records.
  virtual void ClearTable() {}
  // Loads the definition "_start.wzd" into a wizard record: the given one, or the first free
  // one for -1.
  virtual void LoadStartWizard(int record) {}
  // The record's knowledge (the grimoire sections it has seen) all forgotten.
  virtual void ForgetKnowledge(int record) {}

  // A quick battle's magic (records 0-3, one per player slot). A drawn magic item (0-20) joins
  // the record's list of 25 known items.
  virtual void AddItem(int record, int item) {}
  virtual void SetTalismans(int record, int law, int neutral, int vrask) {}
  // The record's known items (up to 25, ending at the first -1) into items; answers how many.
  virtual int KnownItems(int record, int items[25]) { return 0; }
  // The record's talisman levels: Law, Neutral, Vrask.
  virtual void Talismans(int record, int levels[3]) { levels[0] = levels[1] = levels[2] = 0; }
  // The record's spell pool, the spells it carries into battle (up to max) into spells;
  // answers how many.
  virtual int SpellPool(int record, int* spells, int max) { return 0; }
  virtual void ClearSpellPool(int record) {}
  // Spells join the record's spell pool, as far as it has room.
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
