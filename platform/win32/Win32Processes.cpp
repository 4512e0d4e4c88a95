#include "platform/win32/Win32Processes.h"

#include "platform/win32/StartProcess.h"

namespace win32 {

std::optional<std::uint32_t> Win32Processes::RunAndWait(const std::string& commandLine,
                                                        int showWindow) {
  StartedProcess started;
  if (!StartProcess(commandLine, showWindow, started)) return std::nullopt;
  ::WaitForSingleObject(started.process.Get(), INFINITE);
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(started.process.Get(), &exitCode)) return std::nullopt;
  return exitCode;
}

}  // namespace win32
