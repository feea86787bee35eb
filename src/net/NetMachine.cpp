#include "net/NetMachine.h"

NetMachine::NetMachine() : host(session), client(session) {
  host.SetLocalClient(&client);
  client.SetHost(&host);
}

void NetMachine::Reset() {
  host.Reset();
  client.Reset();
}

NetMachine g_netMachine;
CNetSession& g_netSession = g_netMachine.session;
CNetHost& g_netHost = g_netMachine.host;
CNetClient& g_netClient = g_netMachine.client;
