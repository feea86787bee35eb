#pragma once
// CCharacterScreen (screen id 23): the player's wizard spends experience between battles on
// six attributes in steps: maximum mana, maximum health, control limit and the Law, Neutral
// and Vrask talismans. Each step's price grows with the attribute (CharacterCosts.h). Steps
// are tentative: the value held on entry is a floor no step goes below, accept makes the new
// values the wizard's (and the new floors), cancel puts everything back.

#include <array>
#include <vector>

#include "frontend/CharacterCosts.h"
#include "frontend/FrontEndMenu.h"
#include "graphics/Sprite.h"
#include "ui/ValueBars.h"

class CWizard;

class CCharacterScreen : public CFrontEndMenu {
 public:
  enum Attribute : int { kMana = 0, kHealth, kControl, kLaw, kNeutral, kVrask, kAttributes };
  enum CharacterButton { kAccept = 0, kCancel = 1, kFirstStep = 24 };  // step ids 24-35: down, up per attribute
  static constexpr int kLabels = 16;

  CCharacterScreen();

  void Enter() override;
  void Suspend() override { Exit(); }
  void Unload() override;
  void Draw() override;
  void OnClick(int type, int index) override;
  std::string BackgroundPath() const override;
  void LoadBackgroundPicture() override;

  // The steps (button ids 24-35), accept and cancel, as their clicks do them.
  void PressButton(int id);

  // "Interface\CharacterScreen\<w>x<h>\WizardFace<n>.JPG" for a rank tier; a tier outside 0-2 shows face 0.
  static std::string FacePath(int tier);

  struct Bar {
    int value = 0;
    int floor = 0;
    int maximum = 0;
  };
  std::array<Bar, kAttributes> bars{};
  int unspent = 0;
  std::array<int, kAttributes> raiseCosts{};
  std::array<int, kAttributes> refunds{};
  StepCosts costs;

 protected:
  void AfterLoad() override;

 private:
  CWizard* Wizard() const;
  void StepDown(int attribute);
  void StepUp(int attribute);
  void Accept();
  void Cancel();
  void UpdateCostsAndLabels();

  CSprite sprite_;
  std::vector<CWidgetBar> widgetBars_;
  std::vector<std::pair<int, int>> numberLabels_;  // label index, what it shows (kVarExperience or an attribute)
};

extern CCharacterScreen* g_characterScreen;
