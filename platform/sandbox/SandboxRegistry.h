// The emulated machine's registry: a tree in memory, kept in a REGEDIT4 file
// (registry.reg) of the machine directory.
//
// Handles of opened keys are numbers this object hands out and never reuses; a call on
// an unknown or closed handle fails with kErrorInvalidHandle, a call on a handle whose key
// was deleted with kErrorKeyDeleted. Key paths follow SplitKeyPath: a leading backslash or
// an empty component fails with kErrorInvalidParameter (Windows refuses such names too),
// one trailing backslash is ignored. As on Windows, no key is created more than 512
// levels below its root (ERROR_BADKEY). The predefined roots are separate trees; the aliases
// of Windows (HKEY_CLASSES_ROOT inside HKEY_LOCAL_MACHINE and so on) are not emulated.
// Not synchronised: the installer touches the registry from its main thread only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/sandbox/Faults.h"
#include "platform/sandbox/RegistryLimits.h"
#include "platform/sandbox/RegistryTree.h"
#include "platform/sandbox/ReservedFile.h"

namespace sandbox {

class SandboxRegistry : public platform::Registry {
 public:
  // Loads `regFile` when it exists; `faults` is read at every call. With `limits` a value
  // that would not fit its key is refused (RegistryLimits.h).
  SandboxRegistry(std::filesystem::path regFile, const Faults& faults,
                  std::optional<RegistryLimits> limits = std::nullopt);
  // Saves the file when anything changed (or it does not exist yet).
  ~SandboxRegistry() override;
  SandboxRegistry(const SandboxRegistry&) = delete;
  SandboxRegistry& operator=(const SandboxRegistry&) = delete;

  long CreateKey(platform::HKey parent, const std::string& subKey, std::uint32_t access,
                 platform::HKey& result, bool* created = nullptr) override;
  long OpenKey(platform::HKey parent, const std::string& subKey, std::uint32_t access,
               platform::HKey& result) override;
  long CloseKey(platform::HKey key) override;
  long SetValue(platform::HKey key, const std::string& name, std::uint32_t type,
                const std::string& data) override;
  long QueryValue(platform::HKey key, const std::string& name, std::uint32_t& type,
                  std::string& data) override;
  long DeleteValue(platform::HKey key, const std::string& name) override;
  long DeleteKey(platform::HKey parent, const std::string& subKey) override;
  long QueryInfo(platform::HKey key, std::uint32_t& subKeys, std::uint32_t& values) override;
  // Subkeys come in the case-insensitive order of the saved file.
  long EnumKey(platform::HKey key, std::uint32_t index, std::string& name) override;

  // Writes the file through its reserve (ReservedFile.h), so that a full drive C does not
  // keep it from being saved; false when that fails.
  bool Save();
  // The text that Save writes.
  std::string Text() const;
  // Replaces the whole tree with what the file holds (empty when it does not exist).
  void Load();

 private:
  // The key behind `handle`; null with `error` set when there is none.
  std::shared_ptr<RegKey> Resolve(platform::HKey handle, long& error) const;
  // The key at `subKey` below `parent`; null with `error` set when it is missing.
  std::shared_ptr<RegKey> Walk(platform::HKey parent, const std::string& subKey, long& error) const;
  platform::HKey NewHandle(std::shared_ptr<RegKey> key);
  // True when the faults refuse writing the key with this full path.
  bool WriteRefused(const std::string& keyPath) const;
  // The tree changed, the file's text growing by at most `growth` bytes.
  void Changed(std::uint64_t growth);

  std::filesystem::path regFile_;
  ReservedFile file_;
  std::uint64_t textEstimate_ = 0;  // at least the length of the text Save would write
  const Faults& faults_;
  std::optional<RegistryLimits> limits_;
  std::vector<std::pair<platform::HKey, std::shared_ptr<RegKey>>> roots_;
  std::map<platform::HKey, std::shared_ptr<RegKey>> handles_;
  platform::HKey nextHandle_ = 0x100;
  bool dirty_ = false;
};

}  // namespace sandbox
