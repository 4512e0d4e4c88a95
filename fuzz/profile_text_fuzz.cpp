// The profile (INI) writer on any existing file text and any section, key and value: no
// edit may fail, and an entry written with names and a value a file can hold reads back
// the same as it would from a file holding that entry alone.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(64);
  const std::string key = input.ConsumeRandomLengthString(64);
  const std::string value = input.ConsumeRandomLengthString(128);
  const std::string text = input.ConsumeRemainingBytesAsString();

  sandbox::ReadProfileEntry(text, section, key);
  sandbox::DeleteProfileEntry(text, section, key);
  sandbox::DeleteProfileSection(text, section);
  const std::string written = sandbox::SetProfileEntry(text, section, key, value);
  if (Writable(section, key, value)) {
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
