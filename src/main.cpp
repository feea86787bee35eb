// The program's entry: builds the global objects and hands over to the spine at once.
#include <string>

#include "core/Globals.h"
#include "game/GlobalObjects.h"
#include "game/WinMain.h"

int main(int argc, char** argv) {
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  InstallSubsystems();
  FillGlobalObjects();
  ConstructGlobalObjects(true);
  return WinMain(nullptr, nullptr, commandLine.c_str(), 1);
}
