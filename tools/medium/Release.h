// What setup-pack makes of a medium beyond its folder: the programs signed, diskette images
// of a disk set, a CD image of a one-folder medium.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "tools/medium/Pack.h"
#include "tools/medium/Sign.h"

namespace medium {

struct ReleaseOptions {
  bool diskImages = false;         // DISK1.img, DISK2.img, ... beside the disk folders
  std::filesystem::path cdImage;   // the CD image to write; empty for none
  std::optional<SigningKey> sign;  // sign setup.exe and uninstkp.exe with this
};

// Throws PackError for the first request that cannot be carried out (images of a disk size
// no diskette has, a CD of a disk set, a CD image in a place that must not be written,
// a certificate or key that cannot be read), before anything is written.
void CheckReleaseOptions(const PackOptions& pack, const ReleaseOptions& release);

// Makes the pack sign the programs as it takes them, when signing was asked for: they are
// signed before their sizes are measured for the disks, and so before any image is made.
void PrepareSigning(PackOptions& pack, const ReleaseOptions& release);

// Makes the images of the medium setup-pack wrote; returns the files written. Diskette
// images lie in the medium folder and go on its list (see MediumOut.h), so that the next
// run into the folder replaces them; the CD image lies outside it. Throws ToolError, or
// PackError when the list cannot be written.
std::vector<std::filesystem::path> MakeReleaseImages(const PackOptions& pack,
                                                     const ReleaseOptions& release);

}  // namespace medium
