// The select bar's entries: the strip built from the wizard's spells and items, items picked
// up and used up, the removal queue, and the mana fill of every spell button.
#include <algorithm>

#include "battle/PanelBattle.h"
#include "battle/SelectBar.h"
#include "battle/SelectBarIcons.h"
#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "creatures/SpellDefinition.h"
#include "platform/MessageBox.h"

namespace {

constexpr int kUnusedUpKinds = 83;  // items of higher kinds are not used up
constexpr char kCaption[] = "SELECT BAR MESSAGE ERROR";

int SpellCost(int spell) { return spell >= 0 && spell < kSpellCount ? g_spellDefs[spell].ManaCost : 0; }

bool ReadWizard(int creature, PanelWizardState& state) {
  state = PanelWizardState{};
  return creature >= 0 && g_panelBattle->GetWizard(creature, state);
}

int ChargesIn(const PanelWizardState& state, int carrySlot) {
  if (carrySlot < 0 || carrySlot >= kCarrySlots || state.items[carrySlot].kind < 0) return 0;
  return state.items[carrySlot].charges;
}

}  // namespace

int CSelectBar::WizardMana() const {
  PanelWizardState state;
  return ReadWizard(wizard_, state) ? state.mana / 256 : 0;
}

bool CSelectBar::AtControlLimit() const {
  PanelWizardState state;
  return ReadWizard(wizard_, state) && state.controlLimit > 0 && state.controlled >= state.controlLimit;
}

void CSelectBar::ClearEntry(CSelectButton& button) {
  button.kind = -1;
  button.type = kEntrySpell;
  button.carrySlot = -1;
  button.show = 0;
  button.chargeStep = 0;
  button.manaStep = 0;
  button.source = -1;
  button.m_count = 0;
  button.highlight = kPanelPlain;
  button.tooltipId = -1;
  button.SetStateFrames(-1, -1, -1, -1);
  button.SetOverlayFrames(-1, -1, -1);
  button.state = kPanelGreyed;
  button.active = 0;
}

void CSelectBar::ResetEntries() {
  for (CSelectButton& b : popup) {
    ClearEntry(b);
    b.Erase();
  }
  for (CSelectButton& b : slot) {
    ClearEntry(b);
    b.Erase();
  }
  selectedPopup = selectedSlot = -1;
  popupCount = 0;
  nextSlot = 0;
  removalCount = 0;
}

void CSelectBar::FillSpellButton(CSelectButton& button, int spell, int mana) {
  button.kind = spell;
  button.type = kEntrySpell;
  button.carrySlot = -1;
  button.show = 1;
  button.m_count = 0;
  button.chargeStep = 0;
  button.manaStep = spl_icons::ManaFillStep(mana, SpellCost(spell));
  button.tooltipId = spl_icons::SpellTooltip(spell);
  button.SetStateFrames(spl_icons::SpellFrame(spell), -1, -1, -1);
  button.SetOverlayFrames(spl_icons::kManaFill + button.manaStep, spl_icons::kMark + blink, -1);
}

void CSelectBar::FillItemButton(CSelectButton& button, int kind, int carrySlot, int charges) {
  button.kind = kind;
  button.type = kEntryItem;
  button.carrySlot = carrySlot;
  button.show = 1;
  button.m_count = 1;
  button.manaStep = 0;
  button.chargeStep = spl_icons::ChargeStep(charges, g_panelBattle->ItemMaxCharge(kind));
  button.tooltipId = spl_icons::ItemTooltip(kind);
  button.SetStateFrames(spl_icons::ItemFrame(kind), -1, -1, -1);
  button.SetOverlayFrames(spl_icons::kCharge + button.chargeStep, spl_icons::kMark + blink, -1);
}

void CSelectBar::CopyEntry(CSelectButton& to, const CSelectButton& from) {
  std::copy(std::begin(from.stateFrames), std::end(from.stateFrames), std::begin(to.stateFrames));
  std::copy(std::begin(from.overlayFrames), std::end(from.overlayFrames), std::begin(to.overlayFrames));
  to.caption = from.caption;
  to.tooltipId = from.tooltipId;
  to.kind = from.kind;
  to.type = from.type;
  to.carrySlot = from.carrySlot;
  to.show = from.show;
  to.chargeStep = from.chargeStep;
  to.manaStep = from.manaStep;
  to.m_count = from.m_count;
}

void CSelectBar::BuildSpellPopup() {
  ResetEntries();
  PanelWizardState state;
  if (!ReadWizard(wizard_, state)) return;
  int spells = std::clamp(state.spellCount, 0, kWizardSpellSlots);
  if (spells > kMaxPopupSpells) {
    // The rest of the strip is for items: the first 25 spells are shown, and the player is
    // told once.
    if (!spellWarningShown_)
      platform::ShowMessageBox("Too many spells to fit on popup buttons", kCaption, WarningBoxFlags());
    spellWarningShown_ = true;
    spells = kMaxPopupSpells;
  }
  const int mana = state.mana / 256;
  const bool atLimit = state.controlLimit > 0 && state.controlled >= state.controlLimit;
  for (int i = 0; i < spells; ++i) {
    CSelectButton& b = popup[popupCount++];
    FillSpellButton(b, state.spells[i], mana);
    if (atLimit && IsSummoningSpell(b.kind)) b.highlight = kPanelInactive;
    if (popupOpen) b.Show();
    Repaint(b);
  }
  for (int i = 0; i < slotsInUse && i < popupCount; ++i) {
    CopyEntry(slot[i], popup[i]);
    slot[i].source = i;
    slot[i].highlight = popup[i].highlight;
    slot[i].Show();
    Repaint(slot[i]);
  }
  for (int s = 0; s < kCarrySlots; ++s)
    if (state.items[s].kind >= 0) AddPopupButton(state.items[s].kind, s);
}

void CSelectBar::AddPopupButton(int kind, int carrySlot) {
  if (kind < 0 || kind > spl_icons::kLastItemKind) return;
  // Another item of a kind the strip shows only raises its badge, even on a full strip.
  for (int i = 0; i < popupCount; ++i) {
    CSelectButton& b = popup[i];
    if (b.type != kEntryItem || b.kind != kind) continue;
    ++b.m_count;
    Repaint(b);
    return;
  }
  if (popupCount >= kPopupButtons) {
    platform::ShowMessageBox("Too many popup buttons", kCaption, WarningBoxFlags());
    return;
  }
  PanelWizardState state;
  ReadWizard(wizard_, state);
  CSelectButton& b = popup[popupCount++];
  FillItemButton(b, kind, carrySlot, ChargesIn(state, carrySlot));
  if (popupOpen) b.Show();
  Repaint(b);
}

void CSelectBar::UpdateButtons(int mana) {
  auto update = [&](CSelectButton& b) {
    if (b.type != kEntrySpell || b.kind < 0) return false;
    const int step = spl_icons::ManaFillStep(mana, SpellCost(b.kind));
    if (step == b.manaStep) return false;
    b.manaStep = step;
    b.overlayFrames[0] = spl_icons::kManaFill + step;
    Repaint(b);
    return true;
  };
  for (int i = 0; i < popupCount; ++i) update(popup[i]);
  for (int i = 0; i < slotsInUse; ++i) update(slot[i]);
}

void CSelectBar::UpdateItemButton(int carrySlot) {
  int index = -1;
  for (int i = 0; i < popupCount && index < 0; ++i)
    if (popup[i].type == kEntryItem && popup[i].carrySlot == carrySlot) index = i;
  if (index < 0) return;
  CSelectButton& b = popup[index];
  if (b.kind > kUnusedUpKinds) return;
  PanelWizardState state;
  ReadWizard(wizard_, state);
  const int charges = ChargesIn(state, carrySlot);
  if (charges > 0) {
    b.chargeStep = spl_icons::ChargeStep(charges, g_panelBattle->ItemMaxCharge(b.kind));
    b.overlayFrames[0] = spl_icons::kCharge + b.chargeStep;
    Repaint(b);
    return;
  }
  if (popupCount >= kPopupButtons) {
    RemovePopupButton(index);
    return;
  }
  // Used up: it shows in grey for a while before the strip closes the gap.
  b.highlight = kPanelInactive;
  b.Deactivate();
  Repaint(b);
  QueueRemoval(index);
}

void CSelectBar::QueueRemoval(int index) {
  for (int k = 0; k < removalCount; ++k)
    if (removals[k].index == index) return;
  if (removalCount < kPopupButtons) removals[removalCount++] = Removal{index, kRemovalDelayFrames};
}

void CSelectBar::StepRemovals() {
  int k = 0;
  while (k < removalCount) {
    if (--removals[k].framesLeft > 0) {
      ++k;
      continue;
    }
    const int index = removals[k].index;
    std::copy(removals + k + 1, removals + removalCount, removals + k);
    --removalCount;
    RemovePopupButton(index);
  }
}

void CSelectBar::RemovePopupButton(int index) {
  if (index < 0 || index >= popupCount) return;
  CSelectButton& b = popup[index];
  if (b.type == kEntryItem && b.m_count > 1) {
    // One of several: the next carried item of the kind takes the button over.
    PanelWizardState state;
    ReadWizard(wizard_, state);
    --b.m_count;
    for (int s = 0; s < kCarrySlots; ++s) {
      if (s == b.carrySlot || state.items[s].kind != b.kind) continue;
      b.carrySlot = s;
      b.chargeStep = spl_icons::ChargeStep(state.items[s].charges, g_panelBattle->ItemMaxCharge(b.kind));
      b.overlayFrames[0] = spl_icons::kCharge + b.chargeStep;
      break;
    }
    b.highlight = kPanelPlain;
    if (popupOpen) b.Show();
    Repaint(b);
    return;
  }
  for (int i = index; i + 1 < popupCount; ++i) {
    CSelectButton& to = popup[i];
    const CSelectButton& from = popup[i + 1];
    CopyEntry(to, from);
    to.highlight = from.highlight;
    to.state = from.state;
    to.active = from.active;
  }
  CSelectButton& last = popup[popupCount - 1];
  ClearEntry(last);
  last.Deactivate();
  Repaint(last);
  --popupCount;
  for (int i = index; i < popupCount; ++i) Repaint(popup[i]);
  for (int k = 0; k < removalCount; ++k)
    if (removals[k].index >= index) --removals[k].index;
  if (selectedPopup > index) --selectedPopup;
  for (CSelectButton& s : slot)
    if (s.source > index) --s.source;
  RequestPanelRedraw();
}
