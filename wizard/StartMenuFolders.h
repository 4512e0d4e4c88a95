// The program folders that already exist in the Start menu, offered on the folder page.
#pragma once

#include <string>

#include "forms/StdControls.h"
#include "platform/Platform.h"

// The Start menu's Programs folder of the running Windows: "Start Menu\Programs" (or the
// name a Czech Windows gives it) in the Windows directory of the 95 family,
// "Profiles\All Users\Start Menu\Programs" in it on NT. Empty when there is none.
std::string StartMenuProgramsFolder(platform::Platform& platform);

// Appends to `list` the names of the plain directories (attribute word exactly 16) in the
// Programs folder, in the order the search gives them. True when the folder was found,
// even an empty one.
bool ListStartMenuFolders(platform::Platform& platform, forms::ListBox& list);
