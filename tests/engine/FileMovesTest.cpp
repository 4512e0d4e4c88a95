// Replacing a file and deleting one at the next restart, on the 95 family and on NT.
#include "engine/FileMoves.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sandbox/SandboxFiles.h"
#include "tests/engine/CopyHarness.h"

namespace {

using copy_test::CopyHarness;

std::vector<std::string> NamesIn(CopyHarness& h, const std::string& folder) {
  std::vector<std::string> names;
  for (const platform::FindData& found : h.platform().files.Find(folder + "\\*.*"))
    if (found.name != "." && found.name != "..") names.push_back(found.name);
  std::ranges::sort(names);
  return names;
}

// Whatever step fails, the file keeps its name and either its old bytes or the new ones:
// it is never lost, and a failed replacement leaves it as it was. (A file held by another
// program can be neither renamed nor deleted.)
TEST(ReplaceFile, TheOldFileIsNeverLost) {
  struct Case {
    const char* name;
    std::uint32_t platformId;
    const char* held;
    bool replaced;
    std::vector<std::string> left;  // the folder's files afterwards
  };
  const std::uint32_t k95 = platform::kPlatformWindows;
  const std::uint32_t kNt = platform::kPlatformWin32Nt;
  const Case cases[] = {
      {"NT: one step", kNt, "", true, {"LIB.DLL", "~TS00000.OLD"}},
      {"95: three renames", k95, "", true, {"LIB.DLL", "~TS00000.OLD"}},
      {"95: the old file cannot be renamed aside",
       k95,
       "C:\\APP\\LIB.DLL",
       false,
       {"LIB.DLL", "NEW.TMP", "~TS00000.OLD"}},
      {"95: the new file cannot take the name",
       k95,
       "C:\\APP\\NEW.TMP",
       false,
       {"LIB.DLL", "NEW.TMP", "~TS00000.OLD"}},
      {"95: the old file cannot be deleted",
       k95,
       "C:\\APP\\~TS00001.OLD",
       true,
       {"LIB.DLL", "~TS00000.OLD", "~TS00001.OLD"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CopyHarness h("", c.platformId);
    h.PutFile("C:\\APP\\LIB.DLL", "old");
    h.PutFile("C:\\APP\\NEW.TMP", "new");
    // A name the old file must not take aside: it belongs to someone else.
    h.PutFile("C:\\APP\\~TS00000.OLD", "the user's");
    if (*c.held) h.machine().faults().filesInUse.insert(c.held);
    EXPECT_EQ(engine::ReplaceFile(h.platform().files, h.platform().system, "C:\\APP\\NEW.TMP",
                                  "C:\\APP\\LIB.DLL"),
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
    // A WININIT.INI another program holds open: on the 95 family the deletion cannot be
    // arranged, and the file stays as it was.
    h.machine().faults().filesInUse.insert(windows + "\\WININIT.INI");
    EXPECT_EQ(engine::DeleteAtRestart(h.platform(), windows + "\\other.exe"), nt);
    EXPECT_EQ(h.ReadFile(windows + "\\WININIT.INI"), nt ? other : other + "NUL=" + path + "\r\n");
  }
}

}  // namespace
