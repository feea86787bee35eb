#pragma once
// One machine's network objects, wired to each other: its session, its host (active while the
// machine hosts) and its client. The game has one (g_netMachine); tests run several in one
// process over a loopback.

#include "net/NetClient.h"
#include "net/NetHost.h"
#include "net/NetSession.h"

struct NetMachine {
  NetMachine();
  NetMachine(const NetMachine&) = delete;
  NetMachine& operator=(const NetMachine&) = delete;

  // Rebuilds host and client for the session's message delay.
  void Reset();

  CNetSession session;
  CNetHost host;
  CNetClient client;
};

extern NetMachine g_netMachine;
extern CNetSession& g_netSession;
extern CNetHost& g_netHost;
extern CNetClient& g_netClient;
