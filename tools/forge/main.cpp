// forge <folder>: writes the game's whole data set into the folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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
    // VRASK_FORGE_TIMES=1 lists how long each step took, the slowest first.
    const bool times = std::getenv("VRASK_FORGE_TIMES") != nullptr;
    std::vector<std::pair<double, const char*>> taken;
    for (const forge::Step& step : forge::RegisteredSteps()) {
      const auto start = std::chrono::steady_clock::now();
      step.run(ctx);
      taken.push_back({std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), step.name});
    }
    if (times) {
      std::sort(taken.rbegin(), taken.rend());
      for (const auto& [seconds, name] : taken) std::printf("%8.2f s  %s\n", seconds, name);
    }
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
