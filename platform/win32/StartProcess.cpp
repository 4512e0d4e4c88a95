#include "platform/win32/StartProcess.h"

#include <vector>

namespace win32 {

// Windows 95 and NT 4 know the start-up record by this size; later ones accept it too.
static_assert(sizeof(STARTUPINFOA) == 68 || sizeof(void*) == 8,
              "the 32-bit start-up record is 68 bytes");

namespace {

bool Start(const char* applicationName, const std::string& commandLine, int showWindow,
           StartedProcess& started) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindow);
  PROCESS_INFORMATION info{};
  // CreateProcessA may write into the command line, so it gets a copy it can change.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!::CreateProcessA(applicationName, line.data(), nullptr, nullptr, FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  started.process = UniqueHandle(info.hProcess);
  started.thread = UniqueHandle(info.hThread);
  return true;
}

}  // namespace

bool StartProcess(const std::string& commandLine, int showWindow, StartedProcess& started) {
  return Start(nullptr, commandLine, showWindow, started);
}

bool StartProgram(const std::string& applicationName, const std::string& commandLine,
                  int showWindow, StartedProcess& started) {
  return Start(applicationName.c_str(), commandLine, showWindow, started);
}

}  // namespace win32
