// Command-line manners shared by the native tools: --help prints the usage to standard
// output, --version the program's version; messages go to standard error.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace medium {

// True when `args` asks for --help or --version; the answer has been printed to `out`.
bool AnswerHelpOrVersion(const std::vector<std::string>& args, const std::string& program,
                         const std::string& usage, std::ostream& out);

// The platform id a --platform value names: 1 for "95", 2 for "nt" (or "NT"); empty
// for anything else.
std::optional<std::uint32_t> ParsePlatform(const std::string& value);

// The program's version text: "PROGRAM (Tavrin Setup) VERSION".
std::string VersionText(const std::string& program);

}  // namespace medium
