#include "platform/sandbox/Devices.h"

#include "platform/WinTypes.h"
#include "script/Text.h"

namespace sandbox {
namespace {

class NullDevice final : public platform::File {
 public:
  std::int64_t Read(void*, std::uint32_t) override { return 0; }
  std::int64_t Write(const void*, std::uint32_t size) override { return size; }
  bool SetLastWriteTime(platform::FileTime) override { return true; }
};

}  // namespace

std::optional<std::string> DeviceNameOf(std::string_view component) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  const std::string upper = script::UpperAscii(base);
  const bool numbered = upper.size() == 4 && upper[3] >= '1' && upper[3] <= '9' &&
                        (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0);
  if (numbered || upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL")
    return std::string(base);
  return std::nullopt;
}

bool IsNullDevice(std::string_view device) {
  return script::UpperAscii(device) == "NUL";
}

std::uint32_t DeviceOpenError(std::string_view device) {
  return script::UpperAscii(device) == "CON" ? platform::kErrorInvalidHandle
                                             : platform::kErrorFileNotFound;
}

std::unique_ptr<platform::File> OpenNullDevice() {
  return std::make_unique<NullDevice>();
}

platform::FindData DeviceFindData(std::string name) {
  platform::FindData data;
  data.name = std::move(name);
  data.attributes = platform::kFileAttributeArchive;
  return data;
}

}  // namespace sandbox
