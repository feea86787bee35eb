#pragma once
// Small questions the decisions ask of the map, the creatures, the effects and the path
// network: whether a creature could stand at a place, how many fields of a kind lie near a
// place, whether a creature is or will be within reach, whether a friend watches a region of
// power, a clamp for certainty differences, two node filters for route searches, and a step
// toward a creature. None keeps state.

class CCreature;

// The map's placement answers for the creature's footprint at a cell, returned unchanged; the
// creature moves as a flyer while its spell state is set or it retreats.
int CreatureGroundSupportAt(const CCreature& creature, int x, int y, int z);
int CreatureRoomAt(const CCreature& creature, int x, int y, int z);
int CreatureClearOfWaterAt(const CCreature& creature, int x, int y, int z);

// Active effects of kinds 69 and 70 within range tiles of the cell whose owner's army is
// allied (allied set) or hostile (clear) toward the army.
int CountEffectsNear(int x, int y, int z, int range, int army, bool allied);

// Whether the creature stands within range tiles of the cell, or (unless it waits) is on its
// way there: its destination, or a node still ahead on its node route, lies within range.
bool IsWithinReach(const CCreature& creature, int x, int y, int z, int range);

// Whether a living creature of another army that the army counts as a friend stands within
// three cells of the region of power; false for a region the map does not have.
bool IsRegionWatched(int army, int region);

// second - first, at most 0.999.
float ClampCertaintyGap(float first, float second);

// Node filters of route searches over the path network: a node not excluded whose way
// straight up to the top level is blocked; and a node the searcher rates 0.
bool NodeOpenAbove(int node);
bool NodeUnrated(const CCreature& searcher, int node);

// Moves (x, y) one cell toward the target (the short way round the map) and takes the first of
// the levels z - 1, z, z + 1 (above level 0, below the level count) whose cell is empty, free
// and unmarked; false, with the coordinates not to be used, when none is.
bool StepTowardCreature(int& x, int& y, int& z, const CCreature& target);
