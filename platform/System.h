// Facts about the running operating system.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The fields of OSVERSIONINFOA that the installer reads.
struct OsVersion {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;  // kPlatformWindows or kPlatformWin32Nt
  std::string csdVersion;        // service-pack text, up to its terminating zero
};

class System {
 public:
  virtual ~System() = default;
  // GetVersionExA.
  virtual OsVersion Version() = 0;
  // The system's message text for an error code or HRESULT (FormatMessageA), with trailing
  // blanks, line breaks and full stops removed; empty when the system has none.
  virtual std::string ErrorText(std::uint32_t code) = 0;
};

}  // namespace platform
