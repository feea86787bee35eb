#pragma once
// CTraceLog: a ring of the last 400 places in the source where the battle logic drew a
// random number, dumped as text when networked machines disagree.

class CTraceLog {
 public:
  static constexpr int kEntries = 400;
  static constexpr int kFileText = 256;

  // Records one place (its file text is cut to fit); answers the new write index.
  int Record(const char* file, int line);
  // Appends the ring to a text file, oldest record first; nothing when it cannot be opened.
  void WriteToFile(const char* fileName);
  void Clear();

  struct Entry {
    char file[kFileText];
    int line;
    int count;
  };

  int counter = 0;     // points recorded since the last clear
  int writeIndex = 0;  // the entry written next
  Entry entries[kEntries] = {};
};

extern CTraceLog g_traceLog;
