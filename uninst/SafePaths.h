// Windows path rules of the uninstaller: every path it removes must lie inside one of the
// directories the installer wrote into, whatever ".." or "." a damaged log puts in a name.
#pragma once

#include <string>
#include <string_view>

namespace uninst {

// An absolute Windows path ("X:\...", "/" read as "\") with "." components and empty
// components dropped and ".." applied, without trailing backslash ("C:" for a drive root).
// Empty when the path is not absolute or ".." climbs above the drive.
std::string NormalPath(std::string_view path);

// True when `path` lies strictly below `directory`; both are normalised and compared
// without regard to the case of a-z. False when either is not an absolute path.
bool IsInside(std::string_view path, std::string_view directory);

// `relative` joined to `directory` and normalised, when that lies strictly below
// `directory`; empty otherwise (an absolute name, or one that climbs out with "..").
std::string JoinInside(std::string_view directory, std::string_view relative);

// The directory of a normalised path ("C:\A\B" gives "C:\A"); empty for a drive root.
std::string ParentOf(std::string_view path);

}  // namespace uninst
