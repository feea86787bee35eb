#pragma once
// The common ways to tell the player of a failure.

// "Unable to load file: <name>, Exiting Program" in a "FILE LOAD ERROR" box, then the
// process ends with exit code 1. A long name is cut so the message keeps its ending.
[[noreturn]] void ShowFileLoadError(const char* fileName);

// The text in a "GENERAL ERROR" box; answers the button chosen.
int ShowGeneralError(const char* text);

// The flags of the game's warning boxes: no owner, top-most, task-modal, warning icon.
unsigned WarningBoxFlags();
