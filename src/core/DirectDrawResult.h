#pragma once
// The check every display result passes through: a known failure is shown in a
// "DirectDraw Error" box, and any failure other than a lost surface ends the program.

#include <cstdint>

// Answers the box's result (0 when no box was shown) for success and for a lost surface;
// every other code ends the process with exit code 1.
int CheckDirectDrawResult(int32_t code);

// The one-line text of a known code, or null.
const char* DirectDrawErrorText(int32_t code);

// How many codes have a text.
int DirectDrawKnownCodeCount();
