// Our SZDD coder against libmspack's expansion and our own expander: every file must come
// back byte for byte.
#include <gtest/gtest.h>
#include <mspack.h>

#include <random>

#include "platform/SzddHeader.h"
#include "tests/tools/MediumFolder.h"
#include "tools/medium/Szdd.h"

namespace {

using medium::testing::ScratchDir;

std::string Random(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// Text-like data: words from a small vocabulary, as program files and help texts are.
std::string Words(std::size_t size, unsigned seed) {
  static const char* kWords[] = {"setup ",    "install ", "the ", "file ", "window ", "\r\n",
                                 "registry ", "0x00 ",    "DLL ", "a ",    "of ",     "program "};
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) bytes += kWords[random() % 12];
  bytes.resize(size);
  return bytes;
}

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

struct Sample {
  std::string name;
  std::string data;
};

std::vector<Sample> Samples() {
  std::vector<Sample> samples = {{"empty", ""}};
  for (std::size_t n = 1; n <= 16; ++n)
    samples.push_back({"short " + std::to_string(n), Words(n, n)});
  samples.push_back({"one byte repeated", std::string(100000, 'a')});
  samples.push_back({"spaces (the ring's fill)", std::string(5000, ' ')});
  samples.push_back({"two-byte pattern", [] {
                       std::string s;
                       for (int i = 0; i < 20000; ++i) s += (i % 2) ? "\x00" : "\xFF";
                       return s;
                     }()});
  samples.push_back({"random 100 KiB", Random(100000, 7)});
  samples.push_back({"words 200 KiB", Words(200000, 3)});
  for (std::size_t n : {4078, 4079, 4080, 4095, 4096, 4097, 4113, 8192, 8193})
    samples.push_back(
        {"words around the window " + std::to_string(n), Words(n, static_cast<unsigned>(n))});
  // A block repeated just inside and just past the reach of a match.
  const std::string block = Random(4070, 11);
  samples.push_back(
      {"block repeated at the reach", block + Random(8, 12) + block + Random(30, 13) + block});
  return samples;
}

TEST(Szdd, LibmspackAndOurExpanderGiveBackEveryFile) {
  ScratchDir dir("szdd-roundtrip");
  for (const Sample& sample : Samples()) {
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
  const std::string random = Random(80000, 5);
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
