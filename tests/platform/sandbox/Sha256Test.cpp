// The programs' own SHA-256 against the standard vectors and against nettle, the reference
// the sandbox computes its digests with.
#include "platform/Sha256.h"

#include <gtest/gtest.h>
#include <nettle/sha2.h>

#include <string>
#include <vector>

#include "platform/sandbox/SandboxDigest.h"

namespace {

// The reference: the sandbox's digest, computed by nettle.
std::string NettleHex(std::string_view bytes) {
  return sandbox::SandboxDigest().Sha256Hex(bytes).value();
}

// Bytes that differ from block to block and use all 256 values.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 167 + i / 251) & 0xFF);
  return bytes;
}

TEST(Sha256, TheStandardVectors) {
  const struct {
    std::string bytes;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlm"
       "nopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::Sha256Hex(c.bytes), c.digest) << c.bytes.size();
}

// Every length up to four blocks, where the padding takes one block or two, given whole and
// in pieces that straddle the blocks in every way.
TEST(Sha256, EveryShortLengthAsNettleGivesIt) {
  const std::string bytes = Pattern(4 * 64 + 2);
  for (std::size_t size = 0; size <= bytes.size(); ++size) {
    const std::string_view message = std::string_view(bytes).substr(0, size);
    const std::string expected = NettleHex(message);
    EXPECT_EQ(platform::Sha256Hex(message), expected) << size;
    for (std::size_t piece : {1u, 7u, 63u, 64u, 65u}) {
      platform::Sha256 hash;
      for (std::size_t at = 0; at < size; at += piece) hash.Update(message.substr(at, piece));
      const auto digest = hash.Finish();
      EXPECT_EQ(platform::HexDigits(digest.data(), digest.size()), expected)
          << size << " in pieces of " << piece;
    }
  }
}

// A message past 512 MiB, where a 32-bit count of its bits would wrap round.
TEST(Sha256, ALargeMessageAsNettleGivesIt) {
  const std::string block = Pattern(1 << 20);
  const std::size_t size = (std::size_t{1} << 29) + 3 * 64 + 5;
  platform::Sha256 ours;
  sha256_ctx reference;
  sha256_init(&reference);
  for (std::size_t at = 0; at < size; at += block.size()) {
    const std::string_view piece =
        std::string_view(block).substr(0, std::min(block.size(), size - at));
    ours.Update(piece);
    sha256_update(&reference, piece.size(), reinterpret_cast<const std::uint8_t*>(piece.data()));
  }
  unsigned char expected[SHA256_DIGEST_SIZE];
  sha256_digest(&reference, SHA256_DIGEST_SIZE, expected);
  const auto digest = ours.Finish();
  EXPECT_EQ(platform::HexDigits(digest.data(), digest.size()),
            platform::HexDigits(expected, sizeof expected));
}

}  // namespace
