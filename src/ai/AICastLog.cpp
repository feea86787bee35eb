#include "ai/AICastLog.h"

#include <utility>

namespace {
std::vector<CAICastNote> g_notes;
}  // namespace

void NoteAICast(const CAICastNote& note) {
  if (g_notes.size() < kAICastNotesMax) g_notes.push_back(note);
}

std::vector<CAICastNote> TakeAICastNotes() { return std::exchange(g_notes, {}); }
