// Matching file names against FindFirstFileA patterns.
#pragma once

#include <string_view>

namespace sandbox {

// Whether `name` matches `pattern` as a Windows directory search decides it: without
// regard to the case of a-z, `*` for any run of characters, `?` for one character (or none
// before a dot or at the end), and a dot before a wildcard or at the end also matching no
// dot at all, so that "*.*" matches every name and "*." the names without an extension.
bool MatchesFindPattern(std::string_view pattern, std::string_view name);

}  // namespace sandbox
