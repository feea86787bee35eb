#pragma once
// The Experience Processing screen: when a battle is left, the computer player's learning
// store digests what the battle taught it behind a progress bar. The store is reached through
// IExperienceStore; its neutral stand-in finds no experience to digest until the learning
// store installs itself. Tests put a fake in with HookScope<IExperienceStore>(g_experienceStore, fake).

#include <functional>

#include "core/Hooks.h"

class IExperienceStore {
 public:
  virtual ~IExperienceStore() = default;
  // Writes out the experience gathered in the battle (CBrain::FlushExperience).
  virtual void FlushExperience() {}
  // Whether an experience file waits to be digested.
  virtual bool HasExperienceFile() { return false; }
  // Rewrites the experience file, then digests it; both call step as they go. Processing
  // answers true when the knowledge is to be started afresh.
  virtual void RewriteExperienceFile(const std::function<void()>& step) {}
  virtual bool ProcessExperience(const std::function<void()>& step) { return false; }
  // The experience file and the brain file go.
  virtual void DeleteExperienceAndBrain() {}
  virtual void SaveBrain() {}
};
extern HookSlot<IExperienceStore> g_experienceStore;

inline constexpr int kExperienceSteps = 8;
inline constexpr const char* kExperienceLayout = "Interface\\ExperienceProcessing\\screen (Experience Processing).cfg";

// Runs the screen (from the battle's exit): the picture and its caption, then the store's
// work behind the progress bar.
void RunExperienceProcessing();
