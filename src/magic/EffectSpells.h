#pragma once
// The spell record an effect's parameter block names (word 8). A number outside the table
// reads as a record of zeros, so that a block naming no spell cannot index past it.

#include "creatures/SpellDefinition.h"

const CSpellDefinition& SpellRecord(int spell);
