#pragma once
// What the graphics engine installs below it at start-up: the sprite printers' choice that
// the processor probe (core) makes.
void InstallGraphicsHooks();
