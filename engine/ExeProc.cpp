#include "engine/ExeProc.h"

#include "platform/WinTypes.h"

namespace engine {

std::optional<std::uint32_t> RunProgram(platform::Processes& processes, const std::string& path) {
  return processes.RunProgramAndWait(path, "\"" + path + "\"", platform::kSwShowMinNoActive);
}

std::uint32_t RunProcess(platform::Processes& processes, const std::string& path) {
  return RunProgram(processes, path).value_or(1u);
}

}  // namespace engine
