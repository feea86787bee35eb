#pragma once
// Ending the process. Fatal paths call ExitProcess; tests install a hook so that those
// paths can be run without ending the test program (the hook must not return: it
// throws, or ends the process itself).

#include <functional>

namespace platform {

[[noreturn]] void ExitProcess(int code);

// Ends the process abnormally, as the C runtime's abort does (the hook sees exit code 3).
[[noreturn]] void AbortProcess();

// Installs a hook that ExitProcess calls first; an empty function removes it.
void SetExitHook(std::function<void(int code)> hook);

}  // namespace platform
