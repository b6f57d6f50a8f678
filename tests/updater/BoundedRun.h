#pragma once
// Runs a piece of work in a child process under a memory and time limit that also hold in a
// sanitizer build (where an address-space limit cannot be used): the parent watches the
// child's resident memory and kills it when it passes the limit or takes too long.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace kaede::test {

struct TBoundedResult {
  bool Exited = false;        // ended by itself
  int Status = -1;            // its exit status then
  bool OverMemory = false;    // killed at the memory limit
  bool OverTime = false;      // killed at the time limit
  int64_t PeakRss = 0;        // bytes, as the kernel counted it
};

inline int64_t ResidentBytes(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
  return 0;
}

// work returns the child's exit status.
inline TBoundedResult RunBounded(const std::function<int()>& work, int64_t maxRss, int seconds) {
  TBoundedResult r;
  pid_t pid = ::fork();
  if (pid == 0) {
    int status = 1;
    try {
      status = work();
    } catch (...) {
      status = 2;
    }
    std::_Exit(status);
  }
  auto start = std::chrono::steady_clock::now();
  int status = 0;
  struct rusage usage {};
  for (;;) {
    pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (!r.OverMemory && !r.OverTime) {
      if (ResidentBytes(pid) > maxRss) r.OverMemory = true;
      else if (std::chrono::steady_clock::now() - start > std::chrono::seconds(seconds)) r.OverTime = true;
      if (r.OverMemory || r.OverTime) ::kill(pid, SIGKILL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  r.Exited = WIFEXITED(status);
  r.Status = r.Exited ? WEXITSTATUS(status) : -1;
  r.PeakRss = static_cast<int64_t>(usage.ru_maxrss) * 1024;
  return r;
}

}  // namespace kaede::test
