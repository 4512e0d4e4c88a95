// Where a copy line or a LANG line puts its file: the checks of a destination name as the
// installer joins it to its target directory and hands it to the system.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace medium {

// The errors of destination `dest` (Value2 of a copy line, Value3 of a LANG line) below the
// directory `target`; `result` is the installation's result when the copy fails (1 for a
// copy line, 8 for the language file). Empty when the name is sound.
std::vector<std::string> DestinationErrors(const std::string& dest, const std::string& target,
                                           int result);

// The destination's path below its directory in one spelling (upper case, "\" between
// names), to tell two lines that write one file; empty when it leads out.
std::optional<std::string> DestinationKey(const std::string& dest);

}  // namespace medium
