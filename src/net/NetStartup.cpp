#include "net/NetStartup.h"

#include <cstring>

#include "core/Main.h"
#include "map/MapViewHooks.h"
#include "net/ChatFormats.h"
#include "net/NetLog.h"
#include "net/NetMachine.h"

namespace {

// Orders reach the creatures only through frames: the map view's commands join the outgoing
// frame of this machine's client.
class NetMapCommandSink : public IMapCommandSink {
 public:
  void AddMessage(const CommandMessage& message) override { g_netClient.AddMessage(message); }
};

NetMapCommandSink g_netMapCommands;

}  // namespace

void InstallNet() {
  // cfg\chatmessage.cfg is read twice at start-up: its chat formats, then its strings.
  bool formatsPlaced = false;
  for (GameDataLoad& entry : g_gameDataLoads) {
    if (std::strcmp(entry.fileName, "cfg\\chatmessage.cfg") != 0) continue;
    entry.load = formatsPlaced ? LoadChatStringTable : LoadChatFormats;
    formatsPlaced = true;
  }
  g_mapViewHooks.commands = &g_netMapCommands;
  RegisterNetLogAtExit();
}
