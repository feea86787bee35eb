#include "frontend/MultiplayerBattleSetup.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "frontend/FrontEndWizards.h"
#include "frontend/MultiplayerRegions.h"
#include "frontend/NetLoadScreen.h"
#include "frontend/QuickBattleMenu.h"
#include "frontend/ScreenTable.h"
#include "frontend/SpellBoxHandOver.h"
#include "graphics/Display.h"
#include "net/NetClient.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"
#include "net/NetTransport.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/Button.h"
#include "ui/Cursor.h"
#include "ui/DialogBox.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/SharedArt.h"
#include "ui/SliderBar.h"
#include "ui/WidgetControls.h"

namespace {

constexpr const char* kSetupLayout = "screen (MultiPlayer Battle Setup).cfg";
constexpr const char* kBoxPicture = "bitmaps\\dlgback.bmp";
constexpr int kHandicapSliderId = 900;

std::vector<MenuWidget> SetupWidgets(std::vector<MenuWidget> own) {
  std::vector<MenuWidget> widgets;
  for (int n = 1; n <= 40; ++n) widgets.push_back({kWidgetText, n, false});
  for (int n = 1; n <= 2; ++n) widgets.push_back({kWidgetTextButton, n, true});
  widgets.push_back({kWidgetMessageListBox, 1, false});
  widgets.push_back({kWidgetEditBox, 1, true});
  for (int n = 1; n <= 8; ++n) widgets.push_back({kWidgetStandardButton, n, true});
  widgets.insert(widgets.end(), own.begin(), own.end());
  return widgets;
}

// The button sprite's frames: colour c from 3c, portrait p from 27 + 3p; each normal,
// highlighted, pressed.
int ColourFrame(int colour) { return 3 * colour; }
int PortraitFrame(int portrait) { return 27 + 3 * portrait; }

void SetButtonFrames(CButton* button, int normal) {
  if (!button) return;
  // An empty place shows no picture.
  if (normal < 0) {
    button->SetFrames(-1, -1, -1);
    button->SetAltFrames(-1, -1, -1);
    return;
  }
  button->SetFrames(normal, normal + 2, -1);
  button->SetAltFrames(normal, normal + 1, -1);
}

[[noreturn]] void FailSetUp(const char* text) {
  platform::ShowMessageBox(text, "ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

}  // namespace

int PlaceOfClient(int clientIndex) {
  int seen = 0;
  for (int place = 0; place < kPlayerSlotCount; ++place)
    if (!g_playerSlots[place].IsEmpty() && seen++ == clientIndex) return place;
  return -1;
}

CMultiplayerBattleSetupScreen::CMultiplayerBattleSetupScreen(int screenId, std::vector<MenuWidget> ownWidgets)
    : CFrontEndMenu(screenId, "Interface\\MultiplayerBattleSetup\\", kSetupLayout,
                    SetupWidgets(std::move(ownWidgets))) {
  ResetPlayerSlots();
}

CMultiplayerBattleSetupScreen::~CMultiplayerBattleSetupScreen() { Unload(); }

CMessageListBox* CMultiplayerBattleSetupScreen::ChatList() const {
  return static_cast<CMessageListBox*>(ControlOf(kWidgetMessageListBox, 0));
}

CEditBox* CMultiplayerBattleSetupScreen::ChatLine() const {
  return static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0));
}

CButton* CMultiplayerBattleSetupScreen::RowButton(int index) const {
  return static_cast<CButton*>(ControlOf(kWidgetStandardButton, index));
}

void CMultiplayerBattleSetupScreen::Enter() {
  if (loaded) return;
  closeRequested = 0;
  pendingPush = nullptr;
  pendingPopTo = nullptr;
  magicItemsPending = 0;
  started = 0;
  leave = 0;
  ownPlace = 0;
  hasPlace_ = false;
  shownColour = shownPortrait = -1;
  ResetPlayerSlots();
  OnEnter();
  Load();
  if (!transport) return;
  const std::string status = transport->GetPlayerName();
  if (!status.empty()) SetStatusText(status.c_str());
  transport->RefreshPlayers();
}

void CMultiplayerBattleSetupScreen::Exit() {
  Unload();
  ResetPlayerSlots();
  OnExit();
  pendingPush = nullptr;
}

void CMultiplayerBattleSetupScreen::Suspend() {
  // The map selection tells the host of the chosen region: the screen stays loaded under it.
  if (!keepLoadedOnSuspend_) Unload();
  keepLoadedOnSuspend_ = false;
}

void CMultiplayerBattleSetupScreen::Resume() {
  pendingPush = nullptr;
  if (magicItemsPending) {
    magicItemsPending = 0;
    SendOwnItems();
    pendingPush = g_netLoadScreen;
    return;
  }
  if (started) {
    // Back from the battle (its load screen has gone): the set-up is over.
    started = 0;
    if (cameFrom == kScreenLobby)
      leave = 1;
    else
      pendingPopTo = g_quickBattleMenu;
    return;
  }
  if (loaded) return;
  SetCursorKind(kCursorNormal);
  Load();
  for (int place = 0; place < kPlayerSlotCount; ++place) ShowRow(place);
  ShowSettings();
}

void CMultiplayerBattleSetupScreen::Update() {
  if (leave && !fading) {
    leave = 0;
    closeRequested = 1;
  }
  CFrontEndMenu::Update();
}

void CMultiplayerBattleSetupScreen::Unload() {
  if (!loaded) return;
  if (dialogBox) {
    dialogBox->Close();
    dialogBox = nullptr;
  }
  CFrontEndMenu::Unload();
  handicapSlider_.reset();
  handicapCallback_.reset();
  buttonSprite_.Free();
}

void CMultiplayerBattleSetupScreen::AfterLoad() {
  char spritePath[256];
  std::snprintf(spritePath, sizeof spritePath,
                "Interface\\MultiplayerBattleSetup\\MultiPBattle Screen buttons %i-%i.spr", ScreenWidth(),
                ScreenHeight());
  if (!buttonSprite_.Load(spritePath, 2)) FailSetUp("Unable to load sprite in mutliPbattle screen");
  for (int b = 0; b < kRowButtons; ++b)
    if (CButton* button = RowButton(b)) {
      button->SetFrameSprite(&buttonSprite_);
      SetButtonFrames(button, -1);
      button->Disable();
    }
  const std::string file = LayoutFile();
  for (int place = 0; place < kPlayerSlotCount; ++place) {
    handicapConfigs_[place] = CWidgetConfig{};
    LoadWidgetConfig(file.c_str(), &handicapConfigs_[place], kWidgetSliderBar, place + 1);
  }
  if (CTextLabel* status = Label(12)) status->SetText("");
  if (hasPlace_) MakeHandicapSlider();
}

void CMultiplayerBattleSetupScreen::MakeHandicapSlider() {
  if (handicapSlider_) controls.Remove(handicapSlider_.get());
  handicapSlider_.reset();
  if (!loaded && !building_) return;
  const CWidgetConfig& config = handicapConfigs_[ownPlace];
  if (!handicapCallback_) handicapCallback_ = std::make_unique<CFunctionCallback>([this](int) { OnHandicapSlider(); });
  auto control = MakeWidgetControl(kWidgetSliderBar, config, kHandicapSliderId, handicapCallback_.get(), sliderGroup_);
  handicapSlider_.reset(static_cast<CSliderBar*>(control.release()));
  if (!handicapSlider_) return;
  const int value =
      std::clamp<int>(g_playerSlots[ownPlace].handicap, handicapSlider_->minValue, handicapSlider_->maxValue);
  handicapSlider_->PlaceValue(value);
  controls.Add(handicapSlider_.get(), false);
  // The slider stands where the place's label stood.
  if (CTextLabel* label = Label(8 + ownPlace)) label->SetText("");
  const CPlayerSlot& own = g_playerSlots[ownPlace];
  // Greyed rather than disabled: a disabled slider is not drawn at all.
  if (own.ready || own.colour < 0) handicapSlider_->GreyOut();
}

void CMultiplayerBattleSetupScreen::Draw() {
  CFrontEndMenu::Draw();
  if (handicapSlider_) handicapSlider_->Draw();
  if (dialogBox) dialogBox->Draw();
}

void CMultiplayerBattleSetupScreen::AfterDraw() {
  if (!transport) return;
  transport->Pump();
  if (g_netSession.phase == kNetPhaseSetup) {
    g_netHost.Receive();
    g_netClient.Receive();
  }
}

void CMultiplayerBattleSetupScreen::OnClick(int type, int index) {
  if (!loaded) return;
  if (type == kWidgetStandardButton && index >= 0 && index < kRowButtons) {
    const int place = index % kPlayerSlotCount;
    if (place != ownPlace) return;
    CPlayerSlot& own = g_playerSlots[ownPlace];
    if (index < kFirstColourButton) {
      shownPortrait = NextFreeLook(g_playerSlots, kPlayerSlotCount, SlotLook::kPortrait, shownPortrait);
      SetButtonFrames(RowButton(kFirstPortraitButton + place), PortraitFrame(shownPortrait));
      if (transport) transport->RequestPortrait(ownPlace);
    } else {
      shownColour = NextFreeLook(g_playerSlots, kPlayerSlotCount, SlotLook::kColour, shownColour);
      SetButtonFrames(RowButton(kFirstColourButton + place), ColourFrame(shownColour));
      if (transport) transport->RequestColour(ownPlace);
    }
    (void)own;
    return;
  }
  if (type == kWidgetEditBox) {
    SendChatLine();
    return;
  }
  if (type == kWidgetTextButton && index == kSend) {
    SendChatLine();
    return;
  }
  if (type == kWidgetTextButton && index == kBack) {
    GoBack();
    return;
  }
  OnOwnClick(type, index);
}

void CMultiplayerBattleSetupScreen::OnHandicapSlider() {
  if (!handicapSlider_) return;
  const int value = handicapSlider_->value;
  if (CTextLabel* label = Label(4 + ownPlace)) label->SetNumber(value);
  if (transport) transport->SetHandicap(ownPlace, value);
}

void CMultiplayerBattleSetupScreen::SendChatLine() {
  CEditBox* line = ChatLine();
  if (!line) return;
  const std::string text = line->Text();
  if (text.empty()) return;
  if (transport) transport->SendChat(text.c_str());
  line->SetText("");
}

void CMultiplayerBattleSetupScreen::GoBack() {
  BeginFadeOut();
  if (cameFrom != kScreenLobby)
    pendingPopTo = g_quickBattleMenu;
  else
    leave = 1;
  if (transport) transport->Leave();
}

void CMultiplayerBattleSetupScreen::AddConsoleLine(const char* text, int red, int green, int blue) {
  if (CMessageListBox* list = ChatList()) list->AddMessage(text, red, green, blue);
}

void CMultiplayerBattleSetupScreen::ShowMessageBox(const char* text, int value) {
  if (!loaded) return;
  if (!boxCallback_)
    boxCallback_ = std::make_unique<CFunctionCallback>([this](int) {
      if (dialogBox) dialogBox->Close();
      dialogBox = nullptr;
    });
  // Opening replaces a box that is open already.
  box_.SetSurface(&g_backBuffer);
  box_.SetFont(&g_bodyFont);
  // The set-up shows its one fixed text, whatever the transport passed.
  box_.Open(boxCallback_.get(), kBoxPicture, "Refer to refrenece manual", "OK", nullptr);
  dialogBox = &box_;
}

void CMultiplayerBattleSetupScreen::UpdatePlayerRow(int place, const CPlayerSlot& slot) {
  if (place < 0 || place >= kPlayerSlotCount) return;
  // The record may be the place itself.
  const CPlayerSlot record = slot;
  CPlayerSlot& target = g_playerSlots[place];
  target.SetName(record.name);
  target.colour = record.colour;
  target.portrait = record.portrait;
  target.handicap = record.handicap;
  target.ready = record.ready;
  ShowRow(place);
}

void CMultiplayerBattleSetupScreen::ShowRow(int place) {
  const CPlayerSlot& slot = g_playerSlots[place];
  if (CTextLabel* name = Label(place)) {
    name->SetText(slot.name);
    if (slot.ready || place == 0)
      name->SetColour(180, 0, 0);
    else
      name->SetColour(0, 0, 0);
  }
  if (CTextLabel* handicap = Label(4 + place)) {
    if (slot.handicap >= 0)
      handicap->SetNumber(slot.handicap);
    else
      handicap->SetText("");
  }
  CButton* portrait = RowButton(kFirstPortraitButton + place);
  CButton* colour = RowButton(kFirstColourButton + place);
  SetButtonFrames(portrait, slot.portrait >= 0 ? PortraitFrame(slot.portrait) : -1);
  SetButtonFrames(colour, slot.colour >= 0 ? ColourFrame(slot.colour) : -1);
  const bool mine = hasPlace_ && place == ownPlace && slot.colour != -1 && !slot.ready;
  for (CButton* button : {portrait, colour}) {
    if (!button) continue;
    if (mine)
      button->Enable();
    else
      button->Disable();
  }
  if (mine) {
    shownColour = slot.colour;
    shownPortrait = slot.portrait;
  }
  if (handicapSlider_ && place == ownPlace) {
    if (mine)
      handicapSlider_->Restore();
    else
      handicapSlider_->GreyOut();
  }
}

void CMultiplayerBattleSetupScreen::OnGameSettings(const CGameSettings& settings) {
  g_gameSettings = settings;
  ShowSettings();
}

void CMultiplayerBattleSetupScreen::ShowSettings() {
  for (int n = 0; n < kSettingCount; ++n)
    if (CTextLabel* label = Label(27 + n)) label->SetNumber(*GameSettingsField(g_gameSettings, n + 1));
  char name[kRegionNameSize];
  const bool named = GetMultiplayerRegionName(g_gameSettings.regionIndex, name) != nullptr;
  if (CTextLabel* region = Label(13)) region->SetText(named ? name : "No Map");
}

void CMultiplayerBattleSetupScreen::OnSetSlot(int place) {
  if (place < 0 || place >= kPlayerSlotCount) return;
  // The label of the place the slider stood over before comes back.
  if (hasPlace_ && handicapSlider_ && place != ownPlace)
    if (CTextLabel* label = Label(8 + ownPlace)) label->SetText("Handicap");
  ownPlace = place;
  hasPlace_ = true;
  building_ = true;
  MakeHandicapSlider();
  building_ = false;
  ShowRow(place);
}

void CMultiplayerBattleSetupScreen::SetStatusText(const char* text) {
  if (CTextLabel* status = Label(12)) status->SetText(text ? text : "");
}

void CMultiplayerBattleSetupScreen::LockControls() {
  for (int b = 0; b < kRowButtons; ++b)
    if ((b % kPlayerSlotCount) == ownPlace)
      if (CButton* button = RowButton(b)) button->Disable();
  if (handicapSlider_) handicapSlider_->GreyOut();
  LockOwnControls();
}

void CMultiplayerBattleSetupScreen::OnInitialise(const InitialiseView& message) {
  g_netSession.phase = kNetPhaseSetup;
  CGameSettings settings;
  ReadGameSettings(message.settings, kGameSettingsBytes, settings);
  LimitPeerGameSettings(settings);
  g_gameSettings = settings;
  for (int place = 0; place < kPlayerSlotCount; ++place) {
    CPlayerSlot slot;
    if (ReadPlayerSlot(message.slots[place], kPlayerSlotBytes, slot)) g_playerSlots[place] = slot;
  }
  BattleSetupRecord setup;
  setup.region = message.setup[0];
  setup.mapSeed = message.setup[1];
  setup.battleSeed = message.setup[2];
  setup.armies = message.setup[3];
  setup.players = message.setup[kSetupClientCount];
  setup.localArmy = message.setup[kSetupOwnIndex];
  g_pendingNetBattle = setup;
  std::copy(message.items, message.items + kMaxWizardSpells, g_netOffer);
  g_netMachine.ApplyStartMarks();
  // The lists of players quicker than this machine may come from now on.
  if (g_netLoadScreen) g_netLoadScreen->arrivedFrom = 0;
  g_networkGame = 1;
  g_gameMode = kGameModeLobby;
  started = 1;

  const int own = setup.localArmy;
  const bool talismans = settings.lawTalisman != 0 || settings.neutralTalisman != 0 || settings.vraskTalisman != 0;
  BeginFadeOut();
  if (settings.magicItems != 0 && talismans) {
    const int ownSlot = PlaceOfClient(own);
    const int handicap = ownSlot >= 0 ? g_playerSlots[ownSlot].handicap : 0;
    // Never more than the offer holds, whatever the settings said.
    const int share =
        std::clamp(settings.magicItems - settings.magicItems * std::clamp(handicap, 0, 100) / 100, 0, kMaxWizardSpells);
    for (int j = 0; j < share; ++j) FrontEndWizards().AddItem(own, g_netOffer[j]);
    FrontEndWizards().SetTalismans(own, settings.lawTalisman, settings.neutralTalisman, settings.vraskTalisman);
    if (CScreen* spellBox = OpenTimedSpellBox(own, settings.selectionTime)) {
      magicItemsPending = 1;
      pendingPush = spellBox;
      return;
    }
  }
  // No spell box: the empty list goes out at once, so that the others' load screens do not wait for it.
  SendOwnItems();
  pendingPush = g_netLoadScreen;
}

void CMultiplayerBattleSetupScreen::SendOwnItems() {
  const int own = g_pendingNetBattle.localArmy;
  int pool[kMaxWizardSpells];
  const int count = std::clamp(FrontEndWizards().SpellPool(own, pool, kMaxWizardSpells), 0, kMaxWizardSpells);
  uint8_t spells[kMaxWizardSpells];
  int used = 0;
  for (int i = 0; i < count && pool[i] >= 0 && pool[i] < kSpellCount; ++i)
    spells[used++] = static_cast<uint8_t>(pool[i]);
  const NetBytes message = MakeWizardSpellsMessage(own, spells, used);
  g_netClient.SendToAll(message.data(), message.size());
}
