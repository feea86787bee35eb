#pragma once
// The front end's global screen objects: built once before the main loop, in the screen table
// while they live.

void ConstructFrontEndScreens();
void DestroyFrontEndScreens();
