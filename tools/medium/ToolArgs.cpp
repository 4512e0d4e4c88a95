#include "tools/medium/ToolArgs.h"

namespace medium {

std::optional<std::uint32_t> ParsePlatform(const std::string& value) {
  if (value == "95") return 1;
  if (value == "nt" || value == "NT") return 2;
  return std::nullopt;
}

std::string VersionText(const std::string& program) {
  return program + " (Tavrin Setup) " SETUP_VERSION;
}

bool AnswerHelpOrVersion(const std::vector<std::string>& args, const std::string& program,
                         const std::string& usage, std::ostream& out) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out << usage;
      return true;
    }
    if (arg == "--version") {
      out << VersionText(program) << '\n';
      return true;
    }
  }
  return false;
}

}  // namespace medium
