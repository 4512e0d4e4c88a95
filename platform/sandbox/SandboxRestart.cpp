#include "platform/sandbox/SandboxRestart.h"

#include <array>
#include <string_view>

#include "platform/WinTypes.h"
#include "script/Text.h"

namespace sandbox {
namespace {

struct Privilege {
  std::string_view name;
  std::uint32_t luid;
};

// The privileges of Windows NT with the identifiers its systems assign them.
constexpr std::array<Privilege, 24> kPrivileges = {{
    {"SeCreateTokenPrivilege", 2},
    {"SeAssignPrimaryTokenPrivilege", 3},
    {"SeLockMemoryPrivilege", 4},
    {"SeIncreaseQuotaPrivilege", 5},
    {"SeMachineAccountPrivilege", 6},
    {"SeTcbPrivilege", 7},
    {"SeSecurityPrivilege", 8},
    {"SeTakeOwnershipPrivilege", 9},
    {"SeLoadDriverPrivilege", 10},
    {"SeSystemProfilePrivilege", 11},
    {"SeSystemtimePrivilege", 12},
    {"SeProfileSingleProcessPrivilege", 13},
    {"SeIncreaseBasePriorityPrivilege", 14},
    {"SeCreatePagefilePrivilege", 15},
    {"SeCreatePermanentPrivilege", 16},
    {"SeBackupPrivilege", 17},
    {"SeRestorePrivilege", 18},
    {"SeShutdownPrivilege", 19},
    {"SeDebugPrivilege", 20},
    {"SeAuditPrivilege", 21},
    {"SeSystemEnvironmentPrivilege", 22},
    {"SeChangeNotifyPrivilege", 23},
    {"SeRemoteShutdownPrivilege", 24},
    {"SeUndockPrivilege", 25},
}};

// The privilege's name for system.log, or the identifier itself when it has none.
std::string PrivilegeName(const platform::Luid& luid) {
  if (luid.highPart == 0) {
    for (const Privilege& privilege : kPrivileges) {
      if (privilege.luid == luid.lowPart) return std::string(privilege.name);
    }
  }
  return "LUID " + std::to_string(luid.highPart) + ":" + std::to_string(luid.lowPart);
}

// The process token: it remembers the access it was opened with.
class SandboxToken : public platform::Token {
 public:
  explicit SandboxToken(std::uint32_t access) : access_(access) {}
  std::uint32_t Access() const { return access_; }

 private:
  std::uint32_t access_;
};

}  // namespace

std::optional<std::uint32_t> StandardPrivilegeLuid(const std::string& name) {
  for (const Privilege& privilege : kPrivileges) {
    if (script::EqualsUpper(name, privilege.name)) return privilege.luid;
  }
  return std::nullopt;
}

std::unique_ptr<platform::Token> SandboxRestart::OpenProcessToken(std::uint32_t access) {
  lastError_ = platform::kErrorSuccess;
  return std::make_unique<SandboxToken>(access);
}

bool SandboxRestart::LookupPrivilegeValue(const std::string& name, platform::Luid& luid) {
  const std::optional<std::uint32_t> found = StandardPrivilegeLuid(name);
  if (!found) {
    lastError_ = kErrorNoSuchPrivilege;
    return false;
  }
  luid = {*found, 0};
  lastError_ = platform::kErrorSuccess;
  return true;
}

bool SandboxRestart::AdjustTokenPrivilege(platform::Token& token, const platform::Luid& luid,
                                          std::uint32_t) {
  auto* ours = dynamic_cast<SandboxToken*>(&token);
  if (ours == nullptr) {
    lastError_ = platform::kErrorInvalidHandle;
    return false;
  }
  if ((ours->Access() & platform::kTokenAdjustPrivileges) == 0) {
    lastError_ = platform::kErrorAccessDenied;
    return false;
  }
  const bool granted = outcomes_.privilegeGranted;
  transcript_.Append({"privilege", PrivilegeName(luid), granted ? "ok" : "refused"});
  lastError_ = granted ? platform::kErrorSuccess : platform::kErrorNotAllAssigned;
  return granted;
}

bool SandboxRestart::ExitWindows(std::uint32_t flags, std::uint32_t) {
  const std::string flagsText = std::to_string(flags);
  if (outcomes_.exitWindowsSucceeds) {
    transcript_.Append({"exit-windows", flagsText, "ok"});
    lastError_ = platform::kErrorSuccess;
    return true;
  }
  transcript_.Append(
      {"exit-windows", flagsText, "failed " + std::to_string(outcomes_.exitWindowsError)});
  lastError_ = outcomes_.exitWindowsError;
  return false;
}

}  // namespace sandbox
