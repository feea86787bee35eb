#pragma once
// The geometry of a creature's reactions, apart from any creature.

// The sector (0-7, clockwise from -y) in which an attacker stands, from the wrapped cell
// offset attacker minus defender; the same cell counts as sector 7.
int AttackSector(int dx, int dy);
// The attacker's direction relative to the defender's facing (0-7): 0, 1 and 7 are in front.
int RelativeAttackDirection(int dx, int dy, int facing);
