// The record of the state before, as the installation writes it under HKEY_LOCAL_MACHINE.
#include "engine/StateRecord.h"

#include <gtest/gtest.h>

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
  };
  for (const StateNote& note : notes) {
    const std::string text = engine::NoteText(note);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_EQ(engine::ParseNote(text), note) << text;
  }
  for (const char* bad : {"", "file", "file\tC:\\A", "file\tC:\\A\t?", "ini\tA\t-", "dir\t%4\t-",
                          "what\tC:\\A\t-", "dir\tC:\\A\t-\textra"}) {
    EXPECT_FALSE(engine::ParseNote(bad)) << bad;
  }
  EXPECT_EQ(engine::RootOfText(engine::RootText(platform::kHkeyLocalMachine)),
            platform::kHkeyLocalMachine);
}

// A thing noted once keeps its first note: a second run finds the first run's file there
// and must not take it for the user's; an empty caption makes no entry at all.
TEST(StateRecord, TheFirstNoteOfAThingWinsAcrossRuns) {
  testing_support::SetupHarness setup;
  platform::Platform& platform = setup.machine().platform();
  {
    engine::StateRecord first(platform, "Demo");
    first.NoteFile("C:\\DEMO\\sub\\a.exe");
    testing_support::WriteHostFile(setup.machine().HostPath("C:\\DEMO\\sub\\a.exe"), "a");
    first.NoteFile("C:\\DEMO\\sub\\A.EXE");
    EXPECT_TRUE(first.Intact());
  }
  engine::StateRecord second(platform, "Demo");
  second.NoteFile("c:\\demo\\sub\\a.exe");
  second.NoteRegistryValue(platform::kHkeyCurrentUser, "\\Software\\\\X\\", "Name");
  engine::StateRecord none(platform, "\\");
  none.NoteFile("C:\\DEMO\\b.exe");

  std::vector<StateNote> notes = engine::ReadNotes(platform.registry, "Demo").value();
  std::erase_if(notes, [](const StateNote& n) {
    return n.kind == NoteKind::Key && n.what[0] == engine::RootText(platform::kHkeyLocalMachine);
  });
  const std::string hkcu = engine::RootText(platform::kHkeyCurrentUser);
  EXPECT_EQ(notes, (std::vector<StateNote>{
                       {NoteKind::Directory, {"C:\\DEMO"}, std::nullopt},
                       {NoteKind::Directory, {"C:\\DEMO\\sub"}, std::nullopt},
                       {NoteKind::File, {"C:\\DEMO\\sub\\a.exe"}, std::nullopt},
                       {NoteKind::Key, {hkcu, "Software"}, std::nullopt},
                       {NoteKind::Key, {hkcu, "Software\\X"}, std::nullopt},
                       {NoteKind::Value, {hkcu, "Software\\X", "Name"}, std::nullopt},
                   }));
  setup.machine().Save();
  const std::string registry =
      testing_support::ReadHostFile(setup.machine().options().root / "registry.reg");
  EXPECT_EQ(registry.find("b.exe"), std::string::npos);
}

}  // namespace
