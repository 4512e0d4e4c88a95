#include "wizard/ShutNT.h"

#include "platform/WinTypes.h"

bool EnableShutdownPrivilege(platform::Restart& restart) {
  std::unique_ptr<platform::Token> token =
      restart.OpenProcessToken(platform::kTokenAdjustPrivileges | platform::kTokenQuery);
  if (!token) return false;
  platform::Luid luid;
  if (!restart.LookupPrivilegeValue("SeShutdownPrivilege", luid)) return false;
  return restart.AdjustTokenPrivilege(*token, luid, platform::kSePrivilegeEnabled);
}
