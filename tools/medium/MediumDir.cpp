#include "tools/medium/MediumDir.h"

#include <system_error>

#include "script/Text.h"

namespace medium {

namespace fs = std::filesystem;

std::optional<std::vector<std::string>> RelativeParts(const std::string& windowsPath) {
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 0; i <= windowsPath.size(); ++i) {
    const char c = i < windowsPath.size() ? windowsPath[i] : '\\';
    if (c != '\\' && c != '/') {
      part.push_back(c);
      continue;
    }
    if (part == "..") return std::nullopt;
    if (!part.empty() && part != ".") parts.push_back(part);
    part.clear();
  }
  if (windowsPath.find(':') != std::string::npos) return std::nullopt;
  return parts;
}

std::optional<MediumDir> MediumDir::OpenFolder(const fs::path& root) {
  std::error_code error;
  if (!fs::is_directory(root, error)) return std::nullopt;
  MediumDir folder;
  folder.disks_.push_back(root);
  return folder;
}

std::optional<fs::path> MediumDir::FindLastLetterAny(int disk,
                                                     const std::string& windowsPath) const {
  const std::optional<std::vector<std::string>> parts = RelativeParts(windowsPath);
  if (!parts || parts->empty() || parts->back().empty()) return std::nullopt;
  std::string folder;
  for (std::size_t i = 0; i + 1 < parts->size(); ++i) folder += (*parts)[i] + "\\";
  const std::optional<fs::path> dir =
      folder.empty() ? std::optional<fs::path>(DiskRoot(disk)) : Locate(disk, folder);
  if (!dir) return std::nullopt;
  const std::string stem = script::UpperAscii(parts->back().substr(0, parts->back().size() - 1));
  std::error_code error;
  for (const auto& [name, path] : Listing(*dir))
    if (name.size() == stem.size() + 1 && name.compare(0, stem.size(), stem) == 0 &&
        fs::is_regular_file(path, error))
      return path;
  return std::nullopt;
}

std::optional<MediumDir> MediumDir::Open(const fs::path& root) {
  std::error_code error;
  if (!fs::is_directory(root, error)) return std::nullopt;
  MediumDir medium;
  medium.disks_.push_back(root);
  if (medium.Find(1, "Setup.Inf")) return medium;
  medium.disks_.clear();
  medium.diskSet_ = true;
  for (int disk = 1;; ++disk) {
    MediumDir probe;
    probe.disks_.push_back(root);
    const std::optional<fs::path> folder = probe.Locate(1, "DISK" + std::to_string(disk));
    if (!folder || !fs::is_directory(*folder, error)) break;
    medium.disks_.push_back(*folder);
  }
  if (medium.disks_.empty() || !medium.Find(1, "Setup.Inf")) return std::nullopt;
  return medium;
}

const std::map<std::string, fs::path>& MediumDir::Listing(const fs::path& dir) const {
  auto found = listings_.find(dir);
  if (found != listings_.end()) return found->second;
  std::map<std::string, fs::path>& listing = listings_[dir];
  std::error_code error;
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    // Links are not followed off the medium: only plain files and folders count.
    if (it->is_symlink(error)) continue;
    listing.emplace(script::UpperAscii(it->path().filename().string()), it->path());
  }
  return listing;
}

std::optional<fs::path> MediumDir::Locate(int disk, const std::string& windowsPath) const {
  if (disk < 1 || disk > DiskCount()) return std::nullopt;
  const std::optional<std::vector<std::string>> parts = RelativeParts(windowsPath);
  if (!parts || parts->empty()) return std::nullopt;
  fs::path at = DiskRoot(disk);
  for (std::size_t i = 0; i < parts->size(); ++i) {
    const auto& listing = Listing(at);
    const auto entry = listing.find(script::UpperAscii((*parts)[i]));
    if (entry == listing.end()) return std::nullopt;
    at = entry->second;
  }
  return at;
}

std::optional<MediumDir> DiskSetOf(const fs::path& folder) {
  if (std::optional<MediumDir> set = MediumDir::Open(folder); set && set->IsDiskSet()) return set;
  fs::path clean = folder.lexically_normal();
  if (clean.filename().empty()) clean = clean.parent_path();  // written with a trailing "/"
  const std::string name = script::UpperAscii(clean.filename().string());
  const fs::path parent = clean.parent_path();
  if (name.size() < 5 || name.compare(0, 4, "DISK") != 0 ||
      name.find_first_not_of("0123456789", 4) != std::string::npos)
    return std::nullopt;
  std::optional<MediumDir> set = MediumDir::Open(parent.empty() ? fs::path(".") : parent);
  std::error_code error;
  if (!set || !set->IsDiskSet()) return std::nullopt;
  for (int disk = 1; disk <= set->DiskCount(); ++disk)
    if (fs::equivalent(set->DiskRoot(disk), folder, error)) return set;
  return std::nullopt;
}

std::optional<fs::path> MediumDir::Find(int disk, const std::string& windowsPath) const {
  const std::optional<fs::path> at = Locate(disk, windowsPath);
  std::error_code error;
  if (!at || !fs::is_regular_file(*at, error)) return std::nullopt;
  return at;
}

}  // namespace medium
