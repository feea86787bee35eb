#pragma once
// A multiplayer player's wizard comes back after its death: the creature code schedules the
// return for the victim's player slot at a frame (CBattle::ScheduleWizardReturn, frameNumber
// + 100), and once a frame CBattle::CheckWizardReturns deploys the wizards whose frame it is.
// A frame that has passed never comes round again, so a return scheduled for one never happens.

#include "core/Hooks.h"

inline constexpr int kWizardReturnSlots = 4;
inline constexpr int kNoWizardReturn = -1;
// How long a dead multiplayer wizard stays away.
inline constexpr int kWizardReturnDelayFrames = 100;

// Deploys a player's wizard again. The neutral implementation puts the army's wizard creature
// back where the army's wizard was first deployed; tests put a fake in with
// HookScope<IWizardRedeploy>(g_wizardRedeploy, fake).
class IWizardRedeploy {
 public:
  virtual ~IWizardRedeploy() = default;
  // The wizard named so for the army, deployed as kind 3 with the map seed: true when it stands.
  virtual bool Redeploy(const char* name, int army, int mapSeed);
};
extern HookSlot<IWizardRedeploy> g_wizardRedeploy;
