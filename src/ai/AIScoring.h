#pragma once
// Where a spell that needs room above the ground can be placed near a wanted spot. (Rating a
// candidate creature is CAIGroupBuilder::ScoreGroup.)

// Steps the spot (cells) one cell toward the target, then looks at it, its eight neighbours,
// the cell above with its neighbours and the cell below with its neighbours, in that order, for
// the first standable place without a creature or object and with count empty cells above
// (spells 65, 70 and 92 ask 7, spells 69 and 91 ask 6). On success x, y, z take the place and
// foundLevel its level + count - 1; otherwise x and y keep the stepped spot.
bool FindSpellSpot(int count, int& x, int& y, int& z, int& foundLevel, int spell, int targetX, int targetY);
