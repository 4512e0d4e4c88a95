// setup-pack: builds an installation medium from a Setup.Inf template and the product's
// files, then checks it as setup-check does, reporting at the template's lines, and exits
// with its code (2 when the medium cannot be built).
#include <iostream>

#include "tools/medium/CheckMedium.h"
#include "tools/medium/Pack.h"
#include "tools/medium/ToolArgs.h"

namespace {

constexpr char kUsage[] =
    "usage: setup-pack --script TEMPLATE --files PRODUCT_DIR --out MEDIUM_DIR [--compress]\n"
    "                  [--disk-size KB] [--programs DIR]\n"
    "  Writes a complete medium: the files the template names (from PRODUCT_DIR), size tags\n"
    "  and PROCESS from their real sizes, setup.exe and uninstkp.exe, Present.bmp and the\n"
    "  language files; then checks it as setup-check does and exits with its code.\n"
    "  MEDIUM_DIR is new, empty, or a medium setup-pack made (it lists its files in\n"
    "  MEDIUM_DIR/.setup-pack); it may not hold or lie inside what the medium is made from.\n"
    "  --compress      each file in SZDD form, named as the template says; COMPRESSED=YES\n"
    "  --disk-size KB  spread the files over DISK1, DISK2, ... with DISK lines where a disk\n"
    "                  starts\n"
    "  --programs DIR  the folder of setup.exe and uninstkp.exe (default build-mingw/app/win32)\n";

std::optional<medium::PackOptions> Parse(const std::vector<std::string>& args, std::string& error) {
  medium::PackOptions options;
  options.programs = "build-mingw/app/win32";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--compress") {
      options.compress = true;
      continue;
    }
    if (arg != "--script" && arg != "--files" && arg != "--out" && arg != "--disk-size" &&
        arg != "--programs") {
      error = "unknown option " + arg;
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "missing value after " + arg;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (arg == "--script") {
      options.script = value;
    } else if (arg == "--files") {
      options.files = value;
    } else if (arg == "--out") {
      options.out = value;
    } else if (arg == "--programs") {
      options.programs = value;
    } else {
      if (value.empty() || value.size() > 9 ||
          value.find_first_not_of("0123456789") != std::string::npos || std::stoull(value) == 0) {
        error = "--disk-size takes a number of KB above 0";
        return std::nullopt;
      }
      options.diskKB = std::stoull(value);
    }
  }
  if (options.script.empty() || options.files.empty() || options.out.empty()) {
    error = "--script, --files and --out are required";
    return std::nullopt;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (medium::AnswerHelpOrVersion(args, "setup-pack", kUsage, std::cout)) return 0;
  std::string error;
  const std::optional<medium::PackOptions> options = Parse(args, error);
  if (!options) {
    std::cerr << "setup-pack: " << error << '\n' << kUsage;
    return 2;
  }
  medium::PackResult packed;
  try {
    packed = medium::PackMedium(*options);
  } catch (const std::exception& failure) {
    std::cerr << "setup-pack: " << failure.what() << '\n';
    return 2;
  }
  const std::optional<medium::MediumDir> dir = medium::MediumDir::Open(options->out);
  if (!dir) {
    std::cerr << "setup-pack: the medium written in " << options->out.string()
              << " cannot be read\n";
    return 2;
  }
  const std::optional<std::vector<std::string>> script = medium::ReadMediumScript(*dir);
  // Reported at the template's lines, the ones the vendor edits.
  medium::CheckOptions check;
  check.lineNumbers = packed.templateLines;
  const std::vector<medium::Finding> findings =
      medium::CheckMedium(*dir, script.value_or(std::vector<std::string>{}), check);
  medium::PrintFindings(findings, std::cout, options->script.string());
  return medium::CountErrors(findings) > 0 ? 1 : 0;
}
