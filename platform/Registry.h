// The registry (advapi32). Calls give the Windows error code: kErrorSuccess (0) on success.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using HKey = std::uintptr_t;

// Predefined root keys, with their Windows handle values.
constexpr HKey kHkeyClassesRoot = 0x80000000u;
constexpr HKey kHkeyCurrentUser = 0x80000001u;
constexpr HKey kHkeyLocalMachine = 0x80000002u;
constexpr HKey kHkeyUsers = 0x80000003u;
constexpr HKey kHkeyPerformanceData = 0x80000004u;
constexpr HKey kHkeyCurrentConfig = 0x80000005u;
constexpr HKey kHkeyDynData = 0x80000006u;

// Value types.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// Access rights.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;

class Registry {
 public:
  virtual ~Registry() = default;
  // RegCreateKeyExA (non-volatile): opens `subKey` below `parent`, creating every missing
  // level. `created` tells whether the last level was new.
  virtual long CreateKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result,
                         bool* created = nullptr) = 0;
  // RegOpenKeyExA: opens an existing key; an empty `subKey` opens `parent` again.
  virtual long OpenKey(HKey parent, const std::string& subKey, std::uint32_t access,
                       HKey& result) = 0;
  // RegCloseKey. Closing a predefined root is allowed and does nothing.
  virtual long CloseKey(HKey key) = 0;
  // RegSetValueExA. `data` holds the value's bytes: for kRegSz the text without its
  // terminating zero (the platform adds it), for kRegDword four little-endian bytes.
  virtual long SetValue(HKey key, const std::string& name, std::uint32_t type,
                        const std::string& data) = 0;
  // RegQueryValueExA: the type and the bytes (kRegSz without its terminating zero).
  virtual long QueryValue(HKey key, const std::string& name, std::uint32_t& type,
                          std::string& data) = 0;
  // RegDeleteValueA.
  virtual long DeleteValue(HKey key, const std::string& name) = 0;
  // RegDeleteKeyA: deletes a key that has no subkeys.
  virtual long DeleteKey(HKey parent, const std::string& subKey) = 0;
  // RegQueryInfoKeyA: the number of subkeys and values.
  virtual long QueryInfo(HKey key, std::uint32_t& subKeys, std::uint32_t& values) = 0;
  // RegEnumKeyExA: the name of the subkey at `index` (0 up); kErrorNoMoreItems past the last.
  virtual long EnumKey(HKey key, std::uint32_t index, std::string& name) = 0;
};

}  // namespace platform
