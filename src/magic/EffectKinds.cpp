// The kinds' set-up. Each kind's initial state (animation, counters, anchoring, sounds,
// lists and companions) is filled in by the kinds' own code; until then setting a kind
// stores it and nothing else, as for a kind above 88.
#include "magic/Effect.h"

void CEffect::SetKind(int newKind) { kind = newKind; }
