// The script's actions: their dispatch, the places they act at, and the small actions of
// PORTAL, DIPLOMACY and EXPERIENCE.
#include "battle/ScriptActions.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "battle/Battle.h"
#include "battle/MessageScroll.h"
#include "battle/NamedList.h"
#include "battle/ScriptActors.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Random.h"
#include "core/TraceLog.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "magic/Effect.h"
#include "magic/EffectManager.h"
#include "magic/EffectScript.h"
#include "magic/EffectSounds.h"
#include "magic/EffectSummons.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/MapView.h"
#include "ui/SpeechCtrl.h"

namespace script_actions {

namespace {

bool Named(const char* field) { return field[0] != '\0'; }

// The portal's effects: one that opens at a place, and one that takes a dead character away.
constexpr int kPortalEffect = 62;
constexpr int kDependentPortalEffect = 65;
// The frames a dead dependent character lingers before the portal takes it.
constexpr int kPortalUnsummon = 75;

// A draw of the battle's generator for the portal's place, in the trace ring as the script's.
int PortalDraw(int line) {
  const int value = static_cast<int>(g_battleRandom.Next() & 0x7FFFFFFFu);
  if (g_netRandomLog) g_traceLog.Record("script", line);
  return value;
}

// A cell around a centre, R / 2 - (r mod R) away in x and in y.
Place AroundCell(const Place& centre, int range) {
  const int dx = range / 2 - PortalDraw(__LINE__) % range;
  const int dy = range / 2 - PortalDraw(__LINE__) % range;
  return Wrapped(At(centre.x + dx, centre.y + dy, centre.z));
}

Place CreatureCell(const CCreature& c) { return At(c.cellX, c.cellY, c.level); }

}  // namespace

MapPoint PointOf(const Place& place) {
  if (!place.found) return {};
  return MapPoint{place.x * 32 + 16, place.y * 32 + 16, place.z * 16};
}

Place AreaCentre(const char* name) {
  Place place;
  if (Named(name)) place.found = GetAreaCentreByName(name, place.x, place.y, place.z);
  return place;
}

Place FirstObject(int kind) {
  Place place;
  if (kind != -1) place.found = FindMapObjectPosition(kind, place.x, place.y, place.z);
  return place;
}

CCreature* BoundCreature(const ScriptActor* actor) {
  return actor && actor->creature >= 0 ? g_creatureArray.InUse(actor->creature) : nullptr;
}

Place LastCell(const ScriptActor* actor) {
  if (!actor || BoundCreature(actor)) return {};
  if (actor->state != kActorDeadInBattle && actor->state != kActorExited) return {};
  return Wrapped(At(actor->lastCell[0], actor->lastCell[1], actor->lastCell[2]));
}

Place Wrapped(Place place) {
  if (!place.found || g_map.width <= 0 || g_map.height <= 0) return place;
  place.x = CWrapCoord::WrapX(place.x);
  place.y = CWrapCoord::WrapY(place.y);
  place.z = std::clamp(place.z, 0, std::max(g_map.levels - 1, 0));
  return place;
}

void PlaySound(const CScriptEvent& e, int x, int y) {
  if (e.sound != -1) g_effectSounds->PlayAt(e.sound, x, y, nullptr, 0);
}

bool StartPlaceEffect(int kind, const MapPoint& point, int word8, int word11) {
  CEffect* effect = g_effectManager.AllocateEffect();
  if (!effect) return false;
  CEffectParams block;
  block.words[effect_word::kSourceX] = block.words[effect_word::kTargetX] = point.x;
  block.words[effect_word::kSourceY] = block.words[effect_word::kTargetY] = point.y;
  block.words[effect_word::kSourceZ] = block.words[effect_word::kTargetZ] = point.z;
  block.words[effect_word::kSpell] = word8;
  block.words[effect_word::kMode] = 4;
  block.words[effect_word::kValue] = word11;
  effect->Activate(kind, block);
  return true;
}

// --- PORTAL -------------------------------------------------------------------------------------

void RunPortal(CScript& script, int record) {
  CScriptEvent& e = script.Event(record);
  const ScriptPortalPart& p = e.portal;
  Place place;
  int kind = kPortalEffect;
  switch (p.portalPosition) {
    case 1:
      place = Wrapped(AreaCentre(p.portalLocation));
      break;
    case 2: {
      ScriptActor* actor = g_scriptActors.FindByName(p.portalCharacter);
      const int range = p.rangeFromCharacter;
      CCreature* c = BoundCreature(actor);
      if (!c) {
        // Without a range the character's last cell is the place itself.
        place = LastCell(actor);
        if (place.found && range > 0) place = AroundCell(place, range);
      } else if (range > 0) {
        place = AroundCell(CreatureCell(*c), range);
      } else {
        place = CreatureCell(*c);
        if (c->midStep || c->movement[0]) {
          int x, y, z;
          c->StepDestination(x, y, z);
          place = Wrapped(At(x, y, z));
        }
        if (std::strncmp(e.dependentCharacter, actor->name, kScriptNameSize) == 0 &&
            e.dependentCharacterStatus == kActorDeadInBattle && actor->state == kActorDeadInBattle) {
          actor->state = kActorExited;
          c->Trap();
          c->orderState.dissolve = kPortalUnsummon;
          kind = kDependentPortalEffect;
        }
      }
      break;
    }
    case 3:
      place = FirstObject(p.portalArtefact);
      break;
    default:
      break;
  }
  if (place.found) {
    if (!StartPlaceEffect(kind, PointOf(place), -1, p.portalCountDown)) {
      e.runState = kScriptArmed;  // no free effect: the portal opens on a later occasion
      return;
    }
    PlaySound(e, place.x, place.y);
  } else if (!g_effectManager.AllocateEffect()) {
    e.runState = kScriptArmed;
    return;
  }
  script.RearmEvent(record);
}

// --- DIPLOMACY ----------------------------------------------------------------------------------

namespace {

// Every living creature of the army lets go of its engagements and ends a fight or a
// behaviour it was in.
void ReleaseArmy(int army) {
  g_creatureArray.ForEachInUse([army](CCreature& c) {
    if (c.army != army || !c.IsAlive()) return;
    c.ReleaseEngagements();
    if (c.order == ORDER_ATTACK_CREATURE || c.order == ORDER_REACTION_HTH || c.order == ORDER_REACTION_LRC ||
        c.order == ORDER_BEHAVIOUR)
      c.EndHeldState();
  });
}

// The living creatures of each army are seen by the other.
void SeeEachOther(int a, int b) {
  g_creatureArray.ForEachInUse([a, b](CCreature& c) {
    if (!c.IsAlive()) return;
    if (c.army == a) c.SetSeenByArmy(1, b, -1);
    if (c.army == b) c.SetSeenByArmy(1, a, -1);
  });
}

}  // namespace

void RunDiplomacy(CScript& script, int record) {
  const CScriptEvent& e = script.Event(record);
  const ScriptDiplomacyPart& d = e.diplomacy;
  if (Named(d.newArmy) && Named(d.diplomacyCharacter)) {
    CCreature* c = BoundCreature(g_scriptActors.FindByName(d.diplomacyCharacter));
    const CArmy* army = g_armyTable.FindByName(d.newArmy);
    if (c && army) {
      c->ChangeOwner(army->index);
      PlaySound(e, c->cellX, c->cellY);
    }
  }
  CArmy* other = Named(d.diplomacyArmy) ? g_armyTable.FindByName(d.diplomacyArmy) : nullptr;
  if (!other) {
    script.RearmEvent(record);
    return;
  }
  if (CArmy* hostile = Named(d.hostileArmy) ? g_armyTable.FindByName(d.hostileArmy) : nullptr) {
    hostile->SetAlliance(other->index, 0);
    ReleaseArmy(hostile->index);
  }
  if (CArmy* friendly = Named(d.friendlyArmy) ? g_armyTable.FindByName(d.friendlyArmy) : nullptr) {
    friendly->SetAlliance(other->index, 1);
    ReleaseArmy(friendly->index);
    if (friendly->SharesVisionWith(other->index)) SeeEachOther(friendly->index, other->index);
  }
  if (CArmy* viewer = Named(d.viewArmy) ? g_armyTable.FindByName(d.viewArmy) : nullptr) {
    viewer->SetSharedVision(other->index, d.canView ? 1 : 0);
    if (d.canView && viewer->IsAlliedWith(other->index)) SeeEachOther(viewer->index, other->index);
  }
  script.RearmEvent(record);
}

// --- EXPERIENCE ---------------------------------------------------------------------------------

void RunExperience(CScript& script, int record) {
  const CScriptEvent& e = script.Event(record);
  const ScriptExperiencePart& x = e.experience;
  Place place;
  switch (x.experienceType) {
    case 1: {
      const ScriptActor* actor = g_scriptActors.FindByName(x.experienceCharacter);
      if (const CCreature* c = BoundCreature(actor))
        place = Wrapped(At(c->cellX, c->cellY, c->level + (c->type ? c->type->TileHeight : 1)));
      else
        place = LastCell(actor);
      break;
    }
    case 2:
      place = AreaCentre(x.experienceLocation);
      break;
    case 3:
      place = FirstObject(x.experienceArtefact);
      break;
    default:
      break;
  }
  if (x.centre && place.found) g_mapView.SetCameraCell(place.x, place.y, place.z);
  if (Named(x.experienceText)) {
    const std::string text =
        std::string(x.experienceText) + " " + std::to_string(x.experiencePoints) + " Experience Points";
    g_messageScroll.ShowText(text.c_str());
  }
  if (place.found) g_effectManager.ShowFloatingNumber(place.x, place.y, place.z, x.experiencePoints);
  PlaySound(e, place.found ? place.x : 0, place.found ? place.y : 0);
  if (CNamedList* list = GetNamedList())
    list->Add(x.experiencePoints, x.experienceText, x.itemGained == -1 ? -1 : x.itemGained - 97);
  script.RearmEvent(record);
}

}  // namespace script_actions

// --- the installed actions ------------------------------------------------------------------------

namespace {

// What the effects ask of the script: a creature taken out of the battle.
class CEffectScriptAnswers : public IEffectScript {
 public:
  void MarkGone(int creature) override { g_scriptActors.MarkGone(creature); }
  void SummonFailed(int event) override { g_script.OnSummonFailed(event); }
};

// What a summoning effect started by a DEPLOYMENT event asks of it: the army and the wizard
// it brings, the settings for the creature it made, and the map whose wizard files hold the
// script's wizards (wizards\<realm><region><i>.wzd).
class CScriptSummons : public IEffectSummons {
 public:
  bool HasEvent(int event) override { return Deployment(event) != nullptr; }
  const char* EventArmyName(int event) override {
    const CScriptEvent* e = Deployment(event);
    return e && e->deployment.deployedArmy[0] ? e->deployment.deployedArmy : nullptr;
  }
  const char* EventWizardName(int event) override {
    const CScriptEvent* e = Deployment(event);
    return e && e->deployment.deployedCharacter[0] ? e->deployment.deployedCharacter : nullptr;
  }
  void ApplyCreatureAction(int creature, int event) override { g_script.ApplyCreatureAction(creature, event); }
  const char* MapName() override { return g_realmName; }
  int MapNumber() override { return g_battleSetup.region; }

 private:
  static const CScriptEvent* Deployment(int event) {
    if (!g_script.IsRecord(event)) return nullptr;
    const CScriptEvent& e = g_script.Event(event);
    return e.inUse && e.type == kScriptDeployment ? &e : nullptr;
  }
};

CEffectScriptAnswers g_effectScriptAnswers;
CScriptSummons g_scriptSummons;

}  // namespace

CScriptActionRunner g_scriptActionRunner;

void CScriptActionRunner::RunAction(CScript& script, int record, int creature) {
  using namespace script_actions;
  switch (script.Event(record).type) {
    case kScriptDialogue:
      RunDialogue(script, record);
      break;
    case kScriptDeployment:
      RunDeployment(script, record);
      break;
    case kScriptPortal:
      RunPortal(script, record);
      break;
    case kScriptTrap:
      RunTrap(script, record, creature);
      break;
    case kScriptDiplomacy:
      RunDiplomacy(script, record);
      break;
    case kScriptExperience:
      RunExperience(script, record);
      break;
    default:
      script.RearmEvent(record);
      break;
  }
}

void InstallScriptActions() {
  g_effectScript.Install(&g_effectScriptAnswers);
  g_effectSummons.Install(&g_scriptSummons);
}

void UninstallScriptActions() {
  g_effectScript.Install(nullptr);
  g_effectSummons.Install(nullptr);
}
