#pragma once
// The screens of a battle's end. CBattleEndScreen (screen id 6), embedded in the battle state,
// follows a campaign battle: the victory or defeat picture, the region's title with the
// outcome's text, the experience awards of the battle and, on a defeat, its reason. The
// defeat messages (CDefeatMessages, "cfg\battle defeat messages.cfg") are the numbered texts
// that explain a defeat; the effects, creatures, scripts and the front end set the reason with
// SetBattleEndMessage.
//
// What the screen reads of the battle that others keep (the awards of the named list, the
// script's total award, the realm and region) comes through IBattleEndFacts; tests put a fake
// in with HookScope<IBattleEndFacts>(g_battleEndFacts, fake).

#include <memory>
#include <string>

#include "core/Hooks.h"
#include "core/StringTable.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "ui/MenuScreen.h"
#include "ui/TextButton.h"
#include "ui/TextLabel.h"

class CBattle;

inline constexpr int kBattleEndScreenId = 6;

// One experience award: its name, its points and the spell it carries (-1 none).
struct BattleAward {
  std::string name;
  int value = 0;
  int item = -1;
};

class IBattleEndFacts {
 public:
  virtual ~IBattleEndFacts() = default;
  // The battle's awards (the named list); none until the list is kept.
  virtual int AwardCount() { return 0; }
  virtual BattleAward Award(int index) { return {}; }
  // The script's total award (CScript::GetTotalExperience).
  virtual int TotalExperience() { return 0; }
  // The realm and the region of the battle.
  virtual std::string RealmName();
  virtual int Region();
};
extern HookSlot<IBattleEndFacts> g_battleEndFacts;

// The defeat messages: STRINGS STR_nn of "cfg\battle defeat messages.cfg", each with at most
// one %s. Read the first time one is asked for; a missing file ends the program after its box.
class CDefeatMessages : public CStringTable {
 public:
  static constexpr const char* kFile = "cfg\\battle defeat messages.cfg";
  void EnsureLoaded();
};
extern CDefeatMessages g_defeatMessages;
const char* GetDefeatMessage(int index);
// The reason the battle end screen shows on a defeat.
void SetBattleEndMessage(const char* text);

class CBattleEndScreen : public CMenuScreen {
 public:
  static constexpr int kLabels = 20;
  static constexpr int kAwardRows = 7;     // labels 2-15; later awards count in the total only
  static constexpr int kTotalLabel = 17;   // the sum of the awards, on a victory
  static constexpr int kOutOfLabel = 18;   // "/ " and the script's total award
  static constexpr int kReasonLabel = 19;  // the battle-end message, on a defeat
  static constexpr int kButtonControl = 20;
  static constexpr const char* kMissingTitle = "[ ERROR: title text not found ! ]";

  CBattleEndScreen();
  ~CBattleEndScreen() override;

  void Enter() override;
  void Exit() override;
  void Suspend() override {}
  void Resume() override;
  void ReadConfig(const char* fileName) override;
  void Unload() override;
  void Load() override;
  void Draw() override;

  // The layout file of the outcome.
  const char* LayoutFile() const;
  // The picture of the outcome at the resolution in use.
  std::string PicturePath() const;
  const CTextLabel& Label(int index) const { return labels_[index]; }
  bool LabelShown(int index) const { return shown_[index]; }

  int won = 0;                      // the outcome the battle gave: 1 victory
  char heading[256] = {};           // the outcome's text and the region's title
  char battleEndMessage[256] = {};  // the reason of a defeat
  char outcomeText[256] = {};       // HEADER VictoryText or DefeatText
  char regionTitle[256] = {};       // ITEM_<region - 1> Title
  int lastItemAward = -1;           // the last award that carries an item
  CSprite itemsSprite;              // "Interface\SpellBox\<w>x<h>\MItems.spr"

 private:
  void ReadTexts();
  void ShowAwards();

  CSurface backgroundSurface_;
  CTextLabel headingLabel_;
  CTextLabel labels_[kLabels];
  bool shown_[kLabels] = {};
  std::unique_ptr<CControl> button_;
  std::unique_ptr<CCallback> callback_;
};

// The battle's end (its step 4): the outcome goes to the end screen, which comes on top;
// closing it leaves the battle below. Without a display there is nothing to show it on, and
// the battle leaves at once.
void ShowBattleEndScreen(CBattle& battle);
