#pragma once
// CRegionEntryScreen: one region of a realm before the player commits to it: the region's
// picture over the whole screen, its name, the difficulty and the buttons to go on or back
// (and, from the realm view, to the grimoire, the spell box and the character screen first).
// The quick battle's set-up opens it in mode 27 for the region it chose, and going on loads
// the battle; the realm view opens it in mode 4.

#include <string>

#include "frontend/FrontEndMenu.h"

class CRegionEntryScreen : public CFrontEndMenu {
 public:
  enum Mode { kFromRealmView = 4, kFromQuickBattle = 27 };
  enum Button { kGoOn = 0, kBack = 1, kGrimoire = 2, kSpellBox = 3, kCharacter = 4 };
  static constexpr const char* kInvalidRegionName = "-<Invalid Realm/Region>-";

  CRegionEntryScreen();

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void OnClick(int type, int index) override;
  std::string BackgroundPath() const override;

  // The quick battle's opening: region and realm (the names reread when either changed),
  // mode 27.
  void PrepareQuickBattle(int newRegion, const char* newRealm);
  // The region's name from "Realms\<realm>\regionNames.txt", line <region>; a file that
  // cannot be read ends the program with the file-load error.
  void ReadRegionNames();

  int region = 1;
  std::string realmName;
  int elsewhere = 1;       // the region is not the one the player's wizard stands in
  std::string regionName;  // empty when there is none
  int mode = kFromRealmView;

 protected:
  void AfterLoad() override;

 private:
  void GoOn();
};

// The region name of line <region> (from 1) of a names file's text: lines end at a line feed,
// a carriage return or line feed at a line's start is skipped, and a name ends at a zero,
// carriage return or line feed. The invalid-region text for region 0 or below, a missing line
// or an empty line at the end of the text.
std::string RegionNameFromText(const std::string& text, int region);
// The difficulty's radio button: below 0 the first, above 2 the fourth.
int DifficultyButton(int difficulty);

extern CRegionEntryScreen* g_regionEntry;
