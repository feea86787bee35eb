// The select bar's input: clicks on its buttons (spell choices and item commands), the
// toggle of the strip, the control limit, and the lock a speech box puts on it.
#include "battle/PanelBattle.h"
#include "battle/SelectBar.h"
#include "battle/SelectBarIcons.h"
#include "core/Preferences.h"
#include "net/NetMessages.h"

namespace {

// Left clicks on keys do nothing: they open chests by themselves.
bool IsKey(int kind) { return kind == 16 || kind == 51 || kind == 52; }

constexpr int kScriptSpellSelected = 1;  // the script's interface command of a spell choice

}  // namespace

void CSelectBar::SendItemCommand(int type, int index) {
  const CSelectButton& b = popup[index];
  CommandMessage message;
  if (type == MSG_USE_ARTIFACT) {
    message.length = 20;
    SetMessageWord(message.bytes, 3, wizard_);
    SetMessageWord(message.bytes, 4, b.carrySlot);
  } else {
    message.length = 28;
    SetMessageWord(message.bytes, 3, wizard_);
    SetMessageWord(message.bytes, 4, b.carrySlot);
    SetMessageWord(message.bytes, 5, b.kind);
    SetMessageWord(message.bytes, 6, index);
  }
  SetMessageWord(message.bytes, 0, 0);
  SetMessageWord(message.bytes, 1, type);
  SetMessageWord(message.bytes, 2, message.length);
  g_panelCommands->AddMessage(message);
}

void CSelectBar::MarkSelected(CSelectButton& button) {
  button.highlight = kPanelSelected;
  button.overlayFrames[1] = spl_icons::kMark + blink;
  Repaint(button);
}

void CSelectBar::ClickPopup(int index, bool right) {
  if (wizard_ < 0 || index < 0 || index >= popupCount) return;
  CSelectButton& b = popup[index];
  if (b.type == kEntryItem) {
    if (right)
      SendItemCommand(MSG_DROP_ARTIFACT, index);
    else if (!IsKey(b.kind) && b.kind != -1)
      SendItemCommand(MSG_USE_ARTIFACT, index);
    return;
  }
  if (right) return;
  PressSelected();
  if (b.kind == -1) return;
  SelectSpellEntry(index);
  ChooseSlotFor(index);
}

void CSelectBar::SelectSpellEntry(int index) {
  CSelectButton& b = popup[index];
  g_panelBattle->RebuildSelectedCreatures();
  g_panelBattle->SelectSpell(wizard_, b.kind);
  MarkSelected(b);
  selectedPopup = index;
  OfferInterfaceCommand(kScriptSpellSelected, b.kind, -1);
}

void CSelectBar::ChooseSlotFor(int index) {
  const CSelectButton& b = popup[index];
  int chosen = -1;
  for (int i = 0; i < slotsInUse && chosen < 0; ++i)
    if (slot[i].type == kEntrySpell && slot[i].kind == b.kind) chosen = i;
  if (chosen < 0) {
    // The next slot in turn takes the button's look and entry.
    chosen = nextSlot;
    nextSlot = (nextSlot + 1) % slotsInUse;
    CopyEntry(slot[chosen], b);
    slot[chosen].source = index;
    slot[chosen].highlight = kPanelPlain;
    slot[chosen].Show();
  }
  MarkSelected(slot[chosen]);
  selectedSlot = chosen;
}

void CSelectBar::ClickSlot(int index) {
  if (wizard_ < 0 || index < 0 || index >= slotsInUse) return;
  CSelectButton& s = slot[index];
  if (s.highlight == kPanelSelected) {
    g_panelBattle->SelectSpell(wizard_, s.kind);
    return;
  }
  PressSelected();
  if (s.kind == -1 || s.type == kEntryItem) {
    g_panelBattle->SelectSpell(wizard_, -1);
    return;
  }
  g_panelBattle->RebuildSelectedCreatures();
  g_panelBattle->SelectSpell(wizard_, s.kind);
  MarkSelected(s);
  selectedSlot = index;
  if (s.source >= 0 && s.source < popupCount && popup[s.source].kind == s.kind) {
    CSelectButton& from = popup[s.source];
    MarkSelected(from);
    selectedPopup = s.source;
  }
  OfferInterfaceCommand(kScriptSpellSelected, s.kind, -1);
}

void CSelectBar::PressSelected() {
  if (selectedPopup >= 0 && selectedPopup < kPopupButtons) Unmark(popup[selectedPopup]);
  if (selectedSlot >= 0 && selectedSlot < kSlotButtons) Unmark(slot[selectedSlot]);
  selectedPopup = selectedSlot = -1;
}

void CSelectBar::TogglePopup() {
  popupOpen = !popupOpen;
  SetToggleOpen(popupOpen);
  if (popupOpen) {
    for (int i = 0; i < popupCount; ++i) {
      popup[i].Show();
      Repaint(popup[i]);
    }
    g_panelBattle->CloseChatConsole();
  } else {
    for (CSelectButton& b : popup) {
      b.state = kPanelGreyed;
      b.Deactivate();
    }
  }
  RequestPanelRedraw();
}

void CSelectBar::ClearCreatureSelection() {
  if (selectedPopup >= 0 && IsSummoningSpell(popup[selectedPopup].kind)) {
    g_panelBattle->SelectSpell(wizard_, -1);
    PressSelected();
  }
  auto grey = [&](CSelectButton& b) {
    if (b.type != kEntrySpell || !IsSummoningSpell(b.kind)) return;
    b.highlight = kPanelInactive;
    b.Deactivate();
    Repaint(b);
  };
  for (int i = 0; i < popupCount; ++i) grey(popup[i]);
  for (int i = 0; i < slotsInUse; ++i) grey(slot[i]);
}

void CSelectBar::ResetButtons() {
  auto reset = [&](CSelectButton& b, bool takesInput, bool selected) {
    if (b.type != kEntrySpell || b.kind < 0) return;
    b.highlight = selected ? kPanelSelected : kPanelPlain;
    if (takesInput) b.active = b.index != -1 ? 1 : 0;
    Repaint(b);
  };
  for (int i = 0; i < popupCount; ++i) reset(popup[i], popupOpen, i == selectedPopup);
  for (int i = 0; i < slotsInUse; ++i) reset(slot[i], true, i == selectedSlot);
}

void CSelectBar::SelectByKind(int kind) {
  if (!barSurface.IsCreated() || !popupSurface.IsCreated() || locked) return;
  locked = true;
  if (selectedPopup >= 0 && popup[selectedPopup].kind != kind) Unmark(popup[selectedPopup]);
  if (selectedSlot >= 0 && slot[selectedSlot].kind != kind) Unmark(slot[selectedSlot]);
  bool slotShowsKind = false;
  for (int i = 0; i < slotsInUse; ++i)
    if (slot[i].type == kEntrySpell && slot[i].kind == kind) slotShowsKind = true;
  if (!slotShowsKind && !popupOpen && kind != -1) TogglePopup();
  auto lock = [&](CSelectButton& b) {
    if (b.type == kEntrySpell && b.kind == kind && kind != -1) return;
    b.highlight = kPanelInactive;
    b.Deactivate();
    Repaint(b);
  };
  for (int i = 0; i < popupCount; ++i) lock(popup[i]);
  for (int i = 0; i < slotsInUse; ++i) lock(slot[i]);
  if (!g_prefs.windowSize) HideToggle();
}

void CSelectBar::RefreshAvailability() {
  if (!locked || !barSurface.IsCreated() || !popupSurface.IsCreated()) return;
  locked = false;
  const bool atLimit = AtControlLimit();
  // Items were locked with the spells, so they are freed with them.
  auto free = [&](CSelectButton& b, bool takesInput) {
    if (b.kind < 0 || (atLimit && b.type == kEntrySpell && IsSummoningSpell(b.kind))) return;
    b.highlight = kPanelPlain;
    if (takesInput) b.active = b.index != -1 ? 1 : 0;
    Repaint(b);
  };
  for (int i = 0; i < popupCount; ++i) free(popup[i], popupOpen);
  for (int i = 0; i < slotsInUse; ++i) free(slot[i], true);
  if (!g_prefs.windowSize) ShowToggle();
  if (selectedPopup >= 0) MarkSelected(popup[selectedPopup]);
  if (selectedSlot >= 0) MarkSelected(slot[selectedSlot]);
  ShowAll();
}
