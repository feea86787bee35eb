#pragma once
// The front end's calls on the wizard table (FrontEndWizards.h), installed at start-up.

void InstallWizardTableCalls();
