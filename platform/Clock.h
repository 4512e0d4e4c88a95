// The system clock and the conversions between local time and file times.
#pragma once

#include <string>

#include "platform/Files.h"

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // GetLocalTime.
  virtual SystemTime LocalNow() = 0;
  // SystemTimeToFileTime followed by LocalFileTimeToFileTime: a local time as a UTC file time.
  virtual FileTime LocalToFileTime(const SystemTime& local) = 0;
  // FileTimeToLocalFileTime followed by FileTimeToSystemTime.
  virtual SystemTime FileTimeToLocal(FileTime time) = 0;
  // The user's short date and time for display (GetDateFormatA and GetTimeFormatA); the
  // time is left out when it is exactly midnight.
  virtual std::string FormatDateTime(const SystemTime& local) = 0;
};

}  // namespace platform
