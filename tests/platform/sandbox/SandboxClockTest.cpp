#include "platform/sandbox/SandboxClock.h"

#include <gtest/gtest.h>

namespace sandbox {
namespace {

using platform::FileTime;
using platform::SystemTime;

SystemTime Make(int year, int month, int day, int dayOfWeek, int hour = 0, int minute = 0,
                int second = 0, int milliseconds = 0) {
  return SystemTime{year, month, dayOfWeek, day, hour, minute, second, milliseconds};
}

TEST(SandboxClock, ConvertsBetweenCalendarAndFileTimeExactly) {
  struct Case {
    const char* name;
    SystemTime time;  // with its true day of the week
    std::uint64_t ticks;
  };
  const Case cases[] = {
      {"start of the epoch", Make(1601, 1, 1, 1), 0},
      {"host epoch", Make(1970, 1, 1, 4), 116444736000000000},
      {"before 2000", Make(1998, 12, 31, 4, 23, 59, 58, 990), 125596223989900000},
      {"millennium", Make(2000, 1, 1, 6), 125911584000000000},
      {"leap day of 2000", Make(2000, 2, 29, 2, 12, 30, 15), 125963010150000000},
      {"day after leap day", Make(2024, 3, 1, 5, 8), 133537536000000000},
      {"end of a non-leap February", Make(2100, 2, 28, 0, 23, 59, 59), 157520159990000000},
  };
  SandboxClock clock;
  for (const Case& c : cases) {
    EXPECT_EQ(clock.LocalToFileTime(c.time).ticks, c.ticks) << c.name;
    EXPECT_EQ(clock.FileTimeToLocal(FileTime{c.ticks}), c.time) << c.name;
  }
}

TEST(SandboxClock, RoundTripsAcrossCenturiesAndLeapYears) {
  SandboxClock clock;
  const std::uint64_t day = 864000000000;
  for (std::uint64_t ticks = 0; ticks < 200000 * day; ticks += 7 * day + 36000000001) {
    const SystemTime time = clock.FileTimeToLocal(FileTime{ticks});
    // The milliseconds drop the ticks below them.
    EXPECT_EQ(clock.LocalToFileTime(time).ticks, ticks - ticks % 10000) << ticks;
  }
}

TEST(SandboxClock, HostTimeConversions) {
  EXPECT_EQ(FileTimeFromUnix(UnixTime{0, 150}).ticks, 116444736000000001u);
  EXPECT_EQ(FileTimeFromUnix(UnixTime{-11644473600, 0}).ticks, 0u);
  const UnixTime before1970 = UnixFromFileTime(FileTime{116444735995000000});
  EXPECT_EQ(before1970.seconds, -1);
  EXPECT_EQ(before1970.nanoseconds, 500000000);
}

TEST(SandboxClock, FixedTimeReplacesTheHostClock) {
  SandboxClock clock;
  const SystemTime now = clock.LocalNow();
  EXPECT_GE(now.year, 2020);
  clock.SetFixedLocalTime(Make(2001, 9, 9, 99, 1, 46, 40));
  EXPECT_EQ(clock.LocalNow(), Make(2001, 9, 9, 0, 1, 46, 40));  // day of the week corrected
}

TEST(SandboxClock, FormatsDateAndTimeLeavingOutMidnight) {
  SandboxClock clock;
  EXPECT_EQ(clock.FormatDateTime(Make(1999, 3, 7, 0, 9, 5, 2)), "07.03.1999 09:05:02");
  EXPECT_EQ(clock.FormatDateTime(Make(2004, 12, 31, 5)), "31.12.2004");
  EXPECT_EQ(clock.FormatDateTime(Make(2004, 12, 31, 5, 0, 0, 0, 1)), "31.12.2004 00:00:00");
}

}  // namespace
}  // namespace sandbox
