// The short-lived registry object of one registry step: a root key and the key opened
// last, closed when the object goes.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/Registry.h"

namespace engine {

// A registry read or write that the platform refused, or a value of the wrong type.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The predefined root a KEYROOT text names, compared exactly (case included);
// HKEY_CURRENT_USER when none matches.
// The predefined root a KEYROOT name selects (compared exactly); empty for no such name.
std::optional<platform::HKey> FindRootKey(const std::string& name);
platform::HKey RootKeyNamed(const std::string& name);

// Opens keys below a predefined root, one current key at a time, and reads and writes its
// values. Writes and reads throw RegistryError on failure; opening reports it as false.
class RegistryAccess {
 public:
  // An object with HKEY_CURRENT_USER as its root and no key open.
  explicit RegistryAccess(platform::Registry& registry) : registry_(registry) {}
  // Closes the current key.
  ~RegistryAccess();
  RegistryAccess(const RegistryAccess&) = delete;
  RegistryAccess& operator=(const RegistryAccess&) = delete;

  // Selects another predefined root; a different root closes the current key first.
  void SetRoot(platform::HKey root);
  platform::HKey RootKey() const { return root_; }
  // The key opened last, 0 when none is open.
  platform::HKey CurrentKey() const { return current_; }

  // Opens `path` (from the root when it begins with a backslash, otherwise from the current
  // key, or the root when none is open), creating it when `canCreate` is set and the path
  // is not empty; an empty path opens the base key again. On success the new key replaces
  // the current one. False when the platform refuses.
  bool OpenKey(const std::string& path, bool canCreate);
  // Writes a REG_SZ value into the current key.
  void WriteString(const std::string& name, const std::string& text);
  // Writes a REG_DWORD value (four bytes, the 32-bit pattern of `value`).
  void WriteInteger(const std::string& name, std::int32_t value);
  // Writes a REG_DWORD value of 1 or 0.
  void WriteBool(const std::string& name, bool flag);
  // Reads a REG_DWORD value; throws when it is missing or of another type.
  std::int32_t ReadInteger(const std::string& name);
  // True when the current key has a value of that name.
  bool ValueExists(const std::string& name);
  // Closes the current key, if one is open.
  void CloseKey();

 private:
  void WriteValue(const std::string& name, std::uint32_t type, const std::string& data);

  platform::Registry& registry_;
  platform::HKey root_ = platform::kHkeyCurrentUser;
  platform::HKey current_ = 0;
};

}  // namespace engine
