// Spell delivery: what a spell does when its effect arrives. Until the delivery rules are
// built here, an arrived effect simply ends.
#include "magic/Effect.h"

void CEffect::DeliverSpell() { Deactivate(); }
