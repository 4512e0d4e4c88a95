// Shortening of a path for display in a label of fixed width.
#pragma once

#include <cstddef>
#include <string>

// The path itself when it has at most `maxLength` characters; otherwise its first two
// characters (the drive), "\ ... \" and the tail left after dropping leading directories
// until the tail fits. A tail without a further backslash is shown whole.
std::string ShortenPath(const std::string& path, std::size_t maxLength);
