#include "platform/win32/Win32Clock.h"

#include "platform/win32/Convert.h"
#include "platform/win32/Win32Logic.h"

namespace win32 {
namespace {

// The text a GetDateFormatA/GetTimeFormatA call wrote, without its terminating zero.
std::string FormattedText(const char* buffer, int lengthWithZero) {
  return lengthWithZero > 0 ? std::string(buffer, static_cast<std::size_t>(lengthWithZero - 1))
                            : std::string();
}

}  // namespace

platform::SystemTime Win32Clock::LocalNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return FromSystemTime(now);
}

platform::FileTime Win32Clock::LocalToFileTime(const platform::SystemTime& local) {
  const SYSTEMTIME system = ToSystemTime(local);
  FILETIME localTime{};
  FILETIME utcTime{};
  if (!::SystemTimeToFileTime(&system, &localTime)) return {};
  if (!::LocalFileTimeToFileTime(&localTime, &utcTime)) return {};
  return FromFileTime(utcTime);
}

platform::SystemTime Win32Clock::FileTimeToLocal(platform::FileTime time) {
  const FILETIME utcTime = ToFileTime(time);
  FILETIME localTime{};
  SYSTEMTIME local{};
  if (!::FileTimeToLocalFileTime(&utcTime, &localTime)) return {};
  if (!::FileTimeToSystemTime(&localTime, &local)) return {};
  return FromSystemTime(local);
}

std::string Win32Clock::FormatDateTime(const platform::SystemTime& local) {
  const SYSTEMTIME system = ToSystemTime(local);
  char date[128] = {};
  const int dateLength =
      ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &system, nullptr, date, sizeof date);
  std::string text = FormattedText(date, dateLength);
  if (IsMidnight(local)) return text;
  char time[128] = {};
  const int timeLength =
      ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &system, nullptr, time, sizeof time);
  return text + " " + FormattedText(time, timeLength);
}

}  // namespace win32
