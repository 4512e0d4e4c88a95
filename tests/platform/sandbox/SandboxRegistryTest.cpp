#include "platform/sandbox/SandboxRegistry.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/WinTypes.h"

namespace sandbox {
namespace {

using platform::HKey;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using platform::kKeyAllAccess;

constexpr long kOk = 0;
constexpr long kNotFound = platform::kErrorFileNotFound;
constexpr long kDenied = platform::kErrorAccessDenied;
constexpr long kBadHandle = platform::kErrorInvalidHandle;
constexpr long kBadParameter = platform::kErrorInvalidParameter;
constexpr long kKeyDeleted = platform::kErrorKeyDeleted;

std::string Dword(std::uint32_t number) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
  return bytes;
}

class SandboxRegistryTest : public ::testing::Test {
 protected:
  SandboxRegistryTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "registry-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    file_ = dir_ / "registry.reg";
  }
  ~SandboxRegistryTest() override {
    std::error_code error;
    std::filesystem::remove_all(dir_, error);
  }

  std::string FileText() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void WriteFile(const std::string& text) const { std::ofstream(file_, std::ios::binary) << text; }

  HKey Create(SandboxRegistry& registry, HKey parent, const std::string& path) {
    HKey key = 0;
    EXPECT_EQ(registry.CreateKey(parent, path, kKeyAllAccess, key), kOk) << path;
    return key;
  }

  std::filesystem::path dir_;
  std::filesystem::path file_;
  Faults faults_;
};

TEST_F(SandboxRegistryTest, CreatesEveryLevelAndOpensRelativeToAnyKey) {
  SandboxRegistry registry(file_, faults_);
  HKey key = 0;
  bool created = false;
  ASSERT_EQ(registry.CreateKey(kHkeyLocalMachine, "SOFTWARE\\A\\B", kKeyAllAccess, key, &created),
            kOk);
  EXPECT_TRUE(created);
  ASSERT_EQ(registry.CreateKey(kHkeyLocalMachine, "software\\a\\b\\", kKeyAllAccess, key, &created),
            kOk);
  EXPECT_FALSE(created) << "an existing key, named in another case, with a trailing backslash";

  HKey a = 0, b = 0, again = 0;
  ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, "Software\\A", platform::kKeyRead, a), kOk);
  ASSERT_EQ(registry.OpenKey(a, "B", platform::kKeyRead, b), kOk);
  ASSERT_EQ(registry.OpenKey(b, "", platform::kKeyRead, again), kOk);
  EXPECT_NE(again, b) << "reopening gives a handle of its own";
  ASSERT_EQ(registry.SetValue(again, "V", platform::kRegSz, "x"), kOk);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(registry.QueryValue(b, "v", type, data), kOk);
  EXPECT_EQ(data, "x");

  std::uint32_t subKeys = 9, values = 9;
  ASSERT_EQ(registry.QueryInfo(a, subKeys, values), kOk);
  EXPECT_EQ(subKeys, 1u);
  EXPECT_EQ(values, 0u);
  HKey root = 0;
  ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, "", platform::kKeyRead, root), kOk);
  EXPECT_EQ(root, kHkeyLocalMachine);
}

TEST_F(SandboxRegistryTest, NamesMatchInAnyCaseButKeepTheirFirstSpelling) {
  SandboxRegistry registry(file_, faults_);
  HKey key = Create(registry, kHkeyCurrentUser, "Soft\\MyKey");
  Create(registry, kHkeyCurrentUser, "SOFT\\MYKEY\\Leaf");
  ASSERT_EQ(registry.SetValue(key, "UserName", platform::kRegSz, "first"), kOk);
  ASSERT_EQ(registry.SetValue(key, "USERNAME", platform::kRegDword, Dword(7)), kOk);
  std::uint32_t type = 0;
  std::string data;
  ASSERT_EQ(registry.QueryValue(key, "username", type, data), kOk);
  EXPECT_EQ(type, platform::kRegDword);
  EXPECT_EQ(data, Dword(7));
  EXPECT_EQ(registry.Text(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Soft\\MyKey]\r\n"
            "\"UserName\"=dword:00000007\r\n\r\n"
            "[HKEY_CURRENT_USER\\Soft\\MyKey\\Leaf]\r\n\r\n");
}

// Each case runs on a registry holding HKLM\SOFTWARE\A\B with the value V in A; `a` is an
// open handle to A.
struct ErrorCase {
  const char* name;
  std::function<long(SandboxRegistry&, HKey a)> call;
  long expected;
};

TEST_F(SandboxRegistryTest, ErrorCodesMatchWindows) {
  HKey out = 0;
  std::uint32_t type = 0, n1 = 0, n2 = 0;
  std::string data;
  const ErrorCase cases[] = {
      {"open missing key",
       [&](SandboxRegistry& r, HKey) {
         return r.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Nope", 0, out);
       },
       kNotFound},
      {"open below a missing key",
       [&](SandboxRegistry& r, HKey a) { return r.OpenKey(a, "Nope\\Deeper", 0, out); }, kNotFound},
      {"query missing value",
       [&](SandboxRegistry& r, HKey a) { return r.QueryValue(a, "W", type, data); }, kNotFound},
      {"query unnamed value never set",
       [&](SandboxRegistry& r, HKey a) { return r.QueryValue(a, "", type, data); }, kNotFound},
      {"create with leading backslash",
       [&](SandboxRegistry& r, HKey a) { return r.CreateKey(a, "\\C", kKeyAllAccess, out); },
       kBadParameter},
      {"open with leading backslash",
       [&](SandboxRegistry& r, HKey) { return r.OpenKey(kHkeyLocalMachine, "\\SOFTWARE", 0, out); },
       kBadParameter},
      {"create with empty component",
       [&](SandboxRegistry& r, HKey a) { return r.CreateKey(a, "C\\\\D", kKeyAllAccess, out); },
       kBadParameter},
      {"create with 256-byte name",
       [&](SandboxRegistry& r, HKey a) {
         return r.CreateKey(a, std::string(256, 'k'), kKeyAllAccess, out);
       },
       kBadParameter},
      {"delete key with subkeys",
       [&](SandboxRegistry& r, HKey) { return r.DeleteKey(kHkeyLocalMachine, "SOFTWARE\\A"); },
       kDenied},
      {"delete missing key", [&](SandboxRegistry& r, HKey a) { return r.DeleteKey(a, "Nope"); },
       kNotFound},
      {"delete a root",
       [&](SandboxRegistry& r, HKey) { return r.DeleteKey(kHkeyLocalMachine, ""); }, kDenied},
      {"delete missing value", [&](SandboxRegistry& r, HKey a) { return r.DeleteValue(a, "W"); },
       kNotFound},
      {"delete leaf key", [&](SandboxRegistry& r, HKey a) { return r.DeleteKey(a, "b"); }, kOk},
      {"unknown handle",
       [&](SandboxRegistry& r, HKey) { return r.SetValue(0x1234, "V", platform::kRegSz, "x"); },
       kBadHandle},
      {"performance-data root is not emulated",
       [&](SandboxRegistry& r, HKey) {
         return r.OpenKey(platform::kHkeyPerformanceData, "", 0, out);
       },
       kBadHandle},
      {"closed handle",
       [&](SandboxRegistry& r, HKey a) {
         r.CloseKey(a);
         return r.QueryInfo(a, n1, n2);
       },
       kBadHandle},
      {"closing twice",
       [&](SandboxRegistry& r, HKey a) {
         r.CloseKey(a);
         return r.CloseKey(a);
       },
       kBadHandle},
      {"closing a root", [&](SandboxRegistry& r, HKey) { return r.CloseKey(kHkeyLocalMachine); },
       kOk},
      {"handle of a deleted key",
       [&](SandboxRegistry& r, HKey a) {
         HKey b = 0;
         r.OpenKey(a, "B", 0, b);
         r.DeleteKey(a, "B");
         return r.SetValue(b, "V", platform::kRegSz, "x");
       },
       kKeyDeleted},
      {"handle of a deleted key stays dead after the key is made again",
       [&](SandboxRegistry& r, HKey a) {
         HKey b = 0;
         r.OpenKey(a, "B", 0, b);
         r.DeleteKey(b, "");
         r.CreateKey(a, "B", kKeyAllAccess, out);
         return r.CreateKey(b, "C", kKeyAllAccess, out);
       },
       kKeyDeleted},
  };
  for (const ErrorCase& c : cases) {
    Faults faults;
    SandboxRegistry registry(dir_ / (std::string(c.name) + ".reg"), faults);
    HKey a = Create(registry, kHkeyLocalMachine, "SOFTWARE\\A");
    Create(registry, a, "B");
    ASSERT_EQ(registry.SetValue(a, "V", platform::kRegSz, "v"), kOk);
    EXPECT_EQ(c.call(registry, a), c.expected) << c.name;
  }
}

TEST_F(SandboxRegistryTest, DeleteRemovesKeysAndValues) {
  SandboxRegistry registry(file_, faults_);
  HKey a = Create(registry, kHkeyCurrentUser, "A");
  Create(registry, a, "B");
  ASSERT_EQ(registry.SetValue(a, "V", platform::kRegSz, "v"), kOk);
  ASSERT_EQ(registry.DeleteValue(a, "v"), kOk);
  ASSERT_EQ(registry.DeleteKey(kHkeyCurrentUser, "a\\b"), kOk);
  std::uint32_t subKeys = 9, values = 9;
  ASSERT_EQ(registry.QueryInfo(a, subKeys, values), kOk);
  EXPECT_EQ(subKeys, 0u);
  EXPECT_EQ(values, 0u);
  ASSERT_EQ(registry.DeleteKey(kHkeyCurrentUser, "A"), kOk);
  HKey out = 0;
  EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, "A", 0, out), kNotFound);
}

TEST_F(SandboxRegistryTest, FileRoundTripKeepsEveryTypeAndByte) {
  const std::string longBinary(40, '\xAB');
  struct Stored {
    const char* name;
    std::uint32_t type;
    std::string data;
  };
  const Stored stored[] = {
      {"", platform::kRegSz, "default"},
      {"Path", platform::kRegSz, "C:\\Program Files\\X\\"},
      {"Quoted \"name\"", platform::kRegSz, "say \"hi\" \\\\server"},
      {"HighBytes", platform::kRegSz, "\x84Z\x9Alu\x9D\x94 \xE8"},
      {"Empty", platform::kRegSz, ""},
      {"Lines", platform::kRegSz, std::string("a\r\nb\0c", 6)},
      {"Count", platform::kRegDword, Dword(0xFFFFFFFF)},
      {"ShortDword", platform::kRegDword, "\x01\x02"},
      {"Blob", platform::kRegBinary, longBinary},
      {"EmptyBlob", platform::kRegBinary, ""},
      {"Expand", platform::kRegExpandSz, std::string("%WINDIR%\\x\0", 11)},
      {"Multi", platform::kRegMultiSz, std::string("a\0b\0\0", 5)},
      {
          "None",
          platform::kRegNone,
          "\x00",
      },
  };
  std::string savedText;
  {
    SandboxRegistry registry(file_, faults_);
    HKey key = Create(registry, kHkeyLocalMachine, "SOFTWARE\\Tavrin\\App");
    for (const Stored& s : stored)
      ASSERT_EQ(registry.SetValue(key, s.name, s.type, s.data), kOk) << s.name;
    Create(registry, kHkeyCurrentUser, "Empty\\Leaf");
    savedText = registry.Text();
  }
  EXPECT_EQ(FileText(), savedText) << "the destructor saves";
  EXPECT_FALSE(std::filesystem::exists(dir_ / "registry.reg.tmp"));
  EXPECT_NE(savedText.find("\"Path\"=\"C:\\\\Program Files\\\\X\\\\\"\r\n"), std::string::npos);
  EXPECT_NE(savedText.find("\"Count\"=dword:ffffffff\r\n"), std::string::npos);
  EXPECT_NE(savedText.find("\"Blob\"=hex:ab,ab"), std::string::npos);
  EXPECT_NE(savedText.find(",\\\r\n  ab,"), std::string::npos) << "long hex data wraps";

  SandboxRegistry reloaded(file_, faults_);
  HKey key = 0;
  ASSERT_EQ(reloaded.OpenKey(kHkeyLocalMachine, "SOFTWARE\\TAVRIN\\APP", 0, key), kOk);
  for (const Stored& s : stored) {
    std::uint32_t type = 99;
    std::string data;
    ASSERT_EQ(reloaded.QueryValue(key, s.name, type, data), kOk) << s.name;
    EXPECT_EQ(type, s.type) << s.name;
    EXPECT_EQ(data, s.data) << s.name;
  }
  HKey leaf = 0;
  EXPECT_EQ(reloaded.OpenKey(kHkeyCurrentUser, "Empty\\Leaf", 0, leaf), kOk);
  EXPECT_EQ(reloaded.Text(), savedText);
}

TEST_F(SandboxRegistryTest, KeysAreWrittenInCaseInsensitiveTreeOrder) {
  SandboxRegistry registry(file_, faults_);
  for (const char* path : {"b", "A\\z", "a b", "C", "A\\Y"})
    Create(registry, platform::kHkeyUsers, path);
  HKey root = platform::kHkeyUsers;
  ASSERT_EQ(registry.SetValue(root, "R", platform::kRegSz, "r"), kOk);
  EXPECT_EQ(registry.Text(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_USERS]\r\n\"R\"=\"r\"\r\n\r\n"
            "[HKEY_USERS\\A\\Y]\r\n\r\n"
            "[HKEY_USERS\\A\\z]\r\n\r\n"
            "[HKEY_USERS\\a b]\r\n\r\n"
            "[HKEY_USERS\\b]\r\n\r\n"
            "[HKEY_USERS\\C]\r\n\r\n");
}

TEST_F(SandboxRegistryTest, DamagedFileLoadsWhatCanBeRead) {
  WriteFile(
      "REGEDIT4\n"
      "\"Orphan\"=\"value before any key\"\n"
      "[HKEY_LOCAL_MACHINE\\Good]\n"
      "\"Text\"=\"ok\"\n"
      "\"Unterminated\"=\"oops\n"
      "\"BadHex\"=hex:zz,01\n"
      "\"BadDword\"=dword:123456789\n"
      "\"Trailing\"=\"x\" junk\n"
      "\"NoEquals\" \"x\"\n"
      "@=hex(2):41,00\n"
      "\"Wrapped\"=hex:01,02,\\\n"
      "    03\n"
      "[HKEY_NOWHERE\\Lost]\n"
      "\"Lost\"=\"x\"\n"
      "[-HKEY_LOCAL_MACHINE\\Good]\n"
      "\"AfterDelete\"=\"x\"\n"
      "[HKEY_LOCAL_MACHINE\\Bad\\\\Path]\n"
      "[\n"
      "]\n"
      "\"Cut\"=hex:01,\\");
  SandboxRegistry registry(file_, faults_);
  HKey key = 0;
  ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, "Good", 0, key), kOk);
  std::uint32_t subKeys = 0, values = 0;
  ASSERT_EQ(registry.QueryInfo(key, subKeys, values), kOk);
  EXPECT_EQ(values, 3u) << "Text, the unnamed value and Wrapped";
  std::uint32_t type = 0;
  std::string data;
  ASSERT_EQ(registry.QueryValue(key, "", type, data), kOk);
  EXPECT_EQ(type, platform::kRegExpandSz);
  EXPECT_EQ(data, std::string("A\0", 2));
  ASSERT_EQ(registry.QueryValue(key, "Wrapped", type, data), kOk);
  EXPECT_EQ(data, "\x01\x02\x03");
  ASSERT_EQ(registry.QueryInfo(kHkeyLocalMachine, subKeys, values), kOk);
  EXPECT_EQ(subKeys, 1u) << "the malformed key path is skipped";
}

TEST_F(SandboxRegistryTest, RefusedWritesChangeNothing) {
  {
    SandboxRegistry registry(file_, faults_);
    HKey key = Create(registry, kHkeyLocalMachine, "SOFTWARE\\X");
    ASSERT_EQ(registry.SetValue(key, "V", platform::kRegSz, "v"), kOk);
  }
  struct Case {
    const char* name;
    bool all;
    const char* refusedKey;
    long createNew, createExisting, createSibling, set, deleteValue, deleteKey;
  };
  const Case cases[] = {
      {"every write refused", true, "", kDenied, kOk, kDenied, kDenied, kDenied, kDenied},
      {"the key itself refused", false, "HKEY_LOCAL_MACHINE\\SOFTWARE\\X", kDenied, kOk, kOk,
       kDenied, kDenied, kDenied},
      {"a parent refused", false, "HKEY_LOCAL_MACHINE\\SOFTWARE", kDenied, kOk, kDenied, kDenied,
       kDenied, kDenied},
      {"a key that only shares a prefix", false, "HKEY_LOCAL_MACHINE\\SOFTWARE\\XY", kOk, kOk, kOk,
       kOk, kOk, kOk},
  };
  for (const Case& c : cases) {
    Faults faults;
    faults.registryWritesRefused = c.all;
    if (*c.refusedKey) faults.refusedRegistryKeys.insert(c.refusedKey);
    std::filesystem::path copy = dir_ / (std::string(c.name) + ".reg");
    std::filesystem::copy_file(file_, copy);
    SandboxRegistry registry(copy, faults);
    HKey key = 0, out = 0;
    ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, "software\\x", 0, key), kOk);
    EXPECT_EQ(registry.CreateKey(key, "New\\Deeper", kKeyAllAccess, out), c.createNew) << c.name;
    EXPECT_EQ(registry.CreateKey(kHkeyLocalMachine, "SOFTWARE\\X", kKeyAllAccess, out),
              c.createExisting)
        << c.name;
    EXPECT_EQ(registry.CreateKey(kHkeyLocalMachine, "SOFTWARE\\Other", kKeyAllAccess, out),
              c.createSibling)
        << c.name;
    EXPECT_EQ(registry.SetValue(key, "W", platform::kRegSz, "w"), c.set) << c.name;
    EXPECT_EQ(registry.DeleteValue(key, "V"), c.deleteValue) << c.name;
    std::uint32_t type = 0;
    std::string data;
    EXPECT_EQ(registry.QueryValue(key, "V", type, data), c.deleteValue == kOk ? kNotFound : kOk)
        << c.name << ": reads still work";
    HKey partial = 0;
    if (c.createNew != kOk) {
      EXPECT_EQ(registry.OpenKey(key, "New", 0, partial), kNotFound) << c.name;
    }
    registry.CreateKey(key, "Leaf", kKeyAllAccess, out);
    if (c.createNew == kOk) {
      EXPECT_EQ(registry.DeleteKey(key, "Leaf"), c.deleteKey) << c.name;
    } else {
      EXPECT_EQ(registry.DeleteKey(kHkeyLocalMachine, "SOFTWARE\\X"), kDenied) << c.name;
    }
  }
}

// The 95 family's registry: one value's data at most 16,300 bytes, a text's zero counted;
// a key's values, names and data, at most 65,535 bytes together. A refused write changes
// nothing; a value written again first gives back the room it took.
TEST_F(SandboxRegistryTest, The95FamilyRefusesWhatDoesNotFitAKey) {
  const long kFull = platform::kErrorOutOfMemory;
  struct Write {
    const char* name;
    std::uint32_t type;
    std::size_t size;
    long result;
  };
  const Write writes[] = {
      {"big", platform::kRegBinary, 16300, kOk},
      {"big", platform::kRegBinary, 16301, kFull},
      {"text", platform::kRegSz, 16299, kOk},
      {"text", platform::kRegSz, 16300, kFull},
      // 3 + 16,300 + 4 + 16,300 so far; these bring the key to 65,535 bytes exactly.
      {"c", platform::kRegBinary, 16000, kOk},
      {"d", platform::kRegBinary, 16300, kOk},
      {"e", platform::kRegBinary, 625, kOk},
      {"f", platform::kRegBinary, 0, kFull},
      {"big", platform::kRegBinary, 16300, kOk},
      {"big", platform::kRegBinary, 16299, kOk},
      {"f", platform::kRegBinary, 0, kOk},
      {"g", platform::kRegBinary, 0, kFull},
  };
  SandboxRegistry registry(file_, faults_, k95FamilyRegistryLimits);
  SandboxRegistry nt(dir_ / "nt.reg", faults_);
  const HKey key = Create(registry, kHkeyLocalMachine, "SOFTWARE\\Full");
  const HKey ntKey = Create(nt, kHkeyLocalMachine, "SOFTWARE\\Full");
  for (const Write& w : writes) {
    const std::string data(w.size, 'x');
    std::string before;
    std::uint32_t type = 0;
    registry.QueryValue(key, w.name, type, before);
    EXPECT_EQ(registry.SetValue(key, w.name, w.type, data), w.result) << w.name << " " << w.size;
    std::string after;
    registry.QueryValue(key, w.name, type, after);
    EXPECT_EQ(after, w.result == kOk ? data : before) << w.name << " " << w.size;
    EXPECT_EQ(nt.SetValue(ntKey, w.name, w.type, data), kOk) << w.name << " " << w.size;
  }
  EXPECT_EQ(nt.SetValue(ntKey, "huge", platform::kRegBinary, std::string(1 << 20, 'x')), kOk);
}

// The next save's disk space is taken while the registry grows, not when it is saved: a
// drive C filled in between must not keep the file from being written.
TEST_F(SandboxRegistryTest, DiskSpaceForTheNextSaveIsTakenAsTheTreeGrows) {
  const auto allocated = [](const std::filesystem::path& path) -> std::uint64_t {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_blocks) * 512 : 0;
  };
  const std::filesystem::path reserve = dir_ / "registry.reserve";
  SandboxRegistry registry(file_, faults_);
  EXPECT_GT(allocated(reserve), 0u) << "a new machine holds space for its first save";
  HKey key = Create(registry, kHkeyLocalMachine, "SOFTWARE\\Tavrin\\Record");
  for (int i = 0; i < 4000; ++i)
    ASSERT_EQ(registry.SetValue(key, "Record." + std::to_string(i), platform::kRegSz,
                                std::string(200, 'r') + '\0'),
              kOk);
  const std::size_t size = registry.Text().size();
  EXPECT_GE(allocated(reserve), size) << "the reserve keeps up with the text";
  ASSERT_TRUE(registry.Save());
  EXPECT_EQ(FileText().size(), size);
  EXPECT_GE(allocated(reserve), size) << "a new reserve is taken after the save";
}

}  // namespace
}  // namespace sandbox
