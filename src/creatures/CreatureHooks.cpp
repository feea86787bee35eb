#include "creatures/CreatureHooks.h"

namespace {
ICreatureBattle g_neutralBattle;
ICreatureAI g_neutralAI;
ICreatureEffects g_neutralEffects;
ICreatureWizards g_neutralWizards;
}  // namespace

constinit HookSlot<ICreatureBattle> g_creatureBattle(&g_neutralBattle);
constinit HookSlot<ICreatureAI> g_creatureAI(&g_neutralAI);
constinit HookSlot<ICreatureEffects> g_creatureEffects(&g_neutralEffects);
constinit HookSlot<ICreatureWizards> g_creatureWizards(&g_neutralWizards);
