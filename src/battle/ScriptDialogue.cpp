// The DIALOGUE action: a speech at its speaker, who may be a character on the map, an area,
// a world object, or the messenger, a creature of its own that the script sends to speak.
#include <cstring>

#include "battle/ScriptActions.h"
#include "battle/ScriptActors.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "ui/SpeechCtrl.h"

namespace script_actions {

namespace {

constexpr int kMessengerType = creature_kind::kUnseen;
constexpr int kRevealDiameter = 33;
// The print effect a creature shows while it fades in, which the messenger does without.
constexpr int kFadeInEffect = 5;
constexpr const char* kMessengerName = "Herald";
constexpr const char* kMessengerArmy = "Edric";
constexpr const char* kDefaultPortrait = "Redcap portrait";

bool Named(const char* field) { return field[0] != '\0'; }
bool IsMessenger(const char* name) { return std::strncmp(name, kMessengerName, kScriptNameSize) == 0; }

// The speaker's point on the map: the middle of its footprint, at the top level of its body.
MapPoint SpeakerPoint(const CCreature& c) {
  const CCreatureType& type = c.type ? *c.type : g_creatureTypes[0];
  return MapPoint{c.unitX + type.centreOffset, c.unitY + type.centreOffset, c.unitZ + (type.TileHeight - 1) * 16};
}

void Reveal(const Place& place) {
  if (place.found) g_map.RevealAround(place.x, place.y, place.z, kRevealDiameter);
}

// The local player is shown a speaker it has not seen.
void Illuminate(CCreature& c) {
  const bool seen = g_localArmy >= 0 && g_localArmy < kSightingArmyCount && c.sightingCounters[g_localArmy] != 0;
  if (seen) return;
  if (const CCreature* wizard = g_armyTable.GetWizard(g_localArmy)) {
    c.SetSeenByArmy(1, wizard->army, wizard->index);
    if (wizard->army >= 0 && wizard->army < kSightingArmyCount) c.sightingCounters[wizard->army] = kSightingFull;
  }
  Reveal(At(c.cellX, c.cellY, c.level));
}

// The army the messenger joins: the player's wizard's army by name, else the local army;
// -1 when there is neither, and no messenger comes.
int MessengerArmy() {
  if (const CArmy* army = g_armyTable.FindByName(kMessengerArmy); army && army->inUse) return army->index;
  return g_localArmy >= 0 && g_localArmy < kArmyCount ? g_localArmy : -1;
}

// The cell of the first node linked to the creature's entry node that its type could use.
Place FirstUsableNeighbour(const CCreature& c) {
  const int entry = c.nodeRoute.goal[5];
  if (entry < 0 || entry >= g_pathNetwork.count) return {};
  const CMoveQuery query = c.MakeMoveQuery();
  for (const CPathLink& link : g_pathNetwork.nodes[entry].links) {
    if (!link.Exists() || !link.Admits(query.height, query.size, query.airborne, query.movementKind)) continue;
    if (link.target < 0 || link.target >= g_pathNetwork.count) continue;
    const CPathNode& node = g_pathNetwork.nodes[link.target];
    return At(node.x, node.y, node.level);
  }
  return {};
}

// The messenger walks toward the first marked node it can reach from where it entered the
// network; with HeraldWait it stays where it came.
void SendOnItsWay(CCreature& messenger, bool wait) {
  CLocationRequest location;
  location.x = messenger.cellX;
  location.y = messenger.cellY;
  location.level = messenger.level;
  location.mover.creature = messenger.index;
  location.mover.queryGiven = true;
  location.mover.query = messenger.MakeMoveQuery();
  const int entry = g_pathNetwork.FindNearestReachableNode(location);
  messenger.nodeRoute.NearestNode() = entry;
  if (entry < 0 || entry >= g_pathNetwork.count) return;
  const CMoveQuery& query = location.mover.query;
  for (const CPathLink& link : g_pathNetwork.nodes[entry].links) {
    if (!link.Exists() || !link.Admits(query.height, query.size, query.airborne, query.movementKind)) continue;
    if (link.target < 0 || link.target >= g_pathNetwork.count) continue;
    const CPathNode& node = g_pathNetwork.nodes[link.target];
    if (!node.topOfColumn) continue;
    if (wait)
      messenger.EndHeldState();
    else
      messenger.WalkTo(node.x, node.y, messenger.level);
    return;
  }
}

// The "Herald" character, freed of any messenger it had, or a new one.
ScriptActor* MessengerActor() {
  ScriptActor* actor = g_scriptActors.FindByName(kMessengerName);
  if (CCreature* old = BoundCreature(actor)) old->Detach();
  if (!actor) actor = g_scriptActors.Register(kMessengerName);
  return actor;
}

// Places a messenger near the cell for the "Herald" character; null when no creature slot, no
// place, no army or no animation is to be had.
CCreature* PlaceMessenger(const Place& start, bool wait) {
  const int army = MessengerArmy();
  ScriptActor* actor = MessengerActor();
  CCreature* c = g_creatureArray.FindFree();
  if (!c || !actor || army < 0 || !start.found) return nullptr;
  c->Reset(c->index);
  c->typeNumber = kMessengerType;
  c->type = &g_creatureTypes[kMessengerType];
  const Place wrapped = Wrapped(start);
  int x = wrapped.x, y = wrapped.y, z = wrapped.z;
  if (!g_map.FindFreePositionNear(c->index, c->MakeMoveQuery(), x, y, z)) return nullptr;
  const char* animFile = g_creatureAnimFiles[g_prefs.cutDownAnims ? 1 : 0][kMessengerType];
  if (!g_creatureTypeAnims[kMessengerType] &&
      !LoadCreatureTypeAnims(g_creatureTypes[kMessengerType], kMessengerType, animFile))
    return nullptr;
  c->SetPosition(x, y, z, kMessengerType);
  c->InitFromType(kMessengerType, army);
  c->printFX.RemoveEffect(kFadeInEffect);
  actor->state = kActorAliveInBattle;
  actor->creature = c->index;
  actor->lastCell[0] = c->cellX, actor->lastCell[1] = c->cellY, actor->lastCell[2] = c->level;
  SendOnItsWay(*c, wait);
  return c;
}

// The messenger's speech: its start, the messenger if one can be placed, and the point.
MapPoint MessengerSpeaks(const CScriptEvent& e, const ScriptActor* actor) {
  const ScriptDialoguePart& d = e.dialogue;
  if (d.disembodied) return {};
  Place start;
  MapPoint point;
  if (d.heraldAtCharacter) {
    if (const CCreature* c = BoundCreature(actor)) {
      start = At(c->cellX, c->cellY, c->level);
      if (Place neighbour = FirstUsableNeighbour(*c); neighbour.found) start = neighbour;
    }
  } else {
    start = AreaCentre(d.speechLocation);
    if (!start.found) start = FirstObject(d.speechArtefact);
    point = PointOf(start);
  }
  if (d.illuminate) Reveal(start);
  if (const CCreature* messenger = PlaceMessenger(start, d.heraldWait != 0)) point = SpeakerPoint(*messenger);
  return point;
}

// The speaker's point by the rules of the speaking character, the area and the object.
MapPoint FindSpeaker(const CScriptEvent& e) {
  const ScriptDialoguePart& d = e.dialogue;
  const ScriptActor* actor = g_scriptActors.FindByName(d.speakingCharacter);
  if (actor && (IsMessenger(actor->name) || d.heraldAtCharacter)) return MessengerSpeaks(e, actor);
  if (actor) {
    if (CCreature* c = BoundCreature(actor)) {
      if (d.disembodied) return {};
      if (d.illuminate) Illuminate(*c);
      return SpeakerPoint(*c);
    }
    return PointOf(LastCell(actor));
  }
  Place place = AreaCentre(d.speechLocation);
  if (!place.found) place = FirstObject(d.speechArtefact);
  if (d.illuminate) Reveal(place);
  return PointOf(place);
}

// A tutorial about a creature type speaks from the first living creature of the type in the
// local army.
void TutorialSpeaker(const ScriptDialoguePart& d, MapPoint& point) {
  if (d.tutorialCommand != kCommandCreatureSelected || d.tutorialSelected == -1) return;
  bool found = false;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (found || c.army != g_localArmy || !c.IsAlive() || c.typeNumber != d.tutorialSelected) return;
    point = SpeakerPoint(c);
    found = true;
  });
}

}  // namespace

void Speak(CScript& script, int record, const MapPoint& point) {
  const ScriptDialoguePart& d = script.Event(record).dialogue;
  SpeechRequest request;
  request.x = point.x, request.y = point.y, request.level = point.z;
  request.boxNumber = d.scrollType > 0 ? d.scrollType : 1;
  request.heading = d.speakerName;
  request.text = d.speech;
  request.portrait = Named(d.portrait) ? d.portrait : kDefaultPortrait;
  request.callback = &script.speechCallback;
  request.argument = record;
  request.fixedBox = d.disembodied != 0;
  g_speechCtrl.Say(request, d.tutorialCommand == 0, d.dontScrollBack == 0);
  if (d.tutorialCommand == kCommandSpellSelected && d.tutorialSpell != -1)
    g_speechBattle->HideInterface(d.tutorialSpell);
}

void RunDialogue(CScript& script, int record) {
  CScriptEvent& e = script.Event(record);
  const ScriptDialoguePart& d = e.dialogue;
  if (!g_armyTable.GetWizard(g_localArmy)) {
    script.RearmEvent(record);
    return;
  }
  MapPoint point = FindSpeaker(e);
  TutorialSpeaker(d, point);
  if (point.Given()) {
    if (point.x < 0) point.x += g_map.width * 32;
    if (point.y < 0) point.y += g_map.height * 32;
  }
  // The speech box calls back when the speech is over (OnSpeechFinished).
  e.runState = kScriptRunning;
  e.postPauseLeft = 0;
  Speak(script, record, point);
}

}  // namespace script_actions
