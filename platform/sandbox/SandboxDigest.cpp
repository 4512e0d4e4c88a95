#include "platform/sandbox/SandboxDigest.h"

#include <nettle/sha2.h>

namespace sandbox {

std::optional<std::string> SandboxDigest::Sha256Hex(std::string_view bytes) {
  sha256_ctx context;
  sha256_init(&context);
  sha256_update(&context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
  unsigned char digest[SHA256_DIGEST_SIZE];
  sha256_digest(&context, SHA256_DIGEST_SIZE, digest);
  return platform::HexDigits(digest, sizeof digest);
}

}  // namespace sandbox
