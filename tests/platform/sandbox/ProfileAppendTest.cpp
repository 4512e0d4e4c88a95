// Writes that only add to the end of a profile file are appended instead of rewriting the
// file; the bytes on disk after every write must be those of the whole-file edit.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/WinTypes.h"
#include "platform/sandbox/Paths.h"
#include "platform/sandbox/ProfileText.h"
#include "platform/sandbox/SandboxFiles.h"
#include "platform/sandbox/SandboxProfiles.h"
#include "tests/platform/sandbox/SandboxTestUtil.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;

TEST(ProfileTail, AdditionIsExactlyWhatTheEditAddsAtTheEnd) {
  struct Case {
    const char* name;
    const char* text;
    const char* section;
    const char* key;
    bool appends;  // whether the tail must see that the edit only appends
  };
  const Case cases[] = {
      {"empty text", "", "S", "k", true},
      {"new key in the last section", "[A]\r\nx=1\r\n[S]\r\na=1\r\n", "s", "b", true},
      {"new key after a header alone", "[S]\r\n", "S", "k", true},
      {"LF-only line ends", "[S]\nx=1\n", "S", "k", true},
      {"new section after text ending in LF", "[A]\r\nx=1\r\n", "B", "k", true},
      {"new section named with blanks and case", "[A]\r\n", " b ", "k", true},
      {"key already there", "[S]\r\nK = 1\r\n", "s", " k", false},
      {"section not the last", "[S]\r\nx=1\r\n[T]\r\ny=1\r\n", "S", "k", false},
      {"last section named again later", "[S]\r\n[T]\r\n[s]\r\nx=1\r\n", "S", "k", false},
      {"blank line at the end", "[S]\r\nx=1\r\n\r\n", "S", "k", false},
      {"no line end at the end", "[S]\r\nx=1", "S", "k", false},
      {"cut off after CR", "[S]\r\nx=1\r", "T", "k", false},
      {"section named only before the last header", "[S]\r\n[T]\r\n", "S", "k", false},
      {"lines before any section are in no section", "x=1\r\n", "", "y", true},
      {"no section while a header follows goes before it", "x=1\r\n[S]\r\n", "", "y", false},
      {"no section, key already there", "x=1\r\n", " ", "X", false},
      {"header indented by a tab", "\t[S]\r\nx=1\r\n", "S", "k", true},
      {"comment line counts as a key", "[S]\r\n;k\r\n", "S", ";k", false},
  };
  for (const Case& c : cases) {
    const ProfileTail tail(c.text);
    const std::optional<std::string> added = tail.Addition(c.section, c.key, "v");
    EXPECT_EQ(added.has_value(), c.appends) << c.name;
    if (added) {
      EXPECT_EQ(std::string(c.text) + *added, SetProfileEntry(c.text, c.section, c.key, "v"))
          << c.name;
    }
  }
}

TEST(ProfileTail, FollowsTextAppendedInPieces) {
  // Random edits: whenever the tail proposes an addition it must be the edit's, and the
  // tail kept up to date by Append must answer as one made from the whole text.
  std::mt19937 random(7);
  const char* const sections[] = {"A", "b", " B", "C"};
  const char* const keys[] = {"x", "X ", "y", "z", ";note", "w"};
  std::string text;
  ProfileTail tail(text);
  int appended = 0;
  for (int i = 0; i < 400; ++i) {
    const char* section = sections[random() % std::size(sections)];
    const char* key = keys[random() % std::size(keys)];
    const std::string value = std::to_string(i);
    const std::string edited = SetProfileEntry(text, section, key, value);
    const std::optional<std::string> added = tail.Addition(section, key, value);
    EXPECT_EQ(added, ProfileTail(text).Addition(section, key, value)) << i;
    if (added) {
      ASSERT_EQ(text + *added, edited) << i;
      tail.Append(*added);
      ++appended;
    } else {
      tail = ProfileTail(edited);
    }
    text = edited;
  }
  EXPECT_GT(appended, 5);
}

class ProfileAppendTest : public ::testing::Test {
 protected:
  ProfileAppendTest()
      : paths_(machine_.Path()),
        files_(paths_, faults_, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "D:\\SETUP.EXE",
               platform::kPlatformWin32Nt),
        profiles_(files_, faults_) {
    fs::create_directories(Host());
  }
  fs::path Host() const { return machine_.Path() / "drive_c" / "WINDOWS"; }
  std::string OnDisk() const { return test::ReadHostFile(Host() / "app.ini"); }

  test::TempDir machine_;
  PathResolver paths_;
  Faults faults_;
  SandboxFiles files_;
  SandboxProfiles profiles_;
};

TEST_F(ProfileAppendTest, EveryWriteIsOnDiskAsTheWholeFileEditMakesIt) {
  std::string model;
  for (int i = 0; i < 300; ++i) {
    // Mostly new keys of one section, as an INI block writes them, with other edits mixed in.
    const std::string section = i % 50 == 49 ? "Other" : "Main";
    const std::string key = i % 7 == 6 ? "Key" + std::to_string(i / 2) : "Key" + std::to_string(i);
    const std::string value = "value " + std::to_string(i);
    ASSERT_TRUE(profiles_.WriteString(section, key, value, "app.ini")) << i;
    model = SetProfileEntry(model, section, key, value);
    ASSERT_EQ(OnDisk(), model) << i;
    if (i == 120) {
      // Changed behind the service's back: the kept text must not be trusted.
      test::WriteHostFile(Host() / "app.ini", "[Main]\r\nHand=made\r\n");
      model = "[Main]\r\nHand=made\r\n";
    }
    if (i == 200) {
      ASSERT_TRUE(profiles_.WriteString("Main", "Key3", std::nullopt, "app.ini"));
      model = DeleteProfileEntry(model, "Main", "Key3");
      ASSERT_EQ(OnDisk(), model);
    }
  }
}

TEST_F(ProfileAppendTest, RefusalsStayThoseOfTheWholeFileWrite) {
  ASSERT_TRUE(profiles_.WriteString("S", "a", "1", "app.ini"));
  struct Case {
    const char* name;
    std::function<void()> arrange;
    bool result;
    const char* after;
  };
  std::unique_ptr<platform::File> holder;
  const Case cases[] = {
      {"hidden file is not replaced",
       [&] { files_.SetAttributes("C:\\WINDOWS\\APP.INI", platform::kFileAttributeHidden); }, false,
       "[S]\r\na=1\r\n"},
      {"read-only file is not replaced",
       [&] { files_.SetAttributes("C:\\WINDOWS\\APP.INI", platform::kFileAttributeReadonly); },
       false, "[S]\r\na=1\r\n"},
      {"file held open",
       [&] {
         holder = files_.Open("C:\\WINDOWS\\APP.INI", platform::kGenericRead, 0,
                              platform::Disposition::OpenExisting);
       },
       false, "[S]\r\na=1\r\n"},
      {"full disk fails the write", [&] { faults_.driveFillsAfter['C'] = 3; }, false,
       "[S]\r\na=1\r\nb=2"},
  };
  for (const Case& c : cases) {
    test::WriteHostFile(Host() / "app.ini", "");
    files_.SetAttributes("C:\\WINDOWS\\APP.INI", 0);
    ASSERT_TRUE(profiles_.WriteString("S", "a", "1", "app.ini")) << c.name;
    c.arrange();
    EXPECT_EQ(profiles_.WriteString("S", "b", "2", "app.ini"), c.result) << c.name;
    EXPECT_EQ(OnDisk(), c.after) << c.name;
    holder.reset();
    faults_.driveFillsAfter.clear();
  }
}

}  // namespace
}  // namespace sandbox
