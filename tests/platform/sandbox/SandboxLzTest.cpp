#include "platform/sandbox/SandboxLz.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/platform/sandbox/TestFileStore.h"

namespace sandbox {
namespace {

const char kSignature[] = "SZDD\x88\xF0\x27\x33";

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Compresses `bytes` with Debian's mscompress, the tool that makes the test media.
// Fails the test (not skips it) when the tool is missing: CI installs it.
std::string Compress(const std::string& bytes) {
  if (std::system("command -v mscompress >/dev/null 2>&1") != 0) {
    ADD_FAILURE() << "mscompress is not on PATH: install the Debian package mscompress";
    return {};
  }
  static int counter = 0;
  const auto dir = std::filesystem::temp_directory_path() /
                   ("lz-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "payload", std::ios::binary) << bytes;
  const std::string command = "cd '" + dir.string() + "' && mscompress payload";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::string compressed = ReadHostFile(dir / "payload_");
  std::filesystem::remove_all(dir);
  return compressed;
}

// An SZDD image made of literal bytes only (every flag bit set), declaring `declared` as
// the expanded length: the smallest valid stream, and one that mscompress cannot make for
// inputs under 16 bytes.
std::string LiteralSzdd(const std::string& bytes, std::uint32_t declared) {
  std::string out(kSignature, 8);
  out += 'A';
  out += '\0';
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>(declared >> shift);
  for (std::size_t i = 0; i < bytes.size(); i += 8) {
    out += '\xFF';
    out += bytes.substr(i, 8);
  }
  return out;
}

// Every byte the file delivers, read in blocks of `blockSize` until a read gives 0 or fails.
struct Drained {
  std::string bytes;
  std::int32_t lastResult = 0;
  int reads = 0;
};

Drained Drain(platform::LzFile& file, std::int32_t blockSize = 8192) {
  Drained drained;
  std::string block(static_cast<std::size_t>(blockSize), '\0');
  // Bounded so that a reader that never reaches its end fails instead of hanging.
  while (drained.reads < 100000) {
    ++drained.reads;
    drained.lastResult = file.Read(block.data(), blockSize);
    if (drained.lastResult <= 0) break;
    drained.bytes.append(block.data(), static_cast<std::size_t>(drained.lastResult));
  }
  return drained;
}

// Text-like runs, repeats and noise, so that the compressor uses both literals and matches.
std::string VariedContent(std::size_t size) {
  std::string out;
  std::uint32_t seed = 12345;
  while (out.size() < size) {
    seed = seed * 1103515245u + 12345u;
    switch ((seed >> 16) % 3) {
      case 0:
        out += "[AddItem(\"C:\\Demo\\demo.exe\",\"Demo\",,,,,\"C:\\Demo\")]\r\n";
        break;
      case 1:
        out.append((seed >> 8) % 300, static_cast<char>(seed >> 24));
        break;
      default:
        for (int i = 0; i < 64; ++i) {
          seed = seed * 1103515245u + 12345u;
          out += static_cast<char>(seed >> 16);
        }
    }
  }
  out.resize(size);
  return out;
}

TEST(SandboxLz, ExpandsCompressedFilesByteForByte) {
  struct Case {
    const char* name;
    std::size_t size;
  };
  // mscompress mangles inputs below 16 bytes, so the round trip starts at 16.
  const Case cases[] = {
      {"smallest that mscompress keeps", 16}, {"one odd byte more", 17}, {"a few kilobytes", 3000},
      {"exactly two blocks", 16384},          {"several blocks", 50000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string original = VariedContent(c.size);
    const std::string compressed = Compress(original);
    ASSERT_EQ(compressed.compare(0, 8, kSignature), 0);
    TestFileStore files;
    files.Put("D:\\DISK1\\DATA.BI_", compressed);
    SandboxLz lz(files);
    auto file = lz.Open("d:\\disk1\\data.bi_");
    ASSERT_NE(file, nullptr);
    const Drained drained = Drain(*file);
    EXPECT_EQ(drained.lastResult, 0);
    EXPECT_EQ(drained.bytes.size(), original.size());
    EXPECT_TRUE(drained.bytes == original);
    EXPECT_EQ(drained.reads, static_cast<int>(c.size / 8192 + 1 + (c.size % 8192 != 0)));
    EXPECT_EQ(file->Read(nullptr, 0), 0);
  }
}

TEST(SandboxLz, ShortFilesExpandToTheirDeclaredLength) {
  struct Case {
    const char* name;
    std::string literals;
    std::uint32_t declared;
    std::string expected;
  };
  const Case cases[] = {
      {"empty stream", "", 0, ""},
      {"one byte", "x", 1, "x"},
      {"fifteen bytes", "hello world, hi", 15, "hello world, hi"},
      {"stream longer than declared is cut", "abcdefghij", 4, "abcd"},
      {"stream shorter than declared ends early", "abc", 100, "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestFileStore files;
    files.Put("C:\\A.TX_", LiteralSzdd(c.literals, c.declared));
    SandboxLz lz(files);
    auto file = lz.Open("C:\\A.TX_");
    ASSERT_NE(file, nullptr);
    const Drained drained = Drain(*file);
    EXPECT_EQ(drained.lastResult, 0);
    EXPECT_EQ(drained.bytes, c.expected);
  }
}

TEST(SandboxLz, ShortFilesFromMscompressKeepTheirLength) {
  // mscompress shifts the bytes of inputs under 16 bytes, but it writes the true length in
  // the header, which is all that the expansion can be held to here.
  for (const std::string& original : {std::string(), std::string("a"), std::string(15, 'q')}) {
    SCOPED_TRACE("size " + std::to_string(original.size()));
    TestFileStore files;
    files.Put("C:\\SHORT._", Compress(original));
    SandboxLz lz(files);
    auto file = lz.Open("C:\\SHORT._");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(Drain(*file).bytes.size(), original.size());
  }
}

TEST(SandboxLz, PassesPlainFilesThroughUnchanged) {
  struct Case {
    const char* name;
    std::string bytes;
    std::int32_t blockSize;
  };
  const Case cases[] = {
      {"empty file", "", 8192},
      {"shorter than the signature", "MZ\x90", 8192},
      {"signature cut short", std::string(kSignature, 7), 8192},
      {"signature in the middle", "xx" + std::string(kSignature, 8) + "A", 8192},
      {"several blocks", VariedContent(20000), 8192},
      {"blocks smaller than the signature", VariedContent(100), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestFileStore files;
    files.Put("C:\\PLAIN.DAT", c.bytes);
    SandboxLz lz(files);
    auto file = lz.Open("C:\\PLAIN.DAT");
    ASSERT_NE(file, nullptr);
    const Drained drained = Drain(*file, c.blockSize);
    EXPECT_EQ(drained.lastResult, 0);
    EXPECT_TRUE(drained.bytes == c.bytes) << drained.bytes.size() << " bytes delivered";
  }
}

TEST(SandboxLz, OpensForReadingAndDeniesWritersUntilClosed) {
  TestFileStore files;
  files.Put("C:\\A.DAT", "plain");
  files.Put("C:\\B.DA_", LiteralSzdd("packed", 6));
  SandboxLz lz(files);
  for (const char* path : {"C:\\A.DAT", "C:\\B.DA_"}) {
    SCOPED_TRACE(path);
    auto file = lz.Open(path);
    ASSERT_NE(file, nullptr);
    const auto& call = files.Opens().back();
    EXPECT_EQ(call.access, platform::kGenericRead);
    EXPECT_EQ(call.share, platform::kFileShareRead);
    EXPECT_EQ(call.disposition, platform::Disposition::OpenExisting);
    Drain(*file);
    EXPECT_EQ(files.OpenCount(), 1) << "the file is held open until the LZ file is closed";
    file.reset();
    EXPECT_EQ(files.OpenCount(), 0);
  }
}

TEST(SandboxLz, RefusesMissingAndDamagedFilesWithoutHanging) {
  const std::string good = LiteralSzdd("some packed text", 16);
  std::string wrongMethod = good;
  wrongMethod[8] = 'B';
  std::string hugeLength = LiteralSzdd("abc", 0xFFFFFFFFu);
  std::string garbage = good.substr(0, 14);
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>(i * 7919 % 251);

  struct Case {
    const char* name;
    std::string bytes;
    bool opens;
  };
  const Case cases[] = {
      {"header cut short", good.substr(0, 11), false},
      {"unknown method", wrongMethod, false},
      {"stream cut in the middle", good.substr(0, 20), true},
      {"declared length far too large", hugeLength, true},
      {"noise after a valid header", garbage, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestFileStore files;
    files.Put("C:\\BAD._", c.bytes);
    SandboxLz lz(files);
    auto file = lz.Open("C:\\BAD._");
    ASSERT_EQ(file != nullptr, c.opens);
    if (!file) continue;
    const Drained drained = Drain(*file);
    EXPECT_LE(drained.lastResult, 0);
    EXPECT_LT(drained.reads, 100) << "the reader did not come to an end";
  }

  TestFileStore files;
  SandboxLz lz(files);
  EXPECT_EQ(lz.Open("C:\\MISSING.DAT"), nullptr);
}

TEST(SandboxLz, ReportsFailingReadsOfTheUnderlyingFile) {
  TestFileStore files;
  files.Put("C:\\PLAIN.DAT", VariedContent(20000));
  files.FailReadsAfter("C:\\PLAIN.DAT", 10000);
  files.Put("C:\\PACKED._", LiteralSzdd(VariedContent(100), 100));
  files.FailReadsAfter("C:\\PACKED._", 40);
  SandboxLz lz(files);

  auto plain = lz.Open("C:\\PLAIN.DAT");
  ASSERT_NE(plain, nullptr);
  const Drained drained = Drain(*plain);
  EXPECT_EQ(drained.bytes.size(), 10000u);
  EXPECT_LT(drained.lastResult, 0);

  EXPECT_EQ(lz.Open("C:\\PACKED._"), nullptr) << "a compressed file is read whole when opened";
}

}  // namespace
}  // namespace sandbox
