#pragma once
// The effects as the creatures see them: the effect pool's answers to ICreatureEffects.

// Installs them in g_creatureEffects (start-up).
void InstallCreatureEffectAnswers();
