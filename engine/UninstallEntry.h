// The product's uninstall entry below HKEY_LOCAL_MACHINE: where it lies and the values the
// installer writes there for the uninstaller. An ordinary user cannot write there, so the
// uninstaller trusts what it finds in it and nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace engine {

// The key that holds one entry per removable product.
inline constexpr char kUninstallListKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\UnInstall";

// Values of the entry besides DisplayName and UnInstallString.
inline constexpr char kLogDigestValue[] = "LogDigest";  // SHA-256 of setup.uni, hex
inline constexpr char kLogPathValue[] = "LogPath";      // the log's full path
// Written by the uninstaller while a server's DllUnregisterServer runs: the server's path.
// Found at the next start, it tells that the call never came back (the server crashed).
inline constexpr char kUnregisteringValue[] = "Unregistering";

// The non-empty components of a key path, as the installer creates them one by one.
std::vector<std::string> KeyLevels(const std::string& keyPath);

// The levels joined with backslashes (the first `count` of them).
std::string JoinLevels(const std::vector<std::string>& levels, std::size_t count);

// The entry's key path for a display name (a backslash in the name nests it); nothing when
// the name has no level of its own, or an empty one (a leading, trailing or doubled
// backslash), so that nothing is ever written on the list key itself or on another
// product's entry.
std::optional<std::string> UninstallEntryKey(const std::string& displayName);

// A key opened (or created) for the time of one step, closed when the object goes.
class OpenedKey {
 public:
  // Handle() is 0 when the key does not open.
  OpenedKey(platform::Registry& registry, platform::HKey root, const std::string& path,
            bool create = false);
  ~OpenedKey();
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  platform::HKey Handle() const { return handle_; }

 private:
  platform::Registry& registry_;
  platform::HKey handle_ = 0;
};

// A REG_DWORD's four little-endian bytes, and back (missing bytes read as zero).
std::string DwordData(std::uint32_t value);
std::uint32_t DwordValue(const std::string& data);

}  // namespace engine
