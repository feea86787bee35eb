#pragma once
// The game's global objects, built in the fixed order of core/Globals.h before WinMain runs
// and destroyed in reverse at exit. The table below (GlobalObjects.cpp) names, at its place,
// every object a subsystem owns: a subsystem's objects are added there as it is built.

// Puts every owner's construction and destruction at its place in the order.
void FillGlobalObjects();
