// A folder of the tool's own under the host's temporary directory, removed with what it
// holds when it goes out of scope.
#pragma once

#include <filesystem>
#include <string>

namespace medium {

class ScratchFolder {
 public:
  // Makes TEMP/<prefix><pid>-<n>; throws std::filesystem::filesystem_error when no folder
  // can be made there.
  explicit ScratchFolder(const std::string& prefix);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace medium
