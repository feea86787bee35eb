// Steps of creature rules that other files own in full (panic, behaviour,
// strength, reactions, route planning, world objects and cell effects, held states). Each
// has the smallest body that keeps the rules that call it running; their own files replace
// them.
#include <algorithm>

#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"

void CCreature::UpdatePanic() {}
void CCreature::DecideBehaviour() {}



void CCreature::TouchObjectsHere() {}
void CCreature::ApplyCellEffects() {}
