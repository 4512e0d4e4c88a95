// The in-memory tree behind the emulated registry: keys and typed values, looked up
// without regard to ASCII case but keeping the names as first written.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sandbox {

// One value of a key: its name as first written, its registry type and its bytes.
struct RegValue {
  std::string name;
  std::uint32_t type = 0;
  std::string data;
};

// One key. Subkeys and values are indexed by their upper-cased names, so that lookups
// ignore case and walking the maps gives the case-insensitive order of the saved file.
// Keys are shared so that an open handle can notice that its key was deleted.
struct RegKey {
  std::string name;  // as first written
  std::string path;  // full path starting with the root name, e.g. "HKEY_USERS\X\Y"
  std::map<std::string, std::shared_ptr<RegKey>> subKeys;
  std::map<std::string, RegValue> values;
  RegKey* parent = nullptr;  // the owning key; null for a root
  bool deleted = false;

  // The subkey called `childName` (any case), or null.
  std::shared_ptr<RegKey> Find(std::string_view childName) const;
  // The subkey called `childName`, created when missing.
  std::shared_ptr<RegKey> Child(std::string_view childName);
  // The value called `valueName` (any case), or null.
  const RegValue* FindValue(std::string_view valueName) const;
  // Stores a value; an existing value keeps the name it was first written with.
  void SetValue(std::string_view valueName, std::uint32_t type, std::string data);
};

// A new, empty root key with the given name ("HKEY_LOCAL_MACHINE").
std::shared_ptr<RegKey> MakeRootKey(std::string_view name);

// The components of a key path relative to an open key. One trailing backslash is
// allowed and ignored; a leading backslash, an empty component in the middle or a
// component longer than 255 bytes makes the path invalid (nullopt). "" gives no components.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

}  // namespace sandbox
