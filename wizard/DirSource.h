// The file system as the directory list and the drive list of the browse dialog see it,
// read through the platform's services.
#pragma once

#include <string>
#include <vector>

#include "forms/DirControls.h"
#include "platform/Platform.h"

class PlatformDirectorySource : public forms::DirectorySource {
 public:
  // `platform` must outlive the source.
  explicit PlatformDirectorySource(platform::Platform& platform) : platform_(platform) {}

  std::string CurrentDirectory() override;
  bool ChangeDirectory(const std::string& path, std::string& error) override;
  // Plain and read-only subdirectories, sorted by name; hidden and system ones are left out.
  std::vector<std::string> SubDirectories(const std::string& directory) override;
  std::vector<forms::DriveEntry> Drives() override;

 private:
  platform::Platform& platform_;
};

// True when `path` names an existing directory.
bool DirectoryExists(platform::Files& files, const std::string& path);

// Creates a directory with all its missing parents (a trailing backslash is ignored); true
// when it exists afterwards. An empty path throws std::runtime_error "Unable to create
// directory". Each directory it made is added to `made`, outermost first, so that the
// installation can take it back with the rest.
bool ForceDirectories(platform::Files& files, const std::string& path,
                      std::vector<std::string>& made);
