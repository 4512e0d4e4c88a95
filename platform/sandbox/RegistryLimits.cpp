#include "platform/sandbox/RegistryLimits.h"

#include "platform/Registry.h"
#include "platform/WinTypes.h"

namespace sandbox {

std::size_t ValueBytes(const std::string& name, std::uint32_t type, const std::string& data) {
  const bool text = type == platform::kRegSz || type == platform::kRegExpandSz;
  return name.size() + data.size() + (text ? 1 : 0);
}

std::size_t KeyValueBytes(const RegKey& key) {
  std::size_t bytes = 0;
  for (const auto& [upper, value] : key.values)
    bytes += ValueBytes(value.name, value.type, value.data);
  return bytes;
}

std::uint32_t LimitRefusal(const std::optional<RegistryLimits>& limits, const RegKey& key,
                           const std::string& name, std::uint32_t type, const std::string& data) {
  if (!limits) return platform::kErrorSuccess;
  const std::size_t bytes = ValueBytes(name, type, data);
  if (bytes - name.size() > limits->valueBytes) return platform::kErrorOutOfMemory;
  // A value written again gives back the room it took.
  std::size_t total = KeyValueBytes(key) + bytes;
  if (const RegValue* old = key.FindValue(name))
    total -= ValueBytes(old->name, old->type, old->data);
  return total > limits->keyBytes ? platform::kErrorOutOfMemory : platform::kErrorSuccess;
}

}  // namespace sandbox
