// The profile (INI) writer on any existing file text and any section, key and value: no
// edit may fail or change an entry it does not aim at, and an entry written with names and
// a value a file can hold reads back the same as it would from a file holding it alone.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sandbox/ProfileText.h"
#include "script/Text.h"

namespace {

bool HasLineBreak(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// Names and values that a line of a profile file can carry as they are.
bool Writable(const std::string& section, const std::string& key, const std::string& value) {
  const std::string trimmedSection = script::TrimBlanks(section);
  const std::string trimmedKey = script::TrimBlanks(key);
  return !HasLineBreak(section) && !HasLineBreak(key) && !HasLineBreak(value) &&
         !trimmedSection.empty() && section.find(']') == std::string::npos && !trimmedKey.empty() &&
         trimmedKey.front() != '[' && key.find('=') == std::string::npos;
}

struct Entry {
  std::string section;
  std::string key;
};

// Section and key names to look up in `text`: each line's text before "=" under the
// nearest "[" line above it, from the first lines of the file.
std::vector<Entry> Probes(const std::string& text) {
  std::vector<Entry> probes;
  std::string section;
  std::size_t begin = 0;
  while (begin < text.size() && probes.size() < 64) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    const std::string line = script::TrimBlanks(std::string_view(text).substr(begin, end - begin));
    if (!line.empty() && line.front() == '[')
      section = line.substr(
          1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1);
    else
      probes.push_back({section, line.substr(0, line.find('='))});
    begin = end + 1;
  }
  return probes;
}

bool SameEntry(const Entry& a, const std::string& section, const std::string& key) {
  return script::EqualsUpper(script::TrimBlanks(a.section), script::TrimBlanks(section)) &&
         script::EqualsUpper(script::TrimBlanks(a.key), script::TrimBlanks(key));
}

// Every entry an edit of (section, key) does not aim at reads the same after it.
void CheckOthersKept(const char* edit, const std::string& before, const std::string& after,
                     const std::string& section, const std::string& key, bool wholeSection) {
  for (const Entry& probe : Probes(before)) {
    if (wholeSection
            ? script::EqualsUpper(script::TrimBlanks(probe.section), script::TrimBlanks(section))
            : SameEntry(probe, section, key))
      continue;
    if (sandbox::ReadProfileEntry(before, probe.section, probe.key) !=
        sandbox::ReadProfileEntry(after, probe.section, probe.key)) {
      std::fprintf(stderr, "%s changed the entry [%s] %s\n", edit, probe.section.c_str(),
                   probe.key.c_str());
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(64);
  const std::string key = input.ConsumeRandomLengthString(64);
  const std::string value = input.ConsumeRandomLengthString(128);
  const std::string text = input.ConsumeRemainingBytesAsString();

  sandbox::ReadProfileEntry(text, section, key);
  CheckOthersKept("deleting the entry", text, sandbox::DeleteProfileEntry(text, section, key),
                  section, key, false);
  CheckOthersKept("deleting the section", text, sandbox::DeleteProfileSection(text, section),
                  section, key, true);
  const std::string written = sandbox::SetProfileEntry(text, section, key, value);
  if (Writable(section, key, value)) {
    CheckOthersKept("writing the entry", text, written, section, key, false);
    const std::optional<std::string> expected =
        sandbox::ReadProfileEntry(sandbox::SetProfileEntry("", section, key, value), section, key);
    const std::optional<std::string> read = sandbox::ReadProfileEntry(written, section, key);
    if (read != expected) {
      std::fprintf(stderr, "the entry written does not read back\n");
      std::abort();
    }
  }
  return 0;
}
