#pragma once
// CQuickBattleEndScreen (screen id 31): the results of a quick or network battle, pushed by
// the battle's Escape key while the battle runs on underneath. It ranks the four players by
// score (a picture of each player's portrait, the name, kills, deaths, handicap and the
// handicap-adjusted score) and offers to go back to the battle or to leave it.
//
// Buttons: control 0 "Continue Watching" (no army left to command), control 1 "Return to
// Battle" (the player still has an army), control 2 "Leave Battle"; the first two close the
// screen, the third closes it and sets the battle's quitRequested. Only one of the first two
// shows, and neither once the player has been back (the returned byte).

#include <memory>
#include <string>

#include "core/PlayerSlot.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "ui/MenuScreen.h"
#include "ui/TextLabel.h"

inline constexpr int kQuickBattleEndScreenId = 31;

// One row of the results: a player slot that takes part, in ranking order.
struct ResultsRow {
  int slot = -1;
  int portrait = 0;
  std::string name;
  int kills = 0, deaths = 0, handicap = 0;
  int adjustedScore = 0;  // (handicap / 100 + 1) x score
};
// The player slots ranked by the score shown (adjusted), highest first, ties in slot order; slots named
// "No Player" are left out.
int RankPlayerSlots(const CPlayerSlot slots[kPlayerSlotCount], ResultsRow rows[kPlayerSlotCount]);

class CQuickBattleEndScreen : public CMenuScreen {
 public:
  static constexpr int kLabels = 26;
  static constexpr int kButtons = 3;
  static constexpr int kPictures = 4;
  static constexpr int kFirstRowLabel = 6;  // labels 0-5 head the columns; 5 a row from 6
  static constexpr int kRowLabels = 5;
  static constexpr int kPortraitFrame = 27;  // + 3 x portrait in the buttons sprite
  static constexpr const char* kLayout = "Interface\\QuickBattleEnd\\screen (Quick Battle End).cfg";

  CQuickBattleEndScreen();
  ~CQuickBattleEndScreen() override;

  void Enter() override;
  void Exit() override;
  void Resume() override;
  void ReadConfig(const char* fileName) override;
  void Unload() override;
  void Load() override;
  void Draw() override;
  // After the frame was shown: the rows again, then a frame of the battle underneath.
  void AfterDraw() override;

  // Fills the rows from the player slots.
  void RefreshRows();
  // Tells the ranked rows on stderr ("battle results: ...").
  void ReportRows() const;
  void OnButton(int control);
  std::string PicturePath() const;
  const CTextLabel& Label(int index) const { return labels_[index]; }
  const CPictureBox& Picture(int index) const { return pictures_[index]; }
  // The button of a control number, null when it was removed.
  CControl* Button(int control) const { return buttons_[control].get(); }

  uint8_t hasArmy = 1;   // the player still commands an army
  uint8_t returned = 1;  // the player went back to the battle before
  int savedCursor = 16;

 private:
  // What the screen hides of the battle's panels and puts back.
  bool scannerWasShown_ = false, popupWasOpen_ = false;

  CSurface backgroundSurface_;
  CSprite buttonsSprite_;
  CTextLabel labels_[kLabels];
  std::unique_ptr<CControl> buttons_[kButtons];
  CPictureBox pictures_[kPictures];
  std::unique_ptr<CCallback> callback_;
};

// The one results screen.
CQuickBattleEndScreen& QuickBattleEndScreen();
void DestroyQuickBattleEndScreen();
