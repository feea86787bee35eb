// The victory and defeat screen of a campaign battle, and the defeat messages.
#include "battle/BattleEndScreen.h"

#include <cstdio>
#include <string>

#include "battle/Battle.h"
#include "core/ErrorBox.h"
#include "core/Options.h"
#include "graphics/Display.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "ui/Cursor.h"
#include "ui/RadioButton.h"
#include "ui/SharedArt.h"
#include "ui/WidgetControls.h"

namespace {
IBattleEndFacts g_neutralFacts;
}  // namespace
HookSlot<IBattleEndFacts> g_battleEndFacts(&g_neutralFacts);

std::string IBattleEndFacts::RealmName() { return g_realmName; }
int IBattleEndFacts::Region() { return g_battleSetup.region; }

// --- the defeat messages ----------------------------------------------------------------------

CDefeatMessages g_defeatMessages;

void CDefeatMessages::EnsureLoaded() {
  if (texts) return;
  if (!platform::FileExists(kFile) || !Load(kFile)) {
    platform::ShowMessageBox("battle defeat messages.cfg not found", "INITIALISATION ERROR", WarningBoxFlags());
    platform::ExitProcess(1);
  }
}

const char* GetDefeatMessage(int index) {
  g_defeatMessages.EnsureLoaded();
  return g_defeatMessages.Get(index);
}

void SetBattleEndMessage(const char* text) {
  if (!g_battle) return;
  std::snprintf(g_battle->endScreen.battleEndMessage, sizeof g_battle->endScreen.battleEndMessage, "%s",
                text ? text : "");
}

// --- the screen -------------------------------------------------------------------------------

namespace {

std::string ResolutionFolder(const char* folder) {
  char path[256];
  std::snprintf(path, sizeof path, "%s%ix%i\\", folder, ScreenWidth(), ScreenHeight());
  return path;
}

// The heading's rectangle: the whole screen below the band the picture leaves for it.
platform::Rect HeadingRect() { return {0, ScreenWidth() == 800 ? 24 : 19, ScreenWidth() - 1, ScreenHeight() - 1}; }

}  // namespace

CBattleEndScreen::CBattleEndScreen() { id = kBattleEndScreenId; }

CBattleEndScreen::~CBattleEndScreen() { Unload(); }

void CBattleEndScreen::Enter() {
  closeRequested = 0;
  pendingPush = nullptr;
  SetCursorKind(kCursorNormal);
  Load();
  Draw();
  loaded = 1;
}

void CBattleEndScreen::Resume() {
  pendingPush = nullptr;
  Enter();
}

void CBattleEndScreen::Exit() {
  loaded = 0;
  itemsSprite.Free();
  Unload();
  closeRequested = 1;
}

const char* CBattleEndScreen::LayoutFile() const {
  return won ? "Interface\\BattleEnd\\screen (Battle End - Victory).cfg"
             : "Interface\\BattleEnd\\screen (Battle End - Defeat).cfg";
}

std::string CBattleEndScreen::PicturePath() const {
  char name[128];
  std::snprintf(name, sizeof name, "Battle %s Screen %i-%i%s", won ? "Victory" : "Defeat", ScreenWidth(),
                ScreenHeight(), ".jpg");
  return ResolutionFolder("Interface\\BattleEnd\\") + name;
}

void CBattleEndScreen::ReadConfig(const char* fileName) {
  widgetConfigs.assign(kLabels + 1, CWidgetConfig{});
  for (int n = 0; n < kLabels; ++n)
    LoadWidgetConfig(fileName, &widgetConfigs[static_cast<size_t>(n)], kWidgetText, n + 1);
  LoadWidgetConfig(fileName, &widgetConfigs[kLabels], kWidgetTextButton, 1);
}

void CBattleEndScreen::ReadTexts() {
  const std::string file =
      platform::CurrentDirectory() + "\\Interface\\BattleEnd\\" + g_battleEndFacts->RealmName() + ".cfg";
  // A realm file without its header texts still names the outcome.
  const std::string outcome =
      platform::ReadProfileString("HEADER", won ? "VictoryText" : "DefeatText", won ? "Victory" : "Defeat", file);
  std::snprintf(outcomeText, sizeof outcomeText, "%s", outcome.c_str());
  const std::string title = platform::ReadProfileString("ITEM_" + std::to_string(g_battleEndFacts->Region() - 1),
                                                        "Title", kMissingTitle, file);
  std::snprintf(regionTitle, sizeof regionTitle, "%s", title.c_str());
  // A heading too long for its buffer is cut at its end.
  const std::string text = std::string(outcomeText) + "  ( " + regionTitle + " )";
  std::snprintf(heading, sizeof heading, "%s", text.c_str());
}

void CBattleEndScreen::ShowAwards() {
  IBattleEndFacts& facts = *g_battleEndFacts;
  const int count = facts.AwardCount();
  int sum = 0;
  lastItemAward = -1;
  for (int i = 0; i < count; ++i) {
    const BattleAward award = facts.Award(i);
    sum += award.value;
    if (award.item >= 0) lastItemAward = i;
    if (i >= kAwardRows) continue;  // labels 16 and up are the total's
    labels_[2 + 2 * i].SetText(award.name.c_str());
    labels_[3 + 2 * i].SetNumber(won ? award.value : 0);
  }
  if (won) labels_[kTotalLabel].SetNumber(sum);
  labels_[kOutOfLabel].SetText(("/ " + std::to_string(facts.TotalExperience())).c_str());
}

void CBattleEndScreen::Load() {
  Unload();  // a resumed screen loads afresh
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = ScreenWidth();
  desc.height = ScreenHeight();
  backgroundSurface_.Create(&desc);
  background = &backgroundSurface_;
  const std::string picture = PicturePath();
  if (!backgroundSurface_.LoadJpeg(picture.c_str())) ShowFileLoadError(picture.c_str());
  const std::string items = ResolutionFolder("Interface\\SpellBox\\") + "MItems.spr";
  if (!itemsSprite.IsLoaded() && !itemsSprite.Load(items.c_str(), 2)) ShowFileLoadError(items.c_str());
  ReadTexts();

  ReadConfig(LayoutFile());
  for (int n = 0; n < kLabels; ++n) {
    labels_[n] = MakeWidgetLabel(widgetConfigs[static_cast<size_t>(n)]);
    shown_[n] = true;
  }
  if (won)
    shown_[kReasonLabel] = false;
  else
    labels_[kReasonLabel].SetText(battleEndMessage);
  headingLabel_ = CTextLabel{};
  headingLabel_.SetSurface(&g_backBuffer);
  headingLabel_.SetFont(&g_headingFont);
  headingLabel_.SetRect(HeadingRect());
  headingLabel_.textFlags = kTextCentre;  // along the top, not in the screen's middle
  headingLabel_.SetColour(250, 214, 120);
  headingLabel_.SetText(heading);

  callback_ = std::make_unique<CFunctionCallback>([this](int) { closeRequested = 1; });
  CRadioGroup noRadios;
  button_ = MakeWidgetControl(kWidgetTextButton, widgetConfigs[kLabels], kButtonControl, callback_.get(), noRadios);
  controls.Reserve(1);
  if (button_) controls.Add(button_.get(), 1);
  ShowAwards();
}

void CBattleEndScreen::Unload() {
  controls.Clear();
  button_.reset();
  callback_.reset();
  background = nullptr;
  backgroundSurface_.Release();
  widgetConfigs.clear();
}

void CBattleEndScreen::Draw() {
  if (!g_backBuffer.IsCreated()) return;
  if (background) background->BlitTo(&g_backBuffer, 0, 0);
  headingLabel_.Draw();
  for (int n = 0; n < kLabels; ++n)
    if (shown_[n]) labels_[n].Draw();
  if (button_) button_->Draw();
}

void ShowBattleEndScreen(CBattle& battle) {
  battle.endScreen.won = battle.victory;
  battle.endScreenWon = battle.victory;
  battle.endScreenShown = 1;
  if (g_backBuffer.IsCreated()) PushScreen(&battle.endScreen);
}
