#include "platform/win32/Win32Restart.h"

#include "platform/win32/Handles.h"

namespace win32 {
namespace {

// An access token of this process, closed when destroyed.
class Win32Token final : public platform::Token {
 public:
  explicit Win32Token(UniqueHandle handle) : handle_(std::move(handle)) {}
  HANDLE Get() const { return handle_.Get(); }

 private:
  UniqueHandle handle_;
};

// AdjustTokenPrivileges is given a buffer of this size for the previous state: one
// privilege with its LUID and attributes, the way the installer has always called it.
constexpr DWORD kPreviousStateSize = 16;
static_assert(sizeof(TOKEN_PRIVILEGES) == kPreviousStateSize);

}  // namespace

bool Win32Restart::Note(bool ok) {
  lastError_ = ::GetLastError();
  return ok;
}

std::unique_ptr<platform::Token> Win32Restart::OpenProcessToken(std::uint32_t access) {
  HANDLE token = nullptr;
  if (!Note(::OpenProcessToken(::GetCurrentProcess(), access, &token) != FALSE)) return nullptr;
  return std::make_unique<Win32Token>(UniqueHandle(token));
}

bool Win32Restart::LookupPrivilegeValue(const std::string& name, platform::Luid& luid) {
  LUID value{};
  if (!Note(::LookupPrivilegeValueA(nullptr, name.c_str(), &value) != FALSE)) return false;
  luid.lowPart = value.LowPart;
  luid.highPart = value.HighPart;
  return true;
}

bool Win32Restart::AdjustTokenPrivilege(platform::Token& token, const platform::Luid& luid,
                                        std::uint32_t attributes) {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid.LowPart = luid.lowPart;
  privileges.Privileges[0].Luid.HighPart = luid.highPart;
  privileges.Privileges[0].Attributes = attributes;
  TOKEN_PRIVILEGES previous{};
  DWORD previousSize = 0;
  // Success here does not mean the privilege was granted: GetLastError then tells
  // ERROR_NOT_ALL_ASSIGNED, which LastError() keeps for the caller.
  return Note(::AdjustTokenPrivileges(static_cast<Win32Token&>(token).Get(), FALSE, &privileges,
                                      kPreviousStateSize, &previous, &previousSize) != FALSE);
}

bool Win32Restart::ExitWindows(std::uint32_t flags, std::uint32_t reserved) {
  return Note(::ExitWindowsEx(flags, reserved) != FALSE);
}

}  // namespace win32
