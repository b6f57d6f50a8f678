#pragma once
// The application object of the address book: no exception that leaves an event handler
// (a menu command, a key, a timer, a drop, a dialog run from a handler) ends the program. It
// is shown in the program's error box, what failed in a Japanese sentence first and the
// internal text after it, and the program carries on with everything as it was.
#include <QApplication>
#include <exception>
#include <string>

namespace kaede {

class TGuardedApplication : public QApplication {
  Q_OBJECT
public:
  TGuardedApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  // Errors reported by the guard since the start (tests count them).
  static int ReportedErrors();
};

// The text shown for an exception that left a handler (CP932): the sentence, a blank line,
// the exception's own text.
std::string HandlerErrorText(const std::exception* e);
// Shows it through the application host; an error that comes while such a box is still
// open goes to standard error instead of opening box upon box.
void ReportHandlerError(const std::exception* e);

}  // namespace kaede
