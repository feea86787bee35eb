#include "platform/MessageBox.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform {
namespace {

std::mutex g_handlerMutex;
std::function<int(const MessageBoxCall&)> g_handler;
int g_useWindows = -1;  // -1: decide from the environment on first use

bool UseWindows() {
  if (g_useWindows >= 0) return g_useWindows == 1;
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  bool headless =
      (driver && std::strcmp(driver, "dummy") == 0) || (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"));
  return !headless;
}

struct Button {
  int answer;
  const char* label;
};

std::vector<Button> ButtonsFor(unsigned flags) {
  switch (flags & kBoxButtonsMask) {
    case kBoxOkCancel:
      return {{kAnswerOk, "OK"}, {kAnswerCancel, "Cancel"}};
    case kBoxAbortRetryIgnore:
      return {{kAnswerAbort, "Abort"}, {kAnswerRetry, "Retry"}, {kAnswerIgnore, "Ignore"}};
    case kBoxYesNo:
      return {{kAnswerYes, "Yes"}, {kAnswerNo, "No"}};
    case kBoxYesNoCancel:
      return {{kAnswerYes, "Yes"}, {kAnswerNo, "No"}, {kAnswerCancel, "Cancel"}};
    default:
      return {{kAnswerOk, "OK"}};
  }
}

int ShowWindowBox(const std::string& text, const std::string& caption, unsigned flags) {
  std::vector<Button> buttons = ButtonsFor(flags);
  int defaultAnswer = DefaultAnswer(flags);
  std::vector<SDL_MessageBoxButtonData> data;
  for (const Button& b : buttons) {
    Uint32 bflags = 0;
    if (b.answer == defaultAnswer) bflags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (b.answer == kAnswerCancel || b.answer == kAnswerIgnore || (buttons.size() == 1))
      bflags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back({bflags, b.answer, b.label});
  }
  Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
  unsigned icon = flags & kBoxIconMask;
  if (icon == kBoxIconError) kind = SDL_MESSAGEBOX_ERROR;
  if (icon == kBoxIconWarning) kind = SDL_MESSAGEBOX_WARNING;
  SDL_MessageBoxData box{kind,        nullptr, caption.c_str(), text.c_str(), static_cast<int>(data.size()),
                         data.data(), nullptr};
  int chosen = defaultAnswer;
  if (SDL_ShowMessageBox(&box, &chosen) != 0) return defaultAnswer;
  return chosen < 0 ? defaultAnswer : chosen;
}

}  // namespace

int DefaultAnswer(unsigned flags) {
  std::vector<Button> buttons = ButtonsFor(flags);
  size_t index = (flags & kBoxDefaultButton2) && buttons.size() > 1 ? 1 : 0;
  return buttons[index].answer;
}

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  {
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    if (g_handler) return g_handler(MessageBoxCall{caption, text, flags});
  }
  // The text always reaches stderr too: a box that cannot be shown (no display, no dialog
  // helper on the desktop) still leaves its message behind, and answers its default.
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  if (UseWindows()) return ShowWindowBox(text, caption, flags);
  return DefaultAnswer(flags);
}

void MessageBeep() {
  // The terminal's bell is the only beep a desktop-less machine has; a window box has none.
  if (isatty(STDERR_FILENO)) std::fputc('\a', stderr);
}

void SetMessageBoxHandler(std::function<int(const MessageBoxCall&)> handler) {
  std::lock_guard<std::mutex> lock(g_handlerMutex);
  g_handler = std::move(handler);
}

void SetMessageBoxesUseWindows(bool useWindows) { g_useWindows = useWindows ? 1 : 0; }

}  // namespace platform
