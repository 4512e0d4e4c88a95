#include "platform/sandbox/SandboxFiles.h"

#include <gtest/gtest.h>

#include "platform/sandbox/SandboxClock.h"
#include "tests/platform/sandbox/SandboxTestUtil.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;
using platform::Disposition;
using platform::kFileShareRead;
using platform::kFileShareWrite;
using platform::kGenericRead;
using platform::kGenericWrite;

constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;
constexpr std::uint32_t kShareAll = kFileShareRead | kFileShareWrite;

class SandboxFilesTest : public ::testing::Test {
 protected:
  SandboxFilesTest()
      : paths_(machine_.Path()),
        files_(paths_, faults_, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "D:\\SETUP.EXE",
               platform::kPlatformWin32Nt) {
    test::WriteHostFile(C() / "WINDOWS" / "SYSTEM" / "CTL3D.DLL", "old dll");
    test::WriteHostFile(C() / "Data" / "Readme.txt", "read me");
    test::WriteHostFile(medium_.Path() / "SETUP.INF", "script");
    paths_.Mount('D', medium_.Path(), platform::kDriveCdrom);
  }
  fs::path C() const { return machine_.Path() / "drive_c"; }

  std::unique_ptr<platform::File> OpenRead(const std::string& path,
                                           std::uint32_t share = kFileShareRead) {
    return files_.Open(path, kGenericRead, share, Disposition::OpenExisting);
  }
  std::unique_ptr<platform::File> Create(const std::string& path) {
    return files_.Open(path, kReadWrite, 0, Disposition::CreateAlways);
  }
  static std::string ReadAll(platform::File& file) {
    std::string text(256, '\0');
    const std::int64_t count = file.Read(text.data(), static_cast<std::uint32_t>(text.size()));
    text.resize(count < 0 ? 0 : static_cast<std::size_t>(count));
    return text;
  }

  test::TempDir machine_;
  test::TempDir medium_;
  PathResolver paths_;
  Faults faults_;
  SandboxFiles files_;
};

TEST_F(SandboxFilesTest, OpensWithWindowsDispositions) {
  struct Case {
    const char* name;
    const char* path;
    Disposition disposition;
    std::uint32_t error;  // after the call; 0 when it succeeds without setting one
    bool opens;
    const char* content;  // of the file afterwards, read through the host
  };
  const Case cases[] = {
      {"create new over a file", "C:\\DATA\\README.TXT", Disposition::CreateNew,
       platform::kErrorFileExists, false, "read me"},
      {"create new", "C:\\DATA\\new.txt", Disposition::CreateNew, 0, true, ""},
      {"create always truncates", "C:\\DATA\\README.TXT", Disposition::CreateAlways,
       platform::kErrorAlreadyExists, true, ""},
      {"open always keeps content", "C:\\data\\readme.txt", Disposition::OpenAlways,
       platform::kErrorAlreadyExists, true, "read me"},
      {"open always creates", "C:\\DATA\\other.txt", Disposition::OpenAlways, 0, true, ""},
      {"truncate existing", "C:\\DATA\\README.TXT", Disposition::TruncateExisting, 0, true, ""},
      {"open missing file", "C:\\DATA\\missing.txt", Disposition::OpenExisting,
       platform::kErrorFileNotFound, false, nullptr},
      {"truncate missing file", "C:\\DATA\\missing.txt", Disposition::TruncateExisting,
       platform::kErrorFileNotFound, false, nullptr},
      {"missing directory", "C:\\NODIR\\x.txt", Disposition::CreateAlways,
       platform::kErrorPathNotFound, false, nullptr},
      {"directory as a file", "C:\\WINDOWS", Disposition::OpenExisting,
       platform::kErrorAccessDenied, false, nullptr},
      {"above the root is the root", "C:\\..\\..\\DATA\\new.txt", Disposition::CreateAlways, 0,
       true, ""},
      {"unknown drive", "Q:\\x.txt", Disposition::CreateAlways, platform::kErrorPathNotFound, false,
       nullptr},
      {"read-only medium", "D:\\SETUP.INF", Disposition::OpenAlways, platform::kErrorAccessDenied,
       false, nullptr},
  };
  for (const Case& c : cases) {
    test::WriteHostFile(C() / "Data" / "Readme.txt", "read me");
    fs::remove(C() / "Data" / "new.txt");
    fs::remove(C() / "Data" / "other.txt");
    const auto file = files_.Open(c.path, kReadWrite, 0, c.disposition);
    EXPECT_EQ(file != nullptr, c.opens) << c.name;
    EXPECT_EQ(files_.LastError(), c.error) << c.name;
    if (c.content) {
      EXPECT_EQ(test::ReadHostFile(*paths_.HostPath(c.path)), c.content) << c.name;
    }
  }
}

TEST_F(SandboxFilesTest, CreatedFileKeepsTheCaseGivenAndReadsBack) {
  {
    const auto file = Create("c:\\data\\NewFile.Bin");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Write("abc", 3), 3);
  }
  EXPECT_TRUE(fs::exists(C() / "Data" / "NewFile.Bin"));
  const auto file = OpenRead("C:\\DATA\\NEWFILE.BIN");
  ASSERT_TRUE(file);
  EXPECT_EQ(ReadAll(*file), "abc");
  EXPECT_EQ(file->Write("x", 1), -1);  // opened for reading only
  EXPECT_EQ(files_.LastError(), platform::kErrorAccessDenied);
}

TEST_F(SandboxFilesTest, AppliesSharingBetweenHandles) {
  struct Case {
    const char* name;
    std::uint32_t firstAccess, firstShare, secondAccess, secondShare;
    bool secondOpens;
  };
  const Case cases[] = {
      {"no sharing refuses a reader", kReadWrite, 0, kGenericRead, kShareAll, false},
      {"readers sharing reading", kGenericRead, kFileShareRead, kGenericRead, kFileShareRead, true},
      {"writer while reading is shared only", kGenericRead, kFileShareRead, kGenericWrite,
       kShareAll, false},
      {"reader denying the existing reader", kGenericRead, kFileShareRead, kGenericRead, 0, false},
      {"reader denying the existing writer", kGenericWrite, kShareAll, kGenericRead, kFileShareRead,
       false},
      {"everything shared", kReadWrite, kShareAll, kReadWrite, kShareAll, true},
  };
  for (const Case& c : cases) {
    const auto first =
        files_.Open("C:\\DATA\\README.TXT", c.firstAccess, c.firstShare, Disposition::OpenExisting);
    ASSERT_TRUE(first) << c.name;
    const auto second = files_.Open("c:\\data\\readme.txt", c.secondAccess, c.secondShare,
                                    Disposition::OpenExisting);
    EXPECT_EQ(second != nullptr, c.secondOpens) << c.name;
    if (!c.secondOpens) {
      EXPECT_EQ(files_.LastError(), platform::kErrorSharingViolation) << c.name;
    }
  }
  // Closing the handles gives the file free again.
  EXPECT_TRUE(Create("C:\\DATA\\README.TXT"));
}

TEST_F(SandboxFilesTest, FileInUseRefusesWritingButNotSharedReading) {
  faults_.filesInUse.insert(UpperKey("C:\\WINDOWS\\SYSTEM\\ctl3d.dll"));
  const std::string path = "c:\\windows\\system\\Ctl3d.dll";
  EXPECT_FALSE(Create(path));
  EXPECT_EQ(files_.LastError(), platform::kErrorSharingViolation);
  EXPECT_FALSE(files_.Open(path, kGenericWrite, kShareAll, Disposition::OpenExisting));
  EXPECT_EQ(files_.LastError(), platform::kErrorSharingViolation);
  EXPECT_FALSE(files_.DeleteFile(path));
  EXPECT_EQ(files_.LastError(), platform::kErrorSharingViolation);
  EXPECT_FALSE(OpenRead(path, 0));

  const auto reader = OpenRead(path, kShareAll);
  ASSERT_TRUE(reader);
  EXPECT_EQ(ReadAll(*reader), "old dll");
}

TEST_F(SandboxFilesTest, FullDiskWritesWhatFitsThenFails) {
  faults_.driveFillsAfter['C'] = 10;
  const auto file = Create("C:\\DATA\\big.bin");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Write("123456", 6), 6);
  EXPECT_EQ(file->Write("abcdefgh", 8), -1);
  EXPECT_EQ(files_.LastError(), platform::kErrorDiskFull);
  EXPECT_EQ(file->Write("z", 1), -1);
  EXPECT_EQ(faults_.driveFillsAfter['C'], 0u);
  EXPECT_EQ(test::ReadHostFile(C() / "Data" / "big.bin"), "123456abcd");
}

TEST_F(SandboxFilesTest, KeepsAttributesAsWindowsReportsThem) {
  struct Case {
    const char* name;
    const char* path;
    std::uint32_t set;  // 0: leave as it is
    std::uint32_t reads;
  };
  const Case cases[] = {
      {"directory", "C:\\WINDOWS", 0, 0x10},
      {"drive root", "C:\\", 0, 0x10},
      {"file", "C:\\DATA\\README.TXT", 0, 0x20},
      {"hidden system file", "C:\\DATA\\README.TXT", 0x06, 0x06},
      {"normal file", "C:\\DATA\\README.TXT", platform::kFileAttributeNormal, 0x80},
      {"hidden directory keeps its bit", "C:\\WINDOWS\\SYSTEM", 0x02, 0x12},
      {"directory told to be normal", "C:\\WINDOWS\\SYSTEM", platform::kFileAttributeNormal, 0x10},
  };
  for (const Case& c : cases) {
    if (c.set) {
      EXPECT_TRUE(files_.SetAttributes(c.path, c.set)) << c.name;
    }
    EXPECT_EQ(files_.GetAttributes(c.path), c.reads) << c.name;
  }
  EXPECT_EQ(files_.GetAttributes("C:\\DATA\\none.txt"), platform::kInvalidFileAttributes);
  EXPECT_EQ(files_.LastError(), platform::kErrorFileNotFound);
  EXPECT_EQ(files_.GetAttributes("C:\\NODIR\\none.txt"), platform::kInvalidFileAttributes);
  EXPECT_EQ(files_.LastError(), platform::kErrorPathNotFound);

  // A file created hidden is also marked for backup.
  EXPECT_TRUE(files_.Open("C:\\DATA\\h.txt", kReadWrite, 0, Disposition::CreateNew,
                          platform::kFileAttributeHidden));
  EXPECT_EQ(files_.GetAttributes("C:\\DATA\\h.txt"), 0x22u);
  // Replacing a hidden file without saying so is refused.
  EXPECT_FALSE(Create("C:\\DATA\\h.txt"));
  EXPECT_EQ(files_.LastError(), platform::kErrorAccessDenied);
}

TEST_F(SandboxFilesTest, ReadOnlyFileCanOnlyBeRead) {
  const std::string path = "C:\\DATA\\README.TXT";
  ASSERT_TRUE(files_.SetAttributes(path, platform::kFileAttributeReadonly));
  EXPECT_FALSE(Create(path));
  EXPECT_EQ(files_.LastError(), platform::kErrorAccessDenied);
  EXPECT_FALSE(files_.Open(path, kGenericWrite, kShareAll, Disposition::OpenExisting));
  EXPECT_FALSE(files_.DeleteFile(path));
  EXPECT_EQ(files_.LastError(), platform::kErrorAccessDenied);
  EXPECT_TRUE(OpenRead(path));
  ASSERT_TRUE(files_.SetAttributes(path, platform::kFileAttributeArchive));
  EXPECT_TRUE(files_.DeleteFile(path));
  EXPECT_FALSE(fs::exists(C() / "Data" / "Readme.txt"));
}

TEST_F(SandboxFilesTest, LastWriteTimeHasTwoSecondResolution) {
  SandboxClock clock;
  const platform::FileTime odd =
      clock.LocalToFileTime(platform::SystemTime{1999, 12, 5, 31, 23, 59, 59, 750});
  const platform::FileTime even =
      clock.LocalToFileTime(platform::SystemTime{1999, 12, 5, 31, 23, 59, 58, 0});
  {
    const auto file = Create("C:\\DATA\\t.txt");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->SetLastWriteTime(odd));
    file->Write("later", 5);  // the time set stays
  }
  const auto found = files_.Find("C:\\DATA\\T.TXT");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].lastWriteTime, even);
  EXPECT_EQ(found[0].size, 5u);

  const auto reader = OpenRead("C:\\DATA\\t.txt");
  EXPECT_FALSE(reader->SetLastWriteTime(odd));
  EXPECT_EQ(files_.LastError(), platform::kErrorAccessDenied);
}

TEST_F(SandboxFilesTest, FindsWithPatterns) {
  for (const char* name : {"a.txt", "B.TXT", "c.txt.bak", "NOEXT", "sub"}) {
    test::WriteHostFile(C() / "Find" / name, "12345");
  }
  fs::remove(C() / "Find" / "sub");
  fs::create_directory(C() / "Find" / "sub");
  fs::create_symlink(C() / "Find" / "a.txt", C() / "Find" / "link.txt");

  struct Case {
    const char* pattern;
    const char* names;  // in order, separated by blanks
  };
  const Case cases[] = {
      {"C:\\FIND\\*.*", ". .. a.txt B.TXT c.txt.bak NOEXT sub"},
      {"C:\\find\\*", ". .. a.txt B.TXT c.txt.bak NOEXT sub"},
      {"C:\\FIND\\*.TXT", "a.txt B.TXT"},
      {"C:\\FIND\\*.", ". .. NOEXT sub"},
      {"C:\\FIND\\?.txt", "a.txt B.TXT"},
      {"c:/find/b.txt", "B.TXT"},
      {"C:\\FIND\\SUB", "sub"},
      {"C:\\*", "Data Find WINDOWS"},
  };
  for (const Case& c : cases) {
    std::string names;
    for (const platform::FindData& data : files_.Find(c.pattern)) {
      names += (names.empty() ? "" : " ") + data.name;
    }
    EXPECT_EQ(names, c.names) << c.pattern;
  }

  const auto found = files_.Find("C:\\FIND\\*.*");
  ASSERT_EQ(found.size(), 7u);
  EXPECT_EQ(found[0].attributes, platform::kFileAttributeDirectory);
  EXPECT_EQ(found[2].attributes, platform::kFileAttributeArchive);
  EXPECT_EQ(found[2].size, 5u);
  EXPECT_EQ(found[6].attributes, platform::kFileAttributeDirectory);

  EXPECT_TRUE(files_.Find("C:\\FIND\\*.exe").empty());
  EXPECT_EQ(files_.LastError(), platform::kErrorFileNotFound);
  EXPECT_TRUE(files_.Find("C:\\NODIR\\*.*").empty());
  EXPECT_EQ(files_.LastError(), platform::kErrorPathNotFound);
}

TEST_F(SandboxFilesTest, CreatesAndRemovesDirectoriesOneLevelAtATime) {
  EXPECT_FALSE(files_.CreateDirectory("C:\\APP\\BIN"));
  EXPECT_EQ(files_.LastError(), platform::kErrorPathNotFound);
  EXPECT_TRUE(files_.CreateDirectory("C:\\App"));
  EXPECT_TRUE(files_.CreateDirectory("C:\\APP\\Bin"));
  EXPECT_TRUE(fs::is_directory(C() / "App" / "Bin"));
  EXPECT_FALSE(files_.CreateDirectory("c:\\app"));
  EXPECT_EQ(files_.LastError(), platform::kErrorAlreadyExists);
  EXPECT_FALSE(files_.CreateDirectory("D:\\NEW"));
  EXPECT_EQ(files_.LastError(), platform::kErrorAccessDenied);

  EXPECT_FALSE(files_.RemoveDirectory("C:\\APP"));
  EXPECT_EQ(files_.LastError(), platform::kErrorDirNotEmpty);
  EXPECT_FALSE(files_.RemoveDirectory("C:\\DATA\\README.TXT"));
  EXPECT_EQ(files_.LastError(), platform::kErrorDirectory);
  ASSERT_TRUE(files_.SetCurrentDirectory("C:\\APP\\BIN"));
  EXPECT_FALSE(files_.RemoveDirectory("C:\\APP\\BIN"));
  EXPECT_EQ(files_.LastError(), platform::kErrorSharingViolation);
  ASSERT_TRUE(files_.SetCurrentDirectory("C:\\"));
  EXPECT_TRUE(files_.RemoveDirectory("C:\\APP\\BIN"));
  EXPECT_TRUE(files_.RemoveDirectory("C:\\APP"));
  EXPECT_FALSE(fs::exists(C() / "App"));
}

TEST_F(SandboxFilesTest, CurrentDirectoryServesRelativePaths) {
  EXPECT_EQ(files_.GetCurrentDirectory(), "C:\\");
  EXPECT_FALSE(files_.SetCurrentDirectory("C:\\MISSING"));
  EXPECT_EQ(files_.LastError(), platform::kErrorFileNotFound);
  EXPECT_FALSE(files_.SetCurrentDirectory("C:\\DATA\\README.TXT"));
  ASSERT_TRUE(files_.SetCurrentDirectory("d:\\"));
  EXPECT_EQ(files_.GetCurrentDirectory(), "D:\\");
  const auto script = OpenRead("setup.inf");
  ASSERT_TRUE(script);
  EXPECT_EQ(ReadAll(*script), "script");
  ASSERT_TRUE(files_.SetCurrentDirectory("C:\\Windows\\"));
  EXPECT_EQ(files_.GetCurrentDirectory(), "C:\\Windows");
  EXPECT_EQ(files_.GetAttributes("SYSTEM\\CTL3D.DLL"), platform::kFileAttributeArchive);
}

TEST_F(SandboxFilesTest, DeletesFilesNowOrAtRestart) {
  {
    const auto open = OpenRead("C:\\DATA\\README.TXT", kShareAll);
    EXPECT_FALSE(files_.DeleteFile("C:\\DATA\\README.TXT"));
    EXPECT_EQ(files_.LastError(), platform::kErrorSharingViolation);
  }
  EXPECT_TRUE(files_.DeleteFile("c:\\data\\readme.txt"));
  EXPECT_FALSE(files_.DeleteFile("C:\\DATA\\README.TXT"));
  EXPECT_EQ(files_.LastError(), platform::kErrorFileNotFound);
  EXPECT_FALSE(files_.DeleteFile("C:\\WINDOWS"));
  EXPECT_EQ(files_.LastError(), platform::kErrorAccessDenied);

  EXPECT_TRUE(files_.DeleteOnRestart("c:\\windows\\system\\..\\old.dll"));
  EXPECT_FALSE(files_.DeleteOnRestart("\\\\server\\share\\x.dll"));
  EXPECT_EQ(files_.PendingDeletes(), std::vector<std::string>{"C:\\windows\\old.dll"});
}

TEST_F(SandboxFilesTest, MovesAFileOverAnotherInOneStep) {
  test::WriteHostFile(C() / "Data" / "new.tmp", "new bytes");
  ASSERT_TRUE(files_.SetAttributes("C:\\DATA\\NEW.TMP", platform::kFileAttributeHidden));
  // Refused while the target is held or read-only: both files stay as they were.
  faults_.filesInUse.insert("C:\\DATA\\README.TXT");
  EXPECT_FALSE(files_.MoveReplacing("C:\\DATA\\NEW.TMP", "C:\\DATA\\README.TXT"));
  EXPECT_EQ(files_.LastError(), platform::kErrorSharingViolation);
  faults_.filesInUse.clear();
  {
    const auto held = OpenRead("C:\\DATA\\README.TXT");
    EXPECT_FALSE(files_.MoveReplacing("C:\\DATA\\NEW.TMP", "C:\\DATA\\README.TXT"));
    EXPECT_EQ(files_.LastError(), platform::kErrorSharingViolation);
  }
  ASSERT_TRUE(files_.SetAttributes("C:\\DATA\\README.TXT", platform::kFileAttributeReadonly));
  EXPECT_FALSE(files_.MoveReplacing("C:\\DATA\\NEW.TMP", "C:\\DATA\\README.TXT"));
  EXPECT_EQ(files_.LastError(), platform::kErrorAccessDenied);
  EXPECT_FALSE(files_.MoveReplacing("C:\\DATA\\NEW.TMP", "C:\\WINDOWS"));
  EXPECT_EQ(test::ReadHostFile(C() / "Data" / "Readme.txt"), "read me");
  ASSERT_TRUE(files_.SetAttributes("C:\\DATA\\README.TXT", platform::kFileAttributeNormal));

  // Replaced under the name it had, with the moved file's bytes and marks; the old name is gone.
  EXPECT_TRUE(files_.MoveReplacing("c:\\data\\new.tmp", "C:\\DATA\\README.TXT"));
  EXPECT_EQ(test::ReadHostFile(C() / "Data" / "Readme.txt"), "new bytes");
  EXPECT_EQ(files_.GetAttributes("C:\\DATA\\README.TXT"), platform::kFileAttributeHidden);
  EXPECT_EQ(files_.GetAttributes("C:\\DATA\\NEW.TMP"), platform::kInvalidFileAttributes);
  EXPECT_EQ(files_.Find("C:\\DATA\\*.*").size(), 3u);  // ".", ".." and the file

  // A free name is simply taken; a missing source or target folder fails.
  EXPECT_TRUE(files_.MoveReplacing("C:\\DATA\\README.TXT", "C:\\DATA\\moved.txt"));
  EXPECT_EQ(files_.Find("C:\\DATA\\MOVED.TXT").size(), 1u);
  EXPECT_FALSE(files_.MoveReplacing("C:\\DATA\\README.TXT", "C:\\DATA\\x.txt"));
  EXPECT_EQ(files_.LastError(), platform::kErrorFileNotFound);
  EXPECT_FALSE(files_.MoveReplacing("C:\\DATA\\MOVED.TXT", "C:\\NODIR\\x.txt"));
  EXPECT_EQ(files_.LastError(), platform::kErrorPathNotFound);
}

// MoveFileA takes a free name only; on the 95 family MoveFileExA is a stub that fails,
// whatever it is asked, and leaves both files alone.
TEST_F(SandboxFilesTest, MoveTakesAFreeNameAndThe95FamilyHasNoMoveFileEx) {
  test::WriteHostFile(C() / "Data" / "new.tmp", "new bytes");
  EXPECT_FALSE(files_.Move("C:\\DATA\\NEW.TMP", "C:\\DATA\\README.TXT"));
  EXPECT_EQ(files_.LastError(), platform::kErrorAlreadyExists);
  EXPECT_TRUE(files_.Move("C:\\DATA\\NEW.TMP", "C:\\DATA\\fresh.txt"));
  EXPECT_EQ(test::ReadHostFile(C() / "Data" / "fresh.txt"), "new bytes");

  SandboxFiles old(paths_, faults_, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "D:\\SETUP.EXE",
                   platform::kPlatformWindows);
  EXPECT_FALSE(old.MoveReplacing("C:\\DATA\\FRESH.TXT", "C:\\DATA\\README.TXT"));
  EXPECT_EQ(old.LastError(), platform::kErrorCallNotImplemented);
  EXPECT_FALSE(old.MoveReplacing("C:\\DATA\\FRESH.TXT", "C:\\DATA\\free.txt"));
  EXPECT_FALSE(old.DeleteOnRestart("C:\\DATA\\FRESH.TXT"));
  EXPECT_EQ(old.LastError(), platform::kErrorCallNotImplemented);
  EXPECT_TRUE(old.PendingDeletes().empty());
  EXPECT_EQ(test::ReadHostFile(C() / "Data" / "Readme.txt"), "read me");
  EXPECT_TRUE(old.Move("C:\\DATA\\FRESH.TXT", "C:\\DATA\\free.txt"));
}

}  // namespace
}  // namespace sandbox
