#pragma once
// The battle's road through the frame protocol. Every battle runs its frames through this
// machine's client and host (g_netClient, g_netHost in NetMachine.h), single player included,
// so that orders reach the creatures only through frames and a recording holds exactly what
// ran.
//
// Single player (quick battle, campaign, playback): at battle start
//     if (!StartSinglePlayerNet(playerName)) { /* box shown: leave the battle */ }
// makes a loopback session in which this machine is the host and the only client, with a
// message delay of 0, and sends the first frame message. No start message is awaited.
//
// Network play: the set-up screens have made or joined the session, and on MSG_INITIALISE
// called g_netMachine.ApplyStartMarks(); at battle start StartNetworkBattle() sends the first
// frame message, waits on the host for frame 0 and enters phase 3.
//
// Then each battle frame, with the counter at n:
//     if (!g_netClient.RunFrame(n, true)) abandon the frame;  // g_netClient.Failed(): end the battle
//     ++n;
//     if (NetBattleValidates()) g_netClient.AddValidateMessage(MakeFrameValidation(creatures, effects), n);
//     g_netClient.SendFrame(n);
//     ... the frame's work; every local input that changes the battle goes as a command:
//         g_netClient.AddMessage(MakeWordCommand(MSG_PAUSE, word)) and the like;
//     if (!g_netHost.WaitForFrame(n, true)) abandon the frame;
// and at the end EndNetBattle(). The battle clock's thread calls g_netClient.PostCounter.
// Commands given in frame n run in frame n + 2 + delay on every machine.

#include "map/MapCommands.h"

bool StartSinglePlayerNet(const char* playerName);
bool StartNetworkBattle();
// Single player: the loopback session goes. Network play: the phase returns to set-up.
void EndNetBattle();
// A host leaving a network battle after its last frame (framesRun frames) answers the others
// until each has run that frame too (NetMachine::Serve), or until a client silent that long
// would have been dropped anyway, or the program quits. Nothing on a client, nor in single
// player.
void ServeTheOthersToTheEnd(int framesRun);
bool IsSinglePlayerNet();

// Frames carry validation records in network play, and in single player while the battle is
// recorded or played back.
bool NetBattleValidates();
// The validation record of the frame: the battle generator's check, the active creatures, the
// active effects from slot 100 on.
CommandMessage MakeFrameValidation(int activeCreatures, int activeEffects);
