// Texts the user sees (the product's title, the destination, group and language names)
// are shown byte for byte in code page 1250, which is how the installer's windows read them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace medium {

// Why `text` would not show as the vendor wrote it on a Windows reading code page 1250
// (it looks like UTF-8, or holds a byte that is no character there); nothing when it
// would. The text reads after the value it describes ("... looks like UTF-8 ...").
std::optional<std::string> Cp1250Problem(std::string_view text);

}  // namespace medium
