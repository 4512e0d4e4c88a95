// Whether a file (not a directory) is at a path, as the engine's steps ask before they act.
#pragma once

#include <string>

#include "platform/Files.h"

namespace engine {

// True when `path` names an existing file; a directory of that name does not count.
inline bool FileExists(platform::Files& files, const std::string& path) {
  const std::uint32_t attributes = files.GetAttributes(path);
  return attributes != platform::kInvalidFileAttributes &&
         (attributes & platform::kFileAttributeDirectory) == 0;
}

}  // namespace engine
