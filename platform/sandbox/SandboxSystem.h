// The operating system the emulated machine claims to be, and its English error texts.
#pragma once

#include <cstdint>
#include <string>

#include "platform/System.h"

namespace sandbox {

class SandboxSystem : public platform::System {
 public:
  // kPlatformWindows: Windows 95 (4.0.950, no service-pack text); otherwise Windows NT 4.0
  // (4.0.1381) with `csdVersion` as its service-pack text.
  SandboxSystem(std::uint32_t platformId, std::string csdVersion);

  platform::OsVersion Version() override { return version_; }
  // Knows the common Win32 codes, HRESULTs made from them, and a few COM HRESULTs.
  std::string ErrorText(std::uint32_t code) override;

 private:
  platform::OsVersion version_;
};

}  // namespace sandbox
