#pragma once
// The network subsystem's place in the program, filled once at start-up before WinMain: the
// loaders of cfg\chatmessage.cfg in the game data table, the map view's orders going into the
// client's outgoing frame, and the net_log.txt writer at exit.

void InstallNet();
