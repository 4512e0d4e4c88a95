// The entry of uninstkp.exe: the Win32 services and toolkit, handed to the uninstaller's
// portable entry with the arguments of the command line (the log path and the display
// name, as the uninstall entry's command line gives them).
// The Windows headers first, without the macros that clash with our method names.
#include "platform/win32/WindowsApi.h"
// Then the toolkit, before anything else of the class library.
#include "forms/win32/Win32Toolkit.h"

#include "forms/Application.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Win32Platform.h"
#include "uninst/RunUninstall.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // Before anything loads a DLL: the program's own directory may hold planted ones.
  const auto systemLibraries = win32::RestrictDllSearchToSystem();
  win32::Win32Platform system;
  platform::Platform services = system.Services();
  forms::win32::Win32Toolkit toolkit(instance);
  int code = 0;
  {
    // The application (and its windows) goes before the toolkit that shows them.
    forms::Application app(toolkit);
    code = uninst::RunUninstall(app, services,
                                uninst::UninstallArguments(commandLine ? commandLine : ""));
  }
  return code;
}
