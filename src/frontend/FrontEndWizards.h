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
