// The record of the state before, as the installation writes it under HKEY_LOCAL_MACHINE.
#include "engine/StateRecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/UninstallEntry.h"
#include "tests/support/SetupHarness.h"

namespace {

using engine::NoteKind;
using engine::StateNote;

TEST(StateRecordNotes, TextRoundTripsAnyBytes) {
  const std::vector<StateNote> notes = {
      {NoteKind::File, {"C:\\DEMO\\a.exe"}, std::nullopt},
      {NoteKind::File, {"C:\\WINDOWS\\notepad.exe"}, std::vector<std::string>{}},
      {NoteKind::IniEntry,
       {"C:\\WINDOWS\\WIN.INI", "win\tdows", "lo%ad"},
       std::vector<std::string>{std::string("a\r\nb\0c", 6)}},
      {NoteKind::Value, {"80000001", "Software\\X", ""}, std::vector<std::string>{"4", "01000000"}},
      {NoteKind::Log, {"C:\\DEMO\\setup.uni"}, std::vector<std::string>{""}},
      {NoteKind::File, {"C:\\DEMO\\b.exe"}, std::nullopt, platform::FileIdentity{0xA1B2C3D4, 1}},
      {NoteKind::Server, {"C:\\DEMO\\srv.dll", "dll"}, std::nullopt},
      {NoteKind::Server, {"C:\\WINDOWS\\SYSTEM\\x.tlb", "typelib"}, std::vector<std::string>{}},
      {NoteKind::Log,
       {"C:\\DEMO\\setup.uni"},
       std::vector<std::string>{"41"},
       platform::FileIdentity{0, 0xFEDCBA9876543210}},
  };
  for (const StateNote& note : notes) {
    const std::string text = engine::NoteText(note);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_EQ(engine::ParseNote(text), note) << text;
  }
  for (const char* bad :
       {"", "file", "file\tC:\\A", "file\tC:\\A\t?", "ini\tA\t-", "dir\t%4\t-", "what\tC:\\A\t-",
        "dir\tC:\\A\t-\textra", "com\tC:\\A\t-", "file\tC:\\A\t-@", "file\tC:\\A\t-@12:34",
        "file\tC:\\A\t+#00000001:0000000000000001", "file\tC:\\A\t-@0000000G:0000000000000001"}) {
    EXPECT_FALSE(engine::ParseNote(bad)) << bad;
  }
  EXPECT_EQ(engine::RootOfText(engine::RootText(platform::kHkeyLocalMachine)),
            platform::kHkeyLocalMachine);
}

// A setting noted once keeps its first note: a second run finds the first run's value and
// must not take it for the user's. A file's note follows the file as the last run left it,
// carrying forward what was there before. An empty caption makes no entry at all.
TEST(StateRecord, SettingsKeepTheFirstNoteFilesTheLast) {
  testing_support::SetupHarness setup;
  platform::Platform& platform = setup.machine().platform();
  const auto writeFile = [&](const std::string& text) {
    testing_support::WriteHostFile(setup.machine().HostPath("C:\\DEMO\\sub\\a.exe"), text);
    return platform.files.InfoOf("C:\\DEMO\\sub\\a.exe")->identity;
  };
  platform::FileIdentity firstFile;
  {
    engine::StateRecord first(platform, "Demo");
    const engine::PendingFile pending = first.BeginFile("C:\\DEMO\\sub\\a.exe");
    firstFile = writeFile("a");
    first.CompleteFile(pending, true, firstFile);
    // Looked at again and left alone: nothing new to note.
    first.CompleteFile(first.BeginFile("C:\\DEMO\\sub\\A.EXE"), false, std::nullopt);
    EXPECT_TRUE(first.Intact());
  }
  engine::StateRecord second(platform, "Demo");
  // Written again with the same identity: the note stands as it is.
  second.CompleteFile(second.BeginFile("c:\\demo\\sub\\a.exe"), true, firstFile);
  second.NoteRegistryValue(platform::kHkeyCurrentUser, "\\Software\\\\X\\", "Name");
  second.NoteRegistryValue(platform::kHkeyCurrentUser, "Software\\X", "Name");
  // Written anew (another file now): still the product's, what was there before carried.
  const engine::PendingFile again = second.BeginFile("C:\\DEMO\\sub\\a.exe");
  testing_support::WriteHostFile(setup.machine().HostPath("C:\\DEMO\\sub\\a.new"), "b");
  std::filesystem::rename(setup.machine().HostPath("C:\\DEMO\\sub\\a.new"),
                          setup.machine().HostPath("C:\\DEMO\\sub\\a.exe"));
  const platform::FileIdentity secondFile = platform.files.InfoOf("C:\\DEMO\\sub\\a.exe")->identity;
  second.CompleteFile(again, true, secondFile);
  engine::StateRecord none(platform, "\\");
  none.CompleteFile(none.BeginFile("C:\\DEMO\\b.exe"), true, std::nullopt);

  std::vector<StateNote> notes = engine::ReadNotes(platform.registry, "Demo").value();
  std::erase_if(notes, [](const StateNote& n) {
    return n.kind == NoteKind::Key && n.what[0] == engine::RootText(platform::kHkeyLocalMachine);
  });
  const std::string hkcu = engine::RootText(platform::kHkeyCurrentUser);
  const auto identity = [&](const char* path) { return platform.files.InfoOf(path)->identity; };
  EXPECT_EQ(notes,
            (std::vector<StateNote>{
                {NoteKind::Directory, {"C:\\DEMO"}, std::nullopt, identity("C:\\DEMO")},
                {NoteKind::Directory, {"C:\\DEMO\\sub"}, std::nullopt, identity("C:\\DEMO\\sub")},
                {NoteKind::File, {"C:\\DEMO\\sub\\a.exe"}, std::nullopt, firstFile},
                {NoteKind::Key, {hkcu, "Software"}, std::nullopt},
                {NoteKind::Key, {hkcu, "Software\\X"}, std::nullopt},
                {NoteKind::Value, {hkcu, "Software\\X", "Name"}, std::nullopt},
                {NoteKind::File, {"C:\\DEMO\\sub\\a.exe"}, std::nullopt, secondFile},
            }));
  ASSERT_NE(firstFile, secondFile);
  setup.machine().Save();
  const std::string registry =
      testing_support::ReadHostFile(setup.machine().options().root / "registry.reg");
  EXPECT_EQ(registry.find("b.exe"), std::string::npos);
}

}  // namespace
