// setup-pack: builds an installation medium from a Setup.Inf template and the product's
// files, then checks it as setup-check does, reporting at the template's lines, and exits
// with its code (2 when the medium cannot be built).
#include <iostream>

#include "tools/medium/CheckMedium.h"
#include "tools/medium/Pack.h"
#include "tools/medium/Release.h"
#include "tools/medium/ToolArgs.h"

namespace {

constexpr char kUsage[] =
    "usage: setup-pack --script TEMPLATE --files PRODUCT_DIR --out MEDIUM_DIR [--compress]\n"
    "                  [--disk-size KB] [--programs DIR] [--images] [--iso FILE]\n"
    "                  [--sign CERT KEY]\n"
    "  Writes a complete medium: the files the template names (from PRODUCT_DIR), size tags\n"
    "  and PROCESS from their real sizes, setup.exe and uninstkp.exe, Present.bmp and the\n"
    "  language files; then checks it as setup-check does and exits with its code.\n"
    "  MEDIUM_DIR is new, empty, or a medium setup-pack made (it lists its files in\n"
    "  MEDIUM_DIR/.setup-pack); it may not hold or lie inside what the medium is made from.\n"
    "  --compress      each file in SZDD form, named as the template says; COMPRESSED=YES\n"
    "  --disk-size KB  spread the files over DISK1, DISK2, ... with DISK lines where a disk\n"
    "                  starts\n"
    "  --programs DIR  the folder of setup.exe and uninstkp.exe (default build-mingw/app/win32)\n"
    "  --images        with --disk-size: also DISK1.img, DISK2.img, ... in MEDIUM_DIR, FAT12\n"
    "                  diskette images (mtools) labelled DISK1, DISK2, ...\n"
    "  --iso FILE      also FILE, a CD image (ISO 9660 with Joliet names, xorriso) of the\n"
    "                  one-folder medium\n"
    "  --sign CERT KEY sign setup.exe and uninstkp.exe with Authenticode (osslsigncode,\n"
    "                  SHA-256, no time stamp) before they are measured and written\n"
    "  Images are made only of a medium that checks without errors.\n";

struct Request {
  medium::PackOptions pack;
  medium::ReleaseOptions release;
};

std::optional<Request> Parse(const std::vector<std::string>& args, std::string& error) {
  Request request;
  medium::PackOptions& options = request.pack;
  options.programs = "build-mingw/app/win32";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--compress") {
      options.compress = true;
      continue;
    }
    if (arg == "--images") {
      request.release.diskImages = true;
      continue;
    }
    if (arg == "--sign") {
      if (i + 2 >= args.size()) {
        error = "--sign takes a certificate and a key";
        return std::nullopt;
      }
      request.release.sign = medium::SigningKey{args[i + 1], args[i + 2]};
      i += 2;
      continue;
    }
    if (arg != "--script" && arg != "--files" && arg != "--out" && arg != "--disk-size" &&
        arg != "--programs" && arg != "--iso") {
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
    } else if (arg == "--iso") {
      request.release.cdImage = value;
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
  return request;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (medium::AnswerHelpOrVersion(args, "setup-pack", kUsage, std::cout)) return 0;
  std::string error;
  std::optional<Request> request = Parse(args, error);
  if (!request) {
    std::cerr << "setup-pack: " << error << '\n' << kUsage;
    return 2;
  }
  const medium::PackOptions* options = &request->pack;
  medium::PackResult packed;
  try {
    medium::CheckReleaseOptions(request->pack, request->release);
    medium::PrepareSigning(request->pack, request->release);
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
  if (medium::CountErrors(findings) > 0) {
    if (request->release.diskImages || !request->release.cdImage.empty())
      std::cerr << "setup-pack: no images made of a medium with errors\n";
    return 1;
  }
  try {
    for (const std::filesystem::path& image :
         medium::MakeReleaseImages(request->pack, request->release))
      std::cout << "wrote " << image.string() << '\n';
  } catch (const std::exception& failure) {
    std::cerr << "setup-pack: " << failure.what() << '\n';
    return 2;
  }
  return 0;
}
