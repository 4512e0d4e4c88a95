#include "platform/sandbox/SandboxDigest.h"

#include <gtest/gtest.h>

#include <string>

namespace sandbox {
namespace {

// The standard test vectors of SHA-256, and one longer than a block of the library.
TEST(SandboxDigest, Sha256OfTheStandardVectors) {
  struct Case {
    std::string bytes;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      {std::string("\0\x84\x94\r\n", 5), nullptr},
  };
  SandboxDigest digest;
  for (const Case& c : cases) {
    const std::optional<std::string> hex = digest.Sha256Hex(c.bytes);
    ASSERT_TRUE(hex) << c.bytes.size();
    if (c.digest != nullptr) {
      EXPECT_EQ(*hex, c.digest) << c.bytes.size();
    }
    EXPECT_EQ(hex->size(), 64u);
  }
}

}  // namespace
}  // namespace sandbox
