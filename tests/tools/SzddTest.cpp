// Our SZDD coder against libmspack's expansion and our own expander: every file must come
// back byte for byte.
#include <gtest/gtest.h>
#include <mspack.h>

#include "platform/SzddHeader.h"
#include "tests/tools/MediumFolder.h"
#include "tests/tools/SzddSamples.h"
#include "tools/medium/Szdd.h"

namespace {

using medium::testing::RandomBytes;
using medium::testing::ScratchDir;
using medium::testing::SzddSample;
using medium::testing::SzddSamples;
using medium::testing::Words;

std::string ExpandWithMspack(const ScratchDir& dir, const std::string& compressed) {
  dir.Put("in", compressed);
  msszdd_decompressor* szdd = mspack_create_szdd_decompressor(nullptr);
  msszddd_header* header = szdd->open(szdd, (dir.path() / "in").c_str());
  EXPECT_NE(header, nullptr);
  if (header == nullptr) {
    mspack_destroy_szdd_decompressor(szdd);
    return "<no header>";
  }
  const int error = szdd->extract(szdd, header, (dir.path() / "out").c_str());
  szdd->close(szdd, header);
  mspack_destroy_szdd_decompressor(szdd);
  EXPECT_EQ(error, MSPACK_ERR_OK);
  return dir.Read("out");
}

TEST(Szdd, LibmspackAndOurExpanderGiveBackEveryFile) {
  ScratchDir dir("szdd-roundtrip");
  for (const SzddSample& sample : SzddSamples()) {
    SCOPED_TRACE(sample.name);
    const std::string compressed = medium::CompressSzdd(sample.data, 'E');
    const std::optional<platform::SzddHeader> header = platform::ReadSzddHeader(compressed);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->expandedLength, sample.data.size());
    EXPECT_EQ(header->lastNameLetter, 'E');
    EXPECT_TRUE(ExpandWithMspack(dir, compressed) == sample.data);
    const medium::SzddExpansion ours = medium::ExpandSzdd(compressed);
    EXPECT_TRUE(ours.headerOk && ours.streamOk);
    EXPECT_EQ(ours.expandedLength, sample.data.size());
    EXPECT_TRUE(ours.bytes == sample.data);
  }
}

TEST(Szdd, RepetitiveDataShrinksAndRandomDataGrowsByTheControlBytesOnly) {
  EXPECT_LT(medium::CompressSzdd(std::string(100000, 'a'), 0).size(), 100000u / 8);
  const std::string random = RandomBytes(80000, 5);
  EXPECT_LE(medium::CompressSzdd(random, 0).size(), 14 + random.size() + random.size() / 8 + 1);
}

TEST(Szdd, ExpanderTellsACutShortOrOverlongStream) {
  const std::string data = Words(20000, 9);
  const std::string whole = medium::CompressSzdd(data, 0);
  const medium::SzddExpansion cut = medium::ExpandSzdd(whole.substr(0, whole.size() / 2));
  EXPECT_TRUE(cut.headerOk);
  EXPECT_LT(cut.expandedLength, cut.declaredLength);
  const medium::SzddExpansion longer = medium::ExpandSzdd(whole +
                                                          "\xFF"
                                                          "abcdefgh");
  EXPECT_GT(longer.expandedLength, longer.declaredLength);
  EXPECT_FALSE(medium::ExpandSzdd(whole.substr(0, 12)).headerOk);
}

}  // namespace
