// The hosting side of the network battle's set-up: it seats the players as they arrive, keeps
// colours and portraits unique, edits the rules, removes players and starts the battle.
#include <algorithm>
#include <cstring>

#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "frontend/FrontEndMagic.h"
#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/MultiplayerRegions.h"
#include "frontend/QuickBattleDefaults.h"
#include "frontend/ScreenTable.h"
#include "net/NetHost.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"
#include "net/NetSession.h"
#include "net/NetTransport.h"
#include "ui/Button.h"
#include "ui/SliderBar.h"

CMultiplayerBattleHostScreen* g_multiplayerHost = nullptr;

namespace {

constexpr const char* kCreateLayout = "screen (MultiPlayer Battle Create).cfg";
constexpr uint32_t kStartedSessionFlags = 101;

std::vector<MenuWidget> HostWidgets() {
  std::vector<MenuWidget> widgets;
  for (int n = 1; n <= 13; ++n) widgets.push_back({kWidgetSliderBar, n, true, 0, kCreateLayout});
  for (int n = 1; n <= 2; ++n) widgets.push_back({kWidgetTextButton, n, true, 0, kCreateLayout});
  for (int n = 1; n <= 3; ++n) widgets.push_back({kWidgetStandardButton, n, true, 0, kCreateLayout});
  return widgets;
}

CPlayerSlot EmptyPlace() {
  CPlayerSlot slot;
  slot.Reset();
  return slot;
}

}  // namespace

CMultiplayerBattleHostScreen::CMultiplayerBattleHostScreen()
    : CMultiplayerBattleSetupScreen(kScreenMultiplayerHost, HostWidgets()) {}

CSliderBar* CMultiplayerBattleHostScreen::SettingSlider(int n) const {
  return static_cast<CSliderBar*>(ControlOf(kWidgetSliderBar, n));
}

void CMultiplayerBattleHostScreen::OnExit() {
  for (std::string& name : names) name.clear();
}

void CMultiplayerBattleHostScreen::AfterLoad() {
  CMultiplayerBattleSetupScreen::AfterLoad();
  for (int n = 0; n < 3; ++n)
    if (CButton* remove = RowButton(kFirstRemoveButton + n)) {
      remove->SetFrameSprite(ButtonSprite());
      remove->SetFrames(24, 25, -1);
      remove->SetAltFrames(24, 26, -1);
    }
  if (startedGame) {
    LockControls();
    return;
  }
  SettingRange ranges[kGameSettingsTuningFields];
  CSliderBar* sliders[kGameSettingsTuningFields];
  for (int n = 0; n < kSettingCount; ++n) sliders[n] = SettingSlider(n);
  SettingRangesOf(sliders, ranges);
  // The host's rules come from its last multiplayer battle; the map is the one thing kept as
  // it was, unless it names no region.
  LoadQuickBattleDefaults(QuickBattleSection::kMultiplayer, ranges);
  char name[kRegionNameSize];
  if (!GetMultiplayerRegionName(g_gameSettings.regionIndex, name)) g_gameSettings.regionIndex = 0;
  if (transport) transport->SendGameSettings(g_gameSettings);
  for (int n = 0; n < kSettingCount; ++n)
    if (CSliderBar* slider = SettingSlider(n)) slider->PlaceValue(*GameSettingsField(g_gameSettings, n + 1));
  ShowSettings();
}

void CMultiplayerBattleHostScreen::OnOwnClick(int type, int index) {
  if (type == kWidgetSliderBar && index >= 0 && index < kSettingCount) {
    CSliderBar* slider = SettingSlider(index);
    if (!slider) return;
    *GameSettingsField(g_gameSettings, index + 1) = slider->value;
    ShowSettings();
    if (transport) transport->SendGameSettings(g_gameSettings);
  } else if (type == kWidgetTextButton && index == kChooseMap) {
    g_mapSelection->SetCaller(kScreenMultiplayerHost, this);
    keepLoadedOnSuspend_ = true;
    LeaveTo(g_mapSelection);
  } else if (type == kWidgetTextButton && index == kStart) {
    Start();
  } else if (type == kWidgetStandardButton && index >= kFirstRemoveButton && index < kFirstRemoveButton + 3) {
    const int place = index - kFirstRemoveButton + 1;
    if (g_playerSlots[place].colour != -1 && !names[place].empty() && transport) transport->KickUsers({names[place]});
  }
}

void CMultiplayerBattleHostScreen::LockOwnControls() {
  for (int n = 0; n < kSettingCount; ++n)
    if (CSliderBar* slider = SettingSlider(n)) slider->GreyOut();
  for (int n = 0; n < 3; ++n)
    if (CButton* remove = RowButton(kFirstRemoveButton + n)) remove->Disable();
}

void CMultiplayerBattleHostScreen::ShowMapName(const char* name) {
  if (CTextLabel* region = Label(13)) region->SetText(name);
}

void CMultiplayerBattleHostScreen::SendGameSettings(const CGameSettings& settings) {
  if (transport) transport->SendGameSettings(settings);
}

void CMultiplayerBattleHostScreen::Start() {
  for (int place = 1; place < kPlayerSlotCount; ++place)
    if (g_playerSlots[place].portrait != -1 && !g_playerSlots[place].ready) return;
  LockControls();
  SaveQuickBattleDefaults(QuickBattleSection::kMultiplayer);
  if (transport) transport->BeginGame();
}

// --- the host's record of the places -----------------------------------------------------

int CMultiplayerBattleHostScreen::FindPlayer(const char* name) {
  if (!name || !*name) return -1;
  for (int place = 0; place < kPlayerSlotCount; ++place)
    if (names[place] == name) return place;
  return -1;
}

int CMultiplayerBattleHostScreen::SeatedPlaces() const {
  int seated = 0;
  for (const std::string& name : names) seated += !name.empty();
  return seated;
}

void CMultiplayerBattleHostScreen::SendPlace(int place, const CPlayerSlot& slot) {
  if (transport) transport->SendPlayerSlot(place, slot);
}

void CMultiplayerBattleHostScreen::AddUser(const char* name, uint8_t isOperator, uint8_t own) {
  const bool lobby = transport && transport->IsLobby();
  AddPlayer(name, lobby && !own ? 1 : 0);
}

void CMultiplayerBattleHostScreen::AddPlayer(const char* name, int firstPlace) {
  // Newcomers are not seated once the battle has been started.
  if (!name || !*name || startedGame || FindPlayer(name) >= 0) return;
  int place = std::clamp(firstPlace, 0, kPlayerSlotCount);
  while (place < kPlayerSlotCount && !names[place].empty()) ++place;
  if (place == kPlayerSlotCount) return;
  names[place] = name;
  CPlayerSlot& slot = g_playerSlots[place];
  slot.SetName(name);
  slot.colour = NextFreeLook(g_playerSlots, kPlayerSlotCount, SlotLook::kColour, -1);
  slot.portrait = NextFreeLook(g_playerSlots, kPlayerSlotCount, SlotLook::kPortrait, -1);
  slot.handicap = 0;
  slot.ready = 0;
  if (!transport) return;
  transport->SendSlotNumber(name, place);
  for (int j = 0; j < kPlayerSlotCount; ++j)
    if (!g_playerSlots[j].IsEmpty()) transport->SendPlayerSlot(j, g_playerSlots[j]);
  transport->SendGameSettings(g_gameSettings);
}

void CMultiplayerBattleHostScreen::RemovePlayer(const char* name) {
  const int place = FindPlayer(name);
  if (place < 0) return;
  names[place].clear();
  // The host's own record is emptied at once: the place is free for the next newcomer, even
  // before the record comes back.
  g_playerSlots[place] = EmptyPlace();
  SendPlace(place, EmptyPlace());
}

void CMultiplayerBattleHostScreen::OnRequestColour(int place, int steps) {
  if (!ValidPlace(place) || startedGame) return;
  CPlayerSlot copy = g_playerSlots[place];
  copy.colour =
      StepLook(g_playerSlots, kPlayerSlotCount, SlotLook::kColour, copy.colour, std::clamp(steps, 0, kSlotColours));
  SendPlace(place, copy);
}

void CMultiplayerBattleHostScreen::OnRequestPortrait(int place, int steps) {
  if (!ValidPlace(place) || startedGame) return;
  CPlayerSlot copy = g_playerSlots[place];
  copy.portrait = StepLook(g_playerSlots, kPlayerSlotCount, SlotLook::kPortrait, copy.portrait,
                           std::clamp(steps, 0, kSlotPortraits));
  SendPlace(place, copy);
}

void CMultiplayerBattleHostScreen::OnSetHandicap(int place, int value) {
  if (!ValidPlace(place) || startedGame) return;
  CPlayerSlot copy = g_playerSlots[place];
  copy.handicap = std::clamp(value, 0, kMaxHandicap);
  SendPlace(place, copy);
}

void CMultiplayerBattleHostScreen::OnReady(int place) {
  if (!ValidPlace(place) || startedGame) return;
  CPlayerSlot copy = g_playerSlots[place];
  copy.ready = 1;
  SendPlace(place, copy);
}

// --- the start ------------------------------------------------------------------------------

void CMultiplayerBattleHostScreen::CreateSession() {
  g_netSession.connectionType = kConnectionAddress;
  g_netSession.messageDelay = g_messageDelayFrames_NET;
  g_netSession.sessionName = transport ? transport->GetPlayerName() : std::string();
  const char* failure = nullptr;
  if (!g_netSession.CreateInterfaces(1)) {
    failure = "could not create directplay object";
  } else {
    g_netSession.phase = kNetPhaseSetup;
    g_netMachine.Reset();
    if (!g_netSession.CreateGame())
      failure = "could not create directplay session";
    else if (!g_netSession.CreateHostPlayer())
      failure = "could not create directplay server player";
    else if (!g_netClient.CreatePlayer(g_prefs.lobbyLoginName.c_str()))
      failure = "could not create directplay client player";
  }
  if (!failure) return;
  ShowGeneralError(failure);
  g_netSession.Release();
}

bool CMultiplayerBattleHostScreen::StartGame() {
  startedGame = 1;
  g_netSession.SetSessionFlags(kStartedSessionFlags);

  uint8_t offer[kMaxWizardSpells] = {};
  int32_t items = g_gameSettings.magicItems;
  FrontEndMagic().DrawItems(items, offer, g_gameSettings.mana);

  uint8_t settings[kGameSettingsBytes];
  WriteGameSettings(g_gameSettings, settings);
  uint8_t slotBytes[kPlayerSlotCount][kPlayerSlotBytes];
  const uint8_t* slots[kPlayerSlotCount];
  for (int place = 0; place < kPlayerSlotCount; ++place) {
    g_playerSlots[place].lives = g_gameSettings.lives;
    WritePlayerSlot(g_playerSlots[place], slotBytes[place]);
    slots[place] = slotBytes[place];
  }
  int32_t setup[kBattleSetupWords] = {};
  setup[0] = g_gameSettings.regionIndex;
  setup[1] = static_cast<int32_t>(g_random.Next() & 0x7fffffffu);
  setup[2] = static_cast<int32_t>((g_random.Next() & 0x7fffffffu) % 9999u);
  setup[3] = SeatedPlaces();
  NetBytes message = MakeInitialiseMessage(settings, slots, offer, setup);

  std::vector<std::string> seated;
  for (int place = 0; place < kPlayerSlotCount; ++place)
    if (!g_playerSlots[place].IsEmpty()) seated.emplace_back(g_playerSlots[place].name);
  g_netHost.SetClients(seated);
  g_netHost.SendInitialise(message.data());
  return true;
}

bool CMultiplayerBattleHostScreen::TryStartGame() {
  // The start waits until every seated player is in the session: a game of three or four
  // starts only when the last of them has arrived.
  if (!startedGame && g_netHost.clientCount > 0 && g_netHost.clientCount == SeatedPlaces()) return StartGame();
  return startedGame != 0;
}
