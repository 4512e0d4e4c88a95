// The emulated machine's clock. The sandbox has no time zone: its local time is UTC, so
// local and file times differ only in form, and results never depend on the host's zone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Clock.h"

namespace sandbox {

// A host time stamp: seconds and nanoseconds since 1 January 1970, UTC.
struct UnixTime {
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;  // 0 to 999999999
};

// SystemTimeToFileTime by Gregorian calendar arithmetic; dayOfWeek is not looked at.
// Times before 1601 give tick 0.
platform::FileTime ToFileTime(const platform::SystemTime& time);
// FileTimeToSystemTime, with the day of the week filled in.
platform::SystemTime ToSystemTime(platform::FileTime time);
// A host time stamp as a file time (to the 100-nanosecond tick below it).
platform::FileTime FileTimeFromUnix(UnixTime time);
// A file time as a host time stamp.
UnixTime UnixFromFileTime(platform::FileTime time);

class SandboxClock : public platform::Clock {
 public:
  // The host's current time, or the fixed time when one is set.
  platform::SystemTime LocalNow() override;
  platform::FileTime LocalToFileTime(const platform::SystemTime& local) override;
  platform::SystemTime FileTimeToLocal(platform::FileTime time) override;
  // "DD.MM.YYYY HH:MM:SS", zero-padded; only "DD.MM.YYYY" when the time is exactly midnight.
  std::string FormatDateTime(const platform::SystemTime& local) override;

  // Makes LocalNow() give `time` from now on; nothing returns to the host's clock.
  void SetFixedLocalTime(std::optional<platform::SystemTime> time) { fixed_ = std::move(time); }

 private:
  std::optional<platform::SystemTime> fixed_;
};

}  // namespace sandbox
