// A creature's life on the map: reset, placement from its type, position and the cells it
// fills, relocation and removal, and the selection.
#include "creatures/Mapelem.h"

#include <algorithm>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureSerial.h"
#include "graphics/BattleFacing.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"
#include "map/TileOverlay.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

CCreature* g_selectedCreature = nullptr;
int g_selectionCount = 0;
int g_creatureViewRotation = 0;
CCreatureEvent g_lastWizardEvents[kCreatureEvents];
int g_lastWizardEventCount = 0;

void ResetCreatureSelection() {
  g_selectedCreature = nullptr;
  g_selectionCount = 0;
  g_creatureViewRotation = 0;
}

CCreature* GetSelectedCreature() { return g_selectedCreature; }

int HasSelection() { return BattleState().mouseMode; }
void SetHasSelection(int mode) { BattleState().mouseMode = mode; }

void SetSelectionCount(int count) {
  g_selectionCount = count;
  SetHasSelection(count != 0 ? kMouseModeCreatures : kMouseModeNone);
}

namespace {

// The cells of a creature's body: the base cell (occupancy bit 1), the cells above it and,
// for a 2 x 2 type, the three other columns (bit 2), wrapped at the map's seam.
template <class Visit>
void ForEachBodyCell(int x, int y, int level, const CCreatureType* type, Visit&& visit) {
  const int height = type ? std::max(type->TileHeight, 1) : 1;
  const bool large = type && type->TileSizeXY == 2;
  for (int column = 0; column < (large ? 4 : 1); ++column) {
    const int cx = x + (column & 1), cy = y + (column >> 1);
    for (int up = 0; up < height; ++up) {
      CMapCell* cell = g_map.CellAtWrapped(cx, cy, level + up);
      if (cell) visit(*cell, column == 0 && up == 0);
    }
  }
}

[[noreturn]] void AnimLoadFailure() {
  platform::ShowMessageBox("Could not load creature anim", "LOAD ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

}  // namespace

void CCreatureGauge::Build(int height, int maximum, int value) {
  bar.Free();
  bar.Create(4, std::max(height, 1));
  bar.SetMax(maximum);
  bar.SetValue(value);
  bar.Render();
}

void CCreatureGauge::SetValue(int value) {
  bar.SetValue(value);
  if (bar.pixels.data) bar.Render();
}

void CCreatureGauge::CopyFrom(const CCreatureGauge& other) {
  bar.Free();
  bar.Reset();
  bar.x = other.bar.x;
  bar.y = other.bar.y;
  if (other.bar.pixels.data) {
    Build(other.bar.height, other.bar.maximum, other.bar.value);
  } else {
    bar.width = other.bar.width;
    bar.height = other.bar.height;
    bar.maximum = other.bar.maximum;
    bar.value = other.bar.value;
    bar.fill = other.bar.fill;
  }
}

CCreature::CCreature() {
  printFX.Clear();
  printFX.owner = this;
}

void CCreature::Reset(int slot) {
  *this = CCreature();
  index = slot;
  order = pendingOrder = ORDER_NONE;
  animState = ANIM_NONE;
  behaviourSubState = 0;
  rank = 0;
  stepKind = 5;
}

void CCreature::InitFromType(int newType, int newArmy) {
  army = newArmy;
  aiUnreachable = aiNotWatching = aiTroopMarker = aiDangerRoute = 0;
  mayCastOnAllies = 0;
  if (newType < 0 || newType >= kCreatureTypes) AnimLoadFailure();
  CCreatureType& typeRecord = g_creatureTypes[newType];
  if (!LoadCreatureTypeAnims(typeRecord, newType, ChooseCreatureAnimFile(newType, newArmy))) AnimLoadFailure();

  typeNumber = newType;
  type = &typeRecord;
  animSet = g_creatureTypeAnims[newType];
  bodyAnim.Clear();
  bodyAnim.SetAnimation(&animSet->animation);
  shapeSize = typeRecord.TileSizeXY == 1 ? 8 : 64;

  MarkCells(cellX, cellY, level);

  for (CCreatureEvent& event : events) event.active = 0;
  eventCount = 0;
  spellCount = 0;
  selectedSpell = -1;
  inUse = 1;
  g_creatureArray.NoteInUse(index);
  NoteCreatureSpawned(index);

  undead = typeRecord.IsUndead;
  mayFly = typeRecord.CanFly;
  placementZero = 0;
  placementMinusOne = -1;
  mana = maxMana = 0;
  target = -1;
  if (typeRecord.rangedAttackSpell != kNoRangedAttack) AddSpell(typeRecord.rangedAttackSpell);

  shape.Init(typeRecord.TileHeight, typeRecord.TileSizeXY == 2);
  carriedItems[0] = carriedItems[1] = -1;
  ResetState();
  route.goalX = cellX;
  route.goalY = cellY;
  route.goalLevel = level;
  changed = 1;
  UpdateStrength();
  g_creatureAI->RegisterCreature(0, index);
  if (IsWizard()) g_creatureAI->RegisterCreature(1, index);
  TouchObjectsHere();
  ApplyCellEffects();
  overlayAnim.Clear();
  overlayAnim.SetAnimation(g_creatureEffects->GlobalAnim(6));
  printFX.Clear();
  if (typeNumber == creature_kind::kPoisonedTotem) {
    printFX.PushEffect(3);
    printFX.PushEffect(14);
  } else {
    printFX.PushEffect(0);
    printFX.PushEffect(5);
  }
  printFX.PushColourFX(0);
  std::fill(std::begin(movement), std::end(movement), 0);
  CountArmyCreatures();
}

void CCreature::ResetState() {
  const CCreatureType& typeRecord = type ? *type : g_creatureTypes[0];
  health = typeRecord.Health;
  healthStep = std::min(health * 15 / std::max(typeRecord.Health, 1), 14);
  pestered = 0;
  earthBind = 0;
  haste = slow = 0;
  provokeTimer = provoked = 0;
  invisible = ironSkin = bloodLust = 0;
  target = -1;
  engagedWith = -1;
  magicResistance = typeRecord.MagicResist;
  intelligence = typeRecord.Intelligence;
  undead = typeRecord.IsUndead;
  mayFly = typeRecord.CanFly;
  for (int i = 0; i < 3; ++i) behaviour.trailX[i] = behaviour.trailY[i] = behaviour.trailFrame[i] = -1;

  CArmy* own = g_armyTable.GetArmy(army);
  for (int other = 0; other < kSightingArmyCount; ++other) {
    const bool sees = other == army || (own && own->SharesVisionWith(other));
    sightingCounters[other] = sees ? kSightingFull : 0;
    spottedBy[other] = -1;
  }

  const CCreature* wizard = g_armyTable.GetWizard(army);
  if (IsWizard() || !wizard) {
    SetFacing((2 * g_creatureViewRotation + 3) & 7);
  } else {
    FaceCell(wizard->cellX, wizard->cellY);
  }

  for (CQueuedOrder& entry : queuedOrders.entries)
    if (entry.markerEffect >= 0) g_creatureEffects->Deactivate(entry.markerEffect);
  queuedOrders.Clear();
  if (heldKind == 2) printFX.RemoveEffect(5);
  EndHeldState();
  RebuildHealthGauge();
}

void CCreature::StartRankBadge() {
  rankBadge.Clear();
  if (rank != 1 && rank != 2) return;
  rankBadge.SetAnimation(g_creatureBattle->RankBadgeAnimation());
  if (rankBadge.animation) rankBadge.Start(rank - 1, 0);
}

void CCreature::RebuildHealthGauge() {
  int height = 1;
  if (type) height = std::abs(type->MarkerHoriz[0][1]) + std::abs(type->MarkerHoriz[2][1]) + 1;
  healthGauge.Build(height, GetMaxHealth(), health);
}

void CCreature::SetPosition(int x, int y, int newLevel, int typeNumberForHeight) {
  cellX = x;
  cellY = y;
  level = newLevel;
  unitX = x * kUnitsPerTile;
  unitY = y * kUnitsPerTile;
  unitZ = newLevel * kUnitsPerLevel;
  const bool large = typeNumberForHeight >= 0 && typeNumberForHeight < kCreatureTypes &&
                     g_creatureTypes[typeNumberForHeight].TileSizeXY == 2;
  const CMapCell* cell = g_map.CellAtWrapped(x, y, newLevel);
  if (!cell) return;
  if (large)
    unitZ += cell->GetFootprintKind();
  else if (cell->terrain != 0)
    unitZ += TerrainOf(*cell).groundHeight;
}

void CCreature::MarkCells(int x, int y, int atLevel) {
  const auto slot = static_cast<uint16_t>(index);
  ForEachBodyCell(x, y, atLevel, type, [slot](CMapCell& cell, bool base) {
    cell.state |= base ? state_bits::kLiquid : state_bits::kBody;
    cell.occupant = slot;
    if (base) cell.shape &= static_cast<uint16_t>(~shape_bits::kOpenSky);
  });
}

void CCreature::UnmarkCells(int x, int y, int atLevel) {
  CMapCell* baseCell = nullptr;
  ForEachBodyCell(x, y, atLevel, type, [&baseCell](CMapCell& cell, bool base) {
    cell.state &= static_cast<uint16_t>(~state_bits::kOccupancy);
    cell.occupant = kNoOccupant;
    if (base) baseCell = &cell;
  });
  // An emptied cell under the tile overlay's care is left out of the drawing again.
  if (baseCell && baseCell->IsWhollyEmpty() && !g_creatureArray.HasBodyAt(x, y, atLevel) &&
      g_tileSpans.TestCell(baseCell))
    baseCell->shape |= shape_bits::kOpenSky;
}

void CCreature::Relocate(int x, int y, int newLevel) {
  UnmarkCells(cellX, cellY, level);
  SetPosition(x, y, newLevel, typeNumber);
  MarkCells(cellX, cellY, level);
  changed = 1;
  TouchObjectsHere();
  TriggerCellObjects();
  ApplyCellEffects();
}

void CCreature::Detach() {
  g_creatureArray.ForEachInUse([this](CCreature& other) {
    if (&other != this) other.DropTarget(index);
  });
  UnmarkCells(cellX, cellY, level);

  if (selected) {
    selected = 0;
    SetSelectionCount(std::max(g_selectionCount - 1, 0));
    if (g_selectedCreature == this) g_selectedCreature = nullptr;
    if (goalMarker >= 0) g_creatureEffects->Deactivate(goalMarker);
    goalMarker = -1;
  }

  inUse = 0;
  g_creatureArray.NoteFreed(index);

  if (IsWizard() && !illusion) {
    if (IsLocalPlayers()) {
      std::copy(std::begin(events), std::end(events), std::begin(g_lastWizardEvents));
      g_lastWizardEventCount = eventCount;
    }
    if (CArmy* own = g_armyTable.GetArmy(army)) own->SetWizardCreature(-1);
    int armiesWithWizard = 0;
    for (const CArmy& record : g_armyTable.armies)
      if (record.inUse && record.wizardCreature != -1) ++armiesWithWizard;
    if (armiesWithWizard <= 1 && !g_creatureBattle->ScriptWatchesLastWizard()) g_creatureBattle->RaiseBattleEndFlags();
    g_creatureWizards->WizardGone(TypeToWizardNumber(typeNumber));
    g_creatureTypeAnims[typeNumber].reset();
  }

  pestered = 0;
  health = 0;
  CountArmyCreatures();
  g_creatureBattle->OnCreatureRemoved(index);
}

bool CCreature::IsLocalPlayers() const { return army == g_localArmy; }

bool CCreature::IsSelectable() const {
  return inUse && IsAlive() && IsLocalPlayers() && typeNumber != creature_kind::kStatic &&
         typeNumber != creature_kind::kUnseen;
}

void CCreature::Select() {
  if (typeNumber == creature_kind::kUnseen || !IsAlive()) return;
  const bool foreign = !IsLocalPlayers() && !g_directAI;
  if (selected || foreign || typeNumber == creature_kind::kStatic) {
    if (foreign || typeNumber == creature_kind::kStatic) inspected = 1;
    return;
  }
  selected = 1;
  ++g_selectionCount;
  g_selectedCreature = this;
  SetHasSelection(kMouseModeCreatures);
  if (goalMarker >= 0) g_creatureEffects->Deactivate(goalMarker);
  goalMarker = -1;
  for (CQueuedOrder& entry : queuedOrders.entries) {
    if (entry.markerEffect >= 0) g_creatureEffects->Deactivate(entry.markerEffect);
    entry.markerEffect = -1;
  }
  g_creatureEffects->ShowGoalMarker(index);
}

void CCreature::Deselect() {
  if (!selected) {
    inspected = 0;
    return;
  }
  selected = 0;
  SetSelectionCount(std::max(g_selectionCount - 1, 0));
  if (g_selectedCreature == this) g_selectedCreature = nullptr;
  if (goalMarker >= 0) g_creatureEffects->Deactivate(goalMarker);
  goalMarker = -1;
  for (CQueuedOrder& entry : queuedOrders.entries) {
    if (entry.markerEffect >= 0) g_creatureEffects->Deactivate(entry.markerEffect);
    entry.markerEffect = -1;
  }
}

CMoveQuery CCreature::MakeMoveQuery() const {
  CMoveQuery query;
  if (!type) return query;
  query.height = type->TileHeight;
  query.size = type->TileSizeXY;
  query.airborne = mayFly;
  query.movementKind = type->SwimmingAbility;
  query.deepWater = type->SwimmingAbility >= kMovementSwimmer ? 1 : 0;
  query.typeIndex = typeNumber;
  // A creature that may fly, or one held up by levitation or carried by a line move, can stay
  // in the air: the map's occupation tests count it as a flyer (else each step it flew would
  // end in a fall).
  query.flying = airborne || mayFly || orderState.lineMove ? 1 : 0;
  return query;
}

bool CCreature::HasRoomAt(int x, int y, int atLevel) const {
  const CMoveQuery query = MakeMoveQuery();
  return g_map.HasRoomAt(x, y, atLevel, query) && g_map.HasRoomForCreature(x, y, atLevel, index, query);
}
