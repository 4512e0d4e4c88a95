#include "uninst/RegistryCleanup.h"

#include "engine/RegistryAccess.h"
#include "platform/WinTypes.h"

namespace uninst {

platform::HKey RootKeyOf(const std::string& name) {
  return engine::RootKeyNamed(name);
}

std::vector<std::string> KeyLevels(const std::string& keyPath) {
  std::vector<std::string> levels;
  std::size_t start = 0;
  while (start <= keyPath.size()) {
    std::size_t end = keyPath.find('\\', start);
    if (end == std::string::npos) end = keyPath.size();
    if (end > start) levels.push_back(keyPath.substr(start, end - start));
    start = end + 1;
  }
  return levels;
}

std::string JoinLevels(const std::vector<std::string>& levels, std::size_t count) {
  std::string path;
  for (std::size_t i = 0; i < count && i < levels.size(); ++i) {
    if (i > 0) path += '\\';
    path += levels[i];
  }
  return path;
}

OpenedKey::OpenedKey(platform::Registry& registry, platform::HKey root, const std::string& path)
    : registry_(registry) {
  platform::HKey key = 0;
  if (registry_.OpenKey(root, path, platform::kKeyAllAccess, key) == platform::kErrorSuccess)
    handle_ = key;
}

OpenedKey::~OpenedKey() {
  Close();
}

void OpenedKey::Close() {
  if (handle_ != 0) registry_.CloseKey(handle_);
  handle_ = 0;
}

Removal DeleteRegistryValue(platform::Registry& registry, platform::HKey root,
                            const std::vector<std::string>& levels, const std::string& name) {
  OpenedKey key(registry, root, JoinLevels(levels, levels.size()));
  if (key.Handle() == 0) return Removal::Missing;
  std::uint32_t type = 0;
  std::string data;
  if (registry.QueryValue(key.Handle(), name, type, data) != platform::kErrorSuccess)
    return Removal::Missing;
  return registry.DeleteValue(key.Handle(), name) == platform::kErrorSuccess ? Removal::Removed
                                                                             : Removal::Failed;
}

bool PruneEmptyKeys(platform::Registry& registry, platform::HKey root,
                    const std::vector<std::string>& levels) {
  for (std::size_t depth = levels.size(); depth > 0; --depth) {
    const std::string path = JoinLevels(levels, depth);
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    {
      OpenedKey key(registry, root, path);
      if (key.Handle() == 0) continue;  // already gone: look at its parent
      if (registry.QueryInfo(key.Handle(), subKeys, values) != platform::kErrorSuccess) return true;
    }
    if (subKeys != 0 || values != 0) return true;
    if (registry.DeleteKey(root, path) != platform::kErrorSuccess) return false;
  }
  return true;
}

std::optional<std::uint32_t> ReadDword(platform::Registry& registry, platform::HKey key,
                                       const std::string& name) {
  std::uint32_t type = 0;
  std::string data;
  if (registry.QueryValue(key, name, type, data) != platform::kErrorSuccess) return std::nullopt;
  if (type != platform::kRegDword || data.size() != 4) return std::nullopt;
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data[i]);
  return value;
}

bool WriteDword(platform::Registry& registry, platform::HKey key, const std::string& name,
                std::uint32_t value) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return registry.SetValue(key, name, platform::kRegDword, data) == platform::kErrorSuccess;
}

}  // namespace uninst
