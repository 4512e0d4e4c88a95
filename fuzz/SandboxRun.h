// One run of the installer's program for the harnesses: a fresh sandbox machine in a
// temporary folder of its own, a medium mounted as D: with Setup.Inf and a few files, and a
// generic user that answers whatever the program shows, so that every run ends. With the
// environment variable SETUP_FUZZ_TRANSCRIPT set, the transcript goes to standard error.
#pragma once

#include <string_view>

namespace fuzzing {

struct RunOptions {
  bool windowsNt = false;     // the machine runs the NT family instead of Windows 95
  bool withFiles = true;      // the medium holds the sample files beside Setup.Inf
  bool cancelAtOnce = false;  // the user cancels on the welcome page
};

// Runs the program on `script` as Setup.Inf and removes the machine again. Aborts when the
// run left anything outside its machine and medium folders; an exception other than the
// scripted user's stop goes on to the fuzzer as the fault it is.
void RunOnSandbox(std::string_view script, const RunOptions& options);

}  // namespace fuzzing
