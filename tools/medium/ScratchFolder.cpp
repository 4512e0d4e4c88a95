#include "tools/medium/ScratchFolder.h"

#include <unistd.h>

#include <system_error>

namespace medium {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& prefix) {
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  // A name taken by another run is tried again; any other failure (no temporary directory,
  // no room, no right to write) would fail every attempt, so it ends the run.
  for (int attempt = 0;; ++attempt) {
    path_ = base / (prefix + std::to_string(::getpid()) + "-" + std::to_string(attempt));
    if (fs::create_directory(path_, error)) break;
    if (error) throw fs::filesystem_error("cannot make a scratch folder", path_, error);
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code error;
  fs::remove_all(path_, error);
}

}  // namespace medium
