// The process runner of the COM registration: starts a program and waits for its end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Processes.h"

namespace engine {

// Starts the program at `path` minimised without activation (its path quoted on the
// command line and named as the application, so blanks in it are safe) and waits without
// limit for its end. The exit code; nothing when it cannot be started.
std::optional<std::uint32_t> RunProgram(platform::Processes& processes, const std::string& path);

// RunProgram's exit code, with 1 for a program that cannot be started.
std::uint32_t RunProcess(platform::Processes& processes, const std::string& path);

}  // namespace engine
