#include "tools/setup-sim/SimOptions.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "tools/medium/ToolArgs.h"

namespace sim {

const char* Usage() {
  return "usage: setup-sim --medium DIR --machine DIR [--answers FILE] [--platform 95|nt]\n"
         "                 [--csd TEXT] [--free-kb DRIVE=KB]... [--summary]\n"
         "                 [--uninstall LOGPATH DISPLAYNAME]\n"
         "       (with --uninstall, --medium may be left out: then only the uninstaller runs)\n"
         "       setup-sim --help | --version\n";
}

std::optional<SimOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  SimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--summary") {
      options.summary = true;
      continue;
    }
    if (option == "--uninstall") {
      if (i + 2 >= args.size()) {
        error = "--uninstall takes LOGPATH DISPLAYNAME";
        return std::nullopt;
      }
      options.uninstall = true;
      options.uninstallLog = args[++i];
      options.uninstallName = args[++i];
      continue;
    }
    static const char* const kWithValue[] = {"--medium",   "--machine", "--answers",
                                             "--platform", "--csd",     "--free-kb"};
    if (std::find(std::begin(kWithValue), std::end(kWithValue), option) == std::end(kWithValue)) {
      error = "unknown option " + option;
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "missing value after " + option;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (option == "--medium") {
      options.medium = value;
    } else if (option == "--machine") {
      options.machine = value;
    } else if (option == "--answers") {
      options.answers = value;
    } else if (option == "--platform") {
      const std::optional<std::uint32_t> platformId = medium::ParsePlatform(value);
      if (!platformId) {
        error = "--platform takes 95 or nt";
        return std::nullopt;
      }
      options.platformId = *platformId;
    } else if (option == "--csd") {
      options.csdVersion = value;
    } else if (option == "--free-kb") {
      const std::size_t equals = value.find('=');
      const std::string number = equals == std::string::npos ? "" : value.substr(equals + 1);
      if (equals != 1 || !std::isalpha(static_cast<unsigned char>(value[0])) || number.empty() ||
          number.find_first_not_of("0123456789") != std::string::npos || number.size() > 15) {
        error = "--free-kb takes DRIVE=KB, e.g. C=2048";
        return std::nullopt;
      }
      options.freeKB[static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])))] =
          std::stoull(number);
    } else {
      error = "unknown option " + option;
      return std::nullopt;
    }
  }
  if ((options.medium.empty() && !options.uninstall) || options.machine.empty()) {
    error = "--medium and --machine are required";
    return std::nullopt;
  }
  return options;
}

}  // namespace sim
