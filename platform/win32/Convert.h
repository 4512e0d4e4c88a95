// Conversions between our portable values and the Windows structures and wide texts.
#pragma once

#include <string>

#include "platform/Files.h"
#include "platform/win32/WindowsApi.h"

namespace win32 {

// A SystemTime as SYSTEMTIME, field by field.
SYSTEMTIME ToSystemTime(const platform::SystemTime& time);
// A SYSTEMTIME as SystemTime, field by field.
platform::SystemTime FromSystemTime(const SYSTEMTIME& time);
// A FileTime as FILETIME.
FILETIME ToFileTime(platform::FileTime time);
// A FILETIME as FileTime.
platform::FileTime FromFileTime(const FILETIME& time);
// An ANSI text (the system code page, CP_ACP) as UTF-16.
std::wstring AnsiToWide(const std::string& text);
// A UTF-16 text in the system code page; empty for null.
std::string WideToAnsi(const wchar_t* text);

}  // namespace win32
