#include "tools/medium/Images.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "tools/medium/Diskette.h"
#include "tools/medium/HostTool.h"
#include "tools/medium/MediumDir.h"
#include "tools/medium/MediumOut.h"

namespace medium {
namespace fs = std::filesystem;
namespace {

// Joliet keeps 64 characters of a name and cuts the rest without a word; the installer would
// then not find the file.
constexpr std::size_t kJolietNameLength = 64;

// Refuses a name an image cannot carry as the installer asks for it: names are single-byte
// Windows text, which the tools would read as the host's (UTF-8) text.
void CheckImageNames(const fs::path& folder, std::size_t longest, const std::string& image) {
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::string shown = fs::relative(it->path(), folder, error).string();
    if (std::any_of(name.begin(), name.end(), [](char c) {
          return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E;
        }))
      throw ToolError(shown + ": a name outside plain ASCII cannot be put on " + image);
    if (name.size() > longest)
      throw ToolError(shown + ": a name of more than " + std::to_string(longest) +
                      " characters cannot be put on " + image);
  }
  if (error) throw ToolError("cannot read " + folder.string() + ": " + error.message());
}

// The folder's entries, named for a tool's argument vector.
std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> entries;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    entries.push_back(entry.path().string());
  std::sort(entries.begin(), entries.end());
  return entries;
}

void MakeDiskette(const fs::path& folder, const fs::path& image, std::uint64_t kb,
                  const std::string& label, std::uint32_t serial) {
  CheckImageNames(folder, 255, image.filename().string());
  PendingFile pending(image);
  const std::string file = pending.path().string();
  char serialText[9];
  std::snprintf(serialText, sizeof serialText, "%08X", static_cast<unsigned>(serial));
  RunHostTool(
      {"mformat", "-C", "-i", file, "-f", std::to_string(kb), "-v", label, "-N", serialText, "::"},
      "mtools");
  // -s: folders with their contents; -m: the files keep their times; -Q: the first file
  // that does not fit ends the copy with an error.
  std::vector<std::string> copy{"mcopy", "-i", file, "-s", "-m", "-Q"};
  for (std::string& entry : Entries(folder)) copy.push_back(std::move(entry));
  copy.push_back("::/");
  RunHostTool(copy, "mtools");
  pending.Commit();
}

// `path` as a pattern of xorriso's that matches it alone: its wildcard characters escaped.
std::string LiteralPattern(const fs::path& path) {
  std::string pattern;
  for (char c : path.string()) {
    if (c == '*' || c == '?' || c == '[' || c == '\\') pattern += '\\';
    pattern += c;
  }
  return pattern;
}

}  // namespace

std::string DisketteImageName(int disk) {
  return "DISK" + std::to_string(disk) + ".img";
}

std::vector<fs::path> MakeDisketteImages(const fs::path& out, std::uint64_t kb) {
  // The packer measured the disks as diskettes of this format, which mformat makes too.
  if (!IsStandardDiskette(kb))
    throw ToolError("no diskette is " + std::to_string(kb) + " KB: images are made of " +
                    StandardDisketteSizes() + " KB");
  const std::optional<MediumDir> medium = MediumDir::Open(out);
  if (!medium || !medium->IsDiskSet())
    throw ToolError(out.string() + " holds no disk set (DISK1, DISK2, ...)");
  // Windows tells a diskette changed in a drive without a change line by its serial number:
  // the disks of one set get serials of their own.
  const auto serial = static_cast<std::uint32_t>(std::time(nullptr)) << 4;
  std::vector<fs::path> images;
  for (int disk = 1; disk <= medium->DiskCount(); ++disk) {
    const std::string name = "DISK" + std::to_string(disk);
    images.push_back(out / DisketteImageName(disk));
    MakeDiskette(medium->DiskRoot(disk), images.back(), kb, name,
                 serial + static_cast<std::uint32_t>(disk));
  }
  return images;
}

void MakeCdImage(const fs::path& folder, const fs::path& iso, const std::string& label) {
  CheckImageNames(folder, kJolietNameLength, "a CD's Joliet names");
  PendingFile pending(iso);
  // -no_rc: no start-up file of the host's user changes what is made; -J: Joliet names
  // beside the ISO 9660 ones, which is what Windows reads.
  // -m with a path (a "/" in it) leaves out that one file; with a bare name it would leave
  // out every file of that name, the product's own in its folders too.
  const fs::path list = fs::absolute(folder) / kMediumListName;
  RunHostTool({"xorriso", "-no_rc", "-as", "mkisofs", "-quiet", "-J", "-V", label, "-m",
               LiteralPattern(list), "-o", pending.path().string(), folder.string()},
              "xorriso");
  pending.Commit();
}

std::string CdLabel(const std::string& caption) {
  std::string label;
  bool gap = false;
  for (char c : caption) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    const bool lower = c >= 'a' && c <= 'z';
    if (!letter && !lower) {
      gap = true;
      continue;
    }
    if (gap && !label.empty()) label += '_';
    gap = false;
    label += lower ? static_cast<char>(c - 'a' + 'A') : c;
  }
  if (label.size() > 16) label.resize(16);
  while (!label.empty() && label.back() == '_') label.pop_back();
  return label.empty() ? "SETUP" : label;
}

bool IsCdImage(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[5] = {};
  in.seekg(16 * 2048 + 1);
  return in.read(magic, 5) && std::string(magic, 5) == "CD001";
}

}  // namespace medium
