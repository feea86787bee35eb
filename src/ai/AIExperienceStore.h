#pragma once
// Where the controller hands the experience of its decisions: an entry freed without an
// outcome, or completed with one (0 bad, 1 even, 2 good). It starts at the learning store
// (g_brain); tests put in a fake that records what arrives.

#include "core/Hooks.h"

class IAIExperienceStore {
 public:
  virtual ~IAIExperienceStore() = default;
  virtual void ClearExperience(int index) {}
  virtual void CompleteExperience(int index, int outcome) {}
};
extern HookSlot<IAIExperienceStore> g_aiExperience;
