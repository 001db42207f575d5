// Runs a helper program as a child process with a time limit.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace cadhost::dwg {

// How a helper run ended, with what it wrote on standard error.
struct HelperOutcome {
  enum class End { Exited, Signalled, TimedOut, NotFound, NotStarted };
  End end = End::NotStarted;
  int status = 0;          // exit status, or the signal that ended it
  std::string errorText;   // standard error, at most the first 64 KiB
};

// Starts `arguments[0]` (looked up on PATH when it holds no `/`) with the
// rest as its arguments, standard input and output on /dev/null, and waits
// for it. A child still running when `limit` has passed is killed, with
// every process it started (it runs in a process group of its own).
HelperOutcome RunHelper(const std::vector<std::string>& arguments, std::chrono::milliseconds limit);

}  // namespace cadhost::dwg
