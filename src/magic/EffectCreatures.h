#pragma once
// The creatures as the effects see them: the creature pool's answers to IEffectWorld.

// Installs them in g_effectWorld (start-up).
void InstallEffectCreatures();
