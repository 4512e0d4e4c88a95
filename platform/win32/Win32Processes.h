// Running programs to their end.
#pragma once

#include "platform/Processes.h"

namespace win32 {

// The Processes service of the running Windows.
class Win32Processes final : public platform::Processes {
 public:
  std::optional<std::uint32_t> RunAndWait(const std::string& commandLine, int showWindow) override;
  // CreateProcessA is given `applicationName` itself, not only the command line.
  std::optional<std::uint32_t> RunProgramAndWait(const std::string& applicationName,
                                                 const std::string& commandLine,
                                                 int showWindow) override;
};

}  // namespace win32
