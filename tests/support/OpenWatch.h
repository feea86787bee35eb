#pragma once
// Watches a folder for files opened in it, by this process or any other (the kernel's inotify
// queue): a test puts a marker file where no reader may look, runs the reader, and asks what
// was opened. Events are queued as the open happens, so no waiting is needed.

#include <sys/inotify.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace testing_support {

class OpenWatch {
 public:
  OpenWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
  ~OpenWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenWatch(const OpenWatch&) = delete;
  OpenWatch& operator=(const OpenWatch&) = delete;

  // Watches one more folder (not its sub-folders); false when it cannot.
  bool Add(const std::string& folder) {
    return fd_ >= 0 && inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_ACCESS) >= 0;
  }

  // The names opened or read in the folder since the last call ("." for the folder itself).
  std::vector<std::string> Opened() {
    std::vector<std::string> names;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, sizeof buffer);
      if (got <= 0) break;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        names.push_back(event->len > 0 ? std::string(event->name) : std::string("."));
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return names;
  }

 private:
  int fd_ = -1;
};

}  // namespace testing_support
