#pragma once
// [DEBUG] AIBattleTickLimit: the battle ticks after which a battle with no human side is
// decided by the health its sides still hold (default 20000).
inline constexpr int kDefaultAIBattleTickLimit = 20000;
extern int g_aiBattleTickLimit;
