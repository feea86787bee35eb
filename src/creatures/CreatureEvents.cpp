// A creature's event queue and spell list, its target links and sighting marks, and what the
// map view reads to draw it.
#include <algorithm>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/Artifact.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "graphics/BattleFacing.h"
#include "map/MapUnits.h"
#include "sound/SoundCues.h"

namespace {

constexpr int kEventPanelLimit = 25;
constexpr int kEventSound = 802;
constexpr int kQuietEventKind = 19;
constexpr int kStandSequence = 288;

// What the wizard record notes of an event kind: kind 6 for artifact kinds from 97, else
// kind 7 with the number that stands for the kind's group.
void NoteEventSeen(int kind) {
  if (kind >= 97) {
    g_creatureWizards->NoteSeen(6, kind - 96);
    return;
  }
  int number = kind;
  if (kind >= 0 && kind <= 4) number = 1;
  if (kind >= 28 && kind <= 49) number = 28;
  if (kind >= 51 && kind <= 52) number = 51;
  if (kind >= 53 && kind <= 56) number = 53;
  if (kind >= 62 && kind <= 84) number = 62;
  g_creatureWizards->NoteSeen(7, number);
}

// The sound a spotter of some types makes on a first sighting, -1 none.
int SightingSound(int spotterType) {
  switch (spotterType) {
    case 2:
      return 75;
    case 21:
      return 193;
    case 19:
      return 264;
    default:
      return -1;
  }
}

}  // namespace

CCreatureEvent* CCreature::GetEvent(int i) { return i >= 0 && i < kCreatureEvents ? &events[i] : nullptr; }

int CCreature::AddEvent(int kind, int value1, int value2, int value3, int value4, int notify) {
  if (eventCount > kCreatureEvents - 1) return 0;
  const bool local = IsLocalPlayers();
  if (local && g_creatureBattle->EventPanelCount() > kEventPanelLimit) return 0;
  CCreatureEvent* slot = nullptr;
  for (CCreatureEvent& event : events)
    if (!event.active) {
      slot = &event;
      break;
    }
  if (!slot) return 0;
  *slot = CCreatureEvent{kind, value1, value2, value3, value4, 1};
  if (local) NoteEventSeen(kind);
  if (notify) {
    g_creatureBattle->NotifyEvent(index, kind);
    if (kind != kQuietEventKind) g_soundCues.PlayAt(kEventSound, cellX, cellY, nullptr, 0);
  }
  ++eventCount;
  return 1;
}

void CCreature::RemoveEvent(int i) {
  CCreatureEvent* event = GetEvent(i);
  if (!event || !event->active) return;
  event->active = 0;
  eventCount = std::max(eventCount - 1, 0);
}

void CCreature::ProcessEventAt(int i) {
  CCreatureEvent* event = GetEvent(i);
  if (!event || !event->active) return;
  if (event->remaining == 0 && event->kind <= 83) return;
  ApplyItemEvent(*event, *this);
  if (IsLocalPlayers()) g_creatureBattle->UpdateItemButton(i);
  if (event->remaining == 0 && event->kind <= 83) RemoveEvent(i);
}

void CCreature::AddSpell(int spell) {
  if (spellCount >= kCreatureSpells) return;
  spells[spellCount++] = spell;
  if (spell >= 0 && spell < kSpellCount && army >= 0 && army < kSightingArmies)
    g_spellDefs[spell].Sightings[army][army] = 1;
  if (spellCount == 1) attack[0] = spell;
}

void CCreature::ClearSpellsAndEvents() {
  spellCount = 0;
  eventCount = 0;
}

void CCreature::SelectSpell(int spell) {
  if (!IsLocalPlayers()) return;
  if (spell == -1) {
    SetHasSelection(g_selectionCount != 0 ? kMouseModeCreatures : kMouseModeNone);
    if (IsWizard() && IsAlive()) {
      g_creatureBattle->ShowSpellCost(0);
      g_creatureBattle->ShowCurrentSpell(selectedSpell >= 0 ? spells[selectedSpell] : -1);
    }
  } else {
    g_creatureArray.ForEachInUse([](CCreature& creature) {
      if (creature.selected) creature.Deselect();
      creature.inspected = 0;
    });
    SetHasSelection(kMouseModeSpell);
    if (IsWizard() && spell >= 0 && spell < kSpellCount) g_creatureBattle->ShowSpellCost(g_spellDefs[spell].ManaCost);
  }
  selectedSpell = -1;
  for (int n = 0; n < spellCount; ++n)
    if (spells[n] == spell) {
      selectedSpell = n;
      break;
    }
}

void CCreature::DropTarget(int slot) {
  if (followed == slot) followed = -1;
  const int recoverState = typeNumber == 5 ? ANIM_HTH_RECOVER : ANIM_STAND;
  if (target == slot && IsAlive()) {
    tracking = 0;
    target = -1;
    provoked = 0;
    if (order == ORDER_ATTACK_CREATURE || order == ORDER_REACTION_HTH || order == ORDER_REACTION_LRC) {
      order = ORDER_NONE;
      orderHandler = nullptr;
    }
    if (pendingOrder == ORDER_ATTACK_CREATURE) pendingOrder = ORDER_NONE;
    if (animState == ANIM_HTH_ATTACK) animState = recoverState;
  }
  if (engagedWith == slot) {
    engagedWith = -1;
    if (animState == ANIM_ENGAGED) animState = recoverState;
  }
}

void CCreature::SetSeenByArmy(int on, int seeingArmy, int spotter) {
  if (seeingArmy < 0 || seeingArmy >= kSightingArmyCount) return;
  if (!on) {
    sightingCounters[seeingArmy] = 0;
    spottedBy[seeingArmy] = -1;
    return;
  }
  const CArmy* seer = g_armyTable.GetArmy(seeingArmy);
  const bool playersView =
      g_localArmy >= 0 && (seeingArmy == g_localArmy || (seer && seer->SharesVisionWith(g_localArmy)));
  if (sightingCounters[seeingArmy] == 0 && playersView) {
    g_creatureWizards->NoteSeen(4, typeNumber);
    printFX.PushEffect(1);
    if (const CCreature* eye = CreatureInUse(spotter)) {
      const int sound = SightingSound(eye->typeNumber);
      if (sound >= 0) g_soundCues.PlayAt(sound, eye->cellX, eye->cellY, nullptr, 0);
    }
  }
  sightingCounters[seeingArmy] = kSightingFull;
  if (seer)
    for (int other = 0; other < kSightingArmyCount; ++other)
      if (other != seeingArmy && seer->SharesVisionWith(other)) sightingCounters[other] = kSightingFull;
  spottedBy[seeingArmy] = spotter;
}

CCreature* CCreature::GetTargetCreature() const {
  int aimed = -1;
  if (animState == ANIM_ENGAGED && engagedWith != -1) {
    aimed = engagedWith;
  } else if (order == ORDER_ATTACK_CREATURE || order == ORDER_REACTION_HTH || order == ORDER_REACTION_LRC ||
             (order == ORDER_BEHAVIOUR && (behaviourSubState == 1 || behaviourSubState == 5))) {
    aimed = target;
  }
  return aimed == -1 ? nullptr : g_creatureArray.At(aimed);
}

CSpriteFrame CCreature::GetCurrentFrame(int& offsetX, int& offsetY) {
  offsetX = offsetY = 0;
  CAnimation* animation = bodyAnim.animation;
  if (!animation) return CSpriteFrame{};
  if (bodyAnim.frameStep < 0) {
    animationBase = kStandSequence;
    bodyAnim.Start(animationBase + viewFacing, 0);
  }
  if (bodyAnim.frameStep < 0) return CSpriteFrame{};
  const AnimStep& step = animation->Step(bodyAnim.frameStep);
  offsetX = step.x;
  offsetY = step.y;
  if (type && type->TileSizeXY == 2) {
    switch (g_creatureViewRotation & 3) {
      case 1:
        offsetX += 32;
        offsetY -= 16;
        break;
      case 2:
        offsetY -= 32;
        break;
      case 3:
        offsetX -= 32;
        offsetY -= 16;
        break;
      default:
        break;
    }
  }
  const CSprite* sprite = animSet ? &animSet->sprite : nullptr;
  if (!sprite || sprite->FrameCount() == 0) return CSpriteFrame{};
  const int frame = step.value >= 0 && step.value < sprite->FrameCount() ? step.value : 0;
  return sprite->GetFrame(frame);
}

void CCreature::GetFrameOffsetA(int& x, int& y) const {
  x = y = 0;
  if (!bodyAnim.animation || bodyAnim.frameStep < 0) return;
  const AnimStep& step = bodyAnim.animation->Step(bodyAnim.frameStep);
  x = step.more[0];
  y = step.more[1];
}

void CCreature::GetFrameOffsetB(int& x, int& y) const {
  x = y = 0;
  if (!bodyAnim.animation || bodyAnim.frameStep < 0) return;
  const AnimStep& step = bodyAnim.animation->Step(bodyAnim.frameStep);
  x = step.more[2];
  y = step.more[3];
}
