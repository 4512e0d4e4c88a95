#include "platform/sandbox/SandboxSystem.h"

#include <array>
#include <utility>

#include "platform/WinTypes.h"

namespace sandbox {
namespace {

// The system's message texts as FormatMessageA gives them, line end included.
constexpr std::array<std::pair<std::uint32_t, const char*>, 31> kMessages{{
    {0, "The operation completed successfully.\r\n"},
    {1, "Incorrect function.\r\n"},
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {4, "The system cannot open the file.\r\n"},
    {5, "Access is denied.\r\n"},
    {6, "The handle is invalid.\r\n"},
    {8, "Not enough storage is available to process this command.\r\n"},
    {14, "Not enough storage is available to complete this operation.\r\n"},
    {15, "The system cannot find the drive specified.\r\n"},
    {18, "There are no more files.\r\n"},
    {19, "The media is write protected.\r\n"},
    {21, "The device is not ready.\r\n"},
    {29, "The system cannot write to the specified device.\r\n"},
    {32, "The process cannot access the file because it is being used by another process.\r\n"},
    {39, "The disk is full.\r\n"},
    {80, "The file exists.\r\n"},
    {87, "The parameter is incorrect.\r\n"},
    {112, "There is not enough space on the disk.\r\n"},
    {123, "The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {126, "The specified module could not be found.\r\n"},
    {127, "The specified procedure could not be found.\r\n"},
    {145, "The directory is not empty.\r\n"},
    {183, "Cannot create a file when that file already exists.\r\n"},
    {234, "More data is available.\r\n"},
    {267, "The directory name is invalid.\r\n"},
    {1300, "Not all privileges or groups referenced are assigned to the caller.\r\n"},
    {1314, "A required privilege is not held by the client.\r\n"},
    {0x80004001u, "Not implemented\r\n"},
    {0x80004005u, "Unspecified error\r\n"},
    {0x80040154u, "Class not registered\r\n"},
}};

// HRESULT_FROM_WIN32 values carry the Win32 code in their low word.
constexpr std::uint32_t kWin32HresultMask = 0xFFFF0000u;
constexpr std::uint32_t kWin32Hresult = 0x80070000u;

std::string TrimMessageEnd(std::string text) {
  while (!text.empty() &&
         (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

SandboxSystem::SandboxSystem(std::uint32_t platformId, std::string csdVersion) {
  if (platformId == platform::kPlatformWindows) {
    version_ = platform::OsVersion{4, 0, 950, platform::kPlatformWindows, ""};
  } else {
    version_ = platform::OsVersion{4, 0, 1381, platform::kPlatformWin32Nt, std::move(csdVersion)};
  }
}

std::string SandboxSystem::ErrorText(std::uint32_t code) {
  if ((code & kWin32HresultMask) == kWin32Hresult) code &= 0xFFFFu;
  for (const auto& [known, text] : kMessages) {
    if (known == code) return TrimMessageEnd(text);
  }
  return "";
}

}  // namespace sandbox
