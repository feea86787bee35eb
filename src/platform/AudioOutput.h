#pragma once
// The process's sound output: one AudioMixer whose stream SDL's audio device plays, mixed on
// SDL's audio thread. The sound manager and the CD stand-in share it: the first Acquire
// opens the device, the last Release closes it.

#include <cstdint>

#include "platform/AudioMixer.h"

namespace platform {

// The one mixer; it exists for the whole process, device open or not.
AudioMixer& TheMixer();

// Opens the device on the first call: kAudioOk, or kAudioNoDriver when no device opens.
int32_t AcquireAudioOutput();
// Closes the device when the last user has released it.
void ReleaseAudioOutput();
bool AudioOutputIsOpen();

// For tests: while manual, Acquire opens no device and nothing pulls samples; the test mixes
// by hand through TheMixer().Mix, so every sample is deterministic.
void SetManualAudioOutput(bool manual);

}  // namespace platform
