#include "ai/AICreatureRef.h"

#include "creatures/CreatureArray.h"
#include "creatures/CreatureSerial.h"
#include "creatures/Mapelem.h"

void CAICreatureRef::Set(const CCreature* creature) {
  if (!creature) {
    Clear();
    return;
  }
  slot = creature->index;
  serial = CreatureSpawnSerial(creature->index);
}

CCreature* CAICreatureRef::Get() const {
  CCreature* creature = g_creatureArray.InUse(slot);
  return creature && CreatureSpawnSerial(slot) == serial ? creature : nullptr;
}

CCreature* CAICreatureRef::GetAlive() const {
  CCreature* creature = Get();
  return creature && creature->IsAlive() ? creature : nullptr;
}
