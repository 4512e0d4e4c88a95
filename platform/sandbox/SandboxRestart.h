// The restart of the emulated machine: privileges are looked up in the table Windows uses,
// and the shutdown request is recorded in system.log, never carried out.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Restart.h"
#include "platform/sandbox/Faults.h"
#include "platform/sandbox/Transcript.h"

namespace sandbox {

// LookupPrivilegeValueA's error for a name it does not know.
constexpr std::uint32_t kErrorNoSuchPrivilege = 1313;

// The locally unique identifier that Windows gives the privilege `name` (compared without
// regard to case), or nothing when it is no privilege of the standard set.
std::optional<std::uint32_t> StandardPrivilegeLuid(const std::string& name);

class SandboxRestart : public platform::Restart {
 public:
  SandboxRestart(Transcript& transcript, const Outcomes& outcomes)
      : transcript_(transcript), outcomes_(outcomes) {}

  std::unique_ptr<platform::Token> OpenProcessToken(std::uint32_t access) override;
  bool LookupPrivilegeValue(const std::string& name, platform::Luid& luid) override;
  // Fails without the token access to adjust privileges (kErrorAccessDenied), and, when the
  // outcomes refuse the privilege, with kErrorNotAllAssigned: the code Windows reports for
  // a privilege the account does not hold. (Windows itself returns success together with
  // that code; the sandbox reports the refusal as a failure so that callers which only
  // check the result take their failure path.)
  bool AdjustTokenPrivilege(platform::Token& token, const platform::Luid& luid,
                            std::uint32_t attributes) override;
  // Succeeds or fails with the outcomes' error; nothing is shut down.
  bool ExitWindows(std::uint32_t flags, std::uint32_t reserved) override;
  std::uint32_t LastError() override { return lastError_; }

 private:
  Transcript& transcript_;
  const Outcomes& outcomes_;
  std::uint32_t lastError_ = 0;
};

}  // namespace sandbox
