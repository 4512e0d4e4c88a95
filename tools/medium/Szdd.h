// Our own SZDD coder: LZSS over the 4096-byte ring that LZ expansion reads, so a medium
// can be packed without an outside program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace medium {

// `data` in SZDD form. `lastNameLetter` is the letter the '_' of the compressed name stands
// for (the 'E' of FILE.EX_), 0 for none.
std::string CompressSzdd(std::string_view data, char lastNameLetter);

// How the expansion of an SZDD file went.
struct SzddExpansion {
  bool headerOk = false;  // signature, method 'A' and a whole header
  bool streamOk = false;  // the coded stream ends on a whole item
  std::uint32_t declaredLength = 0;
  std::string bytes;                 // what the stream expands to, up to the declared length
  std::uint64_t expandedLength = 0;  // the whole stream's expanded length
};

// Expands `file` as LZ expansion does. Intact when headerOk and streamOk hold and the stream
// expands to exactly the declared length.
SzddExpansion ExpandSzdd(std::string_view file);

}  // namespace medium
