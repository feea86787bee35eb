#pragma once
// CNetLoadScreen: what every machine shows after a network battle's start message until the
// other players' spell lists have arrived; then it loads the battle and hands over to it.
// While it waits it keeps the host's and the client's receive loops running. A player who
// leaves the session meanwhile is no longer waited for. When the battle is popped, the next
// update pops this screen too.
//
// The battle it loads is the start message's (g_pendingNetBattle, with g_gameSettings and
// g_playerSlots as the set-up screen took them from it).

#include <cstdint>

#include "frontend/FrontEndBattle.h"
#include "graphics/Surface.h"
#include "net/NetMessages.h"
#include "ui/Screen.h"

struct WizardSpells;

class CNetLoadScreen : public CScreen {
 public:
  CNetLoadScreen();
  ~CNetLoadScreen() override;

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void Update() override;
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }

  void StartLoad();
  // A player's spell list was accepted: its spells join that player's wizard.
  void SpellListArrived(const WizardSpells& spells);
  // The lists still awaited from players who are in the session.
  int CountAwaited() const;

  int popOnUpdate = 0;
  int battleLoaded = 0;
  int awaitedSpellLists = 0;
  uint32_t arrivedFrom = 0;  // client indices whose list has come

 private:
  class Restorer;
  void LoadPicture();
  void FreeSurface();

  CSurface background_;
  Restorer* restorer_ = nullptr;
};

// The battle the last start message described, and its offer of magic items.
extern BattleSetupRecord g_pendingNetBattle;
extern uint8_t g_netOffer[kMaxWizardSpells];

extern CNetLoadScreen* g_netLoadScreen;

// The set-up events of the receive loops as the front end hears them: those of the screen
// attached to the transport (NetTransport.h), and the spell lists for the load screen.
void InstallNetSetupEvents();
void RemoveNetSetupEvents();
