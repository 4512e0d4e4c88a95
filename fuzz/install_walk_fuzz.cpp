// The whole installation on the sandbox with the input as Setup.Inf: the header pass, the
// wizard, copying from a medium with a few files (one compressed, one on a second disk),
// INI, registry, group and uninstall items, answered by a generic user. An odd-sized input
// runs on the NT family, so both kinds of Windows get their share.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/SandboxRun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::RunOptions options;
  options.windowsNt = size % 2 == 1;
  fuzzing::RunOnSandbox(std::string_view(reinterpret_cast<const char*>(data), size), options);
  return 0;
}
