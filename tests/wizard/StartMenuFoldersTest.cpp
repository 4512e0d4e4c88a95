// The Start menu's Programs folder of each Windows family and which of its entries are
// offered as program folders.
#include "wizard/StartMenuFolders.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "forms/Form.h"
#include "tests/wizard/PageHarness.h"

namespace {

using page_test::PageHarness;

constexpr const char* kCzechPrograms =
    "C:\\WINDOWS\\Nab\xED"
    "dka Start\\Programy";

struct Listing {
  bool found = false;
  std::vector<std::string> names;  // sorted: the search order is the file system's
};

Listing List(PageHarness& h) {
  forms::headless::HeadlessToolkit toolkit;
  forms::Application app(toolkit);
  forms::Form form(app, "TTestForm");
  forms::ListBox list(form, "list");
  list.AddItem("kept");  // the operation appends
  Listing listing;
  listing.found = ListStartMenuFolders(h.platform(), list);
  listing.names = list.Items();
  std::sort(listing.names.begin(), listing.names.end());
  return listing;
}

TEST(StartMenuFolders, ProgramsFolderOfEachFamily) {
  struct Case {
    const char* name;
    std::uint32_t platformId;
    bool removeStandard;  // take the standard folder away
    bool addCzech;        // lay out the Czech-named folder
    const char* folder;   // the folder found, "" for none
  };
  const Case cases[] = {
      {"95 family", platform::kPlatformWindows, false, false, "C:\\WINDOWS\\Start Menu\\Programs"},
      {"95 family prefers the standard name", platform::kPlatformWindows, false, true,
       "C:\\WINDOWS\\Start Menu\\Programs"},
      {"95 family, Czech Windows", platform::kPlatformWindows, true, true, kCzechPrograms},
      {"95 family, no folder", platform::kPlatformWindows, true, false, ""},
      {"NT", platform::kPlatformWin32Nt, false, false,
       "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs"},
      {"NT never takes the Czech name", platform::kPlatformWin32Nt, true, true, ""},
      {"Win32s has none", platform::kPlatformWin32s, false, false, ""},
  };
  for (const Case& c : cases) {
    PageHarness h(c.platformId);
    const std::string standard = h.machine().ProgramsDirectory();
    if (c.removeStandard) std::filesystem::remove_all(h.machine().HostPath(standard));
    if (c.addCzech) {
      h.MakeDir(h.machine().WindowsDirectory() +
                "\\Nab\xED"
                "dka Start\\Programy\\Hry");
    }
    EXPECT_EQ(StartMenuProgramsFolder(h.platform()), c.folder) << c.name;
    const Listing listing = List(h);
    EXPECT_EQ(listing.found, std::string(c.folder) != "") << c.name;
    // The Czech folder holds "Hry"; the standard one starts empty.
    const bool czech = std::string(c.folder) == kCzechPrograms;
    const std::vector<std::string> expected =
        czech ? std::vector<std::string>{"Hry", "kept"} : std::vector<std::string>{"kept"};
    EXPECT_EQ(listing.names, expected) << c.name;
  }
}

// Only a directory whose attribute word is exactly the directory bit is listed.
TEST(StartMenuFolders, OnlyPlainDirectoriesAreListed) {
  for (std::uint32_t platformId : {platform::kPlatformWindows, platform::kPlatformWin32Nt}) {
    PageHarness h(platformId);
    const std::string programs = h.machine().ProgramsDirectory();
    platform::Files& files = h.platform().files;
    for (const char* name : {"Accessories", "Games", "Hidden", "System", "ReadOnly", "Archived"})
      h.MakeDir(programs + "\\" + name);
    ASSERT_TRUE(files.SetAttributes(programs + "\\Hidden", platform::kFileAttributeHidden));
    ASSERT_TRUE(files.SetAttributes(programs + "\\System", platform::kFileAttributeSystem));
    ASSERT_TRUE(files.SetAttributes(programs + "\\ReadOnly", platform::kFileAttributeReadonly));
    ASSERT_TRUE(files.SetAttributes(programs + "\\Archived", platform::kFileAttributeArchive));
    testing_support::WriteHostFile(h.machine().HostPath(programs) / "Shortcut.lnk", "link");
    testing_support::WriteHostFile(h.machine().HostPath(programs) / "Games" / "Solitaire.lnk",
                                   "link");
    const Listing listing = List(h);
    EXPECT_TRUE(listing.found);
    EXPECT_EQ(listing.names, (std::vector<std::string>{"Accessories", "Games", "kept"}))
        << platformId;
  }
}

}  // namespace
