#include "forge/Forge.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/Files.h"

namespace forge {
namespace {
std::vector<Step>& Registry() {
  static std::vector<Step> steps;
  return steps;
}

std::string Normalise(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}
}  // namespace

StepRegistrar::StepRegistrar(const char* name, StepFunction run) { Registry().push_back({name, run}); }

std::vector<Step> RegisteredSteps() {
  std::vector<Step> steps = Registry();
  std::sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) { return std::strcmp(a.name, b.name) < 0; });
  return steps;
}

void MakeParentDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string dir = path.substr(0, slash);
    if (!platform::MakeDirectory(dir)) throw std::runtime_error("cannot make folder " + dir);
  }
}

std::string Context::PathOf(std::string_view relativePath) const { return root_ + "/" + Normalise(relativePath); }

std::string Context::ClaimFile(std::string_view relativePath) {
  std::string path = PathOf(relativePath);
  MakeParentDirectories(path);
  ++filesWritten_;
  written_.insert(Normalise(relativePath));
  return path;
}

void Context::WriteFile(std::string_view relativePath, const void* data, size_t size) {
  std::string path = PathOf(relativePath);
  MakeParentDirectories(path);
  if (!platform::WriteWholeFile(path, data, size)) throw std::runtime_error("cannot write " + path);
  ++filesWritten_;
  written_.insert(Normalise(relativePath));
}

}  // namespace forge
