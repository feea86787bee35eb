#pragma once
// CQuickBattleMenuScreen: the quick battle menu. It leads to a multiplayer battle over
// DirectPlay (hosting or joining) and to the single-player battle set-up; entries whose
// screens do not exist yet are greyed. While it is open the front end works in the
// multiplayer realm; every battle set up from here starts from an empty wizard table, and
// closing it puts the campaign's realm and the player's wizard back.

#include "frontend/FrontEndMenu.h"

class CQuickBattleMenuScreen : public CFrontEndMenu {
 public:
  enum Entry { kHostMultiplayer = 0, kJoinMultiplayer, kSinglePlayer, kBack, kButtonCount };

  CQuickBattleMenuScreen();

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void OnClick(int type, int index) override;

 protected:
  void AfterLoad() override;
};

extern CQuickBattleMenuScreen* g_quickBattleMenu;
