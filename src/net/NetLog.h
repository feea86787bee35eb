#pragma once
// CNetLog: the network's diagnostic ring of its last 400 events (frame messages sent and
// received, resends, set-up messages, system messages and errors), written to a text file at
// program exit when the option NetworkLogging is on. Protocol lines are added only while that
// option is on; errors always.

#include <cstdint>
#include <initializer_list>

class CNetLog {
 public:
  static constexpr int kEntries = 400;
  static constexpr int kTextSize = 256;

  struct Entry {
    int32_t kind;  // 1 text, 0 number
    int32_t number;
    char text[kTextSize];
  };

  // Writes the ring, oldest first; nothing when NetworkLogging is off or the file cannot be
  // opened.
  void WriteToFile(const char* fileName) const;
  void Clear();

  int added = 0;     // entries added since start-up
  int position = 0;  // the entry written next
  Entry entries[kEntries] = {};
};

extern CNetLog g_netLog;

// A text entry, cut to 255 characters.
void NetLogAdd(const char* text);
void NetLogAddNumber(int number);
// "<message>\ndirectplay error code : <name>\n".
void NetLogAddError(const char* message, uint32_t resultCode);
// The name of a network result code; "UNKNOWN_ERROR_CODE" for one it does not know.
const char* DirectPlayErrorName(uint32_t resultCode);

// A protocol line and the numbers that follow it, when NetworkLogging is on.
bool NetLogging();
void NetLogLine(const char* text, std::initializer_list<int> numbers = {});

// Registers the writer of net_log.txt that runs when the program ends (once).
void RegisterNetLogAtExit();
