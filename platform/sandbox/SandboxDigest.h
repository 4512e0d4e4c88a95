// Digests on the host: SHA-256 from the system's nettle library.
#pragma once

#include "platform/Digest.h"

namespace sandbox {

class SandboxDigest : public platform::Digest {
 public:
  std::optional<std::string> Sha256Hex(std::string_view bytes) override;
};

}  // namespace sandbox
