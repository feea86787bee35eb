#pragma once
// The network subsystem's place in the program, filled once at start-up before WinMain: the
// map view's orders going into the client's outgoing frame, and the net_log.txt writer at
// exit. (The spine's game data table reads cfg\chatmessage.cfg through LoadChatFormats and
// LoadChatStringTable.)

void InstallNet();
