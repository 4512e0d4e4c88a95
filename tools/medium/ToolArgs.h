// Command-line manners shared by the native tools: --help prints the usage to standard
// output, --version the program's version; messages go to standard error.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace medium {

// True when `args` asks for --help or --version; the answer has been printed to `out`.
bool AnswerHelpOrVersion(const std::vector<std::string>& args, const std::string& program,
                         const std::string& usage, std::ostream& out);

// The program's version text: "PROGRAM (Tavrin Setup) VERSION".
std::string VersionText(const std::string& program);

}  // namespace medium
