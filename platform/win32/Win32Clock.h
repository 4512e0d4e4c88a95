// The system clock and its conversions on the kernel32 calls.
#pragma once

#include "platform/Clock.h"

namespace win32 {

// The Clock service of the running Windows, in the user's locale.
class Win32Clock final : public platform::Clock {
 public:
  platform::SystemTime LocalNow() override;
  platform::FileTime LocalToFileTime(const platform::SystemTime& local) override;
  platform::SystemTime FileTimeToLocal(platform::FileTime time) override;
  std::string FormatDateTime(const platform::SystemTime& local) override;
};

}  // namespace win32
