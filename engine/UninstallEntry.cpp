#include "engine/UninstallEntry.h"

namespace engine {

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

std::optional<std::string> UninstallEntryKey(const std::string& displayName) {
  const std::vector<std::string> levels = KeyLevels(displayName);
  // The registry drops an empty level ("Prod\" opens the key of "Prod"): such a name has
  // no key of its own, and must not share another product's entry and record.
  if (levels.empty() || JoinLevels(levels, levels.size()) != displayName) return std::nullopt;
  return std::string(kUninstallListKey) + "\\" + JoinLevels(levels, levels.size());
}

OpenedKey::OpenedKey(platform::Registry& registry, platform::HKey root, const std::string& path,
                     bool create)
    : registry_(registry) {
  const long error = create ? registry.CreateKey(root, path, platform::kKeyAllAccess, handle_)
                            : registry.OpenKey(root, path, platform::kKeyAllAccess, handle_);
  if (error != 0) handle_ = 0;
}

OpenedKey::~OpenedKey() {
  if (handle_ != 0) registry_.CloseKey(handle_);
}

std::string DwordData(std::uint32_t value) {
  std::string data(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return data;
}

std::uint32_t DwordValue(const std::string& data) {
  std::uint32_t value = 0;
  for (std::size_t i = data.size() < 4 ? data.size() : 4; i > 0; --i)
    value = (value << 8) | static_cast<unsigned char>(data[i - 1]);
  return value;
}

}  // namespace engine
