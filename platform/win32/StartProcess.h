// Starting a program with CreateProcessA the way every caller in the installer does.
#pragma once

#include <string>

#include "platform/win32/Handles.h"

namespace win32 {

// The handles of a started process, closed when it goes out of scope.
struct StartedProcess {
  UniqueHandle process;
  UniqueHandle thread;
};

// CreateProcessA with `commandLine` as given and no application name, a STARTUPINFOA of
// 68 bytes that sets the show-window value, no inherited handles, normal priority, the
// caller's environment and directory. False when the process could not be started.
bool StartProcess(const std::string& commandLine, int showWindow, StartedProcess& started);

// As StartProcess, with `applicationName` (a full path) handed to CreateProcessA as the
// program to start: the command line then only becomes the program's arguments, and a
// path with blanks in it can never be read as a shorter program's name.
bool StartProgram(const std::string& applicationName, const std::string& commandLine,
                  int showWindow, StartedProcess& started);

}  // namespace win32
