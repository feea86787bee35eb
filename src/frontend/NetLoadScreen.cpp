#include "frontend/NetLoadScreen.h"

#include <cstdio>

#include "core/PlayerSlot.h"
#include "frontend/FrontEndWizards.h"
#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/ScreenTable.h"
#include "graphics/Display.h"
#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "net/NetTransport.h"
#include "ui/Cursor.h"

BattleSetupRecord g_pendingNetBattle;
uint8_t g_netOffer[kMaxWizardSpells] = {};
CNetLoadScreen* g_netLoadScreen = nullptr;

class CNetLoadScreen::Restorer : public CSurfaceRestorer {
 public:
  explicit Restorer(CNetLoadScreen& screen) : screen_(screen) {}
  void RestoreSurface(int) override { screen_.LoadPicture(); }

 private:
  CNetLoadScreen& screen_;
};

CNetLoadScreen::CNetLoadScreen() { id = kScreenNetLoad; }

CNetLoadScreen::~CNetLoadScreen() { FreeSurface(); }

void CNetLoadScreen::Enter() {
  popOnUpdate = 0;
  battleLoaded = 0;
  const int players = g_pendingNetBattle.players;
  awaitedSpellLists = players >= 2 ? players - 1 : 0;
  StartLoad();
}

void CNetLoadScreen::StartLoad() {
  if (background_.IsCreated()) return;
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = ScreenWidth();
  desc.height = ScreenHeight();
  background_.Create(&desc);
  restorer_ = new Restorer(*this);
  background_.restorer = restorer_;
  LoadPicture();
}

void CNetLoadScreen::LoadPicture() {
  char path[256];
  std::snprintf(path, sizeof path, "Interface\\MultiplayerBattleLoad\\%ix%i\\Multiplayer Battle Load %i-%i.JPG",
                ScreenWidth(), ScreenHeight(), ScreenWidth(), ScreenHeight());
  // A missing picture leaves the screen blank: the load goes on without it.
  background_.LoadJpeg(path);
}

void CNetLoadScreen::FreeSurface() {
  background_.restorer = nullptr;
  background_.Release();
  delete restorer_;
  restorer_ = nullptr;
}

void CNetLoadScreen::Exit() { FreeSurface(); }

void CNetLoadScreen::Suspend() { FreeSurface(); }

void CNetLoadScreen::Resume() { popOnUpdate = 1; }

void CNetLoadScreen::SpellListArrived(const WizardSpells& spells) {
  if (spells.playerIndex < 0 || spells.playerIndex >= kPlayerSlotCount) return;
  arrivedFrom |= 1u << spells.playerIndex;
  if (spells.count > 0 && !(spells.count == 1 && spells.spells[0] == kNoSpell)) {
    int pool[kMaxWizardSpells];
    int used = 0;
    for (int i = 0; i < spells.count && i < kMaxWizardSpells; ++i)
      if (spells.spells[i] != kNoSpell) pool[used++] = spells.spells[i];
    // The own list went out from this wizard's pool already.
    if (spells.playerIndex != g_pendingNetBattle.localArmy && used > 0)
      FrontEndWizards().AddSpellsToPool(spells.playerIndex, pool, used);
  }
  awaitedSpellLists = CountAwaited();
}

int CNetLoadScreen::CountAwaited() const {
  int awaited = 0;
  for (int client = 0; client < g_pendingNetBattle.players && client < kPlayerSlotCount; ++client) {
    if (client == g_pendingNetBattle.localArmy || (arrivedFrom & (1u << client))) continue;
    const int place = PlaceOfClient(client);
    // A player who has left the session sends nothing more.
    if (place < 0 || !g_netSession.FindPlayerByName(g_playerSlots[place].name)) continue;
    ++awaited;
  }
  return awaited;
}

void CNetLoadScreen::Update() {
  if (popOnUpdate) {
    popOnUpdate = 0;
    PopScreen();
    return;
  }
  if (g_backBuffer.IsCreated() && background_.IsCreated()) background_.BlitTo(&g_backBuffer, 0, 0);
  g_cursorTimerMayDraw = false;
  DrawSoftwareCursor();
  PresentWorkSurface();
  g_cursorTimerMayDraw = true;
  if (battleLoaded) return;
  if (awaitedSpellLists != 0) {
    g_netHost.Receive();
    g_netClient.Receive();
    awaitedSpellLists = CountAwaited();
    return;
  }
  battleLoaded = 1;
  g_lastBattleSetup = g_pendingNetBattle;
  if (CScreen* battle = FrontEndBattle().LoadBattle(g_pendingNetBattle))
    PushScreen(battle);
  else
    popOnUpdate = 1;
}

namespace {

class FrontEndSetupEvents final : public INetSetupEvents {
 public:
  void PlayerAdded(const char* name) override { Base().PlayerAdded(name); }
  void PlayerRemoved(const char* name) override { Base().PlayerRemoved(name); }
  void SelfRemoved() override { Base().SelfRemoved(); }
  void PlayersChanged() override { Base().PlayersChanged(); }
  void Chat(const char* name, const char* text) override { Base().Chat(name, text); }
  void GameSettings(const uint8_t* settings) override { Base().GameSettings(settings); }
  void PlayerSlot(int slotIndex, const uint8_t* slot) override { Base().PlayerSlot(slotIndex, slot); }
  void SetSlot(int slotIndex) override { Base().SetSlot(slotIndex); }
  bool SpeaksFor(const char* name, int slotIndex) override { return Base().SpeaksFor(name, slotIndex); }
  void Ready(int slotIndex) override { Base().Ready(slotIndex); }
  void ColourRequest(int slotIndex) override { Base().ColourRequest(slotIndex); }
  void PortraitRequest(int slotIndex) override { Base().PortraitRequest(slotIndex); }
  void Handicap(int slotIndex, int value) override { Base().Handicap(slotIndex, value); }
  void Initialise(const InitialiseView& message) override { Base().Initialise(message); }
  void WizardSpellsArrived(const WizardSpells& spells) override {
    if (g_netLoadScreen) g_netLoadScreen->SpellListArrived(spells);
  }

 private:
  static INetSetupEvents& Base() { return NetTransportSetupEvents(); }
};

FrontEndSetupEvents g_frontEndSetupEvents;

}  // namespace

void InstallNetSetupEvents() { g_netHooks.setup = &g_frontEndSetupEvents; }

void RemoveNetSetupEvents() {
  if (g_netHooks.setup == &g_frontEndSetupEvents) g_netHooks.setup = &NetTransportSetupEvents();
}
