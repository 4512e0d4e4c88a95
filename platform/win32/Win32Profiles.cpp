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

}  // namespace win32
