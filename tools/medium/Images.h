// Images of a medium ready to write: FAT12 diskettes of a disk set (mtools) and a CD of a
// one-folder medium (ISO 9660 with Joliet names, xorriso). The host's tools make them;
// nothing here writes a file system by hand.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace medium {

// The name of disk `disk`'s image in the medium folder: DISK1.img, DISK2.img, ...
std::string DisketteImageName(int disk);

// Writes DISKn.img into `out` for each disk folder DISKn of the disk set there: a FAT12
// diskette of `kb` KB (a standard size, see Diskette.h) labelled DISKn (the name the disk has in
// its folder, its image and the installer's prompt for disk #n) holding that folder's files.
// Returns the images written. Throws ToolError; an image that could not be made whole is not left
// behind.
std::vector<std::filesystem::path> MakeDisketteImages(const std::filesystem::path& out,
                                                      std::uint64_t kb);

// Writes `iso`, a CD image of the one-folder medium `folder` (ISO 9660 with Joliet names)
// with the volume name `label`. setup-pack's list of the medium's files in `folder` stays
// off the CD: it is no part of what is installed. Throws ToolError, leaving `iso` as it was.
void MakeCdImage(const std::filesystem::path& folder, const std::filesystem::path& iso,
                 const std::string& label);

// A CD's volume name for the product's caption: its letters and digits upper-cased, every
// other run of characters one "_", at most 16 characters (what Joliet keeps); "SETUP" when
// nothing is left.
std::string CdLabel(const std::string& caption);

// True when `path` is a file that starts as an ISO 9660 image does ("CD001" in its first
// volume descriptor): a file setup-pack may replace with a new image.
bool IsCdImage(const std::filesystem::path& path);

}  // namespace medium
