// What a mistyped key probably stands for, for the checker's "did you mean" hints.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace medium {

// Levenshtein distance of two texts.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The known key nearest to `key` (compared upper-cased) within a few letters; empty when
// none is that near.
std::string NearestKey(std::string_view key, std::span<const std::string_view> known);

// The same inside a block, where a mistyped key usually stands for one the block lacks:
// of the keys `lacking`, the nearest that is within a few letters or begins with the same
// three letters ("KEYPATH" for KEYLEVEL); else the nearest of `known` as above.
std::string NearestBlockKey(std::string_view key, std::span<const std::string_view> known,
                            std::span<const std::string_view> lacking);

// "unknown key KEY<where> (did you mean NEAREST?); the line is ignored", without the hint
// when `nearest` is empty.
std::string UnknownKeyText(const std::string& key, const std::string& nearest,
                           const std::string& where);

}  // namespace medium
