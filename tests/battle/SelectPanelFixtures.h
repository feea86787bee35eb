#pragma once
// Shared by the select bar and face panel tests: the forged data as the current directory, a
// battle that records what the panels ask of it, a network sink that records the commands,
// and both panels set up for a wizard in creature slot 7.

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "battle/BattlePanels.h"
#include "battle/PanelBattle.h"
#include "battle/PanelButton.h"
#include "battle/SelectBar.h"
#include "battle/WizardFacePanel.h"
#include "core/Hooks.h"
#include "creatures/SpellDefinition.h"
#include "forge/EffectArt.h"
#include "support/TestSupport.h"

namespace panel_test {

constexpr int kWizard = 7;

// Enters a folder for the scope (reading only: the forged data is shared).
class InFolder {
 public:
  explicit InFolder(const std::string& path) {
    char here[4096];
    if (getcwd(here, sizeof here)) previous_ = here;
    EXPECT_EQ(chdir(path.c_str()), 0);
  }
  ~InFolder() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << previous_;
  }

 private:
  std::string previous_;
};

struct FakePanelBattle : IPanelBattle {
  PanelWizardState wizard;
  bool hasWizard = true;
  int gameType = 1;
  int army = 0;
  int portrait = 0;
  int maxCharge = 4;
  bool armed = false;
  bool wizardSelected = false;
  std::vector<std::string> calls;
  std::string tooltip;

  int GameType() override { return gameType; }
  int LocalArmy() override { return army; }
  int ArmyPortrait(int) override { return portrait; }
  bool GetWizard(int creature, PanelWizardState& out) override {
    if (creature != kWizard || !hasWizard) return false;
    out = wizard;
    return true;
  }
  int ItemMaxCharge(int) override { return maxCharge; }
  void SelectSpell(int creature, int spell) override {
    calls.push_back("select spell " + std::to_string(creature) + " " + std::to_string(spell));
  }
  void RebuildSelectedCreatures() override { calls.push_back("rebuild selection"); }
  bool ScriptCommandsArmed() override { return armed; }
  bool SelectWizardAlone(int creature) override {
    calls.push_back("select wizard " + std::to_string(creature));
    const bool was = wizardSelected;
    wizardSelected = true;
    return was;
  }
  void FocusOnWizard(int creature) override { calls.push_back("focus " + std::to_string(creature)); }
  void CloseChatConsole() override { calls.push_back("close chat"); }
  void ShowTooltipText(const char* text) override { tooltip = text; }

  // Spells 0..n-1 taken from the list given, items by slot.
  void SetSpells(const std::vector<int>& spells) {
    wizard.spellCount = static_cast<int>(spells.size());
    for (size_t i = 0; i < spells.size() && i < kWizardSpellSlots; ++i) wizard.spells[i] = spells[i];
  }
  void Carry(int slot, int kind, int charges) { wizard.items[slot] = PanelCarrySlot{kind, charges}; }
  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(calls);
    return out;
  }
};

// Every command the panels send, as its words.
struct RecordingCommands : IMapCommandSink {
  std::vector<std::vector<int32_t>> messages;
  std::vector<int> lengths;
  std::vector<std::vector<uint8_t>> bytes;  // every byte of each, as it would travel
  void AddMessage(const CommandMessage& message) override {
    bytes.emplace_back(message.bytes, message.bytes + message.length);
    std::vector<int32_t> words;
    for (int i = 0; i * 4 < message.length; ++i) words.push_back(message.Word(i));
    messages.push_back(words);
    lengths.push_back(message.length);
  }
};

// The digits of the count badge, as the battle's marker sprite has them (frame = code - 32).
inline std::unique_ptr<CSprite> MakeBadgeDigits() {
  forge::SpriteFileWriter writer;
  for (int code = 32; code < 32 + 26; ++code) {
    forge::Canvas canvas(5, 7);
    if (code >= '0' && code <= '9') forge::effect_art::Digit(canvas, 1, 1, code - '0', 1, 0xFFFF, 0x0000);
    writer.AddFrame(forge::EncodeFrame(canvas, 0, 0, -1));
  }
  auto sprite = std::make_unique<CSprite>();
  EXPECT_TRUE(sprite->LoadImage(writer.Bytes(), 0, "digits.spr"));
  return sprite;
}

// Both panels at their program start, for a battle of the fake's wizard.
class SelectPanels : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    folder_ = std::make_unique<InFolder>(testing_support::ForgedDataDir());
    ASSERT_EQ(LoadSpells("cfg\\spells.cfg", g_spellDefs), 1);
    badge_ = MakeBadgeDigits();
    g_panelBadgeSprite = badge_.get();
    InitSelectBarAndFace();
  }
  void TearDown() override {
    FreeSelectBarAndFace();
    g_panelBadgeSprite = nullptr;
    folder_.reset();
    PanelDisplay::TearDown();
  }
  // The battle starts with the fake's wizard.
  void StartBattle() { SetUpSelectBarAndFace(kWizard); }
  // n frames of the bar.
  void Frames(int n) {
    for (int i = 0; i < n; ++i) g_selectBar.Draw();
  }

  DisplayPrefs prefs_{1, 0};
  FakePanelBattle battle_;
  RecordingCommands commands_;
  HookScope<IPanelBattle> battleScope_{g_panelBattle, battle_};
  HookScope<IMapCommandSink> commandScope_{g_panelCommands, commands_};
  testing_support::BoxRecorder boxes_;
  std::unique_ptr<InFolder> folder_;
  std::unique_ptr<CSprite> badge_;
};

}  // namespace panel_test
