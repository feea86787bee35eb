#include "ai/AICastLog.h"

#include <utility>

namespace {
std::vector<CAICastNote> g_notes;
std::vector<CAIAdoptionNote> g_adoptions;
std::vector<CAIEndNote> g_ends;
}  // namespace

void NoteAICast(const CAICastNote& note) {
  if (g_notes.size() < kAICastNotesMax) g_notes.push_back(note);
}

std::vector<CAICastNote> TakeAICastNotes() { return std::exchange(g_notes, {}); }

void NoteAIAdoption(const CAIAdoptionNote& note) {
  if (g_adoptions.size() < kAICastNotesMax) g_adoptions.push_back(note);
}

std::vector<CAIAdoptionNote> TakeAIAdoptionNotes() { return std::exchange(g_adoptions, {}); }

void NoteAIDecisionEnd(const CAIEndNote& note) {
  if (g_ends.size() < kAICastNotesMax) g_ends.push_back(note);
}

std::vector<CAIEndNote> TakeAIEndNotes() { return std::exchange(g_ends, {}); }
