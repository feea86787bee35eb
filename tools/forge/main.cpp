// forge <folder>: writes the game's whole data set into the folder.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "forge/Forge.h"
#include "platform/Files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: forge <folder>\n");
    return 2;
  }
  std::string root = argv[1];
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  try {
    // A folder forged before is cleared, so no file of an older forge stays behind.
    namespace fs = std::filesystem;
    if (fs::exists(fs::path(root) / ".forged")) {
      for (const fs::directory_entry& entry : fs::directory_iterator(root)) fs::remove_all(entry.path());
    }
    forge::MakeParentDirectories(root + "/");
    forge::Context ctx(root);
    for (const forge::Step& step : forge::RegisteredSteps()) step.run(ctx);
    // The stamp goes last: the build treats the data as forged only when every step ran. It
    // lists every file the forge wrote, so that a check can tell a file that something else
    // left in the folder (a test writing into the shared data) from the forge's own.
    std::string stamp;
    for (const std::string& file : ctx.WrittenFiles()) stamp += file + "\n";
    ctx.WriteText(".forged", stamp);
    std::printf("forge: %d files written into %s\n", ctx.FilesWritten(), root.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "forge: %s\n", e.what());
    return 1;
  }
  return 0;
}
