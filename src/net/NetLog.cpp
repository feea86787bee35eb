#include "net/NetLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Options.h"
#include "platform/Files.h"

CNetLog g_netLog;

namespace {

struct ResultName {
  uint32_t code;
  const char* name;
};

constexpr ResultName kResultNames[] = {
    {0x00000000u, "DP_OK"},
    {0x88770005u, "DPERR_ALREADYINITIALIZED"},
    {0x8877000Au, "DPERR_ACCESSDENIED"},
    {0x88770014u, "DPERR_ACTIVEPLAYERS"},
    {0x8877001Eu, "DPERR_BUFFERTOOSMALL"},
    {0x88770028u, "DPERR_CANTADDPLAYER"},
    {0x88770032u, "DPERR_CANTCREATEGROUP"},
    {0x8877003Cu, "DPERR_CANTCREATEPLAYER"},
    {0x88770046u, "DPERR_CANTCREATESESSION"},
    {0x88770050u, "DPERR_CAPSNOTAVAILABLEYET"},
    {0x8877005Au, "DPERR_EXCEPTION"},
    {0x80004005u, "DPERR_GENERIC"},
    {0x88770078u, "DPERR_INVALIDFLAGS"},
    {0x88770082u, "DPERR_INVALIDOBJECT"},
    {0x80070057u, "DPERR_INVALIDPARAM"},
    {0x88770096u, "DPERR_INVALIDPLAYER"},
    {0x887700A0u, "DPERR_NOCAPS"},
    {0x887700AAu, "DPERR_NOCONNECTION"},
    {0x8007000Eu, "DPERR_NOMEMORY"},
    {0x887700BEu, "DPERR_NOMESSAGES"},
    {0x887700C8u, "DPERR_NONAMESERVERFOUND"},
    {0x887700D2u, "DPERR_NOPLAYERS"},
    {0x887700DCu, "DPERR_NOSESSIONS"},
    {0x887700E6u, "DPERR_SENDTOOBIG"},
    {0x887700F0u, "DPERR_TIMEOUT"},
    {0x887700FAu, "DPERR_UNAVAILABLE"},
    {0x80004001u, "DPERR_UNSUPPORTED"},
    {0x8877010Eu, "DPERR_BUSY"},
    {0x88770118u, "DPERR_USERCANCEL"},
};

CNetLog::Entry& NextEntry() {
  CNetLog::Entry& entry = g_netLog.entries[g_netLog.position];
  g_netLog.position = (g_netLog.position + 1) % CNetLog::kEntries;
  ++g_netLog.added;
  return entry;
}

void WriteNetLogAtExit() { g_netLog.WriteToFile("net_log.txt"); }

}  // namespace

void CNetLog::WriteToFile(const char* fileName) const {
  if (!g_networkLogging) return;
  FILE* file = platform::OpenFile(fileName, "w");
  if (!file) return;
  std::fputs("NETWORK LOG\n", file);
  const bool wrapped = added >= kEntries;
  const int count = wrapped ? kEntries : added;
  for (int i = 0; i < count; ++i) {
    const Entry& entry = entries[wrapped ? (position + i) % kEntries : i];
    if (entry.kind == 1)
      std::fprintf(file, "%s\n", entry.text);
    else
      std::fprintf(file, "%d\n", entry.number);
  }
  std::fputs("\n\n", file);
  std::fclose(file);
}

void CNetLog::Clear() {
  added = 0;
  position = 0;
  std::memset(entries, 0, sizeof entries);
}

void NetLogAdd(const char* text) {
  CNetLog::Entry& entry = NextEntry();
  entry.kind = 1;
  entry.number = 0;
  std::snprintf(entry.text, sizeof entry.text, "%s", text ? text : "");
}

void NetLogAddNumber(int number) {
  CNetLog::Entry& entry = NextEntry();
  entry.kind = 0;
  entry.number = number;
  entry.text[0] = '\0';
}

void NetLogAddError(const char* message, uint32_t resultCode) {
  char text[CNetLog::kTextSize];
  std::snprintf(text, sizeof text, "%s\ndirectplay error code : %s\n", message ? message : "",
                DirectPlayErrorName(resultCode));
  NetLogAdd(text);
}

const char* DirectPlayErrorName(uint32_t resultCode) {
  for (const ResultName& entry : kResultNames)
    if (entry.code == resultCode) return entry.name;
  return "UNKNOWN_ERROR_CODE";
}

bool NetLogging() { return g_networkLogging != 0; }

void NetLogLine(const char* text, std::initializer_list<int> numbers) {
  if (!NetLogging()) return;
  NetLogAdd(text);
  for (int number : numbers) NetLogAddNumber(number);
}

void RegisterNetLogAtExit() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  std::atexit(WriteNetLogAtExit);
}
