// LZ expansion on the emulated machine: SZDD-compressed files are expanded with libmspack,
// every other file is delivered as it is.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/Lz.h"

namespace sandbox {

// LZRead's error codes (the LZERROR_... values of lz32).
constexpr std::int32_t kLzErrorRead = -3;
constexpr std::int32_t kLzErrorBadValue = -7;

// True when `bytes` begins with the eight-byte SZDD signature.
bool HasSzddSignature(const std::string& bytes);

// Result of expanding one SZDD image in memory.
struct SzddExpansion {
  enum class Status {
    Expanded,   // `bytes` holds the expanded data
    BadHeader,  // the header is short or names an unknown method: lz32 refuses the open
    BadStream,  // the header was read but the data could not be expanded
  };
  Status status = Status::BadHeader;
  std::string bytes;
};

// Expands a whole SZDD image with libmspack; the data is cut to the length the header
// declares, as lz32 delivers no more than that.
SzddExpansion ExpandSzdd(const std::string& compressed);

class SandboxLz : public platform::Lz {
 public:
  explicit SandboxLz(platform::Files& files) : files_(files) {}
  // Opens the file for reading with deny-write sharing and keeps it open while the
  // expanded file lives, so that nobody can change it meanwhile.
  std::unique_ptr<platform::LzFile> Open(const std::string& path) override;

 private:
  platform::Files& files_;
};

}  // namespace sandbox
