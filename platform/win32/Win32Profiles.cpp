#include "platform/win32/Win32Profiles.h"

#include <vector>

#include "platform/win32/WindowsApi.h"

namespace win32 {
namespace {

// A missing key or value is passed as null, which asks the API to delete instead of write.
const char* OrNull(const std::optional<std::string>& text) {
  return text ? text->c_str() : nullptr;
}

}  // namespace

bool Win32Profiles::WriteString(const std::string& section, const std::optional<std::string>& key,
                                const std::optional<std::string>& value,
                                const std::string& fileName) {
  return ::WritePrivateProfileStringA(section.c_str(), OrNull(key), OrNull(value),
                                      fileName.c_str()) != FALSE;
}

std::string Win32Profiles::ReadString(const std::string& section, const std::string& key,
                                      const std::string& fallback, const std::string& fileName) {
  // The API cuts a value that does not fit and reports the buffer size less one; read again
  // with a larger buffer until it fits.
  for (DWORD size = 256;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    const DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                                    buffer.data(), size, fileName.c_str());
    if (length + 1 < size || size >= 1u << 20) return std::string(buffer.data(), length);
  }
}

std::optional<std::vector<std::string>> Win32Profiles::ReadSection(const std::string& section,
                                                                   const std::string& fileName) {
  // The lines come as zero-terminated strings ending in an empty one. The call cuts what
  // does not fit and reports the buffer size less two; the 95 family fills at most 32,767
  // bytes whatever the buffer.
  constexpr DWORD kLargest = 32767;
  std::vector<char> buffer(kLargest + 1, '\0');
  const DWORD length =
      ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), kLargest, fileName.c_str());
  if (length + 2 >= kLargest) return std::nullopt;
  std::vector<std::string> lines;
  for (DWORD at = 0; at < length && buffer[at] != '\0';) {
    lines.emplace_back(buffer.data() + at);
    at += static_cast<DWORD>(lines.back().size()) + 1;
  }
  return lines;
}

bool Win32Profiles::WriteSection(const std::string& section, const std::vector<std::string>& lines,
                                 const std::string& fileName) {
  std::string block;
  for (const std::string& line : lines) block += line + '\0';
  block += '\0';
  return ::WritePrivateProfileSectionA(section.c_str(), block.data(), fileName.c_str()) != FALSE;
}

}  // namespace win32
