// LZ expansion (lz32): compressed files are expanded while read, plain files pass through.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class LzFile {
 public:
  virtual ~LzFile() = default;
  // LZRead: up to `size` expanded bytes; the count read (0 at the end), or negative on error.
  virtual std::int32_t Read(void* buffer, std::int32_t size) = 0;
};

class Lz {
 public:
  virtual ~Lz() = default;
  // LZOpenFileA with OF_READ | OF_SHARE_DENY_WRITE. Null when the file cannot be opened.
  virtual std::unique_ptr<LzFile> Open(const std::string& path) = 0;
};

}  // namespace platform
