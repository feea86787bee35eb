#pragma once
// The forge's frame: each format's writer registers steps with FORGE_STEP; the forge runs
// every step in name order into one output folder. Everything written must depend only on
// the code (no clock, no unseeded randomness), so the same forge writes the same bytes.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

class Context {
 public:
  explicit Context(std::string root) : root_(std::move(root)) {}

  // Writes a file below the output folder, making its folders. The path uses '\' or '/'.
  void WriteFile(std::string_view relativePath, const void* data, size_t size);
  void WriteFile(std::string_view relativePath, const std::vector<uint8_t>& data) {
    WriteFile(relativePath, data.data(), data.size());
  }
  void WriteText(std::string_view relativePath, std::string_view text) {
    WriteFile(relativePath, text.data(), text.size());
  }
  // The absolute path of a file below the output folder.
  std::string PathOf(std::string_view relativePath) const;
  // The same for a file that the caller writes itself (a picture through its encoder): its
  // folders are made and it counts as written by the forge.
  std::string ClaimFile(std::string_view relativePath);
  const std::string& Root() const { return root_; }
  int FilesWritten() const { return filesWritten_; }
  // Every file written so far, relative to the output folder with '/', sorted.
  const std::set<std::string>& WrittenFiles() const { return written_; }

 private:
  std::string root_;
  int filesWritten_ = 0;
  std::set<std::string> written_;
};

using StepFunction = void (*)(Context&);

struct Step {
  const char* name;
  StepFunction run;
};

// Every registered step, sorted by name.
std::vector<Step> RegisteredSteps();

struct StepRegistrar {
  StepRegistrar(const char* name, StepFunction run);
};

// Makes the folders of a path (below nothing in particular); throws on failure.
void MakeParentDirectories(const std::string& path);

}  // namespace forge

// Defines a forge step: FORGE_STEP(StringTables) { ctx.WriteText(...); }
#define FORGE_STEP(name)                                                               \
  static void ForgeStep_##name(::forge::Context& ctx);                                 \
  static const ::forge::StepRegistrar forgeRegistrar_##name(#name, &ForgeStep_##name); \
  static void ForgeStep_##name(::forge::Context& ctx)
