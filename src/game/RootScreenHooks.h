#pragma once
// The spine's share of the front-end root screen: what entering and leaving the root does in
// the subsystems above the screen framework, each step calling its owner directly.

// Installs the steps into the root (ui/FrontEndRoot.h) at start-up.
void InstallRootScreenHooks();
