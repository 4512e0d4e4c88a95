// The folder setup-pack writes a medium into. It belongs to the vendor: setup-pack writes
// there only when it is empty (or missing) or holds nothing but a medium setup-pack wrote
// itself, and it removes only files it wrote.
//
// How a medium of ours is recognised: setup-pack keeps a list of everything it wrote in the
// folder's file ".setup-pack" (a first line "setup-pack medium", then one path a line,
// relative to the folder, "/" between names, folders ending in "/"). A folder whose every
// entry is on that list is ours to replace; anything else in it (a file or folder not on
// the list, a link) is the vendor's, and setup-pack refuses the folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace medium {

// The list's file name inside the medium folder.
inline constexpr char kMediumListName[] = ".setup-pack";

// One file of the medium, by its path relative to the medium folder.
struct OutFile {
  std::filesystem::path relative;
  std::string bytes;
};

// Throws PackError when `out` is, holds or lies inside one of `inputs` (each a pair of
// the path and the option that named it, "--files" say), or when it holds anything but a
// medium of ours. Touches nothing.
void CheckOutFolder(const std::filesystem::path& out,
                    const std::vector<std::pair<std::filesystem::path, std::string>>& inputs);

// Replaces the medium in `out` by `files`: removes what the list of the previous medium
// names, writes the files and the new list. CheckOutFolder must have passed. Throws
// PackError when a file cannot be written.
void WriteMediumFolder(const std::filesystem::path& out, const std::vector<OutFile>& files);

// Adds files that were written into `out` after the medium (images, say) to its list, so
// that the next run may replace them.
void AddToMediumList(const std::filesystem::path& out,
                     const std::vector<std::filesystem::path>& relative);

// Takes files off the list of the medium in `out` (files that are gone again: the names a
// tool wrote under until its work was whole).
void RemoveFromMediumList(const std::filesystem::path& out,
                          const std::vector<std::filesystem::path>& relative);

// True when `path` is `folder` or lies below it, links and ".." resolved as far as the
// paths exist.
bool LiesWithin(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace medium
