#include "platform/win32/Convert.h"

#include <cwchar>

#include "platform/win32/Win32Logic.h"

namespace win32 {

SYSTEMTIME ToSystemTime(const platform::SystemTime& time) {
  SYSTEMTIME result{};
  result.wYear = static_cast<WORD>(time.year);
  result.wMonth = static_cast<WORD>(time.month);
  result.wDayOfWeek = static_cast<WORD>(time.dayOfWeek);
  result.wDay = static_cast<WORD>(time.day);
  result.wHour = static_cast<WORD>(time.hour);
  result.wMinute = static_cast<WORD>(time.minute);
  result.wSecond = static_cast<WORD>(time.second);
  result.wMilliseconds = static_cast<WORD>(time.milliseconds);
  return result;
}

platform::SystemTime FromSystemTime(const SYSTEMTIME& time) {
  platform::SystemTime result;
  result.year = time.wYear;
  result.month = time.wMonth;
  result.dayOfWeek = time.wDayOfWeek;
  result.day = time.wDay;
  result.hour = time.wHour;
  result.minute = time.wMinute;
  result.second = time.wSecond;
  result.milliseconds = time.wMilliseconds;
  return result;
}

FILETIME ToFileTime(platform::FileTime time) {
  const FileTimeHalves halves = SplitFileTime(time);
  FILETIME result{};
  result.dwLowDateTime = halves.low;
  result.dwHighDateTime = halves.high;
  return result;
}

platform::FileTime FromFileTime(const FILETIME& time) {
  return JoinFileTime(time.dwLowDateTime, time.dwHighDateTime);
}

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string WideToAnsi(const wchar_t* text) {
  if (!text || !*text) return {};
  const int size = static_cast<int>(std::wcslen(text));
  const int length = ::WideCharToMultiByte(CP_ACP, 0, text, size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string ansi(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, size, ansi.data(), length, nullptr, nullptr);
  return ansi;
}

}  // namespace win32
