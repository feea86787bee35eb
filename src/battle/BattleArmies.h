#pragma once
// The eight armies as far as the battle's loading and deployment need them until the army
// table of the creature code is built: a name, whether the army takes part, its wizard
// creature, its colour and its relation to the others, and the local player's army.

#include <cstdint>

struct CBattleArmy {
  char name[32] = {};
  int active = 0;
  int computer = 0;                               // played by the computer player
  int wizardCreature = -1;                        // its wizard's creature, -1 none
  int wizardSite = 0;                             // its wizard has been deployed
  int wizardX = 0, wizardY = 0, wizardLevel = 0;  // where its wizard was deployed
  int colour = 0;
  int relation = 0;  // 0 neutral towards all
};

class CBattleArmies {
 public:
  static constexpr int kArmies = 8;

  // Every army inactive and nameless, no local army.
  void Clear();
  // The direct battle's two sides: "Edric" (army 0, the player) and "secondAI" (army 1, the
  // computer), both active.
  bool InitDefault();
  // A quick or network battle: armies 0 .. count - 1 active, the local one named by slot.
  bool InitNumbered(int count, int localSlot);
  // The army of that name, -1 none.
  int FindByName(const char* name) const;
  // The number of active armies.
  int ActiveCount() const;
  void SetActiveArmy(int army) { localArmy = army; }
  // The local player's name for the frame protocol ("Edric" without a local army).
  const char* PlayerName() const {
    return localArmy >= 0 && armies[localArmy].name[0] ? armies[localArmy].name : "Edric";
  }

  CBattleArmy armies[kArmies];
  int localArmy = -1;
};

extern CBattleArmies g_battleArmies;
