// The summary of what an installation left on the sandbox machine: files with their sizes,
// registry values, INI entries, Program Manager commands and the uninstall log.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>

namespace sim {

// The state of a machine folder before a run, to tell what the run changed.
struct MachineSnapshot {
  std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> files;
  std::set<std::string> registryLines;  // "[KEY] value line" of registry.reg
  std::size_t logLines = 0;             // lines of system.log
};

// Reads the machine folder as it is now.
MachineSnapshot TakeSnapshot(const std::filesystem::path& machineRoot);

// Prints what differs between `before` and the machine folder now.
void PrintSummary(const std::filesystem::path& machineRoot, const MachineSnapshot& before,
                  std::ostream& out);

}  // namespace sim
