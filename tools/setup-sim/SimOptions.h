// The command line of setup-sim.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct SimOptions {
  std::string medium;   // host folder mounted as D:
  std::string machine;  // host folder of the sandbox machine
  std::string answers;  // answers file, empty for none
  std::uint32_t platformId = 1;
  std::string csdVersion;
  std::map<char, std::uint64_t> freeKB;  // drive letter -> free space in KB
  bool summary = false;                  // print what the run left on the machine
  // --uninstall LOGPATH DISPLAYNAME: after the installation (when --medium is given), or
  // alone, run the uninstaller on the same machine with the rest of the answers.
  bool uninstall = false;
  std::string uninstallLog;
  std::string uninstallName;
};

// Reads the arguments after the program name; on a mistake gives nothing and sets `error`.
std::optional<SimOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The usage text.
const char* Usage();

}  // namespace sim
