// The map view's mouse input: clicks on the battle map become selection changes and orders
// for the local player's creatures. It acts on what the last drawn frame found under the
// pointer. Orders are not carried out here: each becomes a command message for the network
// client's outgoing frame, which runs it on every machine in the same frame.
#include <algorithm>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/BattleFacing.h"
#include "map/MapHooks.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "ui/Cursor.h"

namespace {

SoundCreature SoundOf(const CreatureOrderInfo& info) {
  SoundCreature sound;
  sound.type = info.type;
  sound.wizard = info.wizard;
  sound.owner = info.owner;
  sound.x = info.x;
  sound.y = info.y;
  return sound;
}

bool UnselectAllowed() { return g_prefs.allowUnselectMode != 0 || g_directAI != 0; }

// Spell kinds that target the creature in a clicked cell rather than the cell.
bool TargetsCreatureInCell(int kind) { return kind == 4 || kind == 8 || kind == 10 || kind == 12 || kind == 14; }

void Send(const CommandMessage& message) { g_mapViewHooks.commands->AddMessage(message); }

}  // namespace

void CMapView::NotifyScript(int kind, int value) {
  IMapViewBattle& battle = *g_mapViewHooks.battle;
  if (battle.ScriptCommandsArmed()) battle.OfferInterfaceCommand(kind, value, -1);
}

void CMapView::DeselectAll() {
  IMapViewCreatures& creatures = *g_mapViewHooks.creatures;
  ForEachCreatureInUse([&](int c) {
    CreatureOrderInfo info;
    if (creatures.GetOrderInfo(c, info) && (info.selected || info.inspected)) creatures.Deselect(c);
  });
}

void CMapView::SelectAlone(int creature) {
  CreatureOrderInfo info;
  g_mapViewHooks.creatures->GetOrderInfo(creature, info);
  DeselectAll();
  g_mapViewHooks.battle->SetExtendedSelection(0);
  g_mapViewHooks.creatures->Select(creature);
  NotifyScript(3, info.type);
}

bool CMapView::HoveredCellInside() const {
  return hoverCellX >= 0 && hoverCellX < MapWidth() && hoverCellY >= 0 && hoverCellY < MapHeight() && hoverLevel >= 0 &&
         hoverLevel < MapLevels();
}

void CMapView::OnMouse(int flags, CMouseEvent event) {
  if (flags & 0x0F) g_noSkipThisFrame = 1;
  IMapViewBattle& battle = *g_mapViewHooks.battle;
  IMapViewCreatures& creatures = *g_mapViewHooks.creatures;
  const bool left = (flags & MF_LEFT_DOWN) != 0, right = (flags & MF_RIGHT_DOWN) != 0;
  CreatureOrderInfo hovered;
  const bool creatureHovered = hoverCreature >= 0 && creatures.GetOrderInfo(hoverCreature, hovered);

  switch (BattleState().mouseMode) {
    case kMouseModeNone:
      if (!left) return;
      DeselectAll();
      battle.SetExtendedSelection(0);
      if (creatureHovered) {
        g_soundCues.PlaySelectSound(SoundOf(hovered));
        creatures.Select(hoverCreature);
        NotifyScript(3, hovered.type);
      }
      return;

    case kMouseModeCreatures:
      if (left) {
        if (hoverKind == kHoverCell || hoverKind == kHoverObject) {
          if (UnselectAllowed()) {
            DeselectAll();
            battle.SetExtendedSelection(0);
          }
          battle.ClearScrollFlag();
        } else if (hoverKind == kHoverCreature && creatureHovered && hovered.active) {
          if (event.shift) {
            if (hovered.selected) {
              creatures.Deselect(hoverCreature);
            } else {
              creatures.Select(hoverCreature);
              battle.SetExtendedSelection(1);
              NotifyScript(3, hovered.type);
            }
          } else if (hovered.selected) {
            if (battle.ExtendedSelection())
              SelectAlone(hoverCreature);
            else
              creatures.SelectGroup(hoverCreature);
          } else {
            g_soundCues.PlaySelectSound(SoundOf(hovered));
            SelectAlone(hoverCreature);
          }
          battle.ClearScrollFlag();
        }
      } else if (right) {
        SendOrders(event);
      }
      return;

    case kMouseModeSpell:
      if (creatures.LocalWizard() < 0) return;
      if (right) {
        CastSpell();
      } else if (left) {
        const int wizard = creatures.LocalWizard();
        if (creatureHovered && hovered.active) {
          if (event.ctrl) {
            if (hovered.selected)
              creatures.Deselect(hoverCreature);
            else
              creatures.Select(hoverCreature);
          } else {
            DeselectAll();
            creatures.Select(hoverCreature);
          }
          NotifyScript(3, hovered.type);
          BattleState().mouseMode = kMouseModeCreatures;
        }
        if (creatureHovered || UnselectAllowed()) creatures.SelectSpell(wizard, -1);
      }
      return;

    default:
      return;
  }
}

// A right click in mouse mode 1: each selected creature, in creature order, gets the order
// the cursor stands for. A click where the pointer found no cell of the map orders nothing.
void CMapView::SendOrders(const CMouseEvent& event) {
  IMapViewCreatures& creatures = *g_mapViewHooks.creatures;
  const int cursor = g_cursorKind;
  CreatureOrderInfo target;
  const bool creatureHovered = hoverCreature >= 0 && creatures.GetOrderInfo(hoverCreature, target);
  auto forEachSelected = [&](auto&& order) {
    ForEachCreatureInUse([&](int c) {
      CreatureOrderInfo info;
      if (creatures.GetOrderInfo(c, info) && info.selected) order(c, info);
    });
  };

  if (hoverKind == kHoverCreature && creatureHovered) {
    if (cursor == 0) {
      if (!target.active) return;
      forEachSelected([&](int c, const CreatureOrderInfo& info) {
        if (event.shift) {
          Send(MakeCreatureCommand(MSG_Q_CREATURE_ATTACK, c, hoverCreature));
        } else {
          Send(MakeCreatureCommand(MSG_CREATURE_ATTACK, c, hoverCreature));
          g_soundCues.PlayOrderSound(SoundOf(info));
          NotifyScript(6, info.type);
        }
      });
      return;
    }
    if (cursor == 21) {
      forEachSelected(
          [&](int c, const CreatureOrderInfo&) { Send(MakeCreatureCommand(MSG_FOLLOW_CREATURE, c, hoverCreature)); });
      return;
    }
    SendWalks(event);
    return;
  }
  if (hoverKind != kHoverCell && hoverKind != kHoverObject) return;
  if (!HoveredCellInside()) return;
  if (cursor == 0) {
    forEachSelected([&](int c, const CreatureOrderInfo&) {
      Send(MakeCellCommand(MSG_CREATURE_ATTACK_TERRAIN, c, hoverCellX, hoverCellY, hoverLevel));
    });
  } else if (cursor == 18) {
    forEachSelected([&](int c, const CreatureOrderInfo&) {
      Send(MakeCellCommand(MSG_WALK_TO_CHEST, c, hoverCellX, hoverCellY, hoverLevel));
    });
  } else if (cursor == 17) {
    forEachSelected([&](int c, const CreatureOrderInfo& info) {
      CellPos goal;
      if (!creatures.FindFormationCell(c, hoverCellX, hoverCellY, hoverLevel, goal)) return;
      if (event.shift) {
        Send(MakeCellCommand(MSG_Q_CREATURE_WALK, c, goal.x, goal.y, goal.z));
      } else {
        Send(MakeCellCommand(MSG_CREATURE_WALK, c, goal.x, goal.y, goal.z));
        NotifyScript(4, info.type);
      }
    });
  } else {
    SendWalks(event);
  }
}

// A walk of every selected creature to the hovered cell (the surface above a liquid).
void CMapView::SendWalks(const CMouseEvent& event) {
  if (!HoveredCellInside()) return;
  int level = hoverLevel;
  if (TerrainOf(drawnMap->CellAt(hoverCellX, hoverCellY, hoverLevel).terrain).IsLiquid()) ++level;
  if (level >= MapLevels()) return;
  IMapViewCreatures& creatures = *g_mapViewHooks.creatures;
  ForEachCreatureInUse([&](int c) {
    CreatureOrderInfo info;
    if (creatures.GetOrderInfo(c, info) && info.selected)
      OrderWalkTo(c, info, hoverCellX, hoverCellY, level, event.shift != 0);
  });
}

void CMapView::OrderWalkTo(int creature, const CreatureOrderInfo& info, int x, int y, int level, bool shift) {
  IMapViewCreatures& creatures = *g_mapViewHooks.creatures;
  CellPos goal;
  const bool sameGoal = info.hasGoal && info.goalX == x && info.goalY == y && info.goalLevel == level;
  if (sameGoal && info.group != 0 && !shift) {
    // A second click on the group's goal spreads the group around it.
    const int limit = std::min(level + info.typeHeight, MapLevels() - 1);
    int standLevel = level;
    IMapCreatures& mapCreatures = *g_mapHooks.creatures;
    while (standLevel < limit && !mapCreatures.HasRoomAt(creature, x, y, standLevel)) ++standLevel;
    while (standLevel + 1 < limit && mapCreatures.HasRoomAt(creature, x, y, standLevel + 1)) ++standLevel;
    CMoveQuery query;
    if (!mapCreatures.GetMoveQuery(creature, query)) return;
    int fx = x, fy = y, fl = standLevel;
    if (!drawnMap->FindFreePositionNear(creature, query, fx, fy, fl)) return;
    if (!creatures.FindNearbyFreeCell(creature, CellPos{fx, fy, fl}, goal)) return;
    Send(MakeCellCommand(MSG_CREATURE_WALK, creature, goal.x, goal.y, goal.z));
    NotifyScript(5, info.type);
    return;
  }
  if (!creatures.FindFormationCell(creature, x, y, level, goal)) return;
  if (shift) {
    Send(MakeCellCommand(MSG_Q_CREATURE_WALK, creature, goal.x, goal.y, goal.z));
  } else {
    Send(MakeCellCommand(MSG_CREATURE_WALK, creature, goal.x, goal.y, goal.z));
    NotifyScript(4, info.type);
  }
}

// A right click while the local wizard has a spell chosen.
void CMapView::CastSpell() {
  IMapViewCreatures& creatures = *g_mapViewHooks.creatures;
  if (g_cursorKind != 5) {
    g_soundCues.PlayAt(1011, hoverCellX, hoverCellY, nullptr, 0);
    return;
  }
  const int wizard = creatures.LocalWizard();
  const int spell = creatures.ChosenSpell(wizard);
  const int kind = g_mapViewHooks.battle->SpellKind(spell);
  int targetCreature = -1;
  if (hoverCreature >= 0 && (hoverKind == kHoverCreature || (hoverKind == kHoverCell && TargetsCreatureInCell(kind))))
    targetCreature = hoverCreature;
  int x = 0, y = 0, z = 0;
  CreatureDrawInfo body;
  if (targetCreature >= 0 && creatures.GetDrawInfo(targetCreature, rotation, body)) {
    x = body.x;
    y = body.y;
    z = body.z;
  } else {
    targetCreature = -1;
    if (!HoveredCellInside()) return;
    const CTerrainType& type = TerrainOf(drawnMap->CellAt(hoverCellX, hoverCellY, hoverLevel).terrain);
    x = hoverCellX * 32 + type.targetOffset[0];
    y = hoverCellY * 32 + type.targetOffset[1];
    z = hoverLevel * 16 + type.targetOffset[2];
  }
  Send(MakeCastSpellCommand(spell, x, y, z, wizard, targetCreature));
  NotifyScript(2, spell);
}
