// Restarting Windows and the privilege it needs on Windows NT.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// An open access token; closed when destroyed.
class Token {
 public:
  virtual ~Token() = default;
};

// A locally unique identifier (LUID) of a privilege.
struct Luid {
  std::uint32_t lowPart = 0;
  std::int32_t highPart = 0;
};

class Restart {
 public:
  virtual ~Restart() = default;
  // OpenProcessToken(GetCurrentProcess(), access). Null on failure.
  virtual std::unique_ptr<Token> OpenProcessToken(std::uint32_t access) = 0;
  // LookupPrivilegeValueA on the local system.
  virtual bool LookupPrivilegeValue(const std::string& name, Luid& luid) = 0;
  // AdjustTokenPrivileges with one privilege and its attributes, not disabling the others.
  virtual bool AdjustTokenPrivilege(Token& token, const Luid& luid, std::uint32_t attributes) = 0;
  // ExitWindowsEx.
  virtual bool ExitWindows(std::uint32_t flags, std::uint32_t reserved) = 0;
  // GetLastError after the last call of this service.
  virtual std::uint32_t LastError() = 0;
};

}  // namespace platform
