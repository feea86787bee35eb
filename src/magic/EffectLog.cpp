#include "magic/EffectLog.h"

#include <cstdio>

#include "platform/Files.h"

CEffectLog g_effectLog;

void CEffectLog::Write(int index, int kind, int activate) {
  entries[position] = Entry{index, kind, activate, count};
  ++count;
  position = position + 1 >= kEntries ? 0 : position + 1;
}

void CEffectLog::Dump(const char* path) const {
  FILE* file = platform::OpenFile(path ? path : "", "w");
  if (!file) return;
  std::fputs("EFFECTS LOG\n", file);
  const int shown = count < kEntries ? count : kEntries;
  for (int i = 0; i < shown; ++i) {
    const Entry& e = entries[i];
    std::fprintf(file, "\nCOUNT: %d\tTYPE: %d\tINDEX: %d\t(%s)", e.serial, e.kind, e.index,
                 e.activate ? "activate" : "deactivate");
  }
  std::fputs("\n\n", file);
  std::fclose(file);
}

void CEffectLog::Clear() { *this = CEffectLog(); }
