#include "platform/Process.h"

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {
std::function<void(int)> g_exitHook;
}

void ExitProcess(int code) {
  if (g_exitHook) g_exitHook(code);
  std::fflush(nullptr);
  std::exit(code);
}

void AbortProcess() {
  if (g_exitHook) g_exitHook(3);
  std::fflush(nullptr);
  std::abort();
}

void SetExitHook(std::function<void(int)> hook) { g_exitHook = std::move(hook); }

}  // namespace platform
