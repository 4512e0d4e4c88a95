// The path routines and the two copy routines on the sandbox machine.
#include "engine/FileUtil32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/SzddHeader.h"
#include "tests/engine/CopyHarness.h"

namespace {

using copy_test::At;
using copy_test::CopyHarness;
using engine::CopyResult;

TEST(PathRoutines, TrimDirAndDirWithSlash) {
  struct Case {
    const char* text;
    const char* trimmed;
    const char* withSlash;
  };
  const Case cases[] = {
      {"  C:\\Program Files\\App\\  ", "C:\\Program Files\\App", "C:\\Program Files\\App\\"},
      {"C:\\", "C:", "C:\\"},
      {"C:", "C:", "C:\\"},
      {"C:\\A\\\\", "C:\\A\\", "C:\\A\\\\"},
      {"   ", "", ""},
      {"", "", ""},
      {"\tC:\\A\t", "\tC:\\A\t", "\tC:\\A\t\\"},  // only blanks are trimmed
      {"\\", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(engine::TrimDir(c.text), c.trimmed) << "TrimDir of [" << c.text << "]";
    EXPECT_EQ(engine::DirWithSlash(c.text), c.withSlash) << "DirWithSlash of [" << c.text << "]";
  }
}

TEST(PathRoutines, DirectoryAndFileNameParts) {
  EXPECT_EQ(engine::DirectoryPart("D:\\help\\demo.hlp"), "D:\\help\\");
  EXPECT_EQ(engine::FileNamePart("D:\\help\\demo.hlp"), "demo.hlp");
  EXPECT_EQ(engine::DirectoryPart("D:demo.hlp"), "D:");
  EXPECT_EQ(engine::FileNamePart("D:demo.hlp"), "demo.hlp");
  EXPECT_EQ(engine::DirectoryPart("demo.hlp"), "");
  EXPECT_EQ(engine::FileNamePart("demo.hlp"), "demo.hlp");
}

// A copy context over the harness's machine that counts the message pumps.
struct Counted {
  std::int64_t bytes = 0;
  int pumps = 0;
  engine::CopyContext context;
  explicit Counted(CopyHarness& h)
      : context{h.platform().files,  h.platform().lz, h.platform().clock,
                h.platform().system, bytes,           [this] { ++pumps; }} {}
};

TEST(CopyPlainFile, BlockBoundariesAndEmptyFiles) {
  struct Case {
    const char* name;
    std::size_t size;
    int pumps;  // one per read, the last one short
  };
  const Case cases[] = {
      {"empty", 0, 1},
      {"one byte", 1, 1},
      {"exactly one block", 8192, 2},
      {"one block and one", 8193, 2},
      {"three blocks", 3 * 8192, 4},
      {"large", 100000, 13},
  };
  for (const Case& c : cases) {
    CopyHarness h;
    std::string bytes(c.size, '\0');
    for (std::size_t i = 0; i < c.size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    h.PutFile("D:\\SRC.BIN", bytes);
    Counted copy(h);
    EXPECT_EQ(engine::CopyPlainFile(copy.context, "D:\\SRC.BIN", "C:\\NEW\\DEEP\\DST.BIN"),
              CopyResult::CopyOk)
        << c.name;
    EXPECT_EQ(h.ReadFile("C:\\NEW\\DEEP\\DST.BIN"), bytes) << c.name;
    EXPECT_EQ(copy.bytes, static_cast<std::int64_t>(c.size)) << c.name;
    EXPECT_EQ(copy.pumps, c.pumps) << c.name;
  }
}

TEST(CopyPlainFile, StampsTheCopyWithTheTimeOfCopying) {
  CopyHarness h;
  h.PutFile("D:\\SRC.BIN", "data");
  h.SetFileTime("D:\\SRC.BIN", At(2001, 5, 6, 7, 8, 10));
  h.machine().clock().SetFixedLocalTime(At(2024, 3, 1, 10, 20, 31));
  Counted copy(h);
  ASSERT_EQ(engine::CopyPlainFile(copy.context, "D:\\SRC.BIN", "C:\\DST.BIN"), CopyResult::CopyOk);
  platform::Files& files = h.platform().files;
  const platform::SystemTime copied = engine::FileDateOf(files, h.platform().clock, "C:\\DST.BIN");
  // Whole seconds, kept at the file system's two-second steps.
  EXPECT_EQ(copied.year, 2024);
  EXPECT_EQ(copied.minute, 20);
  EXPECT_LE(std::abs(copied.second - 31), 1);
  const platform::SystemTime source = engine::FileDateOf(files, h.platform().clock, "D:\\SRC.BIN");
  EXPECT_GT(engine::CompareDateTimes(copied, source), 0);
}

TEST(CopyPlainFile, FailuresOfEitherEnd) {
  CopyHarness h;
  h.PutFile("D:\\SRC.BIN", std::string(20000, 'x'));
  h.PutFile("C:\\WINDOWS\\BUSY.DLL", "old");
  h.machine().faults().filesInUse.insert("C:\\WINDOWS\\BUSY.DLL");
  Counted copy(h);
  EXPECT_EQ(engine::CopyPlainFile(copy.context, "D:\\NONE.BIN", "C:\\DST.BIN"),
            CopyResult::CopyNoSource);
  EXPECT_EQ(engine::CopyPlainFile(copy.context, "D:\\SRC.BIN", "C:\\WINDOWS\\BUSY.DLL"),
            CopyResult::CopyNoDestination);
  EXPECT_EQ(h.ReadFile("C:\\WINDOWS\\BUSY.DLL"), "old");

  // A disk that fills during the copy: the copy is not whole and says so.
  h.machine().faults().driveFillsAfter['C'] = 10000;
  EXPECT_EQ(engine::CopyPlainFile(copy.context, "D:\\SRC.BIN", "C:\\FULL.BIN"),
            CopyResult::CopyWriteFailed);
}

// Files in a folder of the machine, by name, for "nothing else was left there".
std::vector<std::string> NamesIn(CopyHarness& h, const std::string& folder) {
  std::vector<std::string> names;
  for (const platform::FindData& found : h.platform().files.Find(folder + "\\*.*")) {
    if (found.name != "." && found.name != "..") names.push_back(found.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void ReplacesOnlyByAWholeCopy(std::uint32_t platformId) {
  CopyHarness h("", platformId);
  h.PutFile("D:\\SRC.BIN", std::string(20000, 'n'));
  h.PutFile("C:\\APP\\LIB.DLL", "old library");
  h.PutFile("C:\\APP\\~TS00000.TMP", "the user's own file");
  const std::vector<std::string> before = {"LIB.DLL", "~TS00000.TMP"};
  Counted copy(h);

  // A disk that fills part way: the old file stays whole and nothing is left beside it.
  h.machine().faults().driveFillsAfter['C'] = 10000;
  EXPECT_EQ(engine::CopyPlainFile(copy.context, "D:\\SRC.BIN", "C:\\APP\\LIB.DLL"),
            CopyResult::CopyWriteFailed);
  EXPECT_EQ(h.ReadFile("C:\\APP\\LIB.DLL"), "old library");
  EXPECT_EQ(NamesIn(h, "C:\\APP"), before);

  // Hidden or system files are not written over with ordinary attributes.
  h.machine().faults().driveFillsAfter.clear();
  ASSERT_TRUE(h.platform().files.SetAttributes("C:\\APP\\LIB.DLL", platform::kFileAttributeSystem));
  EXPECT_EQ(engine::CopyPlainFile(copy.context, "D:\\SRC.BIN", "C:\\APP\\LIB.DLL"),
            CopyResult::CopyNoDestination);
  EXPECT_EQ(h.ReadFile("C:\\APP\\LIB.DLL"), "old library");
  ASSERT_TRUE(h.platform().files.SetAttributes("C:\\APP\\LIB.DLL", platform::kFileAttributeNormal));

  // With room enough the copy takes the old file's place under its name.
  EXPECT_EQ(engine::CopyPlainFile(copy.context, "D:\\SRC.BIN", "C:\\APP\\LIB.DLL"),
            CopyResult::CopyOk);
  EXPECT_EQ(h.ReadFile("C:\\APP\\LIB.DLL"), std::string(20000, 'n'));
  EXPECT_EQ(h.ReadFile("C:\\APP\\~TS00000.TMP"), "the user's own file");
  EXPECT_EQ(NamesIn(h, "C:\\APP"), before);
}

// On NT the copy takes the old file's name in one step; on the 95 family in three renames.
TEST(CopyPlainFile, AnExistingFileIsReplacedOnlyByAWholeCopy) {
  for (const std::uint32_t platformId : {platform::kPlatformWindows, platform::kPlatformWin32Nt}) {
    SCOPED_TRACE(platformId == platform::kPlatformWindows ? "95 family" : "NT");
    ReplacesOnlyByAWholeCopy(platformId);
  }
}

// An expansion that delivers one block and then fails, as a damaged compressed file does.
class FailingLz : public platform::Lz {
 public:
  std::unique_ptr<platform::LzFile> Open(const std::string&) override {
    struct File : platform::LzFile {
      int reads = 0;
      std::int32_t Read(void* buffer, std::int32_t size) override {
        if (reads++ > 0) return -5;
        std::memset(buffer, 'z', static_cast<std::size_t>(size));
        return size;
      }
    };
    return std::make_unique<File>();
  }
};

TEST(CopyExpandedFile, ASourceThatFailsPartWayIsNoCopy) {
  CopyHarness h;
  h.PutFile("C:\\APP\\DATA.DAT", "old data");
  FailingLz lz;
  Counted copy(h);
  engine::CopyContext context{h.platform().files,  lz,         h.platform().clock,
                              h.platform().system, copy.bytes, copy.context.pumpMessages};
  EXPECT_EQ(engine::CopyExpandedFile(context, "D:\\DATA.DA_", "C:\\APP\\DATA.DAT"),
            CopyResult::CopyNoSource);
  EXPECT_EQ(h.ReadFile("C:\\APP\\DATA.DAT"), "old data");
  EXPECT_EQ(NamesIn(h, "C:\\APP"), std::vector<std::string>{"DATA.DAT"});
  EXPECT_EQ(copy.bytes, engine::kCopyBlockSize);  // the failed read adds nothing
}

TEST(CopyPlainFile, EmptyDirectoryPartIsAnError) {
  CopyHarness h;
  h.PutFile("D:\\SRC.BIN", "x");
  Counted copy(h);
  EXPECT_THROW(engine::CopyPlainFile(copy.context, "D:\\SRC.BIN", "DST.BIN"), std::runtime_error);
}

// An SZDD file whose LZSS stream holds only literals: a flag byte of eight 1-bits before
// every eight bytes.
std::string Szdd(const std::string& plain) {
  std::string out = "SZDD\x88\xF0\x27\x33";
  out += 'A';
  out += '\0';
  const std::uint32_t size = static_cast<std::uint32_t>(plain.size());
  for (int i = 0; i < 4; ++i) out += static_cast<char>((size >> (8 * i)) & 0xFF);
  for (std::size_t at = 0; at < plain.size(); at += 8) {
    out += '\xFF';
    out += plain.substr(at, 8);
  }
  return out;
}

TEST(CopyExpandedFile, ExpandsCompressedAndPassesPlainFilesThrough) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i) + "\r\n";
  struct Case {
    const char* name;
    std::string onMedium;
  };
  const Case cases[] = {{"compressed", Szdd(text)}, {"plain", text}};
  for (const Case& c : cases) {
    CopyHarness h;
    h.PutFile("D:\\SRC.TX_", c.onMedium);
    Counted copy(h);
    ASSERT_EQ(engine::CopyExpandedFile(copy.context, "D:\\SRC.TX_", "C:\\APP\\SRC.TXT"),
              CopyResult::CopyOk)
        << c.name;
    EXPECT_EQ(h.ReadFile("C:\\APP\\SRC.TXT"), text) << c.name;
    EXPECT_EQ(copy.bytes, static_cast<std::int64_t>(text.size())) << c.name;
  }
  CopyHarness h;
  Counted copy(h);
  EXPECT_EQ(engine::CopyExpandedFile(copy.context, "D:\\NONE.TX_", "C:\\APP\\X"),
            CopyResult::CopyNoSource);
}

TEST(CopyExpandedFile, ACompressedSourceMustGiveTheLengthItsHeaderDeclares) {
  std::string text;
  for (int i = 0; i < 4000; ++i) text += "row " + std::to_string(i) + "\r\n";
  const std::string whole = Szdd(text);
  std::string overstated = whole;
  overstated[12] = '\x1E';  // declares about two MB more than the stream holds
  std::string understated = whole;
  understated[11] = static_cast<char>(understated[11] - 1);  // 256 bytes fewer than it holds
  std::string badMethod = whole;
  badMethod[8] = 'B';
  struct Case {
    const char* name;
    std::string onMedium;
  };
  const Case cases[] = {
      {"cut to less than half", whole.substr(0, whole.size() * 4 / 10)},
      {"cut one block short", whole.substr(0, whole.size() - 8 * 1024 * 9 / 8)},
      {"only the header", whole.substr(0, platform::kSzddHeaderSize)},
      {"a header cut short", whole.substr(0, 12)},
      {"a length larger than the stream", overstated},
      {"a length smaller than the stream", understated},
      {"an unknown method", badMethod},
  };
  for (const Case& c : cases) {
    CopyHarness h;
    h.PutFile("D:\\BIG.BI_", c.onMedium);
    h.PutFile("C:\\APP\\OLD.BIN", "good old file");
    Counted copy(h);
    EXPECT_EQ(engine::CopyExpandedFile(copy.context, "D:\\BIG.BI_", "C:\\APP\\OLD.BIN"),
              CopyResult::CopyNoSource)
        << c.name;
    EXPECT_EQ(h.ReadFile("C:\\APP\\OLD.BIN"), "good old file") << c.name;
    EXPECT_EQ(NamesIn(h, "C:\\APP"), std::vector<std::string>{"OLD.BIN"}) << c.name;
  }
  CopyHarness h;
  h.PutFile("D:\\EMPTY.TX_", Szdd(""));
  Counted copy(h);
  EXPECT_EQ(engine::CopyExpandedFile(copy.context, "D:\\EMPTY.TX_", "C:\\APP\\EMPTY.TXT"),
            CopyResult::CopyOk);
  EXPECT_EQ(h.ReadFile("C:\\APP\\EMPTY.TXT"), "");
}

TEST(FileSizeAndDate, MissingFiles) {
  CopyHarness h;
  h.PutFile("C:\\TEN.BIN", std::string(10, 'a'));
  platform::Files& files = h.platform().files;
  EXPECT_EQ(engine::FileSizeOf(files, "C:\\TEN.BIN"), 10);
  EXPECT_EQ(engine::FileSizeOf(files, "C:\\NONE.BIN"), -1);
  h.PutFile("C:\\DIR\\IN.BIN", "in");
  EXPECT_EQ(engine::FileSizeOf(files, "C:\\DIR"), -1) << "a directory is no file";
  EXPECT_THROW(engine::FileDateOf(files, h.platform().clock, "C:\\NONE.BIN"), std::runtime_error);
}

TEST(ForceDirectories, CreatesEveryMissingParent) {
  CopyHarness h;
  platform::Files& files = h.platform().files;
  engine::ForceDirectories(files, "C:\\ONE\\TWO\\THREE\\");
  EXPECT_NE(files.GetAttributes("C:\\ONE\\TWO\\THREE") & platform::kFileAttributeDirectory, 0u);
  EXPECT_NO_THROW(engine::ForceDirectories(files, "C:\\"));
  EXPECT_THROW(engine::ForceDirectories(files, "  "), std::runtime_error);
}

}  // namespace
