// Steps of the creature rules that the routes and walking rules, and the behaviour and
// combat rules, own in full. Each has the smallest body that keeps orders and animation
// states running: an order of theirs sends the creature back to WAIT, a state of theirs
// plays its sequence and hands over to the order at its end, a question answers "no".
// Their own files replace these bodies.
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"

// --- behaviour, sight and combat ---
void CCreature::DropItemsHere() {}
int CCreature::UseKey(int eventIndex) {
  CCreatureEvent* key = GetEvent(eventIndex);
  if (!key || !key->active) return 0;
  if (key->remaining > 0) --key->remaining;
  return key->remaining > 0;
}
