// The summoning effects: where a summoned creature or wizard appears and how it is made.
// Until they are built, no place is found and a summoning fails (the caller fizzles).
#include "magic/Effect.h"

int CEffect::PlaceSummon(int type) { return 0; }

int CEffect::CreateSummonedCreature(int type, int illusion) { return 0; }

int CEffect::SummonWizard() { return 0; }
