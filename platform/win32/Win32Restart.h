// The shutdown privilege and the restart of Windows on advapi32 and user32.
#pragma once

#include "platform/Restart.h"

namespace win32 {

// The Restart service of the running Windows.
class Win32Restart final : public platform::Restart {
 public:
  std::unique_ptr<platform::Token> OpenProcessToken(std::uint32_t access) override;
  bool LookupPrivilegeValue(const std::string& name, platform::Luid& luid) override;
  bool AdjustTokenPrivilege(platform::Token& token, const platform::Luid& luid,
                            std::uint32_t attributes) override;
  bool ExitWindows(std::uint32_t flags, std::uint32_t reserved) override;
  std::uint32_t LastError() override { return lastError_; }

 private:
  // Keeps GetLastError after every call; gives `ok`.
  bool Note(bool ok);

  std::uint32_t lastError_ = 0;
};

}  // namespace win32
