// The uninstaller's program entry, the same on Windows and on the sandbox: asks once,
// removes what the uninstall log names while its window shows the progress, and reports
// what could not be removed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forms/Application.h"
#include "platform/Platform.h"

namespace uninst {

// Exit codes of the uninstaller (also its "uninstall-result" transcript line).
inline constexpr int kUninstallDone = 0;        // everything named was removed
inline constexpr int kUninstallDeclined = 1;    // the user answered No
inline constexpr int kUninstallIncomplete = 2;  // some items could not be removed
inline constexpr int kUninstallNoLog = 3;       // no usable log, or a wrong command line

// The caption of every message box of the uninstaller.
inline constexpr const char* kUninstallCaption = "Uninstallation";

// The program's arguments split as Windows programs split their command line: blanks
// separate, double quotes group (and are dropped).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments of the command line the uninstall entry writes: the quoted log path, then
// the display name, quotes inside it included. Other command lines as SplitCommandLine.
std::vector<std::string> UninstallArguments(std::string_view commandLine);

// Runs the uninstaller for the arguments LOGPATH DISPLAYNAME; gives the exit code.
int RunUninstall(forms::Application& app, platform::Platform& platform,
                 const std::vector<std::string>& args);

}  // namespace uninst
