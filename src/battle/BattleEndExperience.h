#pragma once
// The Experience Processing screen: when a battle is left, the computer player's learning
// store (g_brain) writes out the battle's experience and, when there is experience its brain
// file does not hold yet, digests it behind a progress bar.

inline constexpr int kExperienceSteps = 8;
inline constexpr const char* kExperienceLayout = "Interface\\ExperienceProcessing\\screen (Experience Processing).cfg";

// Runs the screen (from the battle's exit): the picture and its caption, then the store's
// work behind the progress bar. A battle that did not learn only lets its experience go.
void RunExperienceProcessing();
