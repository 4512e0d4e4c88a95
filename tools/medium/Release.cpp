#include "tools/medium/Release.h"

#include "script/Header.h"
#include "script/ScriptLine.h"
#include "tools/medium/CheckMedium.h"
#include "tools/medium/Diskette.h"
#include "tools/medium/HostTool.h"
#include "tools/medium/Images.h"
#include "tools/medium/MediumOut.h"

namespace medium {
namespace fs = std::filesystem;
namespace {

void CheckCdImagePlace(const PackOptions& pack, const fs::path& iso) {
  const std::string shown = "the CD image " + iso.string();
  for (const fs::path& folder : {pack.out, pack.files, pack.programs})
    if (LiesWithin(iso, folder)) throw PackError(shown + " would lie inside " + folder.string());
  if (LiesWithin(iso, pack.script)) throw PackError(shown + " is the template");
  std::error_code error;
  if (!fs::is_directory(fs::absolute(iso).parent_path(), error))
    throw PackError(shown + ": its folder does not exist");
  if (fs::exists(fs::symlink_status(iso, error)) && !IsCdImage(iso))
    throw PackError(shown + " exists and is no CD image: it is not replaced");
}

// The CAPTION of the medium's Setup.Inf, empty when it has none.
std::string MediumCaption(const fs::path& out) {
  const std::optional<MediumDir> dir = MediumDir::Open(out);
  const std::optional<std::vector<std::string>> lines = dir ? ReadMediumScript(*dir) : std::nullopt;
  for (const std::string& line : lines.value_or(std::vector<std::string>{})) {
    const script::ScriptLine split = script::SplitScriptLine(line);
    if (script::MatchHeaderKey(split.Key) == script::HeaderKey::Caption) return split.Value1;
  }
  return {};
}

// Diskette images in the medium folder, named on its list before they are made together
// with the names they are written under until each is whole: a run that stops half way
// leaves a folder the next run still takes for its own, and clears.
std::vector<fs::path> MakeListedDisketteImages(const fs::path& out, std::uint64_t kb) {
  const std::optional<MediumDir> medium = MediumDir::Open(out);
  std::vector<fs::path> listed;
  std::vector<fs::path> pending;
  for (int disk = 1; medium && medium->IsDiskSet() && disk <= medium->DiskCount(); ++disk) {
    listed.push_back(DisketteImageName(disk));
    pending.push_back(PendingFile::PathFor(listed.back()));
  }
  listed.insert(listed.end(), pending.begin(), pending.end());
  AddToMediumList(out, listed);
  std::vector<fs::path> images;
  try {
    images = MakeDisketteImages(out, kb);
  } catch (...) {
    RemoveFromMediumList(out, pending);
    throw;
  }
  RemoveFromMediumList(out, pending);
  return images;
}

}  // namespace

void CheckReleaseOptions(const PackOptions& pack, const ReleaseOptions& release) {
  if (release.diskImages && !pack.diskKB)
    throw PackError("--images makes diskettes of a disk set: give --disk-size too");
  if (release.diskImages && !IsStandardDiskette(*pack.diskKB))
    throw PackError("--images: no diskette is " + std::to_string(*pack.diskKB) + " KB (" +
                    StandardDisketteSizes() + ")");
  if (!release.cdImage.empty()) {
    if (pack.diskKB)
      throw PackError("--iso makes a CD of a one-folder medium: leave out --disk-size");
    CheckCdImagePlace(pack, release.cdImage);
  }
  if (release.sign) {
    try {
      CheckSigningKey(*release.sign);
    } catch (const ToolError& bad) {
      throw PackError(bad.what());
    }
    for (const fs::path& given : {release.sign->certificate, release.sign->key})
      if (LiesWithin(given, pack.out)) throw PackError(given.string() + " lies inside --out");
  }
}

void PrepareSigning(PackOptions& pack, const ReleaseOptions& release) {
  if (!release.sign) return;
  pack.prepareProgram = [key = *release.sign](const std::string& name, std::string bytes) {
    return SignProgram(name, bytes, key);
  };
}

std::vector<fs::path> MakeReleaseImages(const PackOptions& pack, const ReleaseOptions& release) {
  std::vector<fs::path> written;
  if (release.diskImages) written = MakeListedDisketteImages(pack.out, *pack.diskKB);
  if (!release.cdImage.empty()) {
    MakeCdImage(pack.out, release.cdImage, CdLabel(MediumCaption(pack.out)));
    written.push_back(release.cdImage);
  }
  return written;
}

}  // namespace medium
