#include "platform/sandbox/RegistryTree.h"

#include "script/Text.h"

namespace sandbox {

namespace {

// Longest key name component that Windows accepts.
constexpr std::size_t kMaxKeyNameLength = 255;

}  // namespace

std::shared_ptr<RegKey> RegKey::Find(std::string_view childName) const {
  auto it = subKeys.find(script::UpperAscii(childName));
  return it == subKeys.end() ? nullptr : it->second;
}

std::shared_ptr<RegKey> RegKey::Child(std::string_view childName) {
  std::shared_ptr<RegKey>& slot = subKeys[script::UpperAscii(childName)];
  if (!slot) {
    slot = std::make_shared<RegKey>();
    slot->name = std::string(childName);
    slot->path = path + "\\" + slot->name;
    slot->parent = this;
  }
  return slot;
}

const RegValue* RegKey::FindValue(std::string_view valueName) const {
  auto it = values.find(script::UpperAscii(valueName));
  return it == values.end() ? nullptr : &it->second;
}

void RegKey::SetValue(std::string_view valueName, std::uint32_t type, std::string data) {
  auto [it, isNew] = values.try_emplace(script::UpperAscii(valueName));
  if (isNew) it->second.name = std::string(valueName);
  it->second.type = type;
  it->second.data = std::move(data);
}

std::shared_ptr<RegKey> MakeRootKey(std::string_view name) {
  auto root = std::make_shared<RegKey>();
  root->name = std::string(name);
  root->path = root->name;
  return root;
}

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  if (path.empty()) return parts;
  if (path.front() == '\\') return std::nullopt;
  if (path.back() == '\\') path.remove_suffix(1);
  std::size_t start = 0;
  while (true) {
    std::size_t end = path.find('\\', start);
    std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (part.empty() || part.size() > kMaxKeyNameLength) return std::nullopt;
    parts.emplace_back(part);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

}  // namespace sandbox
