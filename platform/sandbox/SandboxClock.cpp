#include "platform/sandbox/SandboxClock.h"

#include <chrono>
#include <cstdio>

namespace sandbox {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerDay = 86'400 * kTicksPerSecond;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// Days from 1 January 1970 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// The date `days` after 1 January 1970, into `time`'s year, month and day.
void CivilFromDays(std::int64_t days, platform::SystemTime& time) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  time.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  time.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
}

const std::int64_t kDaysFrom1601To1970 = -DaysFromCivil(1601, 1, 1);

}  // namespace

platform::FileTime ToFileTime(const platform::SystemTime& time) {
  const std::int64_t days = DaysFromCivil(time.year, time.month, time.day) + kDaysFrom1601To1970;
  const std::int64_t ticks = days * kTicksPerDay +
                             ((time.hour * 60 + time.minute) * 60 + time.second) * kTicksPerSecond +
                             time.milliseconds * std::int64_t{10'000};
  return platform::FileTime{ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks)};
}

platform::SystemTime ToSystemTime(platform::FileTime time) {
  const auto days = static_cast<std::int64_t>(time.ticks / kTicksPerDay);
  const auto ticksOfDay = static_cast<std::int64_t>(time.ticks % kTicksPerDay);
  platform::SystemTime result;
  CivilFromDays(days - kDaysFrom1601To1970, result);
  // 1 January 1601 was a Monday.
  result.dayOfWeek = static_cast<int>((days + 1) % 7);
  const std::int64_t seconds = ticksOfDay / kTicksPerSecond;
  result.hour = static_cast<int>(seconds / 3600);
  result.minute = static_cast<int>(seconds / 60 % 60);
  result.second = static_cast<int>(seconds % 60);
  result.milliseconds = static_cast<int>(ticksOfDay % kTicksPerSecond / 10'000);
  return result;
}

platform::FileTime FileTimeFromUnix(UnixTime time) {
  const std::int64_t ticks =
      (time.seconds + kSecondsFrom1601To1970) * kTicksPerSecond + time.nanoseconds / 100;
  return platform::FileTime{ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks)};
}

UnixTime UnixFromFileTime(platform::FileTime time) {
  const auto ticks = static_cast<std::int64_t>(time.ticks);
  return UnixTime{ticks / kTicksPerSecond - kSecondsFrom1601To1970, ticks % kTicksPerSecond * 100};
}

platform::SystemTime SandboxClock::LocalNow() {
  if (fixed_) return ToSystemTime(ToFileTime(*fixed_));
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
  return ToSystemTime(
      FileTimeFromUnix(UnixTime{nanoseconds / 1'000'000'000, nanoseconds % 1'000'000'000}));
}

platform::FileTime SandboxClock::LocalToFileTime(const platform::SystemTime& local) {
  return ToFileTime(local);
}

platform::SystemTime SandboxClock::FileTimeToLocal(platform::FileTime time) {
  return ToSystemTime(time);
}

std::string SandboxClock::FormatDateTime(const platform::SystemTime& local) {
  char text[64];
  const bool midnight =
      local.hour == 0 && local.minute == 0 && local.second == 0 && local.milliseconds == 0;
  if (midnight) {
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", local.day, local.month, local.year);
  } else {
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", local.day, local.month,
                  local.year, local.hour, local.minute, local.second);
  }
  return text;
}

}  // namespace sandbox
