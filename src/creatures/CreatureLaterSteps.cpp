// Steps of creature rules that other files own in full (panic, behaviour,
// strength, reactions, route planning, held states). Each
// has the smallest body that keeps the rules that call it running; their own files replace
// them.
#include <algorithm>

#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"

// The first cell of the footprint marked by the battle script offers it the occasion.
void CCreature::OfferTriggerCell() {
  if (!IsAlive() || !type) return;
  for (int z = level; z < level + type->TileHeight; ++z)
    for (int dy = 0; dy < type->TileSizeXY; ++dy)
      for (int dx = 0; dx < type->TileSizeXY; ++dx) {
        const CMapCell* cell = g_map.CellAtWrapped(cellX + dx, cellY + dy, z);
        if (cell && (cell->shape & shape_bits::kScriptTrigger)) {
          g_creatureBattle->OfferScriptEvent(2, index, -1);
          return;
        }
      }
}
