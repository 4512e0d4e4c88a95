#include "platform/sandbox/SandboxRegistry.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/WinTypes.h"
#include "platform/sandbox/RegFile.h"
#include "script/Text.h"

namespace sandbox {

namespace {

constexpr long Code(std::uint32_t error) {
  return static_cast<long>(error);
}

constexpr long kOk = Code(platform::kErrorSuccess);

// Disk space kept for the next save of the file: twice the text (its growth until the
// next save is not known), and never less than this.
constexpr std::uint64_t kMinReserve = 64 * 1024;

std::uint64_t ReserveFor(std::uint64_t textSize) {
  return std::max(kMinReserve, 2 * textSize);
}

// Handles are multiples of four, as on Windows, so a stray small number is never valid.
constexpr platform::HKey kHandleStep = 4;

// Windows keeps a key tree at most 512 levels deep and refuses to create a key below that
// with ERROR_BADKEY.
constexpr std::size_t kMaxKeyDepth = 512;
constexpr std::uint32_t kErrorBadKey = 1010;

// How many levels below its root a key lies.
std::size_t DepthOf(const RegKey& key) {
  return static_cast<std::size_t>(std::count(key.path.begin(), key.path.end(), '\\'));
}

}  // namespace

SandboxRegistry::SandboxRegistry(std::filesystem::path regFile, const Faults& faults,
                                 std::optional<RegistryLimits> limits)
    : regFile_(std::move(regFile)),
      file_(regFile_, std::filesystem::path(regFile_).replace_extension(".reserve")),
      faults_(faults),
      limits_(limits) {
  Load();
  file_.Reserve(ReserveFor(textEstimate_));
}

SandboxRegistry::~SandboxRegistry() {
  std::error_code error;
  if (dirty_ || !std::filesystem::exists(regFile_, error)) Save();
}

void SandboxRegistry::Load() {
  roots_ = {
      {platform::kHkeyClassesRoot, MakeRootKey("HKEY_CLASSES_ROOT")},
      {platform::kHkeyCurrentUser, MakeRootKey("HKEY_CURRENT_USER")},
      {platform::kHkeyLocalMachine, MakeRootKey("HKEY_LOCAL_MACHINE")},
      {platform::kHkeyUsers, MakeRootKey("HKEY_USERS")},
      {platform::kHkeyCurrentConfig, MakeRootKey("HKEY_CURRENT_CONFIG")},
      {platform::kHkeyDynData, MakeRootKey("HKEY_DYN_DATA")},
  };
  handles_.clear();
  dirty_ = false;
  textEstimate_ = 0;
  std::ifstream in(regFile_, std::ios::binary);
  if (!in) return;
  std::stringstream text;
  text << in.rdbuf();
  textEstimate_ = text.str().size();
  std::vector<std::shared_ptr<RegKey>> roots;
  for (const auto& [handle, key] : roots_) roots.push_back(key);
  ParseRegFile(text.str(), roots);
}

std::string SandboxRegistry::Text() const {
  std::vector<std::shared_ptr<RegKey>> roots;
  for (const auto& [handle, key] : roots_) roots.push_back(key);
  return FormatRegFile(roots);
}

bool SandboxRegistry::Save() {
  const std::string text = Text();
  if (!file_.Replace(text)) return false;
  dirty_ = false;
  textEstimate_ = text.size();
  return true;
}

void SandboxRegistry::Changed(std::uint64_t growth) {
  dirty_ = true;
  // The space for the next save is taken as the tree grows, while drive C may still have
  // room; once it is full, what was reserved must do.
  textEstimate_ += growth;
  if (textEstimate_ > file_.Reserved()) file_.Reserve(ReserveFor(textEstimate_));
}

std::shared_ptr<RegKey> SandboxRegistry::Resolve(platform::HKey handle, long& error) const {
  for (const auto& [rootHandle, root] : roots_)
    if (rootHandle == handle) return root;
  auto it = handles_.find(handle);
  if (it == handles_.end()) {
    error = Code(platform::kErrorInvalidHandle);
    return nullptr;
  }
  if (it->second->deleted) {
    error = Code(platform::kErrorKeyDeleted);
    return nullptr;
  }
  return it->second;
}

std::shared_ptr<RegKey> SandboxRegistry::Walk(platform::HKey parent, const std::string& subKey,
                                              long& error) const {
  std::shared_ptr<RegKey> key = Resolve(parent, error);
  if (!key) return nullptr;
  std::optional<std::vector<std::string>> parts = SplitKeyPath(subKey);
  if (!parts) {
    error = Code(platform::kErrorInvalidParameter);
    return nullptr;
  }
  for (const std::string& part : *parts) {
    key = key->Find(part);
    if (!key) {
      error = Code(platform::kErrorFileNotFound);
      return nullptr;
    }
  }
  return key;
}

platform::HKey SandboxRegistry::NewHandle(std::shared_ptr<RegKey> key) {
  platform::HKey handle = nextHandle_;
  nextHandle_ += kHandleStep;
  handles_.emplace(handle, std::move(key));
  return handle;
}

bool SandboxRegistry::WriteRefused(const std::string& keyPath) const {
  if (faults_.registryWritesRefused) return true;
  for (const std::string& refused : faults_.refusedRegistryKeys) {
    if (keyPath.size() < refused.size()) continue;
    if (!script::EqualsUpper(std::string_view(keyPath).substr(0, refused.size()), refused))
      continue;
    if (keyPath.size() == refused.size() || keyPath[refused.size()] == '\\') return true;
  }
  return false;
}

long SandboxRegistry::CreateKey(platform::HKey parent, const std::string& subKey,
                                std::uint32_t /*access*/, platform::HKey& result, bool* created) {
  long error = kOk;
  std::shared_ptr<RegKey> key = Resolve(parent, error);
  if (!key) return error;
  std::optional<std::vector<std::string>> parts = SplitKeyPath(subKey);
  if (!parts) return Code(platform::kErrorInvalidParameter);
  if (DepthOf(*key) + parts->size() > kMaxKeyDepth) return Code(kErrorBadKey);
  // Check every level that would be made before making any, so a refusal changes nothing.
  std::shared_ptr<RegKey> existing = key;
  std::string path = key->path;
  std::size_t firstMissing = parts->size();
  for (std::size_t i = 0; i < parts->size(); ++i) {
    path += "\\" + (*parts)[i];
    if (existing && firstMissing == parts->size()) {
      existing = existing->Find((*parts)[i]);
      if (existing) continue;
      firstMissing = i;
    }
    if (WriteRefused(path)) return Code(platform::kErrorAccessDenied);
  }
  for (const std::string& part : *parts) key = key->Child(part);
  // Each new key is a line of its whole path and a blank line in the file.
  if (firstMissing < parts->size()) Changed((parts->size() - firstMissing) * (path.size() + 8));
  if (created) *created = firstMissing < parts->size();
  result = NewHandle(std::move(key));
  return kOk;
}

long SandboxRegistry::OpenKey(platform::HKey parent, const std::string& subKey,
                              std::uint32_t /*access*/, platform::HKey& result) {
  long error = kOk;
  std::shared_ptr<RegKey> key = Walk(parent, subKey, error);
  if (!key) return error;
  // Reopening a root itself gives the predefined handle back, as Windows does.
  for (const auto& [rootHandle, root] : roots_) {
    if (root == key) {
      result = rootHandle;
      return kOk;
    }
  }
  result = NewHandle(std::move(key));
  return kOk;
}

long SandboxRegistry::CloseKey(platform::HKey key) {
  for (const auto& [rootHandle, root] : roots_)
    if (rootHandle == key) return kOk;
  return handles_.erase(key) ? kOk : Code(platform::kErrorInvalidHandle);
}

long SandboxRegistry::SetValue(platform::HKey key, const std::string& name, std::uint32_t type,
                               const std::string& data) {
  long error = kOk;
  std::shared_ptr<RegKey> target = Resolve(key, error);
  if (!target) return error;
  if (WriteRefused(target->path) ||
      faults_.refusedRegistryValues.contains(script::UpperAscii(name)))
    return Code(platform::kErrorAccessDenied);
  if (const std::uint32_t refusal = LimitRefusal(limits_, *target, name, type, data))
    return Code(refusal);
  target->SetValue(name, type, data);
  // Quoted, escaped or written as hex with line breaks, a value's bytes take at most four
  // characters each in the file.
  Changed(2 * name.size() + 4 * data.size() + 32);
  return kOk;
}

long SandboxRegistry::QueryValue(platform::HKey key, const std::string& name, std::uint32_t& type,
                                 std::string& data) {
  long error = kOk;
  std::shared_ptr<RegKey> target = Resolve(key, error);
  if (!target) return error;
  const RegValue* value = target->FindValue(name);
  if (!value) return Code(platform::kErrorFileNotFound);
  type = value->type;
  data = value->data;
  return kOk;
}

long SandboxRegistry::DeleteValue(platform::HKey key, const std::string& name) {
  long error = kOk;
  std::shared_ptr<RegKey> target = Resolve(key, error);
  if (!target) return error;
  if (WriteRefused(target->path)) return Code(platform::kErrorAccessDenied);
  if (!target->values.erase(script::UpperAscii(name))) return Code(platform::kErrorFileNotFound);
  Changed(0);
  return kOk;
}

long SandboxRegistry::DeleteKey(platform::HKey parent, const std::string& subKey) {
  long error = kOk;
  std::shared_ptr<RegKey> target = Walk(parent, subKey, error);
  if (!target) return error;
  // An empty subKey names the key of the handle itself; the roots cannot be deleted.
  if (!target->parent) return Code(platform::kErrorAccessDenied);
  if (WriteRefused(target->path)) return Code(platform::kErrorAccessDenied);
  if (!target->subKeys.empty()) return Code(platform::kErrorAccessDenied);
  target->parent->subKeys.erase(script::UpperAscii(target->name));
  target->deleted = true;
  Changed(0);
  return kOk;
}

long SandboxRegistry::QueryInfo(platform::HKey key, std::uint32_t& subKeys, std::uint32_t& values) {
  long error = kOk;
  std::shared_ptr<RegKey> target = Resolve(key, error);
  if (!target) return error;
  subKeys = static_cast<std::uint32_t>(target->subKeys.size());
  values = static_cast<std::uint32_t>(target->values.size());
  return kOk;
}

long SandboxRegistry::EnumKey(platform::HKey key, std::uint32_t index, std::string& name) {
  long error = kOk;
  std::shared_ptr<RegKey> target = Resolve(key, error);
  if (!target) return error;
  if (index >= target->subKeys.size()) return Code(platform::kErrorNoMoreItems);
  name = std::next(target->subKeys.begin(), index)->second->name;
  return kOk;
}

}  // namespace sandbox
