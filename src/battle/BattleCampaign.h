#pragma once
// What a campaign battle tells the realm view above it: the battle's result (2 while it runs,
// 1 once the player has won) and, when the player has lost the battle of the realm's first
// region, that the campaign is over (the realm view's leave request set, its battle no longer
// pending, so that the view closes when it is next current). The front end installs the
// realm view's answers at start-up; tests put a fake in with
// HookScope<IBattleCampaign>(g_battleCampaign, fake).

#include "core/Hooks.h"

class IBattleCampaign {
 public:
  virtual ~IBattleCampaign() = default;
  virtual void SetBattleResult(int result) {}
  virtual void LeaveCampaign() {}
};
extern HookSlot<IBattleCampaign> g_battleCampaign;

inline constexpr int kBattleResultWon = 1;
inline constexpr int kBattleResultRunning = 2;
