#include "platform/sandbox/Paths.h"

#include <sys/stat.h>

#include <stdexcept>
#include <vector>

#include "platform/WinTypes.h"
#include "platform/sandbox/Devices.h"
#include "script/Text.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char UpperLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Characters Windows does not allow in a file or directory name.
bool IsValidName(std::string_view name) {
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32) return false;
    if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) return false;
  }
  return true;
}

// Windows drops trailing dots and blanks of a name ("README." opens "README").
std::string_view StripTrailingDotsAndBlanks(std::string_view name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
  return name;
}

// Splits at backslashes, dropping empty pieces (runs of separators count as one).
std::vector<std::string> SplitComponents(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\\', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// Directories whose listings are kept at most; more are forgotten all at once (an
// installation writes to a handful of directories).
constexpr std::size_t kMaxListings = 64;

Resolution Refuse(std::uint32_t error) {
  return Resolution{std::nullopt, error};
}

}  // namespace

std::string UpperKey(std::string_view windowsPath) {
  return script::UpperAscii(windowsPath);
}

PathResolver::PathResolver(fs::path machineRoot) {
  fs::path driveC = std::move(machineRoot) / "drive_c";
  fs::create_directories(driveC);
  drives_['C'] = Drive{std::move(driveC), platform::kDriveFixed};
}

void PathResolver::Mount(char letter, fs::path hostDir, std::uint32_t driveType) {
  const char upper = UpperLetter(letter);
  if (!IsAsciiLetter(letter) || upper == 'C') {
    throw std::invalid_argument("a drive other than C: must be a letter A to Z");
  }
  drives_[upper] = Drive{std::move(hostDir), driveType};
}

PathResolver::Stamp PathResolver::StampOf(const struct stat& info) {
  return Stamp{static_cast<std::uint64_t>(info.st_ino), info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

std::optional<std::string> PathResolver::FindEntryIgnoringCase(const fs::path& dir,
                                                               const std::string& name) const {
  struct stat info {};
  if (::lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  const Stamp stamp = StampOf(info);
  auto it = listings_.find(dir.string());
  if (it == listings_.end() || !(it->second.stamp == stamp)) {
    // Read with the time taken before: a change while reading moves it, and the next
    // look reads again.
    Listing listing{stamp, {}};
    std::error_code ec;
    fs::directory_iterator entries(dir, ec);
    if (ec) return std::nullopt;
    for (const fs::directory_entry& entry : entries) {
      std::string entryName = entry.path().filename().string();
      listing.names.emplace(script::UpperAscii(entryName), std::move(entryName));
    }
    if (listings_.size() >= kMaxListings) listings_.clear();
    it = listings_.insert_or_assign(dir.string(), std::move(listing)).first;
  }
  const std::string upper = script::UpperAscii(name);
  const auto found = it->second.names.lower_bound({upper, std::string()});
  if (found == it->second.names.end() || found->first != upper) return std::nullopt;
  return found->second;
}

void PathResolver::NoteChange(const fs::path& host, bool created) {
  const auto it = listings_.find(host.parent_path().string());
  if (it == listings_.end()) return;
  // Resolving the name just before found the listing current (or dropped it); only the
  // entry made or removed since differs, and the directory's new time goes with it.
  struct stat info {};
  if (::lstat(host.parent_path().c_str(), &info) != 0) {
    listings_.erase(it);
    return;
  }
  std::string name = host.filename().string();
  std::pair<std::string, std::string> entry{script::UpperAscii(name), std::move(name)};
  if (created) {
    it->second.names.insert(std::move(entry));
  } else {
    it->second.names.erase(entry);
  }
  it->second.stamp = StampOf(info);
}

Resolution PathResolver::Resolve(std::string_view windowsPath) const {
  std::string text(windowsPath);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  if (text.empty()) return Refuse(platform::kErrorPathNotFound);
  if (text.size() > platform::kMaxPath) return Refuse(platform::kErrorFilenameExcedRange);
  // UNC names and device paths ("\\server\share", "\\.\X:") lead off the machine.
  if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
    return Refuse(platform::kErrorAccessDenied);
  }

  char drive = CurrentDrive();
  std::vector<std::string> components;
  std::string_view rest = text;
  if (rest.size() >= 2 && rest[1] == ':' && IsAsciiLetter(rest[0])) {
    // "X:\dir" and "X:dir" both start at the root of X: a drive has no directory of its own.
    drive = UpperLetter(rest[0]);
    rest.remove_prefix(2);
  } else if (rest[0] != '\\') {
    components = SplitComponents(std::string_view(currentDirectory_).substr(2));
  }
  const auto driveIt = drives_.find(drive);
  if (driveIt == drives_.end()) return Refuse(platform::kErrorPathNotFound);

  for (const std::string& part : SplitComponents(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      // As Windows has it, ".." at a drive's root stays at the root: the path cannot climb
      // out of the drive, and so not out of the machine either.
      if (!components.empty()) components.pop_back();
      continue;
    }
    const std::string_view name = StripTrailingDotsAndBlanks(part);
    if (name.empty() || !IsValidName(name)) return Refuse(platform::kErrorInvalidName);
    components.emplace_back(name);
  }

  // A device is no directory: nothing lies below it.
  for (std::size_t i = 0; i + 1 < components.size(); ++i)
    if (DeviceNameOf(components[i])) return Refuse(platform::kErrorPathNotFound);

  ResolvedPath resolved;
  resolved.drive = drive;
  if (!components.empty()) resolved.device = DeviceNameOf(components.back()).value_or("");
  resolved.windowsPath = std::string(1, drive) + ":\\";
  fs::path host = driveIt->second.hostDir;
  bool onDisk = true;                // every component so far names an existing host entry
  std::optional<Stamp> hostStamp;    // of `host`, once it is a component that was looked at
  std::optional<Stamp> parentStamp;  // of the directory holding `host`
  for (std::size_t i = 0; i < components.size(); ++i) {
    const std::string& name = components[i];
    if (i > 0) resolved.windowsPath += '\\';
    resolved.windowsPath += name;
    if (onDisk) {
      fs::path candidate = host / name;
      struct stat info {};
      bool exists = ::lstat(candidate.c_str(), &info) == 0;
      if (!exists) {
        if (std::optional<std::string> found = FindEntryIgnoringCase(host, name)) {
          candidate = host / *found;
          exists = ::lstat(candidate.c_str(), &info) == 0;
        }
      }
      if (exists && S_ISLNK(info.st_mode)) return Refuse(platform::kErrorAccessDenied);
      if (exists) {
        host = std::move(candidate);
        parentStamp = hostStamp;
        hostStamp = StampOf(info);
        continue;
      }
      onDisk = false;
    }
    host /= name;
  }
  // An existing entry may be removed next: the listing of its directory must be current
  // then, so that the removal can be noted in it instead of having it read again.
  // A drive's root is never looked at as a component: its listing is simply dropped.
  if (onDisk && !components.empty()) {
    const auto it = listings_.find(host.parent_path().string());
    if (it != listings_.end() && (!parentStamp || !(it->second.stamp == *parentStamp)))
      listings_.erase(it);
  }
  resolved.hostPath = std::move(host);
  return Resolution{std::move(resolved), platform::kErrorSuccess};
}

std::optional<std::string> PathResolver::FullPath(const std::string& windowsPath) const {
  Resolution resolution = Resolve(windowsPath);
  if (!resolution.path) return std::nullopt;
  return std::move(resolution.path->windowsPath);
}

std::optional<fs::path> PathResolver::HostPath(const std::string& windowsPath) const {
  Resolution resolution = Resolve(windowsPath);
  if (!resolution.path) return std::nullopt;
  return std::move(resolution.path->hostPath);
}

std::optional<fs::path> PathResolver::DriveRoot(char letter) const {
  const auto it = drives_.find(UpperLetter(letter));
  if (it == drives_.end()) return std::nullopt;
  return it->second.hostDir;
}

std::uint32_t PathResolver::DriveType(char letter) const {
  const auto it = drives_.find(UpperLetter(letter));
  return it == drives_.end() ? platform::kDriveNoRootDir : it->second.type;
}

std::uint32_t PathResolver::DriveMask() const {
  std::uint32_t mask = 0;
  for (const auto& [letter, drive] : drives_) mask |= 1u << (letter - 'A');
  return mask;
}

}  // namespace sandbox
