#include "net/NetStartup.h"

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
  g_mapViewHooks.commands = &g_netMapCommands;
  RegisterNetLogAtExit();
}
