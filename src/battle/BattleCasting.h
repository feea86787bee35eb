#pragma once
// The battle's side of a frame's commands: the casts and the orders to the creatures (walk,
// attack, follow, queued waypoints, items) carried out on every machine alike, and what the
// countdown effects ask of the battle (its scanner, its countdown dial, its end).

// Installs the battle's command sink for the network and its answers to the effects;
// UninstallBattleCasting puts the neutral ones back.
void InstallBattleCasting();
void UninstallBattleCasting();

class IEffectBattle;
// The battle's one answer to the effects' calls, installed with the panels at start-up and
// again with each battle.
IEffectBattle& BattleEffectAnswers();
