#pragma once
// The sound subsystem's share of the program's start-up, main loop and shut-down, in the
// order the program calls them. Each follows the user preferences (g_prefs) and reports its
// failures in the boxes the player knows; none of them stops the program except a failed
// shut-down of the sound manager.

class CSurface;
class MovieTarget;

// After the main window exists: the sound manager and level 1's sound sets, when sound is
// enabled. A failure shows "Sound Manager Error !" and turns sound off for this run.
void StartSound(void* mainWindow, void* applicationInstance);

// After the display is up, when movies are enabled: the two intro movies (the second only
// when the first was not cut short with Escape), placed below the client area's top-left
// corner (clientLeft, clientTop) as the resolution asks; then the target is cleared.
void PlayIntroMovies(MovieTarget* primary, int clientLeft, int clientTop);
void PlayIntroMovies(CSurface* primary, int clientLeft, int clientTop);

// When CD music is enabled: opens the CD player (a failure shows "CD Player Error !") and
// sets its volume from the preferences.
void OpenCdMusic(void* mainWindow);

// The title music: the main track of the music track list, looping.
void PlayTitleMusic();

// For the window: a disc was inserted; when the CD stands stopped, the whole disc plays shuffled.
void OnDiscInserted();

// After the main loop: closes the CD player and stops the sound manager (a failure there
// shows its text and ends the process), each when its preference is on.
void ShutdownSound();
// The two halves of ShutdownSound, for callers that check the preferences themselves.
void CloseCdMusic();
void StopSoundManager();

// Puts the sound manager and the CD player at their places among the global objects, so that
// at any exit, fatal ones included, they are stopped in the objects' order (after the screens
// and the AI, before the random generators, the surfaces and the preferences). They are built
// with the program; their end there finds them stopped when shut-down went its normal way.
void RegisterSoundGlobalObjects();
