// Device names and over-long paths: the file service answers them as 32-bit Wine does.
#include <gtest/gtest.h>

#include "platform/sandbox/SandboxFiles.h"
#include "tests/platform/sandbox/SandboxTestUtil.h"

namespace sandbox {
namespace {

using platform::Disposition;

class DevicesTest : public ::testing::Test {
 protected:
  DevicesTest()
      : paths_(machine_.Path()),
        files_(paths_, faults_, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "D:\\SETUP.EXE",
               platform::kPlatformWin32Nt) {
    test::WriteHostFile(machine_.Path() / "drive_c" / "Data" / "plain.txt", "plain");
  }
  test::TempDir machine_;
  PathResolver paths_;
  Faults faults_;
  SandboxFiles files_;
};

// What each call gave: 0 for success, else the error code.
struct Answers {
  std::uint32_t attributes;  // the attribute word, or the error when there is none
  std::uint32_t find;        // 0 when found
  std::uint32_t open;        // opening an existing file for reading
  std::uint32_t create;      // CREATE_ALWAYS for reading and writing
  std::uint32_t mkdir;
  std::uint32_t remove;  // DeleteFileA
  std::uint32_t moveTo;  // a file renamed onto the name
  bool operator==(const Answers&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answers& a) {
  return out << "attributes " << a.attributes << " find " << a.find << " open " << a.open
             << " create " << a.create << " mkdir " << a.mkdir << " delete " << a.remove << " move "
             << a.moveTo;
}

TEST_F(DevicesTest, AnswersAsWindowsForDevicesAndLongPaths) {
  constexpr std::uint32_t kArchive = platform::kFileAttributeArchive;
  constexpr std::uint32_t kNotFound = platform::kErrorFileNotFound;
  constexpr std::uint32_t kNoPath = platform::kErrorPathNotFound;
  constexpr std::uint32_t kBadHandle = platform::kErrorInvalidHandle;
  constexpr std::uint32_t kBadDev = platform::kErrorBadDevType;
  constexpr std::uint32_t kTooLong = platform::kErrorFilenameExcedRange;
  const Answers console{kArchive, 0, kBadHandle, kBadHandle, kBadHandle, kBadHandle, kBadDev};
  const Answers port{kArchive, 0, kNotFound, kNotFound, kNotFound, kNotFound, kBadDev};
  const Answers sink{
      kArchive, 0, 0, 0, platform::kErrorAlreadyExists, platform::kErrorInvalidParameter, kBadDev};
  const Answers ordinary{kNotFound, kNotFound, kNotFound, 0, 0, 0, 0};
  const Answers noDirectory{kNoPath, kNoPath, kNoPath, kNoPath, kNoPath, kNoPath, kNoPath};
  const Answers tooLong{kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong};
  const std::string longest = "C:\\Data\\" + std::string(260 - 8, 'a');
  struct Case {
    std::string path;
    Answers expected;
    const char* foundName;
  };
  const Case cases[] = {
      {"C:\\Data\\CON", console, "CON"},
      {"C:\\Data\\Con.txt", console, "Con"},
      {"C:\\Data\\CON .txt", console, "CON"},
      {"C:\\Data\\con.", console, "con"},
      {"C:\\Data\\PRN", port, "PRN"},
      {"C:\\Data\\aux.h", port, "aux"},
      {"C:\\Data\\COM1", port, "COM1"},
      {"C:\\Data\\com9.log", port, "com9"},
      {"C:\\Data\\LPT1", port, "LPT1"},
      {"C:\\Data\\lpt9.x.y", port, "lpt9"},
      {"C:\\Data\\NUL", sink, "NUL"},
      {"C:\\Data\\nul.txt", sink, "nul"},
      {"C:\\Data\\NUL  ", sink, "NUL"},
      {"C:\\Data\\COM10", ordinary, ""},
      {"C:\\Data\\LPT0", ordinary, ""},
      {"C:\\Data\\CONX", ordinary, ""},
      {"C:\\Data\\CONIN", ordinary, ""},
      {"C:\\Nodir\\AUX.h", noDirectory, ""},
      {"C:\\Data\\CON\\file.txt", noDirectory, ""},
      {longest, ordinary, ""},
      {longest + "b", tooLong, ""},
      {"C:\\Data" + std::string(300, '\\') + "x", tooLong, ""},
  };
  for (const Case& c : cases) {
    Answers got{};
    const std::uint32_t attributes = files_.GetAttributes(c.path);
    got.attributes =
        attributes == platform::kInvalidFileAttributes ? files_.LastError() : attributes;
    const std::vector<platform::FindData> found = files_.Find(c.path);
    got.find = found.empty() ? files_.LastError() : 0;
    if (!found.empty()) {
      EXPECT_EQ(found.size(), 1u) << c.path;
      EXPECT_EQ(found[0].name, c.foundName) << c.path;
      EXPECT_EQ(found[0].attributes, kArchive) << c.path;
      EXPECT_EQ(found[0].size, 0u) << c.path;
      EXPECT_EQ(found[0].lastWriteTime.ticks, 0u) << c.path;
    }
    got.open = files_.Open(c.path, platform::kGenericRead, platform::kFileShareRead,
                           Disposition::OpenExisting)
                   ? 0
                   : files_.LastError();
    if (auto file = files_.Open(c.path, platform::kGenericRead | platform::kGenericWrite, 0,
                                Disposition::CreateAlways)) {
      got.create = 0;
      char byte = 'x';
      EXPECT_EQ(file->Write("hello", 5), 5) << c.path;
      EXPECT_EQ(file->Read(&byte, 1), 0) << c.path;
    } else {
      got.create = files_.LastError();
    }
    got.remove = files_.DeleteFile(c.path) ? 0 : files_.LastError();
    got.mkdir = files_.CreateDirectory(c.path) ? 0 : files_.LastError();
    files_.RemoveDirectory(c.path);
    got.moveTo = files_.MoveReplacing("C:\\Data\\plain.txt", c.path) ? 0 : files_.LastError();
    if (got.moveTo == 0) {
      ASSERT_TRUE(files_.MoveReplacing(c.path, "C:\\Data\\plain.txt"));
    }
    EXPECT_EQ(got, c.expected) << c.path;
  }
}

TEST_F(DevicesTest, ADeviceNameHidesAFileOfThatNameOnTheHost) {
  // A medium copied from another system may hold such a file; Windows never reaches it.
  test::WriteHostFile(machine_.Path() / "drive_c" / "Data" / "con.txt", "hidden");
  EXPECT_FALSE(files_.Open("C:\\Data\\con.txt", platform::kGenericRead, platform::kFileShareRead,
                           Disposition::OpenExisting));
  EXPECT_EQ(files_.LastError(), platform::kErrorInvalidHandle);
  // A listing still names every entry the directory holds.
  std::vector<std::string> names;
  for (const platform::FindData& entry : files_.Find("C:\\Data\\*")) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "con.txt", "plain.txt"}));
}

}  // namespace
}  // namespace sandbox
