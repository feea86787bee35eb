#pragma once
// The end of a battle that no person plays (directAI, training runs): with nobody to press
// Leave Battle it must end by itself. It is decided when at most one army keeps its wizard on
// the map, alive; otherwise, after [DEBUG] AIBattleTickLimit battle ticks, of the armies that
// keep their wizards the one whose living creatures hold the most health wins, and equal sums
// are a draw. The end flags then rise and both computer players wind down; the battle leaves
// once they have finished. A line on stdout and in the frame trace tells how it ended.

// How an unattended battle ended.
struct UnattendedOutcome {
  bool decided = false;
  int tick = 0;
  const char* reason = "";  // "wizards" (at most one left) or "ticks" (the limit)
  int winner = -1;          // the winning army, -1 for none or a draw
};

// Whether the battle is an unattended one (directAI or training, not over the network) in
// which no army is played by a person.
bool BattleHasNoHumanSide();
// Decides the battle at this tick when its end has come; nothing once it is decided, or in a
// battle a person plays.
void CheckUnattendedEnd(int tick);
// The outcome so far; a new battle starts undecided.
const UnattendedOutcome& UnattendedEndOutcome();
void ResetUnattendedEnd();
