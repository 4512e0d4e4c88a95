// The 32x32 pictures of the overwrite dialog, drawn in code so that every toolkit shows the
// same pixels without resource files.
#pragma once

#include <string_view>

#include "forms/Graphics.h"

namespace engine {

// Side of every icon, in pixels.
inline constexpr int kIconSize = 32;

// Two pages with red arrows from the left one to the right one, the right one crossed out
// in red: "the file there is replaced".
forms::Bitmap ReplaceIcon();

// A page with gear wheels: a file of the system. With a `mark` ("WIN", "WINSYS") the page
// carries that word in a blue band at its foot: where the file lives.
forms::Bitmap SystemFileIcon(std::string_view mark = {});

}  // namespace engine
