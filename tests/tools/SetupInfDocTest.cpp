// The worked example of docs/setup-inf.md, the vendor's reference: its script and the
// table of its files make a medium that setup-check passes and that installs, in each
// language on each Windows family.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "script/Text.h"
#include "tests/tools/MediumFolder.h"
#include "tools/medium/CheckMedium.h"
#include "tools/medium/DryRun.h"
#include "tools/medium/Szdd.h"

namespace {

using medium::testing::ScratchDir;
using Lines = std::vector<std::string>;

struct Example {
  Lines script;
  std::vector<std::pair<std::string, std::uint64_t>> files;  // medium name, bytes installed
};

// The section "## A worked example": the rows of its table ("| `name` | ... | bytes |") and
// its ```ini block.
Example ReadExample() {
  std::ifstream in(std::string(SETUP_SOURCE_DIR) + "/docs/setup-inf.md");
  Example example;
  std::string line;
  bool inSection = false;
  bool inScript = false;
  while (std::getline(in, line)) {
    if (line.rfind("## ", 0) == 0) inSection = line == "## A worked example";
    if (!inSection) continue;
    if (inScript) {
      if (line == "```") break;
      example.script.push_back(line);
    } else if (line == "```ini") {
      inScript = true;
    } else if (line.rfind("| `", 0) == 0) {
      const std::string name = line.substr(3, line.find('`', 3) - 3);
      std::string digits;
      for (const char c : line.substr(line.rfind('|', line.size() - 2)))
        if (c >= '0' && c <= '9') digits += c;
      example.files.emplace_back(name, std::stoull(digits));
    }
  }
  return example;
}

// A file of `size` bytes as the table describes it: a COM server exports
// DllRegisterServer; compressed names hold SZDD.
std::string FileFor(const std::string& name, std::uint64_t size, bool compressed) {
  std::string bytes = name.find(".dl") != std::string::npos
                          ? medium::testing::TinyDll("DllRegisterServer")
                          : std::string("MZ");
  std::string filler = "Demo Office " + name + "\r\n";
  while (bytes.size() < size) bytes += filler;
  bytes.resize(size);
  if (compressed && name.back() == '_') return medium::CompressSzdd(bytes, 'x');
  return bytes;
}

TEST(SetupInfDoc, TheWorkedExampleChecksCleanAndInstalls) {
  const Example example = ReadExample();
  ASSERT_GE(example.script.size(), 30u);
  ASSERT_EQ(example.files.size(), 6u);
  const bool compressed = std::find(example.script.begin(), example.script.end(),
                                    "COMPRESSED=YES") != example.script.end();
  ScratchDir dir("doc-example");
  dir.PutScript(example.script);
  for (const auto& [name, size] : example.files) {
    std::string host = name;
    std::replace(host.begin(), host.end(), '\\', '/');
    dir.Put(host, FileFor(name, size, compressed));
  }
  const std::optional<medium::MediumDir> medium = medium::MediumDir::Open(dir.path());
  ASSERT_TRUE(medium);
  Lines printed;
  for (const medium::Finding& finding : medium::CheckMedium(*medium, example.script, {}))
    printed.push_back(medium::FormatFinding(finding));
  EXPECT_EQ(printed, Lines{});

  const medium::DryRunScript script = medium::ReadDryRunScript(example.script);
  EXPECT_EQ(script.languages, (Lines{"English", "Deutsch"}));
  const std::vector<medium::DryRunOutcome> runs = medium::DryRun(*medium, script, {1, 2});
  printed.clear();
  for (const medium::Finding& finding : medium::DryRunFindings(runs, script))
    printed.push_back(medium::FormatFinding(finding));
  EXPECT_EQ(printed, Lines{});
  EXPECT_EQ(medium::DryRunSummary(runs, script, 2),
            "dry run: 4 runs (2 languages x 2 OS families), 0 failed");
}

}  // namespace
