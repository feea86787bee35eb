#include "frontend/FrontEndWizards.h"

namespace {
IFrontEndWizards g_neutralWizards;
IFrontEndWizards* g_wizards = &g_neutralWizards;
}  // namespace

IFrontEndWizards& FrontEndWizards() { return *g_wizards; }

void InstallFrontEndWizards(IFrontEndWizards* wizards) { g_wizards = wizards ? wizards : &g_neutralWizards; }
