// The record's keys: what goes in comes back in order, in keys the 95 family's registry
// takes (the sandbox's registry of a 95-family machine refuses any key past its limits).
#include "engine/RecordStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/UninstallEntry.h"
#include "platform/sandbox/SandboxRegistry.h"
#include "tests/engine/ItemsHarness.h"

namespace {

using items_test::ItemsHarness;

constexpr char kKey[] = "SOFTWARE\\Tavrin\\Setup\\Records\\Demo";

// A text like a file's note, different for each number.
std::string FileNote(int number) {
  return "file\tC:\\Program Files\\Demo Office\\data\\folder" + std::to_string(number % 30) +
         "\\file" + std::to_string(number) + ".dat\t-";
}

// Ten thousand files' notes, and notes longer than one value holds (a log of the product
// installed before, in hex), all given back in order, also after the record was opened
// again by a later run.
TEST(RecordStore, TenThousandNotesAndLongOnesComeBackInOrder) {
  ItemsHarness setup;
  platform::Registry& registry = setup.platform().registry;
  std::vector<std::string> texts;
  {
    engine::RecordStore store(registry, kKey);
    EXPECT_TRUE(store.Texts().empty());
    EXPECT_EQ(engine::ReadRecord(registry, kKey), std::nullopt) << "made before the first text";
    for (int i = 0; i < 10000; ++i) {
      texts.push_back(FileNote(i));
      if (i % 2500 == 7) texts.push_back(std::string(100000 + i, static_cast<char>('A' + i % 26)));
      if (i == 5000) texts.push_back(std::string(engine::kRecordPieceBytes, 'x'));
      if (i == 5001) texts.push_back(std::string(engine::kRecordPieceBytes + 1, 'y'));
      if (i == 5002) texts.push_back("");
    }
    for (const std::string& text : texts) ASSERT_TRUE(store.Append(text)) << text.size();
  }
  engine::RecordStore again(registry, kKey);
  EXPECT_EQ(again.Texts(), texts);
  for (int i = 10000; i < 10100; ++i) {
    texts.push_back(FileNote(i));
    ASSERT_TRUE(again.Append(texts.back()));
  }
  EXPECT_EQ(engine::ReadRecord(registry, kKey), texts);
  EXPECT_EQ(engine::ReadRecord(registry, std::string(engine::kRecordsKey) + "\\Other"),
            std::nullopt);
}

// A text whose last piece was never written (the run stopped in between) is no text, and
// does not run into the next.
TEST(RecordStore, ATextCutShortIsNoText) {
  ItemsHarness setup;
  platform::Registry& registry = setup.platform().registry;
  engine::RecordStore store(registry, kKey);
  ASSERT_TRUE(store.Append("first"));
  {
    const engine::OpenedKey chunk(registry, platform::kHkeyLocalMachine, std::string(kKey) + "\\1");
    ASSERT_EQ(registry.SetValue(chunk.Handle(), "2", platform::kRegSz, "<cut sh"), 0);
  }
  engine::RecordStore later(registry, kKey);
  EXPECT_EQ(later.Texts(), std::vector<std::string>{"first"});
  ASSERT_TRUE(later.Append("second"));
  EXPECT_EQ(engine::ReadRecord(registry, kKey), (std::vector<std::string>{"first", "second"}));
}

TEST(RecordStore, EachProductHasAKeyOfItsOwn) {
  const std::string records = std::string(engine::kRecordsKey) + "\\";
  EXPECT_EQ(engine::RecordKey("Demo"), records + "Demo");
  EXPECT_EQ(engine::RecordKey("Tavrin\\Demo"), records + "Tavrin%5CDemo");
  EXPECT_EQ(engine::RecordKey("Tavrin\\Demo\\"), std::nullopt);
  EXPECT_EQ(engine::RecordKey("100% Demo"), records + "100%25 Demo");
  EXPECT_EQ(engine::RecordKey("\\"), std::nullopt);
  EXPECT_EQ(engine::RecordKey(""), std::nullopt);
}

// The keys on the way to the records go with the last record, but only those the records
// made: a key that was there before stays.
TEST(RecordStore, TheLastRecordTakesTheKeysTheRecordsMade) {
  for (const bool tavrinBefore : {false, true}) {
    SCOPED_TRACE(tavrinBefore ? "SOFTWARE\\Tavrin there before" : "no key there before");
    ItemsHarness setup;
    platform::Registry& registry = setup.platform().registry;
    if (tavrinBefore)
      engine::OpenedKey(registry, platform::kHkeyLocalMachine, "SOFTWARE\\Tavrin", true);
    const std::string alpha = *engine::RecordKey("Alpha");
    const std::string beta = *engine::RecordKey("Beta");
    engine::RecordStore(registry, alpha).Append("a");
    engine::RecordStore(registry, beta).Append("b");

    EXPECT_TRUE(engine::DeleteRecord(registry, alpha));
    EXPECT_EQ(engine::ReadRecord(registry, alpha), std::nullopt);
    EXPECT_EQ(engine::ReadRecord(registry, beta), std::vector<std::string>{"b"});
    EXPECT_TRUE(engine::DeleteRecord(registry, beta));
    EXPECT_EQ(
        engine::OpenedKey(registry, platform::kHkeyLocalMachine, "SOFTWARE\\Tavrin").Handle() != 0,
        tavrinBefore);
    EXPECT_EQ(engine::OpenedKey(registry, platform::kHkeyLocalMachine, "SOFTWARE").Handle() != 0,
              tavrinBefore);
    EXPECT_TRUE(engine::DeleteRecord(registry, beta));
  }
}

}  // namespace
