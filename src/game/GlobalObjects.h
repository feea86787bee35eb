#pragma once
// The game's global objects in their fixed order (core/Globals.h): the table here names every
// place of the order, from the preferences (first built, last destroyed) to the blit
// benchmark, and gives each object that exists its start and its end. The objects are the
// program's statics; their ends release what they hold, last first, so that screens, panels,
// fonts and sprites let go before the surfaces are released. A subsystem's object gets its
// functions in its row once the subsystem is built.

// Puts every owner's construction and destruction at its place in the order.
void FillGlobalObjects();
