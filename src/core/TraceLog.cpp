#include "core/TraceLog.h"

#include <cstdio>

#include "platform/Files.h"

CTraceLog g_traceLog;

int CTraceLog::Record(const char* file, int line) {
  Entry& entry = entries[writeIndex];
  std::snprintf(entry.file, sizeof entry.file, "%s", file ? file : "");
  entry.line = line;
  entry.count = counter;
  ++counter;
  writeIndex = writeIndex == kEntries - 1 ? 0 : writeIndex + 1;
  return writeIndex;
}

void CTraceLog::WriteToFile(const char* fileName) {
  FILE* out = platform::OpenFile(fileName ? fileName : "", "a");
  if (!out) return;
  // The ring keeps its position, so that records after a dump still come out in order.
  const bool full = counter >= kEntries;
  const int first = full ? writeIndex : 0;
  const int count = full ? kEntries : counter;
  for (int i = 0; i < count; ++i) {
    const Entry& entry = entries[(first + i) % kEntries];
    std::fprintf(out, "\nCOUNT: %d\tFILE: %s\tLINE: %d", entry.count, entry.file, entry.line);
  }
  std::fputs("\n\n", out);
  std::fclose(out);
}

void CTraceLog::Clear() {
  counter = 0;
  writeIndex = 0;
}
