// Replacing a file and deleting one at the next restart, on the 95 family and on NT.
#include "engine/FileMoves.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sandbox/SandboxFiles.h"
#include "tests/engine/CopyHarness.h"

namespace {

using copy_test::CopyHarness;

// The machine's files, with the n-th rename (from 1) or deletion made to fail as a file held
// by another program fails. The first rename of a replacement on the 95 family meets the
// user's ~TS00000.OLD and fails of itself; the second puts the old file aside.
class FailingFiles : public platform::Files {
 public:
  FailingFiles(platform::Files& files, int failMove, int failDelete)
      : files_(files), failMove_(failMove), failDelete_(failDelete) {}

  bool Move(const std::string& from, const std::string& to) override {
    if (++moves_ == failMove_) return Refuse();
    return files_.Move(from, to);
  }
  bool DeleteFile(const std::string& path) override {
    if (++deletes_ == failDelete_) return Refuse();
    return files_.DeleteFile(path);
  }
  bool MoveReplacing(const std::string& from, const std::string& to) override {
    return files_.MoveReplacing(from, to);
  }
  std::unique_ptr<platform::File> Open(const std::string& path, std::uint32_t access,
                                       std::uint32_t share, platform::Disposition disposition,
                                       std::uint32_t attributes) override {
    return files_.Open(path, access, share, disposition, attributes);
  }
  std::uint32_t GetAttributes(const std::string& path) override {
    return files_.GetAttributes(path);
  }
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return files_.SetAttributes(path, attributes);
  }
  bool CreateDirectory(const std::string& path) override { return files_.CreateDirectory(path); }
  bool RemoveDirectory(const std::string& path) override { return files_.RemoveDirectory(path); }
  bool DeleteOnRestart(const std::string& path) override { return files_.DeleteOnRestart(path); }
  std::vector<platform::FindData> Find(const std::string& pattern) override {
    return files_.Find(pattern);
  }
  std::string GetCurrentDirectory() override { return files_.GetCurrentDirectory(); }
  bool SetCurrentDirectory(const std::string& path) override {
    return files_.SetCurrentDirectory(path);
  }
  std::string WindowsDirectory() override { return files_.WindowsDirectory(); }
  std::string SystemDirectory() override { return files_.SystemDirectory(); }
  std::string ModuleFileName() override { return files_.ModuleFileName(); }
  std::uint32_t LastError() override { return refused_ ? error_ : files_.LastError(); }

 private:
  bool Refuse() {
    refused_ = true;
    return false;
  }

  platform::Files& files_;
  int failMove_;
  int failDelete_;
  int moves_ = 0;
  int deletes_ = 0;
  bool refused_ = false;
  std::uint32_t error_ = platform::kErrorSharingViolation;
};

std::vector<std::string> NamesIn(CopyHarness& h, const std::string& folder) {
  std::vector<std::string> names;
  for (const platform::FindData& found : h.platform().files.Find(folder + "\\*.*"))
    if (found.name != "." && found.name != "..") names.push_back(found.name);
  std::ranges::sort(names);
  return names;
}

// Whatever step fails, the file keeps its name and either its old bytes or the new ones:
// it is never lost, and a failed replacement leaves it as it was.
TEST(ReplaceFile, TheOldFileIsNeverLost) {
  struct Case {
    const char* name;
    std::uint32_t platformId;
    int failMove;
    int failDelete;
    bool replaced;
    std::vector<std::string> left;  // the folder's files afterwards
  };
  const std::uint32_t k95 = platform::kPlatformWindows;
  const std::uint32_t kNt = platform::kPlatformWin32Nt;
  const Case cases[] = {
      {"NT: one step", kNt, 0, 0, true, {"LIB.DLL", "~TS00000.OLD"}},
      {"95: three renames", k95, 0, 0, true, {"LIB.DLL", "~TS00000.OLD"}},
      // clang-format off
      {"95: the old file cannot be renamed aside", k95, 2, 0, false,
       {"LIB.DLL", "NEW.TMP", "~TS00000.OLD"}},
      {"95: the new file cannot take the name", k95, 3, 0, false,
       {"LIB.DLL", "NEW.TMP", "~TS00000.OLD"}},
      {"95: the old file cannot be deleted", k95, 0, 1, true,
       {"LIB.DLL", "~TS00000.OLD", "~TS00001.OLD"}},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CopyHarness h("", c.platformId);
    h.PutFile("C:\\APP\\LIB.DLL", "old");
    h.PutFile("C:\\APP\\NEW.TMP", "new");
    // A name the aside file must not take: it belongs to someone else.
    h.PutFile("C:\\APP\\~TS00000.OLD", "the user's");
    FailingFiles files(h.platform().files, c.failMove, c.failDelete);
    EXPECT_EQ(
        engine::ReplaceFile(files, h.platform().system, "C:\\APP\\NEW.TMP", "C:\\APP\\LIB.DLL"),
        c.replaced);
    EXPECT_EQ(h.ReadFile("C:\\APP\\LIB.DLL"), c.replaced ? "new" : "old");
    EXPECT_EQ(h.ReadFile("C:\\APP\\~TS00000.OLD"), "the user's");
    EXPECT_EQ(NamesIn(h, "C:\\APP"), c.left);
  }
}

// The uninstaller's own file: MoveFileExA on NT; on the 95 family a NUL= line added to
// WININIT.INI's [rename] section, beside the lines other programs put there, once.
TEST(DeleteAtRestart, NtAsksTheSystemThe95FamilyWritesWinInit) {
  const std::string other =
      "[boot]\r\nx=1\r\n[rename]\r\nNUL=C:\\OTHER.TMP\r\nC:\\A.DLL=C:\\A.NEW\r\n";
  for (const std::uint32_t platformId : {platform::kPlatformWindows, platform::kPlatformWin32Nt}) {
    const bool nt = platformId == platform::kPlatformWin32Nt;
    SCOPED_TRACE(nt ? "NT" : "95 family");
    CopyHarness h("", platformId);
    const std::string windows = h.platform().files.WindowsDirectory();
    h.PutFile(windows + "\\WININIT.INI", other);
    h.PutFile(windows + "\\uninstkp.exe", "MZ");
    const std::string path = windows + "\\uninstkp.exe";
    EXPECT_TRUE(engine::DeleteAtRestart(h.platform(), path));
    EXPECT_TRUE(engine::DeleteAtRestart(h.platform(), path));
    EXPECT_EQ(h.ReadFile(windows + "\\WININIT.INI"), nt ? other : other + "NUL=" + path + "\r\n");
    const std::vector<std::string> asked =
        nt ? std::vector<std::string>{path, path} : std::vector<std::string>{};
    EXPECT_EQ(h.machine().files().PendingDeletes(), asked);
    EXPECT_EQ(h.ReadFile(path), "MZ");
  }
}

}  // namespace
