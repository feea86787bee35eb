#pragma once
// CSinglePlayerBattleScreen: the set-up of a quick battle against up to three computer
// wizards, pushed by the quick battle menu. Row 0 is the player (portrait and colour buttons),
// rows 1-3 the opponents, drawn with random portraits and the names that go with them; rows 2
// and 3 can be removed. Each row has a handicap slider; thirteen sliders edit the rules of
// g_gameSettings, and the map is chosen on the map selection screen. Start saves the rules
// ("DEFAULTS-SINGLE"), deals the magic items, lets the player choose spells on the spell box
// (when items and talismans are in play) and hands over to the region entry screen, which
// loads the battle. The players are g_playerSlots.

#include <memory>

#include "frontend/FrontEndMenu.h"
#include "frontend/MapSelection.h"
#include "graphics/Sprite.h"
#include "ui/TextLabel.h"

class CEditBox;
class CSliderBar;
class CStringTable;

class CSinglePlayerBattleScreen : public CFrontEndMenu, public IMapSelectionCaller {
 public:
  enum TextButton { kBack = 0, kStart = 1, kChooseMap = 2 };
  enum StandardButton { kPortrait = 0, kColour = 1, kRemoveRow2 = 2, kRemoveRow3 = 3 };
  static constexpr int kRuleSliders = 13;          // sliders 0-12: the rules, in record order from mana
  static constexpr int kFirstHandicapSlider = 13;  // sliders 13-16: the handicaps of rows 0-3
  static constexpr int kLivesSlider = 8;

  CSinglePlayerBattleScreen();
  ~CSinglePlayerBattleScreen() override;

  void Enter() override;
  void Suspend() override;
  void Resume() override;
  void Unload() override;
  void Draw() override;
  void OnClick(int type, int index) override;

  // IMapSelectionCaller: the chosen region's name.
  void ShowMapName(const char* name) override;

  // Set once Start has sent the player to the spell box: the hand-over follows its return.
  int goToBattle = 0;

  CSliderBar* Slider(int index) const;
  const CPictureBox& Picture(int index) const { return pictures_[index]; }

 protected:
  void AfterLoad() override;

 private:
  void SetUpPlayers();
  // The name typed in the box becomes the player's, and the preferences keep it.
  void KeepPlayerName();
  CEditBox* NameBox() const;
  void ShowRow(int row);
  void RemoveRow(int row);
  void OnSlider(int index);
  void Start();
  void HandOverToRegionEntry();

  CSprite buttonSprite_;
  std::unique_ptr<CStringTable> wizardNames_;
  CPictureBox pictures_[6];
  bool removed_[4] = {};
  bool mapSelectionAbove_ = false;  // it stays loaded under the map selection
};

extern CSinglePlayerBattleScreen* g_singlePlayerBattle;
