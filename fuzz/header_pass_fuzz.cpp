// The program's start on the input as Setup.Inf: the header pass (captions, destination,
// operating-system checks, languages, flags) and the welcome page, where the user cancels.
// Messages the header pass shows are answered by the generic user.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/SandboxRun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::RunOptions options;
  options.windowsNt = size % 2 == 1;
  options.withFiles = false;
  options.cancelAtOnce = true;
  fuzzing::RunOnSandbox(std::string_view(reinterpret_cast<const char*>(data), size), options);
  return 0;
}
