#pragma once
// Errors raised inside the screens' signal handlers. Qt's event loop cannot carry an
// exception, so a handler runs its work through ShowErrors: an error is shown in a message
// box and the program goes on.
#include <exception>
#include <utility>

#include "AppHost.h"
#include "Errors.h"

namespace kaede {

template <class F>
void ShowErrors(F&& f) {
  try {
    std::forward<F>(f)();
  } catch (const Exception& e) {
    AppHost().ShowError(e.what());
  } catch (const std::exception& e) {
    AppHost().ShowError(e.what());
  }
}

}  // namespace kaede
