#include "platform/SzddHeader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Header(char method, char letter, std::uint32_t length) {
  std::string bytes = "SZDD\x88\xF0\x27\x33";
  bytes += method;
  bytes += letter;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((length >> (8 * i)) & 0xFF);
  return bytes;
}

TEST(SzddHeader, ReadsTheExpandedLengthLittleEndian) {
  auto header = platform::ReadSzddHeader(Header('A', 'e', 0x89ABCDEFu) + "payload");
  ASSERT_TRUE(header);
  EXPECT_EQ(header->expandedLength, 0x89ABCDEFu);
  EXPECT_EQ(header->lastNameLetter, 'e');
}

TEST(SzddHeader, RefusesWhatIsNoWholeHeader) {
  const std::string good = Header('A', 'x', 5);
  struct Case {
    const char* name;
    std::string bytes;
    bool signature;
  } cases[] = {
      {"empty", "", false},
      {"plain text", "MZ plain file of some length", false},
      {"signature only", good.substr(0, 8), true},
      {"cut in the length", good.substr(0, 13), true},
      {"unknown method", Header('B', 'x', 5), true},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(platform::ReadSzddHeader(c.bytes)) << c.name;
    EXPECT_EQ(platform::HasSzddSignature(c.bytes), c.signature) << c.name;
  }
}

}  // namespace
