// Registry removal: one named value, then the keys of its path that are left empty.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace uninst {

// How a removal went.
enum class Removal { Removed, Missing, Failed };

// The predefined root of a KEYROOT text, compared exactly as the installer does;
// HKEY_CURRENT_USER when none matches.
platform::HKey RootKeyOf(const std::string& name);

// The non-empty components of a key path, as the installer creates them one by one.
std::vector<std::string> KeyLevels(const std::string& keyPath);

// The levels joined with backslashes.
std::string JoinLevels(const std::vector<std::string>& levels, std::size_t count);

// A key opened for the time of one step, closed when the object goes.
class OpenedKey {
 public:
  // Opens `path` below `root` (every right); Handle() is 0 when it does not open.
  OpenedKey(platform::Registry& registry, platform::HKey root, const std::string& path);
  ~OpenedKey();
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  platform::HKey Handle() const { return handle_; }
  // Closes the key now.
  void Close();

 private:
  platform::Registry& registry_;
  platform::HKey handle_ = 0;
};

// Deletes the value `name` of the key `levels` below `root`. Missing when the key or the
// value is not there.
Removal DeleteRegistryValue(platform::Registry& registry, platform::HKey root,
                            const std::vector<std::string>& levels, const std::string& name);

// Deletes the keys of the path from the deepest up while each has neither values nor
// subkeys; stops at the first key that holds something. False when an empty key could not
// be deleted.
bool PruneEmptyKeys(platform::Registry& registry, platform::HKey root,
                    const std::vector<std::string>& levels);

// A REG_DWORD value of a key, or nothing when it is missing or of another type.
std::optional<std::uint32_t> ReadDword(platform::Registry& registry, platform::HKey key,
                                       const std::string& name);

// Writes a REG_DWORD value; false when refused.
bool WriteDword(platform::Registry& registry, platform::HKey key, const std::string& name,
                std::uint32_t value);

}  // namespace uninst
