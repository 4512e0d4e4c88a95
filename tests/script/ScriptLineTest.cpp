#include "script/ScriptLine.h"

#include <gtest/gtest.h>

namespace script {
namespace {

struct SplitCase {
  const char* name;
  const char* line;
  ScriptLine expected;
};

const SplitCase kSplitCases[] = {
    {"key and value trimmed", " caption = My Product  ", {"caption", "My Product", "", "", "0"}},
    {"three values",
     "COPYTOWINSYS=a.oc_, a.ocx ,REG",
     {"COPYTOWINSYS", "a.oc_", "a.ocx", "REG", "0"}},
    {"fourth value dropped", "COPYTOBASE=a,b,,more", {"COPYTOBASE", "a", "b", "", "0"}},
    {"text after third comma dropped", "K=a,b,c,d,e", {"K", "a", "b", "c", "0"}},
    {"size tag at the end",
     "COPYTOBASE=demo.ex_,demo.exe$$1200000$$",
     {"COPYTOBASE", "demo.ex_", "demo.exe", "", "1200000"}},
    {"size tag inside keeps text after it", "K=a$$12$$b,c", {"K", "ab", "c", "", "12"}},
    {"no tag gives 0",
     "COPYTOBASE=demo.ex_,demo.exe",
     {"COPYTOBASE", "demo.ex_", "demo.exe", "", "0"}},
    {"single dollar keeps the line", "K=a$b", {"K", "a$b", "", "", "=a$b"}},
    {"only one double dollar", "K=a$$77", {"K", "a77", "", "", "77"}},
    {"further equals belong to the value", "K=a=b,c=d", {"K", "a=b", "c=d", "", "0"}},
    {"no equals: whole line is the value", "  REGISTRY ITEM ", {"", "REGISTRY ITEM", "", "", "0"}},
    {"blank line", "", {"", "", "", "", "0"}},
    {"control characters are blanks", "\tKEY\x01=\x1fV\x7f", {"KEY", "V\x7f", "", "", "0"}},
    {"empty values between commas", "K=,,", {"K", "", "", "", "0"}},
    {"bytes above 127 pass through",
     "CAPTION=\x8a\x9e\xe8",
     {"CAPTION", "\x8a\x9e\xe8", "", "", "0"}},
    {"LANG with two values",
     "LANG=English,demo_en.dl_",
     {"LANG", "English", "demo_en.dl_", "", "0"}},
};

// Names the case in test listings instead of dumping the structure's bytes.
void PrintTo(const SplitCase& c, std::ostream* out) {
  *out << c.name;
}

class SplitScriptLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitScriptLineTest, GivesFiveFields) {
  const SplitCase& c = GetParam();
  const ScriptLine got = SplitScriptLine(c.line);
  EXPECT_EQ(got.Key, c.expected.Key) << c.name;
  EXPECT_EQ(got.Value1, c.expected.Value1) << c.name;
  EXPECT_EQ(got.Value2, c.expected.Value2) << c.name;
  EXPECT_EQ(got.Value3, c.expected.Value3) << c.name;
  EXPECT_EQ(got.SizeTag, c.expected.SizeTag) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitScriptLineTest, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST(CutAtEquals, KeepsBlanksOnBothSides) {
  const BlockLine cut = CutAtEquals("Home = <TOPATH>=x");
  EXPECT_EQ(cut.key, "Home ");
  EXPECT_EQ(cut.value, " <TOPATH>=x");
}

TEST(CutAtEquals, LineWithoutEqualsIsAllValue) {
  const BlockLine cut = CutAtEquals(" END OF INI");
  EXPECT_EQ(cut.key, "");
  EXPECT_EQ(cut.value, " END OF INI");
}

}  // namespace
}  // namespace script
