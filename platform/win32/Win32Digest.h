// Digests by the system's own cryptographic provider (CryptoAPI in advapi32).
#pragma once

#include "platform/Digest.h"

namespace win32 {

class Win32Digest final : public platform::Digest {
 public:
  std::optional<std::string> Sha256Hex(std::string_view bytes) override;
};

}  // namespace win32
