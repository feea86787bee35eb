#pragma once
// The frame trace of unattended battles: one line a battle frame into a text file the spine
// names at start-up (from the environment), so that a run can be checked afterwards: the
// frame and tick, the words of the frame's validation record, a hash of the creatures' battle
// fields (never what this machine shows or selects), per active army the creatures that moved,
// the blows struck and its wizard's mana, and the computer players' groups, decisions and
// generator word.
// Two runs of one seed give the same trace.

class CBattle;

// Opens the trace (a null or empty path: none); the file is written anew.
void OpenBattleTrace(const char* path);
void CloseBattleTrace();
// A line of its own in the trace (an event of the battle); nothing without a trace.
void WriteBattleTraceNote(const char* text);
// The line of the frame just run; nothing without a trace.
void WriteBattleTraceFrame(const CBattle& battle);
