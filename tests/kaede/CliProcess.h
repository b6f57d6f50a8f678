#pragma once
// The kaede program started in the background from a test: its output to /dev/null, its
// standard error into a file, and its end waited for or forced.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace kaede::test {

struct TCliProcess {
  pid_t Pid = -1;
  std::string ErrFile;
};

inline TCliProcess StartKaede(std::vector<std::string> args, const std::string& errFile) {
  args.insert(args.begin(), KAEDE_CLI);
  TCliProcess p;
  p.ErrFile = errFile;
  p.Pid = ::fork();
  if (p.Pid == 0) {
    int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    _exit(127);
  }
  return p;
}

// The exit status; -1 when it ended by a signal.
inline int WaitKaede(const TCliProcess& p) {
  int status = 0;
  ::waitpid(p.Pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kaede::test
