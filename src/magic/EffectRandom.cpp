#include "magic/EffectRandom.h"

#include "core/Options.h"
#include "core/Random.h"
#include "core/TraceLog.h"

int EffectBattleDraw(int line) {
  const int value = static_cast<int>(g_battleRandom.Next() & 0x7FFFFFFFu);
  if (g_netRandomLog) g_traceLog.Record("effects", line);
  return value;
}
