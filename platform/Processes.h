// Starting programs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // CreateProcessA with `commandLine` as given (no application name, no inherited handles,
  // normal priority, the caller's environment and directory, STARTF_USESHOWWINDOW with
  // `showWindow`), then waits without limit for it to end. The exit code; nothing when the
  // process could not be started.
  virtual std::optional<std::uint32_t> RunAndWait(const std::string& commandLine,
                                                  int showWindow) = 0;
  // As RunAndWait, with `applicationName` naming the program to start, so that a command
  // line whose path holds blanks cannot start another program. The default hands the
  // command line alone to RunAndWait; it must then name the same program, quoted.
  virtual std::optional<std::uint32_t> RunProgramAndWait(const std::string& applicationName,
                                                         const std::string& commandLine,
                                                         int showWindow) {
    (void)applicationName;
    return RunAndWait(commandLine, showWindow);
  }
};

}  // namespace platform
