// How much one key of the emulated registry may hold. The 95 family's registry keeps every
// value of a key, names and data, in one record of at most 64 KB, and refuses a value whose
// data passes 16,300 bytes; NT keeps no limit that an installation meets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/sandbox/RegistryTree.h"

namespace sandbox {

struct RegistryLimits {
  std::size_t valueBytes;  // the data of one value, a text's terminating zero included
  std::size_t keyBytes;    // the names and data of all values of one key together
};

// The limits of Windows 95, 98 and ME.
inline constexpr RegistryLimits k95FamilyRegistryLimits{16300, 65535};

// The bytes a value takes in its key: its name and its data as RegSetValueExA is given it
// (with the terminating zero of a text).
std::size_t ValueBytes(const std::string& name, std::uint32_t type, const std::string& data);

// The bytes all values of `key` take together.
std::size_t KeyValueBytes(const RegKey& key);

// The error the registry gives for setting `name` of `key` to `data` when that passes the
// limits (kErrorOutOfMemory, as the 95 family's registry answers), or kErrorSuccess.
std::uint32_t LimitRefusal(const std::optional<RegistryLimits>& limits, const RegKey& key,
                           const std::string& name, std::uint32_t type, const std::string& data);

}  // namespace sandbox
