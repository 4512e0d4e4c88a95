// Putting a finished file in place of another, and deleting a file at the next restart, each
// the way the running Windows can. NT does either in one MoveFileExA call; the 95 family
// exports that call but does not carry it out, so there the replacement takes three renames
// and the deletion a line in WININIT.INI, which the system works through when it next starts.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace engine {

// The file `from` takes the name `to`, replacing the file there. On the 95 family the file
// at `to` is renamed aside first, then `from` takes its name and the old file is deleted; when
// `from` cannot take the name, the old file gets its name back. False when the file could
// not be replaced: `to` is then as it was (and `from` still there).
bool ReplaceFile(platform::Files& files, platform::System& system, const std::string& from,
                 const std::string& to);

// Deletes `path` at the next restart. On the 95 family that is a "NUL=path" line in the
// [rename] section of WININIT.INI, written through the profile functions so that the lines
// other programs put there stay; the system reads that file before it knows long names, so
// there the path must be in 8.3 form. False when it cannot be arranged.
bool DeleteAtRestart(platform::Platform& platform, const std::string& path);

}  // namespace engine
