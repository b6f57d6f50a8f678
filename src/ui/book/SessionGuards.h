#pragma once
// What keeps an edit from being lost when the session ends: the termination signals of the
// desktop (SIGTERM at logout or shutdown, SIGHUP when the terminal goes) are turned into an
// ordinary call on the user-interface thread, where the window can save and close.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kaede {

class TTerminationSignals : public QObject {
  Q_OBJECT
public:
  // Catches SIGTERM and SIGHUP for as long as it lives (one at a time); the handlers that
  // were there before come back when it goes.
  explicit TTerminationSignals(QObject* parent = nullptr);
  ~TTerminationSignals() override;
  TTerminationSignals(const TTerminationSignals&) = delete;
  TTerminationSignals& operator=(const TTerminationSignals&) = delete;

  bool Active() const { return FNotifier != nullptr; }
  // Called on the user-interface thread with the signal's number.
  std::function<void(int signal)> OnSignal;

private:
  void Received();
  QSocketNotifier* FNotifier = nullptr;
};

}  // namespace kaede
