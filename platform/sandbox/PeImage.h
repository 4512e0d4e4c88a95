// Just enough of the PE image format to answer what LoadLibraryA and GetProcAddress would:
// is this a loadable image, and does its export directory name a given function.
#pragma once

#include <string>
#include <string_view>

namespace sandbox {

// What a file offers as a DLL.
enum class PeExportLookup {
  NotAnImage,   // no MZ header, no "PE\0\0" signature, or headers that do not fit the file
  NotExported,  // a PE image (PE32 or PE32+) whose export directory lacks the name
  Exported,     // the export directory names the function
};

// Looks `name` up (case-sensitively, as GetProcAddress does) among the exports of the image
// held in `image`. Every offset read from the file is checked against its size, so a
// truncated or hostile file gives NotAnImage or NotExported, never a read out of bounds.
PeExportLookup FindPeExport(std::string_view image, std::string_view name);

// True when `bytes` begins with the signature of a type library ("MSFT" or "SLTG").
bool HasTypeLibrarySignature(std::string_view bytes);

}  // namespace sandbox
