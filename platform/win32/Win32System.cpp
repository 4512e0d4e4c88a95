#include "platform/win32/Win32System.h"

#include "platform/win32/Win32Logic.h"
#include "platform/win32/WindowsApi.h"

namespace win32 {
namespace {

// The record size the installer passes: the OSVERSIONINFOA of Windows 95 and NT 4.
constexpr DWORD kOsVersionInfoSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoSize);

}  // namespace

platform::OsVersion Win32System::Version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = kOsVersionInfoSize;
  platform::OsVersion version;
// GetVersionExA is deprecated for new programs; the installer's OS checks need exactly it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&info)) return version;
#pragma GCC diagnostic pop
  version.majorVersion = info.dwMajorVersion;
  version.minorVersion = info.dwMinorVersion;
  version.buildNumber = info.dwBuildNumber;
  version.platformId = info.dwPlatformId;
  info.szCSDVersion[sizeof info.szCSDVersion - 1] = '\0';
  version.csdVersion = info.szCSDVersion;
  return version;
}

std::string Win32System::ErrorText(std::uint32_t code) {
  char buffer[1024] = {};
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, buffer, sizeof buffer, nullptr);
  if (length == 0) return {};
  return TrimMessageText(std::string(buffer, length));
}

}  // namespace win32
