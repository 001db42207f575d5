// The one place every event handler is entered through: what a handler lets
// through is shown to the user, and the program keeps running.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace forms {
class UiPort;
}

namespace host {

// A failure of the user-interface port itself that the program cannot answer
// (a scripted run that has nothing left to answer a box that would come back
// for ever). It passes through the error boundary and ends the run.
class PortAbort : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Owns nothing but the port it reports through. `Run` calls a handler and
// catches what it lets through (host errors, control errors, settings store
// errors, any standard exception): the description is shown in an
// information box titled "Cindral" and the call returns normally, so an
// unexpected failure never ends the program or loses the user's grid.
class ErrorBoundary {
 public:
  explicit ErrorBoundary(forms::UiPort& ui) : ui_(ui) {}

  void Run(const std::function<void()>& handler) const;

  // A handler with the same signature that runs `handler` inside the boundary.
  template <class... Args>
  std::function<void(Args...)> Guard(std::function<void(Args...)> handler) const {
    return [this, handler = std::move(handler)](Args... args) {
      Run([&] { handler(args...); });
    };
  }
  std::function<void()> Guard(std::function<void()> handler) const {
    return [this, handler = std::move(handler)] { Run(handler); };
  }

  // The text shown for a failure: its description, or a general sentence when
  // the failure carries none.
  static std::string Describe(const std::exception& failure);

 private:
  void Report(const std::string& description) const;

  forms::UiPort& ui_;
};

}  // namespace host
