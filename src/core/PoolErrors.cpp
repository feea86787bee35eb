// Error reporting of the pooled allocator: the handler, its guard against re-entry, and the
// default handler's boxes.

#include <cstdint>

#include "core/Allocator.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

std::atomic<PoolErrorHandler> g_poolErrorHandler{nullptr};

namespace {

constexpr char kCaption[] = "Dorvane Library";
constexpr char kOutOfMemoryText[] = "Out of memory.  Please free some memory, then choose retry.";
constexpr char kReenteredText[] = "\n\rDorvane error handler recursively re-entered.\n\r";

// A report made while this many are already running on the thread is answered 0 at once.
constexpr int kMaxReportNesting = 2;
thread_local int t_reportDepth = 0;

struct NestingGuard {
  NestingGuard() { ++t_reportDepth; }
  ~NestingGuard() { --t_reportDepth; }
};

}  // namespace

const char* PoolErrorName(int code) {
  static const char* const kNames[] = {
      "MEM_BLOCK_TOO_BIG",  "MEM_ALLOC_ZERO",     "MEM_RESIZE_FAILED", "MEM_LOCK_ERROR", "MEM_EXCEEDED_CEILING",
      "MEM_TOO_MANY_PAGES", "MEM_TOO_MANY_TASKS", "MEM_BAD_MEM_POOL",  "MEM_BAD_BLOCK",  "MEM_BAD_FREE_BLOCK",
      "MEM_BAD_HANDLE",     "MEM_BAD_POINTER",    "MEM_WRONG_TASK",
  };
  if (code == kMemOutOfMemory) return kOutOfMemoryText;
  if (code >= kMemBlockTooBig && code <= kMemWrongTask) return kNames[code - kMemBlockTooBig];
  return "MEM_INTERNAL_ERROR";
}

int PoolErrorBox(const char* text, unsigned buttons) {
  platform::MessageBeep();
  unsigned flags = buttons | platform::kBoxIconError | platform::kBoxDefaultButton2;
  int answer = platform::ShowMessageBox(text, kCaption, flags | platform::kBoxTaskModal);
  if (answer == 0) answer = platform::ShowMessageBox(text, kCaption, flags | platform::kBoxSystemModal);
  return answer;
}

int PoolDefaultErrorHandler(const void* pointer, int code) {
  int answer = code == kMemOutOfMemory ? PoolErrorBox(kOutOfMemoryText, platform::kBoxAbortRetryIgnore)
                                       : PoolErrorBox(PoolErrorName(code), platform::kBoxOkCancel);
  switch (answer) {
    case platform::kAnswerRetry:
      return 1;
    case platform::kAnswerCancel:
    case platform::kAnswerAbort:
      platform::AbortProcess();
    default:
      return 0;
  }
}

int PoolReportError(const void* pointer, int code) {
  NestingGuard nesting;
  if (t_reportDepth > kMaxReportNesting) {
    // Only the first level too deep shows the box: the box may itself end up here.
    if (t_reportDepth == kMaxReportNesting + 1) PoolErrorBox(kReenteredText, platform::kBoxOk);
    return 0;
  }
  PoolErrorHandler handler = g_poolErrorHandler.load(std::memory_order_acquire);
  if (reinterpret_cast<uintptr_t>(handler) <= 0xFFFF) {
    handler = PoolDefaultErrorHandler;
    g_poolErrorHandler.store(handler, std::memory_order_release);
  }
  return handler(pointer, code);
}
