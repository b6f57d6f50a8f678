#include "SessionGuards.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace kaede {

namespace {

// The handler may do nothing but write: the signal's number goes through a socket pair to
// the event loop.
int gSignalSocket[2] = {-1, -1};
struct sigaction gOldTerm, gOldHup;
bool gInstalled = false;

void OnTerminationSignal(int signal) {
  int saved = errno;
  char number = static_cast<char>(signal);
  if (gSignalSocket[0] >= 0 && ::write(gSignalSocket[0], &number, 1) < 0) {
    // a full socket already holds a signal that wakes the loop
  }
  errno = saved;
}

}  // namespace

TTerminationSignals::TTerminationSignals(QObject* parent) : QObject(parent) {
  if (gInstalled) return;  // another one listens already
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalSocket) != 0) return;
  struct sigaction sa {};
  sa.sa_handler = OnTerminationSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  if (::sigaction(SIGTERM, &sa, &gOldTerm) != 0 || ::sigaction(SIGHUP, &sa, &gOldHup) != 0) {
    ::close(gSignalSocket[0]);
    ::close(gSignalSocket[1]);
    gSignalSocket[0] = gSignalSocket[1] = -1;
    return;
  }
  gInstalled = true;
  FNotifier = new QSocketNotifier(gSignalSocket[1], QSocketNotifier::Read, this);
  connect(FNotifier, &QSocketNotifier::activated, this, [this] { Received(); });
}

TTerminationSignals::~TTerminationSignals() {
  if (!FNotifier) return;
  ::sigaction(SIGTERM, &gOldTerm, nullptr);
  ::sigaction(SIGHUP, &gOldHup, nullptr);
  delete FNotifier;
  ::close(gSignalSocket[0]);
  ::close(gSignalSocket[1]);
  gSignalSocket[0] = gSignalSocket[1] = -1;
  gInstalled = false;
}

void TTerminationSignals::Received() {
  char numbers[16];
  ssize_t n = ::read(gSignalSocket[1], numbers, sizeof numbers);
  for (ssize_t i = 0; i < n; ++i)
    if (OnSignal) OnSignal(numbers[i]);
}

}  // namespace kaede
