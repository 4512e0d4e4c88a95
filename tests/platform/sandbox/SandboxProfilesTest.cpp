#include "platform/sandbox/SandboxProfiles.h"

#include <gtest/gtest.h>

#include "tests/platform/sandbox/MemoryFiles.h"

namespace sandbox {
namespace {

using std::nullopt;
using std::optional;
using std::string;

struct WriteCase {
  const char* name;
  optional<string> before;  // the file's bytes before the write; nullopt: no file
  string section;
  optional<string> key;
  optional<string> value;
  optional<string> after;  // the file's bytes after the write; nullopt: no file
  bool result = true;
};

TEST(SandboxProfiles, WritesLikeWritePrivateProfileString) {
  const WriteCase cases[] = {
      {"new file", nullopt, "Sec", "Key", "Val", "[Sec]\r\nKey=Val\r\n"},
      {"new section at the end", "[A]\r\nx=1\r\n", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
      {"new section after a last line without line end", "[A]\r\nx=1", "B", "k", "v",
       "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
      {"new key after the last non-blank line of a middle section",
       "[A]\r\na=1\r\n\r\n[B]\r\nb=1\r\n; note\r\n\r\n[C]\r\nc=1\r\n", "B", "new", "2",
       "[A]\r\na=1\r\n\r\n[B]\r\nb=1\r\n; note\r\nnew=2\r\n\r\n[C]\r\nc=1\r\n"},
      {"new key in an empty section at the end without line end", "[A]", "A", "k", "v",
       "[A]\r\nk=v\r\n"},
      {"new key after a last line cut off after its CR", "[A]\r\nx=1\r", "A", "k", "v",
       "[A]\r\nx=1\r\r\nk=v\r\n"},
      {"value replaced in place, other bytes kept", "; top\n[Sec]\n  Key = old ; x\nOther=1\n",
       "Sec", "Key", "new", "; top\n[Sec]\n  Key =new\nOther=1\n"},
      {"section and key matched in any case, trimmed", "[ sec ]\r\n KEY =1\r\n", "SEC", "key", "2",
       "[ sec ]\r\n KEY =2\r\n"},
      {"key and value written as given, with their blanks", nullopt, "S", "Home ", " C:\\Demo",
       "[S]\r\nHome = C:\\Demo\r\n"},
      {"a key written with blanks is found by its trimmed name", "[S]\r\nHome = C:\\Demo\r\n", "s",
       "home", "x", "[S]\r\nHome =x\r\n"},
      {"empty section and key", nullopt, "", "", "", "=\r\n"},
      // As Windows writes an INI line that came before the script's first SECTION=.
      {"no section: at the top, without a header", "[A]\r\nx=1\r\n", "", "", "[Settings]",
       "=[Settings]\r\n[A]\r\nx=1\r\n"},
      {"no section: after the lines before the first header", "; c\r\ntop=1\r\n\r\n[A]\r\n", " ",
       "k", "v", "; c\r\ntop=1\r\nk=v\r\n\r\n[A]\r\n"},
      {"no section: a header of no name is not it", "[]\r\nk=1\r\n", "", "k", "2",
       "k=2\r\n[]\r\nk=1\r\n"},
      {"a header indented by a tab or control byte is still a header",
       "[A]\r\nx=1\r\n\t[B]\r\ny=1\r\n\x01[C]\r\n", "c", "k", "v",
       "[A]\r\nx=1\r\n\t[B]\r\ny=1\r\n\x01[C]\r\nk=v\r\n"},
      {"entry without = gets its value", "[A]\r\nflag\r\n", "A", "flag", "1", "[A]\r\nflag=1\r\n"},
      {"the first of two equal sections", "[A]\r\nx=1\r\n[a]\r\nx=2\r\n", "A", "x", "9",
       "[A]\r\nx=9\r\n[a]\r\nx=2\r\n"},
      {"lines before any section are no section", "x=1\r\n", "", "x", "2", "x=2\r\n"},
      {"high bytes kept", "[\x8A]\r\n", "\x8A", "k", "\x84q\x94", "[\x8A]\r\nk=\x84q\x94\r\n"},
      {"null value deletes the key", "[A]\r\nx=1\r\ny=2\r\n", "a", "X", nullopt, "[A]\r\ny=2\r\n"},
      {"null key deletes the whole section", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", nullopt,
       nullopt, "[B]\r\ny=2\r\n"},
      {"deleting the last section", "[A]\r\nx=1\r\n[B]\r\ny=2", "b", nullopt, "ignored",
       "[A]\r\nx=1\r\n"},
      {"deleting a missing key changes nothing", "[A]\r\nx=1", "A", "z", nullopt, "[A]\r\nx=1"},
      {"deleting in a missing file creates none", nullopt, "A", nullopt, nullopt, nullopt},
  };
  for (const WriteCase& c : cases) {
    test::MemoryFiles files;
    Faults faults;
    SandboxProfiles profiles(files, faults);
    if (c.before) files.Put("C:\\APP.INI", *c.before);
    EXPECT_EQ(profiles.WriteString(c.section, c.key, c.value, "C:\\APP.INI"), c.result) << c.name;
    EXPECT_EQ(files.Text("C:\\APP.INI"), c.after) << c.name;
  }
}

struct PlaceCase {
  const char* name;
  string fileName;
  string profilePath;  // what the name stands for
  string storedAt;     // where the file lands (empty: not written in this case)
};

TEST(SandboxProfiles, NameWithoutDirectoryLiesInTheWindowsDirectory) {
  const PlaceCase cases[] = {
      {"bare name", "app.ini", "C:\\WINDOWS\\app.ini", "C:\\WINDOWS\\APP.INI"},
      {"full path", "C:\\app.ini", "C:\\app.ini", "C:\\APP.INI"},
      {"relative path with backslash", "SUB\\app.ini", "SUB\\app.ini", "C:\\SUB\\APP.INI"},
      {"relative path with slash", "sub/app.ini", "sub/app.ini", "C:\\SUB\\APP.INI"},
      {"drive-relative name", "C:app.ini", "C:app.ini", ""},
  };
  for (const PlaceCase& c : cases) {
    test::MemoryFiles files;
    files.AddDirectory("C:\\SUB");
    Faults faults;
    SandboxProfiles profiles(files, faults);
    EXPECT_EQ(profiles.ProfilePath(c.fileName), c.profilePath) << c.name;
    if (c.storedAt.empty()) continue;
    ASSERT_TRUE(profiles.WriteString("S", "k", "v", c.fileName)) << c.name;
    EXPECT_EQ(files.Text(c.storedAt), "[S]\r\nk=v\r\n") << c.name;
    EXPECT_EQ(profiles.ReadString("S", "K", "", c.fileName), "v") << c.name;
  }
}

TEST(SandboxProfiles, RefusedWritesFailAndLeaveTheFile) {
  struct Case {
    const char* name;
    bool allRefused;
    const char* refusedFile;
    const char* fileName;
    std::uint32_t attributes;
    bool locked;
    bool result;
  };
  const Case cases[] = {
      {"every profile write refused", true, "", "C:\\APP.INI", 0, false, false},
      {"file refused by the name passed", false, "app.ini", "APP.INI", 0, false, false},
      {"file refused by its full path", false, "C:\\WINDOWS\\APP.INI", "app.ini", 0, false, false},
      {"another file refused", false, "OTHER.INI", "app.ini", 0, false, true},
      {"read-only file", false, "", "app.ini", platform::kFileAttributeReadonly, false, false},
      {"file held open elsewhere", false, "", "app.ini", 0, true, false},
  };
  for (const Case& c : cases) {
    test::MemoryFiles files;
    Faults faults;
    faults.profileWritesRefused = c.allRefused;
    if (*c.refusedFile) faults.refusedProfileFiles.insert(c.refusedFile);
    const string path = c.fileName[1] == ':' ? c.fileName : "C:\\WINDOWS\\APP.INI";
    files.Put(path, "[S]\r\nk=old\r\n", c.attributes);
    if (c.locked) files.locked.insert(path);
    SandboxProfiles profiles(files, faults);
    EXPECT_EQ(profiles.WriteString("S", "k", "new", c.fileName), c.result) << c.name;
    EXPECT_EQ(profiles.WriteString("S", "k", nullopt, c.fileName), c.result) << c.name;
    EXPECT_EQ(files.Text(path), c.result ? "[S]\r\n" : "[S]\r\nk=old\r\n") << c.name;
  }
  test::MemoryFiles files;
  Faults faults;
  SandboxProfiles profiles(files, faults);
  EXPECT_FALSE(profiles.WriteString("S", "k", "v", "C:\\NODIR\\APP.INI"))
      << "the directory of a new file must exist";
  EXPECT_EQ(files.Text("C:\\NODIR\\APP.INI"), nullopt);
}

TEST(SandboxProfiles, ReadsTheTrimmedValueOrTheFallback) {
  struct Case {
    const char* name;
    optional<string> text;
    string section;
    string key;
    string expected;
  };
  const Case cases[] = {
      {"blanks trimmed", "[S]\r\nk=  v w  \r\n", "S", "k", "v w"},
      {"double quotes removed", "[S]\r\nk= \" v \" \r\n", "S", "k", " v "},
      {"single quotes removed", "[S]\r\nk='v'\r\n", "S", "k", "v"},
      {"unmatched quotes kept", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
      {"key matched trimmed, any case", "[ s ]\r\n  Home  = x\r\n", "S", "HOME", "x"},
      {"empty value is no fallback", "[S]\r\nk=\r\n", "S", "k", ""},
      {"entry without =", "[S]\r\nk\r\n", "S", "k", ""},
      {"first equal key wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
      {"key in another section", "[S]\r\n[T]\r\nk=1\r\n", "S", "k", "fallback"},
      {"missing section", "[S]\r\nk=1\r\n", "X", "k", "fallback"},
      {"missing file", nullopt, "S", "k", "fallback"},
  };
  for (const Case& c : cases) {
    test::MemoryFiles files;
    Faults faults;
    SandboxProfiles profiles(files, faults);
    if (c.text) files.Put("C:\\WINDOWS\\READ.INI", *c.text);
    EXPECT_EQ(profiles.ReadString(c.section, c.key, "fallback", "read.ini"), c.expected) << c.name;
  }
}

// A section read and written whole, as WININIT.INI's [rename] is: a key that comes twice
// stays twice, other sections and the bytes around the section stay.
TEST(SandboxProfiles, SectionsAreReadAndWrittenWhole) {
  struct Case {
    const char* name;
    optional<string> before;
    std::vector<string> read;  // what the section holds before the write
    std::vector<string> lines;
    optional<string> after;
  };
  const Case cases[] = {
      {"new file", nullopt, {}, {"NUL=C:\\A.EXE"}, "[rename]\r\nNUL=C:\\A.EXE\r\n"},
      {"lines of a key that comes twice, trimmed",
       "[boot]\r\nx=1\r\n[Rename]\r\n NUL=C:\\A \r\n\r\nNUL=C:\\B\r\nC:\\N=C:\\O\r\n[z]\r\n",
       {"NUL=C:\\A", "NUL=C:\\B", "C:\\N=C:\\O"},
       {"NUL=C:\\A", "NUL=C:\\B", "C:\\N=C:\\O", "NUL=C:\\C"},
       "[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nC:\\N=C:\\O\r\nNUL=C:\\C\r\n[z]"
       "\r\n"},
      {"missing section appended after a last line without line end",
       "[boot]\r\nx=1",
       {},
       {"NUL=C:\\A"},
       "[boot]\r\nx=1\r\n[rename]\r\nNUL=C:\\A\r\n"},
      {"a header that ends the file", "[rename]", {}, {"NUL=C:\\A"}, "[rename]\r\nNUL=C:\\A\r\n"},
  };
  for (const Case& c : cases) {
    test::MemoryFiles files;
    Faults faults;
    SandboxProfiles profiles(files, faults);
    if (c.before) files.Put("C:\\WINDOWS\\WININIT.INI", *c.before);
    EXPECT_EQ(profiles.ReadSection("rename", "WININIT.INI"), c.read) << c.name;
    EXPECT_TRUE(profiles.WriteSection("rename", c.lines, "WININIT.INI")) << c.name;
    EXPECT_EQ(files.Text("C:\\WINDOWS\\WININIT.INI"), c.after) << c.name;
  }
  test::MemoryFiles files;
  Faults faults;
  faults.refusedProfileFiles.insert("WININIT.INI");
  SandboxProfiles profiles(files, faults);
  EXPECT_FALSE(profiles.WriteSection("rename", {"NUL=C:\\A"}, "WININIT.INI"));
  EXPECT_EQ(files.Text("C:\\WINDOWS\\WININIT.INI"), nullopt);
}

}  // namespace
}  // namespace sandbox
