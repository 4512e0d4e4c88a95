#include "engine/RegistryAccess.h"

#include "platform/WinTypes.h"

namespace engine {

std::optional<platform::HKey> FindRootKey(const std::string& name) {
  struct RootRow {
    const char* name;
    platform::HKey key;
  };
  static constexpr RootRow kRoots[] = {
      {"HKEY_CLASSES_ROOT", platform::kHkeyClassesRoot},
      {"HKEY_CURRENT_USER", platform::kHkeyCurrentUser},
      {"HKEY_LOCAL_MACHINE", platform::kHkeyLocalMachine},
      {"HKEY_USERS", platform::kHkeyUsers},
      {"HKEY_CURRENT_CONFIG", platform::kHkeyCurrentConfig},
      {"HKEY_DYN_DATA", platform::kHkeyDynData},
  };
  for (const RootRow& row : kRoots) {
    if (name == row.name) return row.key;
  }
  return std::nullopt;
}

platform::HKey RootKeyNamed(const std::string& name) {
  return FindRootKey(name).value_or(platform::kHkeyCurrentUser);
}

RegistryAccess::~RegistryAccess() {
  CloseKey();
}

void RegistryAccess::SetRoot(platform::HKey root) {
  if (root == root_) return;
  CloseKey();
  root_ = root;
}

bool RegistryAccess::OpenKey(const std::string& path, bool canCreate) {
  std::string relative = path;
  platform::HKey base = current_ != 0 ? current_ : root_;
  if (!relative.empty() && relative.front() == '\\') {
    relative.erase(0, 1);
    base = root_;
  }
  platform::HKey opened = 0;
  const long error = canCreate && !relative.empty()
                         ? registry_.CreateKey(base, relative, platform::kKeyAllAccess, opened)
                         : registry_.OpenKey(base, relative, platform::kKeyAllAccess, opened);
  if (error != static_cast<long>(platform::kErrorSuccess)) return false;
  CloseKey();
  current_ = opened;
  return true;
}

void RegistryAccess::WriteValue(const std::string& name, std::uint32_t type,
                                const std::string& data) {
  // Without an open key there is nothing to write into; Windows refuses the null handle.
  if (current_ == 0 || registry_.SetValue(current_, name, type, data) !=
                           static_cast<long>(platform::kErrorSuccess)) {
    throw RegistryError("Failed to set data for '" + name + "'");
  }
}

void RegistryAccess::WriteString(const std::string& name, const std::string& text) {
  WriteValue(name, platform::kRegSz, text);
}

void RegistryAccess::WriteInteger(const std::string& name, std::int32_t value) {
  const auto pattern = static_cast<std::uint32_t>(value);
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((pattern >> (8 * i)) & 0xFFu);
  WriteValue(name, platform::kRegDword, bytes);
}

void RegistryAccess::WriteBool(const std::string& name, bool flag) {
  WriteInteger(name, flag ? 1 : 0);
}

std::int32_t RegistryAccess::ReadInteger(const std::string& name) {
  std::uint32_t type = platform::kRegNone;
  std::string bytes;
  if (current_ == 0 ||
      registry_.QueryValue(current_, name, type, bytes) !=
          static_cast<long>(platform::kErrorSuccess) ||
      type != platform::kRegDword || bytes.size() != 4) {
    throw RegistryError("Invalid data type for '" + name + "'");
  }
  std::uint32_t pattern = 0;
  for (int i = 3; i >= 0; --i) pattern = (pattern << 8) | static_cast<unsigned char>(bytes[i]);
  return static_cast<std::int32_t>(pattern);
}

bool RegistryAccess::ValueExists(const std::string& name) {
  std::uint32_t type = platform::kRegNone;
  std::string bytes;
  return current_ != 0 && registry_.QueryValue(current_, name, type, bytes) ==
                              static_cast<long>(platform::kErrorSuccess);
}

void RegistryAccess::CloseKey() {
  if (current_ == 0) return;
  registry_.CloseKey(current_);
  current_ = 0;
}

}  // namespace engine
