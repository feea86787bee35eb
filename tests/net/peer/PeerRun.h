#pragma once
// Starts one battle of peer programs (LockstepPeer.cpp) on this machine's loopback and collects
// what each wrote: the host first, then the others at the list port it wrote. Shared by the
// test of many processes and the network bench. A peer that has not ended by its budget and
// half a minute more is killed.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Clock.h"

extern char** environ;

namespace net_peer {

struct PeerResult {
  int status = -1;  // the exit code; -1 for a process killed, -2 for one that never ran
  int frames = 0;
  int agreed = 0;
  double battleMs = 0, latencyMs = 0, stallMs = 0;
  std::vector<uint32_t> words;
};

struct RunSpec {
  int machines;
  int frames;
  double loss;
  int killAt = -1;
  int hostile = -1;     // the index of the hostile machine
  int keepAliveMs = 0;  // 0: by the loss
  int budgetMs = 90000;
};

inline std::string Describe(const RunSpec& spec) {
  std::ostringstream text;
  text << spec.machines << " machines, " << spec.frames << " frames, loss " << spec.loss;
  if (spec.killAt >= 0) text << ", host killed at " << spec.killAt;
  if (spec.hostile >= 0) text << ", machine " << spec.hostile << " hostile";
  return text.str();
}

class PeerRun {
 public:
  PeerRun(const std::string& program, const RunSpec& spec) : program_(program), spec_(spec) {
    char folder[] = "/tmp/vrask-peers-XXXXXX";
    if (mkdtemp(folder)) dir_ = folder;
  }
  ~PeerRun() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  PeerRun(const PeerRun&) = delete;
  PeerRun& operator=(const PeerRun&) = delete;

  // Every machine's result, in machine order; failures show in the statuses.
  std::vector<PeerResult> Run() {
    pids_.push_back(Spawn(0, 0));
    const int port = AwaitPort();
    if (port != 0)
      for (int i = 1; i < spec_.machines; ++i) pids_.push_back(Spawn(i, port));
    return Collect();
  }

 private:
  pid_t Spawn(int index, int port) {
    // A machine that falls behind on a loaded computer must not count as gone: where no machine
    // dies, the keep-alive only risks a false drop, so it is long; the run that kills its host
    // waits for less, yet long enough that a survivor starved of the processor for a few seconds
    // is not dropped with it and the session does not split.
    const int keepAlive = spec_.keepAliveMs ? spec_.keepAliveMs : spec_.killAt >= 0 ? 10000 : 15000;
    std::vector<std::string> args = {program_,
                                     "index=" + std::to_string(index),
                                     "machines=" + std::to_string(spec_.machines),
                                     "frames=" + std::to_string(spec_.frames),
                                     "loss=" + std::to_string(spec_.loss),
                                     "list-port=" + std::to_string(port),
                                     "budget=" + std::to_string(spec_.budgetMs),
                                     "keep-alive=" + std::to_string(keepAlive),
                                     "out=" + Out(index)};
    if (index == 0 && spec_.killAt >= 0) args.push_back("kill-at=" + std::to_string(spec_.killAt));
    if (index == spec_.hostile) args.push_back("hostile=1");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = Out(index) + ".log";
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  int AwaitPort() {
    const uint32_t start = platform::TickCount();
    while (pids_[0] > 0 && platform::TickCount() - start < 20000) {
      std::ifstream in(Out(0) + ".port");
      int port = 0;
      if (in >> port && port > 0) return port;
      platform::SleepMs(5);
    }
    return 0;
  }

  std::vector<PeerResult> Collect() {
    std::vector<PeerResult> results(static_cast<size_t>(spec_.machines));
    std::vector<bool> done(results.size(), false);
    for (size_t i = 0; i < results.size(); ++i) {
      results[i].status = -2;
      done[i] = i >= pids_.size() || pids_[i] <= 0;
    }
    const uint32_t start = platform::TickCount();
    for (;;) {
      bool left = false;
      for (size_t i = 0; i < pids_.size(); ++i) {
        int status = 0;
        if (done[i]) continue;
        if (waitpid(pids_[i], &status, WNOHANG) != pids_[i]) {
          left = true;
          continue;
        }
        done[i] = true;
        results[i].status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        Read(Out(static_cast<int>(i)), results[i]);
      }
      if (!left) break;
      if (platform::TickCount() - start > static_cast<uint32_t>(spec_.budgetMs) + 30000) {
        for (size_t i = 0; i < pids_.size(); ++i)
          if (!done[i]) {
            kill(pids_[i], SIGKILL);
            waitpid(pids_[i], nullptr, 0);
          }
        break;
      }
      platform::SleepMs(5);
    }
    return results;
  }

  static void Read(const std::string& file, PeerResult& result) {
    std::ifstream in(file);
    std::string key;
    while (in >> key) {
      if (key == "frames") in >> result.frames;
      if (key == "agreed") in >> result.agreed;
      if (key == "battle-ms") in >> result.battleMs;
      if (key == "latency-ms") in >> result.latencyMs;
      if (key == "stall-ms") in >> result.stallMs;
      if (key == "words") {
        uint32_t word;
        while (in >> word) result.words.push_back(word);
      }
    }
  }

  std::string Out(int index) const { return dir_ + "/peer" + std::to_string(index); }

  std::string program_;
  RunSpec spec_;
  std::string dir_;
  std::vector<pid_t> pids_;
};

}  // namespace net_peer
