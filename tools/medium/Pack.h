// The medium packer: lays out a complete medium from a Setup.Inf template and the
// product's files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace medium {

struct PackOptions {
  std::filesystem::path script;    // the template
  std::filesystem::path files;     // the product's files
  std::filesystem::path out;       // the medium folder to write
  std::filesystem::path programs;  // holds setup.exe and uninstkp.exe
  bool compress = false;
  std::optional<std::uint64_t> diskKB;  // spread the files over disks of this size
  // Applied to setup.exe and uninstkp.exe as they are taken from `programs`, before they are
  // measured for the disks and written (the signature); when empty they go as they are.
  std::function<std::string(const std::string& name, std::string bytes)> prepareProgram;
};

// A template or product that cannot be packed; the text says why.
class PackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the packer made, for reporting on it in the vendor's terms.
struct PackResult {
  // For each line of the medium's Setup.Inf, the template line it comes from (1-based; 0
  // for a line the packer adds, such as PROCESS when the template has none).
  std::vector<std::size_t> templateLines;
};

// Writes the medium; throws PackError.
PackResult PackMedium(const PackOptions& options);

// `line` with its size tag set to `size` (appended when it has none).
std::string WithSizeTag(const std::string& line, std::uint64_t size);

}  // namespace medium
