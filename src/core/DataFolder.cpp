#include "core/DataFolder.h"

#include "platform/Files.h"

namespace {

bool HoldsGameData(const std::string& folder) { return platform::DirectoryExists(folder + "/cfg"); }

}  // namespace

std::vector<std::string> GameDataCandidates() {
  const std::string program = platform::ExecutableDirectory();
  const size_t slash = program.rfind('/');
  if (slash == std::string::npos) return {};
  const std::string above = program.substr(0, slash);  // the program's folder's parent
  return {above + "/data", above + "/share/vrask"};
}

bool EnterGameDataFolder(const std::vector<std::string>& candidates, std::string& looked) {
  const std::string current = platform::CurrentDirectory();
  if (HoldsGameData(current)) return true;
  looked = current;
  for (const std::string& folder : candidates) {
    if (HoldsGameData(folder) && platform::ChangeDirectory(folder)) return true;
    looked += ", " + folder;
  }
  return false;
}
