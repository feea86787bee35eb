#pragma once
// The main loop and the frame pacer it runs once per frame.

// The message and frame loop: pumps the window's messages and, while the application is
// active, paces the frame and updates the current screen. Answers the exit code.
int RunMainLoop();

// The frame pacer, run by the main loop once per frame before the screen's update:
// frame-rate display, frame skipping and the wait for the frame period.
int PaceFrame();
// Puts the pacer's state back to its start (tests, and a new run of WinMain).
void ResetFramePacer();
