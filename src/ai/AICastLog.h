#pragma once
// The spells the computer wizards cast, noted as they are cast so that the battle's frame
// trace can list them under the frame: caster slot, decision type, spell and target. The
// note is bounded; whoever reads it empties it.

#include <cstddef>
#include <vector>

struct CAICastNote {
  int caster = -1;  // creature slot
  int type = 0;     // the decision type that cast
  int spell = -1;
  int target = -1;          // creature slot, -1 a place
  int x = 0, y = 0, z = 0;  // the target point, map units
};

inline constexpr std::size_t kAICastNotesMax = 256;

void NoteAICast(const CAICastNote& note);
// Hands over the casts noted since the last call and forgets them.
std::vector<CAICastNote> TakeAICastNotes();

// A decision a controller adopted for a group: its side (army) and type. Noted the same way,
// for the trace's list of the frame's adoptions.
struct CAIAdoptionNote {
  int side = -1;
  int type = 0;
};

void NoteAIAdoption(const CAIAdoptionNote& note);
std::vector<CAIAdoptionNote> TakeAIAdoptionNotes();

// How a decision in force came to its end: its Step said it was over, its end tick passed, the
// decided battle's wind-down ended it, or it was taken away (replaced, merged, or removed by the
// script) with no outcome recorded.
inline constexpr char kAIEndedByStep = 's', kAIEndedByExpiry = 'x', kAIEndedByWindDown = 'w', kAIEndedRemoved = 'r';

// A decision that ended: its side (army), type and how. Noted the same way, for the trace.
struct CAIEndNote {
  int side = -1;
  int type = 0;
  char how = kAIEndedByStep;
};

void NoteAIDecisionEnd(const CAIEndNote& note);
std::vector<CAIEndNote> TakeAIEndNotes();
