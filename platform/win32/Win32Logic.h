// The parts of the Win32 services that are plain logic, not calls: kept free of <windows.h>
// so that the native unit tests check them on Linux too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Files.h"
#include "platform/Registry.h"

namespace win32 {

// A system message text without its trailing blanks, line breaks and full stops, which
// FormatMessageA leaves on every text and the installer's messages add their own of.
inline std::string TrimMessageText(std::string text) {
  while (!text.empty()) {
    const char last = text.back();
    if (last != ' ' && last != '\r' && last != '\n' && last != '\t' && last != '.') break;
    text.pop_back();
  }
  return text;
}

// Everything up to and including the last "\" or ":" of `path`; empty when it has neither.
inline std::string DirectoryPart(std::string_view path) {
  const auto cut = path.find_last_of("\\:");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

// The handle value to hand to the registry API for `key`. Our root values are the 32-bit
// numbers of the predefined keys; a 64-bit Windows keeps those keys sign-extended
// (HKEY_CURRENT_USER is 0xFFFFFFFF80000001 there), so they are widened the same way.
// Keys the API opened pass unchanged.
inline std::uintptr_t NativeKeyValue(platform::HKey key) {
  if (key >= platform::kHkeyClassesRoot && key <= platform::kHkeyDynData) {
    const auto narrow = static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
    return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(narrow));
  }
  return key;
}

// A REG_SZ or REG_EXPAND_SZ value as the API returns it, cut before its terminating zero;
// other types keep every byte.
inline std::string WithoutTerminator(std::uint32_t type, std::string data) {
  if (type == platform::kRegSz || type == platform::kRegExpandSz) {
    const auto zero = data.find('\0');
    if (zero != std::string::npos) data.resize(zero);
  }
  return data;
}

// The command line that starts the program named after a DDE service that did not answer:
// the service name, then the topic as its argument when there is one.
inline std::string DdeServerCommandLine(const std::string& service, const std::string& topic) {
  return topic.empty() ? service : service + " " + topic;
}

// True when the time of day is exactly midnight, which the date-time text leaves out.
inline bool IsMidnight(const platform::SystemTime& time) {
  return time.hour == 0 && time.minute == 0 && time.second == 0 && time.milliseconds == 0;
}

// The two halves of a file time as FILETIME keeps them.
struct FileTimeHalves {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
};

inline FileTimeHalves SplitFileTime(platform::FileTime time) {
  return {static_cast<std::uint32_t>(time.ticks), static_cast<std::uint32_t>(time.ticks >> 32)};
}

inline platform::FileTime JoinFileTime(std::uint32_t low, std::uint32_t high) {
  return {(static_cast<std::uint64_t>(high) << 32) | low};
}

// The root a path is opened through, upper-cased: "C:" for a path on a drive ("C:\DIR\X"
// or "C:X"), "\\SERVER\SHARE" for a network path; empty when the path does not tell it (a
// path from the current drive's root or the current directory, a device path).
inline std::string PathRoot(std::string_view path) {
  const auto upper = [](std::string_view text) {
    std::string result(text);
    for (char& c : result)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return result;
  };
  const auto slash = [](char c) { return c == '\\' || c == '/'; };
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (path.size() >= 2 && letter(path[0]) && path[1] == ':') return upper(path.substr(0, 2));
  if (path.size() < 3 || !slash(path[0]) || !slash(path[1])) return {};
  // "\\.\" and "\\?\" open devices and raw names; a server's name is neither.
  if (path[2] == '.' || path[2] == '?') return {};
  const auto separator = [&](std::size_t from) {
    for (std::size_t i = from; i < path.size(); ++i)
      if (slash(path[i])) return i;
    return path.size();
  };
  const std::size_t server = separator(2);
  if (server == 2 || server >= path.size()) return {};
  const std::size_t share = separator(server + 1);
  if (share == server + 1) return {};
  return "\\\\" + upper(path.substr(2, server - 2)) + "\\" +
         upper(path.substr(server + 1, share - server - 1));
}

}  // namespace win32
