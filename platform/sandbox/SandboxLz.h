// LZ expansion on the emulated machine: SZDD-compressed files are expanded with libmspack
// while they are read, every other file is delivered as it is.
#pragma once

#include <memory>
#include <string>

#include "platform/Files.h"
#include "platform/Lz.h"

namespace sandbox {

// LZRead's error codes (the LZERROR_... values of lz32).
constexpr std::int32_t kLzErrorRead = -3;
constexpr std::int32_t kLzErrorBadValue = -7;

class SandboxLz : public platform::Lz {
 public:
  explicit SandboxLz(platform::Files& files) : files_(files) {}
  // Opens the file for reading with deny-write sharing and keeps it open while the
  // expanded file lives, so that nobody can change it meanwhile. A compressed file is
  // expanded by a worker thread of its own that runs at most a few blocks ahead of the
  // reader, so memory stays bounded whatever the file's size. Null when the file cannot be
  // opened or its SZDD header is short or names an unknown method; damage met further on
  // makes the read that reaches it fail.
  std::unique_ptr<platform::LzFile> Open(const std::string& path) override;

 private:
  platform::Files& files_;
};

}  // namespace sandbox
