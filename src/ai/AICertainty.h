#pragma once
// Certainty: how sure the computer player is of a candidate decision, a float in [-1, 1]
// (-1 certainly wrong, 0 no opinion, 1 certainly right) carried with the total weight of what
// was folded into it. Decisions build it by folding situation measures one by one against
// their reference pairs of cfg\ai.cfg; spell decisions then adjust it for the cost of the
// cast, group decisions for the wizard's personality.

class CAIGroupNode;
class CCreature;

// Folds one measure into the certainty. id is a signed measure id (1-129 by magnitude; a
// negative id means a large value speaks against the decision). The value's deviation from
// the measure's reference, scaled by its range, is averaged with the certainty so far in the
// space of artanh, each side by its share of the weight; totalWeight grows by weight. A
// result that is not a number becomes 0.
void FoldMeasure(int id, int value, float weight, float& totalWeight, float& certainty);

// The odds (1 + p) / (1 - p) multiplied by factor (a spell's AI_Adjustment); a result that is
// not a number (factor 0 at p = 1) is passed on as it is.
float ApplyOddsFactor(float factor, float certainty);

// The cost of a spell cast: the caster's whole mana (for), its wait until it can afford the
// casts and their mana cost (against), each folded with a share of the weight so far; then the
// spell's AI_Adjustment, a jitter of -0.050 to +0.049 from g_aiRandom, and a clamp to
// [-1, 1] in which anything not at least -1 (a NaN among them) becomes -1.
void AdjustSpellCertainty(const CCreature& caster, int spell, float& totalWeight, float& certainty, int casts);

// The army's wizard's percentage for a group decision type 6-14; false when the army has no
// wizard (or the type is none of those).
bool WizardDecisionPercent(int army, int type, int& percent);

// Scales the certainty by the wizard's percentage for the type: (p + 1) x percentage / 100 - 1,
// 1 or more becoming 0.999 and below -1 becoming -1; 100 per cent or no wizard changes nothing.
void ApplyWizardDecisionBias(int type, float& certainty, int army);

// 1 when the army has a wizard whose percentage for the type (6-14) is not 0; else 0.
int IsDecisionTypeEnabled(int type, int army);

// The tick at which a decision of the type, taken now for the group, runs out: a base per
// type, and for some types half the group's creatures.
int GetDecisionEndTick(int tick, int type, CAIGroupNode* group);
