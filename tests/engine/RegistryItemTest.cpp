// Registry items of the script, the root-name lookup and the shared-DLL counts.
#include <optional>
#include <string>
#include <vector>

#include "tests/engine/ItemsHarness.h"

namespace {

using items_test::Dword;
using items_test::ItemsHarness;
using items_test::StoredValue;
using items_test::Sz;

constexpr platform::HKey kHklm = platform::kHkeyLocalMachine;
constexpr platform::HKey kHkcu = platform::kHkeyCurrentUser;

// The lines of a block: its header line, the given lines, and whatever follows.
std::vector<std::string> Block(std::vector<std::string> body) {
  body.insert(body.begin(), "REGISTRY ITEM");
  return body;
}

// A complete block with one field changed or added at the end of the fields.
std::vector<std::string> ItemWith(const std::string& level, const std::string& data,
                                  const std::string& type,
                                  const std::string& root = "HKEY_LOCAL_MACHINE") {
  return Block({"KEYROOT=" + root, "KEYLEVEL=" + level, "KEYNAME=Val", "KEYNAMEVALUE=" + data,
                "KEYTYPE=" + type, "END OF REGISTRY ITEM", "AFTER=1"});
}

struct WrittenCase {
  const char* name;
  std::vector<std::string> lines;
  platform::HKey root;
  std::string keyPath;
  std::string valueName;
  StoredValue expected;
  std::size_t endIndex;
};

TEST(RegistryItem, WritesTheValueAndStopsOnTheEndLine) {
  const WrittenCase cases[] = {
      {"string with lower-case end line",
       Block({"KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=SOFTWARE\\A\\B", "KEYNAME=Path",
              "KEYNAMEVALUE=C:\\X", "KEYTYPE=String", "end of registry item", "NEXT=1"}),
       kHklm, "SOFTWARE\\A\\B", "Path", Sz("C:\\X"), 6},
      {"wrong-case root falls back to the current user",
       ItemWith("SOFTWARE\\A", "v", "STRING", "hkey_local_machine"), kHkcu, "SOFTWARE\\A", "Val",
       Sz("v"), 6},
      {"unknown root name falls back to the current user",
       ItemWith("SOFTWARE\\A", "v", "STRING", "HKEY_LOCAL_MACHINE "), kHkcu, "SOFTWARE\\A", "Val",
       Sz("v"), 6},
      {"users root", ItemWith("S", "v", "STRING", "HKEY_USERS"), platform::kHkeyUsers, "S", "Val",
       Sz("v"), 6},
      {"hexadecimal integer", ItemWith("S", "$1F", "INTEGER"), kHklm, "S", "Val", Dword(31), 6},
      {"hexadecimal integer, eight digits", ItemWith("S", "$fffffffe", "integer"), kHklm, "S",
       "Val", Dword(0xFFFFFFFEu), 6},
      {"negative integer", ItemWith("S", "-1", "Integer"), kHklm, "S", "Val", Dword(0xFFFFFFFFu),
       6},
      {"integer with leading blanks and plus", ItemWith("S", "  +12", "INTEGER"), kHklm, "S", "Val",
       Dword(12), 6},
      {"integer with a trailing blank", ItemWith("S", "12 ", "INTEGER"), kHklm, "S", "Val",
       Dword(0), 6},
      {"integer that is text", ItemWith("S", "abc", "INTEGER"), kHklm, "S", "Val", Dword(0), 6},
      {"integer out of range", ItemWith("S", "2147483648", "INTEGER"), kHklm, "S", "Val", Dword(0),
       6},
      {"lowest integer", ItemWith("S", "-2147483648", "INTEGER"), kHklm, "S", "Val",
       Dword(0x80000000u), 6},
      {"boolean true in lower case", ItemWith("S", "true", "BOOLEAN"), kHklm, "S", "Val", Dword(1),
       6},
      {"boolean yes", ItemWith("S", "yes", "Boolean"), kHklm, "S", "Val", Dword(0), 6},
      {"boolean 1", ItemWith("S", "1", "BOOLEAN"), kHklm, "S", "Val", Dword(0), 6},
      {"empty key path writes under the root", ItemWith("", "v", "STRING"), kHklm, "", "Val",
       Sz("v"), 6},
      {"leading and trailing backslash", ItemWith("\\SOFTWARE\\A\\", "v", "STRING"), kHklm,
       "SOFTWARE\\A", "Val", Sz("v"), 6},
      {"double backslash", ItemWith("SOFTWARE\\\\A", "v", "STRING"), kHklm, "SOFTWARE\\A", "Val",
       Sz("v"), 6},
      {"string kept with its blanks", ItemWith("S", " a b ", "STRING"), kHklm, "S", "Val",
       Sz(" a b "), 6},
      {"later line replaces the earlier one",
       Block({"KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=S", "KEYNAME=Old", "KEYNAME=New",
              "KEYNAMEVALUE=v", "KEYTYPE=STRING", "ENDOFREGISTRYITEM"}),
       kHklm, "S", "New", Sz("v"), 7},
      {"comments, blanks and unknown keys are skipped",
       Block({"; note", "", "KEYROOT=HKEY_LOCAL_MACHINE", "OTHER=1", "KEYLEVEL=S", "KEYNAME=Val",
              "KEYNAMEVALUE=v", "KEYTYPE=STRING", "END OF REGISTRY ITEM"}),
       kHklm, "S", "Val", Sz("v"), 9},
      {"end line with a trailing blank is not an end line",
       Block({"KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=S", "KEYNAME=First", "KEYNAMEVALUE=v",
              "KEYTYPE=STRING", "END OF REGISTRY ITEM ", "KEYNAME=Second", "END OF REGISTRY ITEM"}),
       kHklm, "S", "Second", Sz("v"), 8},
  };
  for (const WrittenCase& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup;
    std::size_t index = 0;
    EXPECT_TRUE(setup.main().ProcessRegistryItem(c.lines, index));
    EXPECT_EQ(index, c.endIndex);
    EXPECT_EQ(setup.Value(c.root, c.keyPath, c.valueName), c.expected);
    EXPECT_EQ(setup.ValueCount(c.root, c.keyPath), 1u);
    EXPECT_TRUE(items_test::Boxes(setup.transcript()).empty());
  }
}

struct IgnoredCase {
  const char* name;
  std::vector<std::string> lines;
  std::size_t endIndex;
};

TEST(RegistryItem, IncompleteBlocksWriteNothingAndSucceed) {
  const IgnoredCase cases[] = {
      {"blank before the equals sign of the root",
       Block({"KEYROOT =HKEY_USERS", "KEYLEVEL=S", "KEYNAME=Val", "KEYNAMEVALUE=v",
              "KEYTYPE=STRING", "END OF REGISTRY ITEM"}),
       6},
      {"empty value data", ItemWith("S", "", "STRING"), 6},
      {"empty value name",
       Block({"KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=S", "KEYNAME=", "KEYNAMEVALUE=v",
              "KEYTYPE=STRING", "END OF REGISTRY ITEM"}),
       6},
      {"missing type",
       Block({"KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=S", "KEYNAME=Val", "KEYNAMEVALUE=v",
              "END OF REGISTRY ITEM"}),
       5},
      {"no end line: index ends on the last line",
       Block({"KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=S", "KEYNAME=Val", "KEYNAMEVALUE=v",
              "KEYTYPE=STRING"}),
       5},
      {"header as the last line", Block({}), 0},
  };
  for (const IgnoredCase& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup;
    const std::string before = setup.RegistryText();
    std::size_t index = 0;
    EXPECT_TRUE(setup.main().ProcessRegistryItem(c.lines, index));
    EXPECT_EQ(index, c.endIndex);
    EXPECT_EQ(setup.RegistryText(), before);
  }
}

TEST(RegistryItem, UnknownTypeCreatesTheKeyPathOnly) {
  ItemsHarness setup;
  std::size_t index = 0;
  EXPECT_TRUE(setup.main().ProcessRegistryItem(ItemWith("SOFTWARE\\A\\B", "01", "BINARY"), index));
  EXPECT_EQ(index, 6u);
  EXPECT_EQ(setup.ValueCount(kHklm, "SOFTWARE\\A\\B"), 0u);
  // The progress window keeps the step's caption; its registry panel is hidden again.
  const TProcessForm& progress = *setup.main().Context().forms.ProcessForm;
  EXPECT_EQ(progress.Caption(), "Recovery of the system registers ...");
  EXPECT_EQ(progress.RegPan.Caption(), "The installation program updates system registers ...");
  EXPECT_FALSE(progress.RegPan.Visible());
}

TEST(RegistryItem, StopFlagEndsTheBlockBeforeItsLines) {
  ItemsHarness setup;
  setup.main().Interrupted = true;
  const std::string before = setup.RegistryText();
  std::size_t index = 0;
  EXPECT_TRUE(setup.main().ProcessRegistryItem(ItemWith("S", "v", "STRING"), index));
  EXPECT_EQ(index, 0u);
  EXPECT_EQ(setup.RegistryText(), before);
}

TEST(RegistryItem, KeyThatCannotBeCreatedIsReportedAndFails) {
  const std::string message = items_test::BoxLine(
      "Installation", "error", "OK",
      "The installation interrupted by error while writing values into system registers.\r\n"
      "The installation is not complete.");
  ItemsHarness setup("reply OK\n");
  setup.machine().faults().refusedRegistryKeys.insert("HKEY_LOCAL_MACHINE\\SOFTWARE\\A");
  std::size_t index = 0;
  EXPECT_FALSE(setup.main().ProcessRegistryItem(ItemWith("SOFTWARE\\A\\B", "v", "STRING"), index));
  EXPECT_EQ(index, 6u);
  EXPECT_EQ(items_test::Boxes(setup.transcript()), std::vector<std::string>{message});
  EXPECT_EQ(setup.ValueCount(kHklm, "SOFTWARE\\A"), std::nullopt);
}

TEST(RegistryItem, RefusedValueWriteFailsSilently) {
  ItemsHarness setup;
  setup.SetValue(kHklm, "SOFTWARE\\A", "Other", Sz("x"));
  setup.machine().faults().refusedRegistryKeys.insert("HKEY_LOCAL_MACHINE\\SOFTWARE\\A");
  std::size_t index = 0;
  EXPECT_FALSE(setup.main().ProcessRegistryItem(ItemWith("SOFTWARE\\A", "v", "STRING"), index));
  EXPECT_EQ(index, 6u);
  EXPECT_TRUE(items_test::Boxes(setup.transcript()).empty());
  EXPECT_EQ(setup.Value(kHklm, "SOFTWARE\\A", "Val"), std::nullopt);
}

TEST(RootKeyFromName, ExactNamesOnly) {
  const struct {
    const char* name;
    platform::HKey key;
  } cases[] = {
      {"HKEY_CLASSES_ROOT", platform::kHkeyClassesRoot},
      {"HKEY_CURRENT_USER", platform::kHkeyCurrentUser},
      {"HKEY_LOCAL_MACHINE", platform::kHkeyLocalMachine},
      {"HKEY_USERS", platform::kHkeyUsers},
      {"HKEY_CURRENT_CONFIG", platform::kHkeyCurrentConfig},
      {"HKEY_DYN_DATA", platform::kHkeyDynData},
      {"HKEY_PERFORMANCE_DATA", platform::kHkeyCurrentUser},
      {"Hkey_Users", platform::kHkeyCurrentUser},
      {" HKEY_USERS", platform::kHkeyCurrentUser},
      {"", platform::kHkeyCurrentUser},
  };
  ItemsHarness setup;
  for (const auto& c : cases) EXPECT_EQ(setup.main().RootKeyFromName(c.name), c.key) << c.name;
}

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kDll[] = "C:\\WINDOWS\\SYSTEM\\shared.dll";

TEST(SharedDllCount, RaisesAnExistingCount) {
  ItemsHarness setup;
  setup.PutFile(kDll, "MZ");
  setup.SetValue(kHklm, kSharedDlls, kDll, Dword(3));
  EXPECT_TRUE(setup.main().IncSharedDllCount(kDll));
  EXPECT_EQ(setup.Value(kHklm, kSharedDlls, kDll), Dword(4));
}

TEST(SharedDllCount, LeavesTheRegistryAloneWhenItCannotCount) {
  const struct {
    const char* name;
    bool fileThere;
    std::optional<StoredValue> count;
  } cases[] = {
      {"file without a count value", true, std::nullopt},
      {"missing file", false, Dword(3)},
      {"count that is not a DWORD", true, Sz("3")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ItemsHarness setup;
    if (c.fileThere) setup.PutFile(kDll, "MZ");
    setup.SetValue(kHklm, kSharedDlls, "C:\\OTHER.DLL", Dword(1));
    if (c.count) setup.SetValue(kHklm, kSharedDlls, kDll, *c.count);
    const std::string before = setup.RegistryText();
    EXPECT_FALSE(setup.main().IncSharedDllCount(kDll));
    EXPECT_EQ(setup.RegistryText(), before);
  }
}

TEST(SharedDllCount, NoSharedDllsKeyCreatesNothing) {
  ItemsHarness setup;
  setup.PutFile(kDll, "MZ");
  EXPECT_FALSE(setup.main().IncSharedDllCount(kDll));
  EXPECT_EQ(setup.ValueCount(kHklm, kSharedDlls), std::nullopt);
}

}  // namespace
