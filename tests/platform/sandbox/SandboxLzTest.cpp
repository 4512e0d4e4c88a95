#include "platform/sandbox/SandboxLz.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

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

TEST(SandboxLz, ShortFilesExpandToTheWholeStream) {
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
      {"stream longer than declared is delivered whole, as lz32 does", "abcdefghij", 4,
       "abcdefghij"},
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

TEST(SandboxLz, AnEmptyFileFromMscompressGivesTheByteItsStreamHolds) {
  // mscompress writes one literal byte for an empty input while the header declares 0.
  // lz32 delivers the stream, not the declared length, and so must the sandbox: the copy
  // then finds the file longer than declared and refuses it, as the real program does.
  TestFileStore files;
  files.Put("C:\\EMPTY._", Compress(""));
  SandboxLz lz(files);
  auto file = lz.Open("C:\\EMPTY._");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Drain(*file).bytes, std::string(1, '\0'));
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
  SandboxLz lz(files);

  auto plain = lz.Open("C:\\PLAIN.DAT");
  ASSERT_NE(plain, nullptr);
  const Drained drained = Drain(*plain);
  EXPECT_EQ(drained.bytes.size(), 10000u);
  EXPECT_LT(drained.lastResult, 0);

  // The header is read when the file is opened; the data only as it is expanded.
  const std::string content = VariedContent(100);
  struct Case {
    const char* name;
    std::size_t failAfter;
    bool opens;
  };
  const Case cases[] = {
      {"inside the header", 10, false},
      {"just after the header", 14, true},
      {"in the middle of the data", 40, true},
      {"on a group boundary", 14 + 9 * 5, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    files.Put("C:\\PACKED._", LiteralSzdd(content, 100));
    files.FailReadsAfter("C:\\PACKED._", c.failAfter);
    auto packed = lz.Open("C:\\PACKED._");
    ASSERT_EQ(packed != nullptr, c.opens);
    if (!packed) continue;
    const Drained unpacked = Drain(*packed);
    EXPECT_EQ(unpacked.lastResult, kLzErrorRead);
    EXPECT_LT(unpacked.bytes.size(), content.size());
    EXPECT_EQ(unpacked.bytes, content.substr(0, unpacked.bytes.size()))
        << "what comes before the failure is the file's own bytes";
    char byte = 0;
    EXPECT_EQ(packed->Read(&byte, 1), kLzErrorRead) << "reads after a failure keep failing";
  }
}

// The expanded byte at `index` of a generated file. It depends on the index's high bits
// too, so that a block delivered twice or out of order shows.
char GeneratedByte(std::uint64_t index) {
  return static_cast<char>(index * 7 + (index >> 13) * 13);
}

// An SZDD file of literal groups made while it is read, so that a file of any size costs
// the test no memory. It counts the compressed bytes read so far and whether it is open;
// both are read while the expansion's thread reads the file.
struct GeneratedCounters {
  std::atomic<std::uint64_t> consumed = 0;
  std::atomic<int> open = 0;
};

class GeneratedSzddFile : public platform::File {
 public:
  // `length` must be a multiple of 8: whole groups only.
  GeneratedSzddFile(std::uint32_t length, std::shared_ptr<GeneratedCounters> counters)
      : header_(LiteralSzdd("", length)),
        size_(header_.size() + length / 8 * 9),
        counters_(std::move(counters)) {
    ++counters_->open;
  }
  ~GeneratedSzddFile() override { --counters_->open; }
  std::int64_t Read(void* buffer, std::uint32_t size) override {
    char* out = static_cast<char*>(buffer);
    const std::uint64_t count = std::min<std::uint64_t>(size, size_ - position_);
    for (std::uint64_t i = 0; i < count; ++i, ++position_) {
      if (position_ < header_.size()) {
        out[i] = header_[position_];
        continue;
      }
      const std::uint64_t data = position_ - header_.size();
      out[i] = data % 9 == 0 ? '\xFF' : GeneratedByte(data / 9 * 8 + data % 9 - 1);
    }
    counters_->consumed += count;
    return static_cast<std::int64_t>(count);
  }
  std::int64_t Write(const void*, std::uint32_t) override { return -1; }
  bool SetLastWriteTime(platform::FileTime) override { return false; }

 private:
  std::string header_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
  std::shared_ptr<GeneratedCounters> counters_;
};

// Every path opens a generated file of `length` expanded bytes.
class GeneratedStore : public TestFileStore {
 public:
  explicit GeneratedStore(std::uint32_t length) : length_(length) {}
  std::unique_ptr<platform::File> Open(const std::string&, std::uint32_t, std::uint32_t,
                                       platform::Disposition, std::uint32_t) override {
    return std::make_unique<GeneratedSzddFile>(length_, counters_);
  }
  const GeneratedCounters& Counters() const { return *counters_; }

 private:
  std::uint32_t length_;
  std::shared_ptr<GeneratedCounters> counters_ = std::make_shared<GeneratedCounters>();
};

// How far the expansion has read ahead of what the reader was given, in compressed bytes
// (a literal group is 9 bytes for 8 expanded ones).
std::int64_t AheadOfReader(const GeneratedCounters& counters, std::uint64_t delivered) {
  return static_cast<std::int64_t>(counters.consumed) -
         static_cast<std::int64_t>(14 + delivered / 8 * 9);
}

// What an open compressed file may hold between the bytes it has read and those it has
// delivered: a few blocks, however large the file.
constexpr std::int64_t kMostAhead = 1 << 20;

TEST(SandboxLz, ExpandsLargeFilesOnlyAFewBlocksAheadOfTheReader) {
  constexpr std::uint32_t kLength = 64u << 20;
  GeneratedStore files(kLength);
  SandboxLz lz(files);
  auto file = lz.Open("D:\\HUGE.BI_");
  ASSERT_NE(file, nullptr);

  std::vector<char> block(8192);
  std::uint64_t delivered = 0;
  std::int64_t mostAhead = 0;
  std::optional<std::uint64_t> firstWrong;
  std::int32_t count = 0;
  for (bool first = true; (count = file->Read(block.data(), 8192)) > 0; first = false) {
    for (std::int32_t i = 0; i < count && !firstWrong; ++i) {
      if (block[static_cast<std::size_t>(i)] != GeneratedByte(delivered + i))
        firstWrong = delivered + i;
    }
    delivered += static_cast<std::uint64_t>(count);
    // A reader that stops for a while after its first block: the expansion must wait for
    // it rather than run on through the file.
    if (first) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    mostAhead = std::max(mostAhead, AheadOfReader(files.Counters(), delivered));
  }
  EXPECT_EQ(count, 0);
  EXPECT_EQ(delivered, kLength);
  EXPECT_FALSE(firstWrong) << "first wrong byte at " << firstWrong.value_or(0);
  EXPECT_LE(mostAhead, kMostAhead);
}

TEST(SandboxLz, ClosingBeforeTheEndStopsTheExpansionAndClosesTheFile) {
  struct Case {
    const char* name;
    int reads;
  };
  const Case cases[] = {{"closed unread", 0}, {"closed after one read", 1}, {"closed midway", 500}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GeneratedStore files(64u << 20);
    SandboxLz lz(files);
    auto file = lz.Open("D:\\HUGE.BI_");
    ASSERT_NE(file, nullptr);
    std::vector<char> block(8192);
    std::uint64_t delivered = 0;
    for (int i = 0; i < c.reads; ++i)
      delivered += static_cast<std::uint64_t>(file->Read(block.data(), 8192));
    // Gives the expansion time to fill its queue and wait, the case the close must end.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    file.reset();
    EXPECT_EQ(files.Counters().open, 0);
    EXPECT_LE(AheadOfReader(files.Counters(), delivered), kMostAhead);
  }
}

}  // namespace
}  // namespace sandbox
