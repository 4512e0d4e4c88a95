#include "platform/win32/Win32Processes.h"

#include "platform/win32/StartProcess.h"

namespace win32 {
namespace {

// Waits without limit for the started process to end; its exit code.
std::optional<std::uint32_t> WaitForExit(const StartedProcess& started) {
  ::WaitForSingleObject(started.process.Get(), INFINITE);
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(started.process.Get(), &exitCode)) return std::nullopt;
  return exitCode;
}

}  // namespace

std::optional<std::uint32_t> Win32Processes::RunAndWait(const std::string& commandLine,
                                                        int showWindow) {
  StartedProcess started;
  if (!StartProcess(commandLine, showWindow, started)) return std::nullopt;
  return WaitForExit(started);
}

std::optional<std::uint32_t> Win32Processes::RunProgramAndWait(const std::string& applicationName,
                                                               const std::string& commandLine,
                                                               int showWindow) {
  StartedProcess started;
  if (!StartProgram(applicationName, commandLine, showWindow, started)) return std::nullopt;
  return WaitForExit(started);
}

}  // namespace win32
